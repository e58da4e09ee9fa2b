#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/ByteView.h"

constexpr uint32_t highBit = 0x80000000u;

// Lays out resource sections byte by byte, so that tests can state exactly
// which table, name or data entry is damaged.
class SectionBuilder {
public:
    // A table header with its entries zeroed; returns the table's offset.
    uint32_t AddTable(uint16_t named, uint16_t ids);
    void SetEntry(uint32_t table, uint32_t index, uint32_t name, uint32_t offsetToData);
    // Stores `length` as given, so that a length may run past the units.
    uint32_t AddName(const std::wstring& units, uint16_t length);
    uint32_t AddName(const std::wstring& units);
    uint32_t AddDataEntry(uint32_t rva, uint32_t size);
    uint32_t AddBytes(size_t count, unsigned char value);

    uint32_t Read32(size_t at) const;

    ByteView View() const { return ByteView{bytes.data(), bytes.size()}; }
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }

    std::vector<unsigned char> bytes;

private:
    void Put16(uint16_t value);
    void Put32(uint32_t value);
    void Set32(size_t at, uint32_t value);
};

IMAGE_SECTION_HEADER SectionHeader(const char* name, uint32_t virtualAddress, uint32_t sizeOfRawData,
                                   uint32_t pointerToRawData);

// Root: "BIN", "TXT" named, id 3. Type "BIN": a named entry "X", then ids
// 5 (one language, 16 data bytes), 6 (two languages), 7 (a subdirectory
// where the data entry belongs). Data RVAs count from `virtualAddress`.
SectionBuilder ValidSection(uint32_t virtualAddress);
