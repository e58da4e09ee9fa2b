#pragma once

#include <windows.h>

// Takes every DLL the process loads by name from now on (its own, and those
// that system DLLs load for it: visual styles, the common dialogs' helpers)
// from the system folder only, never from the launcher's folder, which may
// be a Downloads folder where anyone can drop a DLL. Call it first thing.
void RestrictDllSearchToSystemFolder() noexcept;

// Whether LoadLibraryExW understands LOAD_LIBRARY_SEARCH_SYSTEM32: Windows 8
// and later, and Windows 7 with update KB2533623, which brought it together
// with SetDefaultDllDirectories. Windows 7 without it refuses the flag.
bool SystemFolderSearchSupported() noexcept;

using LoadLibraryExFunction = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);

// Loads the system DLL `name` from the system folder only: through the search
// flag where it is understood, else by its full path there, never by bare
// name. Null when it cannot be loaded. `load` is LoadLibraryExW but in tests.
HMODULE LoadSystemDll(const wchar_t* name, bool searchSupported = SystemFolderSearchSupported(),
                      LoadLibraryExFunction load = LoadLibraryExW);
