#pragma once

#include <windows.h>
#include <commdlg.h>

#include "win/SystemLibrary.h"

// The Save As dialog, taken from comdlg32.dll in the system folder at run
// time. Windows lists comdlg32.dll among its known DLLs, but a static import
// is resolved before any code of ours runs, and a system without that
// protection would take a copy planted beside the launcher.
struct CommonDialogApi {
    CommonDialogApi();

    SystemLibrary library;
    decltype(&::GetSaveFileNameW) GetSaveFileName;
};

// Loaded on first use and kept until the process ends; throws
// "comdlg32.dll could not be loaded" or "GetSaveFileNameW is missing".
const CommonDialogApi& GetCommonDialogApi();
