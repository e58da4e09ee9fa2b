#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "win/Owner.h"

struct ModuleTraits {
    using Value = HMODULE;
    static Value Invalid() noexcept { return nullptr; }
    static void Release(Value module) noexcept { FreeLibrary(module); }
};

using ModuleHandle = Owner<ModuleTraits>;

// A DLL taken from the system folder only. A launcher runs from Downloads,
// where anyone can drop a DLL beside it; the ordinary search would find it first.
class SystemLibrary {
public:
    // Throws "<name> could not be loaded".
    explicit SystemLibrary(const wchar_t* name);

    // The exported function, typed; throws "<function> is missing" when absent.
    template <typename Function>
    Function* Get(const char* function) const
    {
        // Through void*: FARPROC is a function type of its own, and the real
        // signature is only known here.
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(Address(function)));
    }

private:
    FARPROC Address(const char* function) const;

    std::wstring name_;
    ModuleHandle module_;
};
