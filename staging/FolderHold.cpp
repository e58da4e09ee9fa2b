#include "staging/FolderHold.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <vector>

#include "win/ProcessToken.h"
#include "win/Retry.h"

namespace {

// NT SERVICE\TrustedInstaller, which owns Windows' own folders.
const wchar_t TrustedInstallerSid[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsTrustedInstaller(PSID sid)
{
    PSID trustedInstaller = nullptr;
    if (!ConvertStringSidToSidW(TrustedInstallerSid, &trustedInstaller))
        return false;
    const LocalMemory owned(trustedInstaller);
    return EqualSid(sid, trustedInstaller) != 0;
}

Trustee OwnerOf(HANDLE folder)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return Trustee::Other;
    const LocalMemory ownedDescriptor(descriptor);
    return ClassifyOwner(owner, UserSidOf(CurrentUserInformation()));
}

std::wstring FinalPath(HANDLE file)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.resize(length);
        length = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), 0);
    }
    path.resize(length < path.size() ? length : 0);
    return path;
}

}  // namespace

// A link opened with FILE_FLAG_OPEN_REPARSE_POINT is the link itself on
// Windows; Wine follows a Unix symbolic link even then, and only the path's
// attributes show it, asked without a trailing backslash, which follows it too.
bool IsRealFolder(const std::wstring& path, HANDLE folder)
{
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(folder, &information))
        return false;
    const std::wstring link = path.substr(0, path.find_last_not_of(L'\\') + 1);
    const DWORD byPath = GetFileAttributesW(link.c_str());
    const DWORD byHandle = information.dwFileAttributes;
    return (byHandle & FILE_ATTRIBUTE_DIRECTORY) && !(byHandle & FILE_ATTRIBUTE_REPARSE_POINT) &&
           byPath != INVALID_FILE_ATTRIBUTES && !(byPath & FILE_ATTRIBUTE_REPARSE_POINT);
}

Trustee ClassifyOwner(PSID owner, PSID user)
{
    if (!owner || !IsValidSid(owner))
        return Trustee::Other;
    if (IsWellKnownSid(owner, WinLocalSystemSid))
        return Trustee::System;
    if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid))
        return Trustee::Administrators;
    if (IsTrustedInstaller(owner))
        return Trustee::TrustedInstaller;
    if (user && IsValidSid(user) && EqualSid(owner, user))
        return Trustee::CurrentUser;
    return Trustee::Other;
}

FileHandle HoldFolder(const std::wstring& path)
{
    // Read access, since an open for attributes alone takes no part in
    // sharing; an indexer that has the new folder open is waited out.
    FileHandle folder = OpenRetryingWhileShared([&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    });
    if (folder && !IsRealFolder(path, folder.get())) {
        SetLastError(ERROR_DIRECTORY);
        return FileHandle();
    }
    return folder;
}

FileHandle HoldOwnedFolder(const std::wstring& path, std::initializer_list<Trustee> trusted)
{
    FileHandle folder = HoldFolder(path);
    if (folder && std::find(trusted.begin(), trusted.end(), OwnerOf(folder.get())) == trusted.end()) {
        SetLastError(ERROR_INVALID_OWNER);
        return FileHandle();
    }
    return folder;
}

bool IsHeldWithin(HANDLE folder, HANDLE parent, const std::wstring& name)
{
    const std::wstring parentPath = FinalPath(parent);
    const std::wstring actual = FinalPath(folder);
    // A volume that Windows cannot name by a drive (a RAM disk outside the
    // mount manager) leaves nothing to compare; the holds still stand.
    if (parentPath.empty() || actual.empty())
        return true;
    const std::wstring expected = parentPath + L"\\" + name;
    return CompareStringOrdinal(actual.c_str(), static_cast<int>(actual.size()), expected.c_str(),
                                static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}
