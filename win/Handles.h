#pragma once

#include <windows.h>
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

struct FindTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Release(Value search) noexcept { FindClose(search); }
};

// A modeless window of the launcher's own.
struct WindowTraits {
    using Value = HWND;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value window) noexcept { DestroyWindow(window); }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value key) noexcept { RegCloseKey(key); }
};

// A view of a file mapping; MapViewOfFile reports failure as null.
struct MappedViewTraits {
    using Value = const void*;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value view) noexcept { UnmapViewOfFile(view); }
};

// Closed through msi.dll loaded at run time (extract/MsiApi.cpp), never a static import.
struct MsiHandleTraits {
    using Value = MSIHANDLE;
    static Value Invalid() noexcept { return 0; }
    static void Release(Value handle) noexcept;
};

// Memory the system allocated for the caller with LocalAlloc (security
// descriptors, SID texts).
struct LocalMemoryTraits {
    using Value = void*;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value memory) noexcept { LocalFree(memory); }
};

using KernelHandle = Owner<NullHandleTraits>;
using FileHandle = Owner<FileHandleTraits>;
using FindHandle = Owner<FindTraits>;
using WindowHandle = Owner<WindowTraits>;
using RegistryKey = Owner<RegistryKeyTraits>;
using MappedView = Owner<MappedViewTraits>;
using LocalMemory = Owner<LocalMemoryTraits>;
using MsiHandle = Owner<MsiHandleTraits>;
