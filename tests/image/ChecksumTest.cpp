#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "image/Crc32.h"
#include "image/PayloadChecksums.h"
#include "tests/support/ErrorText.h"

namespace {

uint32_t Crc(const std::string& text)
{
    return UpdateCrc32(0, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// One bit at a time, straight from the polynomial: the reference the fast one must match.
uint32_t BitwiseCrc(const std::vector<unsigned char>& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

std::vector<unsigned char> Pairs(const std::vector<uint32_t>& values)
{
    std::vector<unsigned char> bytes;
    for (uint32_t value : values)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(value >> shift));
    return bytes;
}

const char damaged[] = "The installer file is damaged. Please download it again.";

}  // namespace

TEST(Crc32Test, KnownValues)
{
    EXPECT_EQ(0x00000000u, Crc(""));
    EXPECT_EQ(0xCBF43926u, Crc("123456789"));
    EXPECT_EQ(0x414FA339u, Crc("The quick brown fox jumps over the lazy dog"));
}

// Every length around the eight-byte stride, every alignment, and any split
// into pieces gives the reference value: the copy feeds 1 MiB pieces.
TEST(Crc32Test, MatchesTheBitwiseReferenceWhateverTheLengthAlignmentAndPieces)
{
    std::mt19937 random(12345);
    std::vector<unsigned char> buffer(300);
    for (unsigned char& byte : buffer)
        byte = static_cast<unsigned char>(random());
    for (size_t start = 0; start < 8; ++start) {
        for (size_t length = 0; start + length <= buffer.size(); length += 7) {
            const std::vector<unsigned char> bytes(buffer.begin() + start, buffer.begin() + start + length);
            const uint32_t expected = BitwiseCrc(bytes);
            EXPECT_EQ(expected, UpdateCrc32(0, buffer.data() + start, length)) << start << "+" << length;
            const size_t split = length / 3;
            const uint32_t first = UpdateCrc32(0, buffer.data() + start, split);
            EXPECT_EQ(expected, UpdateCrc32(first, buffer.data() + start + split, length - split));
        }
    }
}

TEST(PayloadChecksumsTest, GivesTheRecordedValueOfEachItem)
{
    const std::vector<unsigned char> table = Pairs({132, 0xDEADBEEF, 135, 0x01020304});
    const PayloadChecksums checksums(ByteView{table.data(), table.size()});
    EXPECT_EQ(0xDEADBEEFu, checksums.For(132));
    EXPECT_EQ(0x01020304u, checksums.For(135));
}

TEST(PayloadChecksumsTest, AnUnrecordedItemOrABrokenTableIsADamagedInstaller)
{
    const std::vector<unsigned char> table = Pairs({132, 0xDEADBEEF});
    const PayloadChecksums checksums(ByteView{table.data(), table.size()});
    EXPECT_EQ(damaged, ErrorText([&] { checksums.For(133); }));
    // The value of one pair is not mistaken for an id.
    EXPECT_EQ(damaged, ErrorText([&] { checksums.For(static_cast<int>(0xDEADBEEF)); }));
    EXPECT_EQ(damaged, ErrorText([&] { PayloadChecksums(ByteView{table.data(), table.size() - 1}); }));
    EXPECT_EQ(damaged, ErrorText([&] { PayloadChecksums(ByteView{table.data(), 0}); }));
}
