#include "tests/image/SectionBuilder.h"

#include <cstring>

uint32_t SectionBuilder::AddTable(uint16_t named, uint16_t ids)
{
    const uint32_t at = Size();
    bytes.resize(bytes.size() + 12, 0);
    Put16(named);
    Put16(ids);
    bytes.resize(bytes.size() + (named + ids) * 8u, 0);
    return at;
}

void SectionBuilder::SetEntry(uint32_t table, uint32_t index, uint32_t name, uint32_t offsetToData)
{
    const size_t at = table + 16u + index * 8u;
    Set32(at, name);
    Set32(at + 4, offsetToData);
}

uint32_t SectionBuilder::AddName(const std::wstring& units, uint16_t length)
{
    const uint32_t at = Size();
    Put16(length);
    for (wchar_t unit : units)
        Put16(static_cast<uint16_t>(unit));
    return at;
}

uint32_t SectionBuilder::AddName(const std::wstring& units)
{
    return AddName(units, static_cast<uint16_t>(units.size()));
}

uint32_t SectionBuilder::AddDataEntry(uint32_t rva, uint32_t size)
{
    const uint32_t at = Size();
    Put32(rva);
    Put32(size);
    Put32(0);
    Put32(0);
    return at;
}

uint32_t SectionBuilder::AddBytes(size_t count, unsigned char value)
{
    const uint32_t at = Size();
    bytes.resize(bytes.size() + count, value);
    return at;
}

uint32_t SectionBuilder::Read32(size_t at) const
{
    uint32_t value;
    std::memcpy(&value, &bytes[at], sizeof value);
    return value;
}

void SectionBuilder::Put16(uint16_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void SectionBuilder::Put32(uint32_t value)
{
    Put16(static_cast<uint16_t>(value));
    Put16(static_cast<uint16_t>(value >> 16));
}

void SectionBuilder::Set32(size_t at, uint32_t value)
{
    std::memcpy(&bytes[at], &value, sizeof value);
}

IMAGE_SECTION_HEADER SectionHeader(const char* name, uint32_t virtualAddress, uint32_t sizeOfRawData,
                                   uint32_t pointerToRawData)
{
    IMAGE_SECTION_HEADER header{};
    std::memcpy(header.Name, name, strnlen(name, IMAGE_SIZEOF_SHORT_NAME));
    header.VirtualAddress = virtualAddress;
    header.SizeOfRawData = sizeOfRawData;
    header.PointerToRawData = pointerToRawData;
    return header;
}

namespace {

uint32_t LanguageTable(SectionBuilder& section, uint32_t dataEntry)
{
    const uint32_t table = section.AddTable(0, 1);
    section.SetEntry(table, 0, 0x0409, dataEntry);
    return table;
}

}  // namespace

SectionBuilder ValidSection(uint32_t virtualAddress)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(2, 1);
    const uint32_t type = section.AddTable(1, 3);
    const uint32_t other = section.AddTable(0, 0);
    section.SetEntry(root, 0, highBit | section.AddName(L"BIN"), highBit | type);
    section.SetEntry(root, 1, highBit | section.AddName(L"TXT"), highBit | other);
    section.SetEntry(root, 2, 3, highBit | other);

    const uint32_t data = section.AddBytes(16, 0x5A);
    const uint32_t entry = section.AddDataEntry(virtualAddress + data, 16);
    const uint32_t single = LanguageTable(section, entry);
    const uint32_t twoLanguages = section.AddTable(0, 2);
    section.SetEntry(twoLanguages, 0, 0x0407, entry);
    section.SetEntry(twoLanguages, 1, 0x0409, entry);
    const uint32_t nested = LanguageTable(section, highBit | single);

    section.SetEntry(type, 0, highBit | section.AddName(L"X"), highBit | single);
    section.SetEntry(type, 1, 5, highBit | single);
    section.SetEntry(type, 2, 6, highBit | twoLanguages);
    section.SetEntry(type, 3, 7, highBit | nested);
    return section;
}
