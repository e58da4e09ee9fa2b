#pragma once

#include <windows.h>

#include "launcher/CommandLine.h"

// The whole run for one process: returns the exit code or throws
// std::runtime_error.
int RunSetup(HINSTANCE instance, RunMode mode);
