#pragma once

#include <windows.h>

// The "/extract" and "/defaults" runs: saves the embedded package with the
// chosen options. Returns the exit code: 0 once saved, ERROR_INSTALL_USEREXIT
// when the options dialog was cancelled. A save that runs for
// `progressDelayMs` shows its progress; its Cancel throws CopyCancelled.
int RunExtraction(HINSTANCE instance, bool defaultsMode, DWORD progressDelayMs);
