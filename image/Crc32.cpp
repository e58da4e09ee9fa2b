#include "image/Crc32.h"

#include <cstring>

#include "image/Crc32Clmul.h"

namespace {

// Braiding, as zlib does it: the words of each block go round-robin to six
// lanes, each carrying a register of its own, so that the table look-ups of
// one lane overlap those of the others instead of waiting for them.
using Word = size_t;
constexpr size_t wordSize = sizeof(Word);
constexpr size_t laneCount = 6;
constexpr size_t blockSize = laneCount * wordSize;

struct Tables {
    uint32_t byte[256];
    // braid[j][b]: the register byte b at offset j of a word leaves when it
    // reaches the same lane's next word, blockSize - j bytes further on.
    uint32_t braid[wordSize][256];
};

uint32_t ShiftInZero(const Tables& t, uint32_t crc) noexcept
{
    return (crc >> 8) ^ t.byte[crc & 0xFF];
}

Tables MakeTables() noexcept
{
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        t.byte[i] = crc;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = t.byte[i];
        for (size_t zeros = 0; zeros < blockSize - wordSize; ++zeros)
            crc = ShiftInZero(t, crc);
        for (size_t j = wordSize; j-- != 0; crc = ShiftInZero(t, crc))
            t.braid[j][i] = crc;
    }
    return t;
}

const Tables& CrcTables() noexcept
{
    static const Tables tables = MakeTables();
    return tables;
}

Word LoadWord(const unsigned char* bytes) noexcept
{
    Word value;
    std::memcpy(&value, bytes, sizeof value);
    return value;  // x86 is little-endian, as the tables assume
}

uint32_t FeedBytes(const Tables& t, uint32_t crc, const unsigned char* data, size_t size) noexcept
{
    for (; size != 0; ++data, --size)
        crc = (crc >> 8) ^ t.byte[(crc ^ *data) & 0xFF];
    return crc;
}

// Byte j of every lane before byte j + 1 of any, so that independent
// look-ups stand side by side. The loops are unrolled so that the lanes live
// in registers whatever the optimisation level.
void BraidBlock(const Tables& t, uint32_t (&lanes)[laneCount], const unsigned char* block) noexcept
{
    Word words[laneCount];
#pragma GCC unroll 8
    for (size_t k = 0; k < laneCount; ++k) {
        words[k] = LoadWord(block + k * wordSize) ^ lanes[k];
        lanes[k] = 0;
    }
#pragma GCC unroll 8
    for (size_t j = 0; j < wordSize; ++j) {
#pragma GCC unroll 8
        for (size_t k = 0; k < laneCount; ++k) {
            lanes[k] ^= t.braid[j][words[k] & 0xFF];
            words[k] >>= 8;
        }
    }
}

// Braids all whole blocks but the last, which then takes in the lanes'
// registers and is fed byte by byte to join them into one.
uint32_t FeedBlocks(const Tables& t, uint32_t crc, const unsigned char* data, size_t blocks) noexcept
{
    uint32_t lanes[laneCount] = {crc};
    for (; blocks > 1; --blocks, data += blockSize)
        BraidBlock(t, lanes, data);
    crc = 0;
    for (size_t k = 0; k < laneCount; ++k, data += wordSize) {
        const Word word = LoadWord(data) ^ lanes[k];
        unsigned char bytes[wordSize];
        std::memcpy(bytes, &word, wordSize);
        crc = FeedBytes(t, crc, bytes, wordSize);
    }
    return crc;
}

}  // namespace

uint32_t UpdateCrc32Portable(uint32_t crc, const unsigned char* data, size_t size) noexcept
{
    const Tables& t = CrcTables();
    crc = ~crc;
    const size_t blocks = size / blockSize;
    if (blocks != 0) {
        crc = FeedBlocks(t, crc, data, blocks);
        data += blocks * blockSize;
        size -= blocks * blockSize;
    }
    return ~FeedBytes(t, crc, data, size);
}

uint32_t UpdateCrc32(uint32_t crc, const unsigned char* data, size_t size) noexcept
{
    static const bool clmul = CpuHasClmul();
    return clmul ? UpdateCrc32Clmul(crc, data, size) : UpdateCrc32Portable(crc, data, size);
}
