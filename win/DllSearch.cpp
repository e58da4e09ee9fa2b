#include "win/DllSearch.h"

#include <windows.h>

void RestrictDllSearchToSystemFolder() noexcept
{
    // Looked up, not imported: Windows 7 has it only with update KB2533623, and
    // an import would keep the launcher from starting at all without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}
