#pragma once

#include <string>

std::wstring GetSetupCaption();

// A message box without owner under the setup caption; returns the button pressed.
int ShowMessageBox(const std::wstring& text, unsigned int flags);
