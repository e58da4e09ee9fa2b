#pragma once

#include <windows.h>
#include <imagehlp.h>
#include <msi.h>

#include "win/Owner.h"

struct NullHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value handle) noexcept { CloseHandle(handle); }
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Release(Value handle) noexcept { CloseHandle(handle); }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value key) noexcept { RegCloseKey(key); }
};

struct LoadedImageTraits {
    using Value = PLOADED_IMAGE;
    static Value Invalid() noexcept { return nullptr; }
    // Unloaded through imagehlp.dll loaded at run time (image/ImageHelpApi.cpp).
    static void Release(Value image) noexcept;
};

// Closed through msi.dll loaded at run time (extract/MsiApi.cpp), never a static import.
struct MsiHandleTraits {
    using Value = MSIHANDLE;
    static Value Invalid() noexcept { return 0; }
    static void Release(Value handle) noexcept;
};

using KernelHandle = Owner<NullHandleTraits>;
using FileHandle = Owner<FileHandleTraits>;
using RegistryKey = Owner<RegistryKeyTraits>;
using LoadedImage = Owner<LoadedImageTraits>;
using MsiHandle = Owner<MsiHandleTraits>;
