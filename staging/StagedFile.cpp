#include "staging/StagedFile.h"

#include <windows.h>

namespace {

const ULONGLONG DeleteRetryMs = 2000;

}  // namespace

void DeleteWithRetry(const std::wstring& path) noexcept
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    const ULONGLONG start = GetTickCount64();
    while (!DeleteFileW(path.c_str())) {
        if (GetTickCount64() >= start + DeleteRetryMs)
            return;
        Sleep(1);
    }
}

StagedFile::~StagedFile()
{
    hold.reset();
    if (owned && !path.empty())
        DeleteWithRetry(path);
}
