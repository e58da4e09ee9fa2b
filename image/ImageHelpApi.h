#pragma once

#include <windows.h>
#include <imagehlp.h>

#include "win/SystemLibrary.h"

// ImageLoad and ImageUnload, taken from imagehlp.dll in the system folder at
// run time. Windows lists imagehlp.dll among its known DLLs, but a static
// import is resolved before any code of ours runs, and a system without that
// protection would take a copy planted beside the launcher.
struct ImageHelpApi {
    ImageHelpApi();

    SystemLibrary library;
    decltype(&::ImageLoad) Load;
    decltype(&::ImageUnload) Unload;
};

// Loaded on first use and kept until the process ends; throws
// "imagehlp.dll could not be loaded" or "<function> is missing".
const ImageHelpApi& GetImageHelpApi();
