#pragma once

#include <cstdint>
#include <string>

#include "image/ByteView.h"

struct ResourceEntry {
    uint32_t name = 0;
    uint32_t offsetToData = 0;
};

struct ResourceData {
    uint32_t offsetToData = 0;  // an RVA, not a section offset
    uint32_t size = 0;
};

// One directory table of a resource section. Offsets in the tables count from
// the section's start; each is checked against `section` before it is read.
class ResourceDir {
public:
    // The root table at the section's start.
    explicit ResourceDir(ByteView section);
    // The subdirectory that one of the parent's entries points at.
    ResourceDir(const ResourceDir& parent, const ResourceEntry& entry);

    ResourceEntry GetFirstEntry() const;
    // Matches like wcsncmp(stored, name, stored length): a stored prefix of the
    // name, NUL included, matches; so does an empty stored name.
    ResourceDir GetChildWithName(const std::wstring& name) const;
    ResourceDir GetChildWithId(int id) const;
    // The single entry of a language table, whatever its language.
    ResourceData GetResourceData() const;

private:
    ResourceDir(ByteView section, uint64_t table);

    uint16_t NamedCount() const noexcept;
    uint16_t IdCount() const noexcept;
    ResourceEntry Entry(uint32_t index) const noexcept;
    bool NameMatches(uint32_t name, const std::wstring& wanted) const;

    ByteView section;
    uint32_t table = 0;
};

// The data entry of the "BIN" resource `id`, found from the section's root.
ResourceData FindBinResource(ByteView section, int id);
