#pragma once

#include <windows.h>

// A function of kernel32 that older Windows (or Wine) lack, looked up at run
// time rather than imported: an import would keep the launcher from starting
// at all there. Null when absent.
template <typename Function>
Function* Kernel32Export(const char* name) noexcept
{
    // Through void*: FARPROC is a function type of its own.
    return reinterpret_cast<Function*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}
