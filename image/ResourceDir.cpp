#include "image/ResourceDir.h"

#include <stdexcept>

namespace {

constexpr uint32_t highBit = 0x80000000u;
constexpr uint32_t headerSize = 16;
constexpr uint32_t entrySize = 8;
constexpr uint32_t dataEntrySize = 16;

[[noreturn]] void Fail(const char* operation)
{
    throw std::runtime_error(operation);
}

uint32_t SubdirectoryOffset(const ResourceEntry& entry)
{
    if (!(entry.offsetToData & highBit))
        Fail("ResourceDir::ResourceDir");
    return entry.offsetToData & ~highBit;
}

}  // namespace

ResourceDir::ResourceDir(ByteView section) : ResourceDir(section, 0)
{
}

ResourceDir::ResourceDir(const ResourceDir& parent, const ResourceEntry& entry)
    : ResourceDir(parent.section, SubdirectoryOffset(entry))
{
}

ResourceDir::ResourceDir(ByteView bytes, uint64_t offset) : section(bytes)
{
    if (!section.data || !section.Holds(offset, headerSize))
        Fail("ResourceDir::ResourceDir");
    table = static_cast<uint32_t>(offset);
    const uint32_t count = uint32_t{NamedCount()} + IdCount();
    if (!section.Holds(uint64_t{table} + headerSize, uint64_t{count} * entrySize))
        Fail("ResourceDir::ResourceDir");
}

uint16_t ResourceDir::NamedCount() const noexcept
{
    return section.Read16(table + 12);
}

uint16_t ResourceDir::IdCount() const noexcept
{
    return section.Read16(table + 14);
}

ResourceEntry ResourceDir::Entry(uint32_t index) const noexcept
{
    const size_t at = size_t{table} + headerSize + size_t{index} * entrySize;
    return ResourceEntry{section.Read32(at), section.Read32(at + 4)};
}

ResourceEntry ResourceDir::GetFirstEntry() const
{
    if (NamedCount() + IdCount() == 0)
        Fail("ResourceDir::GetFirstEntry");
    return Entry(0);
}

bool ResourceDir::NameMatches(uint32_t name, const std::wstring& wanted) const
{
    const uint32_t at = name & ~highBit;
    if (!section.Holds(at, 2))
        Fail("ResourceDir::GetChildWithName");
    const uint16_t length = section.Read16(at);
    if (!section.Holds(uint64_t{at} + 2, uint64_t{length} * 2))
        Fail("ResourceDir::GetChildWithName");
    const wchar_t* text = wanted.c_str();
    for (uint32_t i = 0; i < length; ++i) {
        const uint16_t stored = section.Read16(at + 2 + i * 2);
        if (stored != static_cast<uint16_t>(text[i]))
            return false;
        if (stored == 0)
            return true;
    }
    return true;
}

ResourceDir ResourceDir::GetChildWithName(const std::wstring& name) const
{
    GetFirstEntry();
    if (NamedCount() == 0)
        Fail("ResourceDir::GetChildWithName");
    for (uint32_t i = 0; i < NamedCount(); ++i) {
        const ResourceEntry entry = Entry(i);
        if ((entry.name & highBit) && NameMatches(entry.name, name))
            return ResourceDir(*this, entry);
    }
    Fail("ResourceDir::GetChildWithName");
}

ResourceDir ResourceDir::GetChildWithId(int id) const
{
    GetFirstEntry();
    if (IdCount() == 0)
        Fail("ResourceDir::GetChildWithId");
    for (uint32_t i = NamedCount(); i < uint32_t{NamedCount()} + IdCount(); ++i) {
        const ResourceEntry entry = Entry(i);
        if (!(entry.name & highBit) && static_cast<int>(entry.name & 0xFFFF) == id)
            return ResourceDir(*this, entry);
    }
    Fail("ResourceDir::GetChildWithId");
}

ResourceData ResourceDir::GetResourceData() const
{
    if (NamedCount() + IdCount() != 1)
        Fail("ResourceDir::GetResourceData");
    const ResourceEntry entry = Entry(0);
    if ((entry.offsetToData & highBit) || !section.Holds(entry.offsetToData, dataEntrySize))
        Fail("ResourceDir::GetResourceData");
    return ResourceData{section.Read32(entry.offsetToData), section.Read32(entry.offsetToData + 4)};
}

ResourceData FindBinResource(ByteView section, int id)
{
    return ResourceDir(section).GetChildWithName(L"BIN").GetChildWithId(id).GetResourceData();
}
