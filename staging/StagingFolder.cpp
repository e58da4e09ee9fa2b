#include "staging/StagingFolder.h"

#include <windows.h>
#include <rpc.h>

#include <stdexcept>

#include "staging/PrivateFolderSecurity.h"
#include "win/Kernel32Export.h"

namespace {

const int NameTries = 5;

[[noreturn]] void Fail()
{
    throw std::runtime_error("CreateDirectory failed");
}

using GetTempPath2Function = DWORD WINAPI(DWORD, LPWSTR);

}  // namespace

std::wstring NewUuidText()
{
    UUID uuid = {};
    if (UuidCreate(&uuid) != RPC_S_OK)
        return std::wstring();
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&uuid, &text) != RPC_S_OK)
        return std::wstring();
    const std::wstring result = reinterpret_cast<const wchar_t*>(text);
    RpcStringFreeW(&text);
    return result;
}

std::wstring TemporaryFolder()
{
    // Windows 7 and 8, Windows 10 without the updates that brought it, and
    // Wine lack it.
    GetTempPath2Function* const getTempPath2 = Kernel32Export<GetTempPath2Function>("GetTempPath2W");
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = getTempPath2 ? getTempPath2(MAX_PATH + 1, buffer) : GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        Fail();
    return std::wstring(buffer, length);
}

FileHandle HoldFolder(const std::wstring& path)
{
    // Read access, since an open for attributes alone takes no part in sharing.
    FileHandle folder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!folder || !GetFileInformationByHandle(folder.get(), &information))
        return FileHandle();
    const DWORD attributes = information.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetLastError(ERROR_DIRECTORY);
        return FileHandle();
    }
    return folder;
}

StagingFolder CreateStagingFolderIn(const std::wstring& temp, FolderNameSource newName)
{
    const std::wstring root = temp + L"BrinmoorSetup\\";
    // Exists already after any earlier run, perhaps made by someone else:
    // the run folder inside trusts nothing of it.
    CreateDirectoryW(root.c_str(), nullptr);

    PrivateFolderSecurity security;
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        const std::wstring name = newName();
        if (name.empty())
            continue;
        const std::wstring path = root + name + L"\\";
        if (!CreateDirectoryW(path.c_str(), security.Attributes())) {
            if (GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            Fail();
        }
        FileHandle hold = HoldFolder(path);
        if (!hold)
            Fail();
        return StagingFolder(path, std::move(hold));
    }
    Fail();
}

StagingFolder CreateStagingFolder()
{
    return CreateStagingFolderIn(TemporaryFolder());
}
