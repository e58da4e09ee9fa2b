#pragma once

#include <windows.h>

#include <string>

std::wstring GetSetupCaption();

// A message box without owner under the setup caption; returns the button pressed.
int ShowMessageBox(const std::wstring& text, unsigned int flags);

// Gives a window of the launcher the launcher's icon (small and large) from
// `instance` and the setup caption. The icons live until the process ends.
void SetSetupIconAndCaption(HWND window, HINSTANCE instance);
