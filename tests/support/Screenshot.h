#pragma once

#include <windows.h>

#include <string>

// Saves a PNG of a window's rectangle (of the whole screen when window is
// null) as <folder><name>.png; true when the file was written. Xvfb's root
// window is the Windows screen, so screen coordinates crop it directly.
bool SaveScreenshot(const std::wstring& folder, const std::wstring& name, HWND window = nullptr);
