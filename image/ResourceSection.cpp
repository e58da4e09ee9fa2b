#include "image/ResourceSection.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const char* operation)
{
    throw std::runtime_error(operation);
}

bool IsResourceSection(const IMAGE_SECTION_HEADER& header)
{
    const char* name = reinterpret_cast<const char*>(header.Name);
    return strnlen(name, IMAGE_SIZEOF_SHORT_NAME) == 5 && std::memcmp(name, ".rsrc", 5) == 0;
}

}  // namespace

ResourceSection::ResourceSection(const IMAGE_SECTION_HEADER* sections, size_t count, ByteView file)
{
    Locate(sections, count, file);
}

void ResourceSection::Locate(const IMAGE_SECTION_HEADER* sections, size_t count, ByteView source)
{
    const IMAGE_SECTION_HEADER* found = nullptr;
    for (size_t i = 0; sections && i < count; ++i) {
        if (IsResourceSection(sections[i]))
            found = &sections[i];
    }
    if (!found || !source.data || found->PointerToRawData >= source.size)
        Fail("ResourceSection::ResourceSection");
    section = *found;
    file = source;
    const size_t available = source.size - section.PointerToRawData;
    bytes = ByteView{source.data + section.PointerToRawData,
                     std::min<size_t>(section.SizeOfRawData, available)};
}

uint64_t ResourceSection::RvaToFilePosition(uint32_t rva, uint32_t size) const
{
    const uint64_t start = section.VirtualAddress;
    const uint64_t end = start + section.SizeOfRawData;
    if (rva < start || rva >= end || rva + uint64_t{size} > end)
        Fail("ResourceSection::RvaToFilePosition");
    const uint64_t position = rva - start + section.PointerToRawData;
    if (!file.Holds(position, size))
        Fail("ResourceSection::RvaToFilePosition");
    return position;
}

ByteView ResourceSection::DataAt(uint32_t rva, uint32_t size) const
{
    return ByteView{file.data + RvaToFilePosition(rva, size), size};
}
