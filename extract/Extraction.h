#pragma once

#include <windows.h>

// The "/extract" and "/defaults" runs: saves the embedded package with the
// chosen options. Returns the exit code.
int RunExtraction(HINSTANCE instance, bool defaultsMode);
