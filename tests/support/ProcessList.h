#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Processes of the Wine prefix that the test did not start itself, such as
// a file manager that the launcher opens.

std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName);
// Top-level windows of the process with the class name.
std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className);
void EndProcess(DWORD processId);
