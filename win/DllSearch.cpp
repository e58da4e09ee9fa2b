#include "win/DllSearch.h"

#include <string>

#include "win/Kernel32Export.h"
#include "win/SystemFolders.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);

// Windows 7 has it only with update KB2533623.
SetDefaultDllDirectoriesFunction* FindSetDefaultDllDirectories() noexcept
{
    return Kernel32Export<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
}

}  // namespace

void RestrictDllSearchToSystemFolder() noexcept
{
    SetDefaultDllDirectoriesFunction* const setDefaultDllDirectories = FindSetDefaultDllDirectories();
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

bool SystemFolderSearchSupported() noexcept
{
    return FindSetDefaultDllDirectories() != nullptr;
}

HMODULE LoadSystemDll(const wchar_t* name, bool searchSupported, LoadLibraryExFunction load)
{
    if (searchSupported)
        return load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::wstring path = InSystemFolder(name);
    if (path.empty())
        return nullptr;
    // The altered search makes the DLL's own imports come from its folder,
    // the system folder, too, rather than from the launcher's.
    return load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
