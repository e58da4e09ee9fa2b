#include "staging/StagedFile.h"

#include <windows.h>

#include "win/Retry.h"

void DeleteWithRetry(const std::wstring& path) noexcept
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    RetryForUpTo(SharingRetryMs, [&] { return DeleteFileW(path.c_str()) != 0; });
}

StagedFile::~StagedFile()
{
    hold.reset();
    if (owned && !path.empty())
        DeleteWithRetry(path);
}
