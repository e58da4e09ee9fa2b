#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "image/ByteView.h"

// The section headers of a PE file, as they lie in a flat view of it.
struct SectionTable {
    const IMAGE_SECTION_HEADER* headers = nullptr;
    size_t count = 0;
};

// Finds the table through the DOS and COFF headers; empty when a header or
// the table itself does not lie inside the file, as in a damaged download.
std::optional<SectionTable> FindSectionTable(ByteView file);
