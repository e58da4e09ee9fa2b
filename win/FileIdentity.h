#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "win/Handles.h"

// Which file a handle is open on. The 128-bit id where Windows has it
// (Windows 8 and later): the 64-bit index is not unique on ReFS, which a
// Dev Drive TEMP uses. The 64-bit index elsewhere.
struct FileIdentity {
    uint64_t volume = 0;
    std::array<unsigned char, 16> id{};
    bool wide = false;

    bool operator==(const FileIdentity& other) const noexcept
    {
        return volume == other.volume && id == other.id && wide == other.wide;
    }
    bool operator!=(const FileIdentity& other) const noexcept { return !(*this == other); }
};

// Empty when the handle's file cannot be asked.
std::optional<FileIdentity> IdentityOf(HANDLE file);

// Opens the file just written at `path` for reading, shared for reading
// only, so that nobody can change, rename or delete it while the handle
// lives. A scanner that has the new file open for a moment is waited out.
// Invalid, with ERROR_FILE_INVALID, when the file there is no longer the one
// written: someone swapped another in after the write handle was closed.
FileHandle HoldWrittenFile(const std::wstring& path, const FileIdentity& written);
