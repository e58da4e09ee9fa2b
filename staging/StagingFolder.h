#pragma once

#include <string>

// Creates %TEMP%\BrinmoorSetup\<uuid>\ for this run and returns its path,
// ending with a backslash. Throws "CreateDirectory failed".
std::wstring CreateStagingFolder();
