#include "win/SystemFolders.h"

#include <windows.h>

namespace {

std::wstring Join(const wchar_t* folder, UINT length, const wchar_t* name)
{
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

std::wstring InSystemFolder(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    return Join(folder, GetSystemDirectoryW(folder, MAX_PATH), name);
}

// The system's own Windows folder: on a terminal server GetWindowsDirectory
// gives a folder of the user's.
std::wstring InWindowsFolder(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    return Join(folder, GetSystemWindowsDirectoryW(folder, MAX_PATH), name);
}
