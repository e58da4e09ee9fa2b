#pragma once

// Takes every DLL the process loads by name from now on (its own, and those
// that system DLLs load for it: visual styles, the common dialogs' helpers)
// from the system folder only, never from the launcher's folder, which may
// be a Downloads folder where anyone can drop a DLL. Call it first thing.
void RestrictDllSearchToSystemFolder() noexcept;
