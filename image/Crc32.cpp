#include "image/Crc32.h"

#include <array>
#include <cstring>

namespace {

// Slicing by eight: eight table look-ups consume eight bytes at once, so the
// check keeps pace with the 1 MiB copy it runs beside.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables MakeTables() noexcept
{
    Tables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        tables[0][i] = crc;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (size_t t = 1; t < tables.size(); ++t)
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    return tables;
}

const Tables& CrcTables() noexcept
{
    static const Tables tables = MakeTables();
    return tables;
}

uint32_t Load32(const unsigned char* bytes) noexcept
{
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;  // x86 is little-endian, as the tables assume
}

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const unsigned char* data, size_t size) noexcept
{
    const Tables& t = CrcTables();
    crc = ~crc;
    for (; size >= 8; data += 8, size -= 8) {
        const uint32_t low = Load32(data) ^ crc;
        const uint32_t high = Load32(data + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; size != 0; ++data, --size)
        crc = (crc >> 8) ^ t[0][(crc ^ *data) & 0xFF];
    return ~crc;
}
