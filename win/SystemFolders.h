#pragma once

#include <string>

// Full paths of files in Windows' own folders, for starting and loading them
// by path: a bare name is searched for in the launcher's folder and the
// current one first, where anyone may have dropped a file of that name.
// Empty when the folder cannot be read.
std::wstring InSystemFolder(const wchar_t* name);
std::wstring InWindowsFolder(const wchar_t* name);
