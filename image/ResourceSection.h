#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "image/ByteView.h"

// The section named ".rsrc" of a flat (as on disk) view of an executable file.
class ResourceSection {
public:
    // `sections` is the file's section table. Throws
    // "ResourceSection::ResourceSection" for no table or file, no ".rsrc"
    // section, or one whose raw data starts beyond the file.
    ResourceSection(const IMAGE_SECTION_HEADER* sections, size_t count, ByteView file);

    // The section's raw data, cut off where the file ends.
    ByteView Bytes() const noexcept { return bytes; }

    // File position of `size` bytes at `rva`; the whole range must lie inside
    // the section's raw data and the file, or "ResourceSection::RvaToFilePosition".
    uint64_t RvaToFilePosition(uint32_t rva, uint32_t size = 0) const;

    // The `size` bytes at `rva`, under the same checks as RvaToFilePosition.
    ByteView DataAt(uint32_t rva, uint32_t size) const;

private:
    void Locate(const IMAGE_SECTION_HEADER* sections, size_t count, ByteView file);

    IMAGE_SECTION_HEADER section{};
    ByteView file;
    ByteView bytes;
};
