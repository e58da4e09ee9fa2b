#include "image/SectionTable.h"

namespace {

constexpr size_t newHeaderOffsetField = 0x3C;
constexpr size_t signatureSize = 4;
constexpr size_t coffHeaderSize = 20;
constexpr size_t sectionCountField = 2;
constexpr size_t optionalHeaderSizeField = 16;

}  // namespace

std::optional<SectionTable> FindSectionTable(ByteView file)
{
    if (!file.Holds(0, newHeaderOffsetField + 4) || file.Read16(0) != IMAGE_DOS_SIGNATURE)
        return std::nullopt;
    const uint64_t peHeader = file.Read32(newHeaderOffsetField);
    if (!file.Holds(peHeader, signatureSize + coffHeaderSize) || file.Read32(peHeader) != IMAGE_NT_SIGNATURE)
        return std::nullopt;
    const uint64_t coffHeader = peHeader + signatureSize;
    const uint16_t count = file.Read16(coffHeader + sectionCountField);
    const uint64_t table = coffHeader + coffHeaderSize + file.Read16(coffHeader + optionalHeaderSizeField);
    if (count == 0 || !file.Holds(table, uint64_t{count} * sizeof(IMAGE_SECTION_HEADER)))
        return std::nullopt;
    // Used in place, as the loader does; x86 reads their fields at any alignment.
    return SectionTable{reinterpret_cast<const IMAGE_SECTION_HEADER*>(file.data + table), count};
}
