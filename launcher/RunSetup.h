#pragma once

#include <windows.h>

#include "launcher/CommandLine.h"

// The whole run for one process: returns the exit code (the front end's
// own, 1 on a refused system, ERROR_INSTALL_FAILURE when the front end could
// not start) or throws std::runtime_error; CopyCancelled when the user
// cancelled the staging. The progress window appears once a copy has run
// for `progressDelayMs`.
int RunSetup(HINSTANCE instance, RunMode mode, DWORD progressDelayMs);
