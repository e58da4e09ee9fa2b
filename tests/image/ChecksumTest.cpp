#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "image/Crc32.h"
#include "image/Crc32Clmul.h"
#include "image/PayloadChecksums.h"
#include "tests/support/ErrorText.h"

namespace {

using UpdateFunction = uint32_t (*)(uint32_t, const unsigned char*, size_t) noexcept;

// Each path UpdateCrc32 chooses between, forced, and the choice itself.
struct CrcPath {
    const char* name;
    UpdateFunction update;
    bool needsClmul;
};

void PrintTo(const CrcPath& path, std::ostream* out)
{
    *out << path.name;
}

const CrcPath paths[] = {
    {"Portable", UpdateCrc32Portable, false},
    {"Clmul", UpdateCrc32Clmul, true},
    {"Chosen", UpdateCrc32, false},
};

// Printed once per run: whether this CPU (under qemu, the one qemu
// emulates) takes the hardware path.
class CrcPathReport : public testing::Environment {
    void SetUp() override
    {
        std::printf("UpdateCrc32 takes the %s path on this CPU\n",
                    CpuHasClmul() ? "PCLMULQDQ folding" : "table (no PCLMULQDQ and SSE4.1)");
    }
};
testing::Environment* const crcPathReport = testing::AddGlobalTestEnvironment(new CrcPathReport);

// One bit at a time, straight from the polynomial: prefix[n] is the CRC-32 of
// the first n bytes.
std::vector<uint32_t> BitwisePrefixCrcs(const unsigned char* data, size_t size)
{
    std::vector<uint32_t> prefix{0};
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        prefix.push_back(~crc);
    }
    return prefix;
}

std::vector<unsigned char> RandomBytes(size_t size)
{
    std::mt19937 random(12345);
    std::vector<unsigned char> bytes(size);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(random());
    return bytes;
}

// Python builds the same bytes: bytes(((i ^ (i >> 8) ^ (i >> 16)) * 37) & 0xFF for i in range(size)).
std::vector<unsigned char> PatternBytes(size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>((i ^ (i >> 8) ^ (i >> 16)) * 37);
    return bytes;
}

class Crc32PathTest : public testing::TestWithParam<CrcPath> {
protected:
    void SetUp() override
    {
        if (GetParam().needsClmul && !CpuHasClmul())
            GTEST_SKIP() << "this CPU has no PCLMULQDQ and SSE4.1: the hardware path cannot run here";
    }

    uint32_t Update(uint32_t crc, const unsigned char* data, size_t size) const
    {
        return GetParam().update(crc, data, size);
    }

    uint32_t Crc(const std::string& text) const
    {
        return Update(0, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    }
};

// Long enough for the folding path's four-block loop, its 16-byte steps and
// the tail it hands to the tables.
constexpr size_t longestShort = 400;
constexpr size_t mib = 1024 * 1024;

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

INSTANTIATE_TEST_SUITE_P(Paths, Crc32PathTest, testing::ValuesIn(paths),
                         [](const testing::TestParamInfo<CrcPath>& info) { return std::string(info.param.name); });

TEST_P(Crc32PathTest, KnownValues)
{
    EXPECT_EQ(0x00000000u, Crc(""));
    EXPECT_EQ(0xCBF43926u, Crc("123456789"));
    EXPECT_EQ(0x414FA339u, Crc("The quick brown fox jumps over the lazy dog"));
}

TEST_P(Crc32PathTest, MatchesTheBitwiseReferenceForEveryLengthAndAlignment)
{
    const std::vector<unsigned char> buffer = RandomBytes(16 + longestShort);
    for (size_t alignment = 0; alignment < 16; ++alignment) {
        const unsigned char* data = buffer.data() + alignment;
        const std::vector<uint32_t> expected = BitwisePrefixCrcs(data, longestShort);
        for (size_t length = 0; length <= longestShort; ++length)
            ASSERT_EQ(expected[length], Update(0, data, length)) << "alignment " << alignment << ", length " << length;
    }
}

TEST_P(Crc32PathTest, TwoPiecesSplitAnywhereGiveTheValueOfTheWhole)
{
    const std::vector<unsigned char> bytes = RandomBytes(longestShort);
    const uint32_t expected = BitwisePrefixCrcs(bytes.data(), bytes.size()).back();
    for (size_t split = 0; split <= bytes.size(); ++split) {
        const uint32_t first = Update(0, bytes.data(), split);
        ASSERT_EQ(expected, Update(first, bytes.data() + split, bytes.size() - split)) << "split at " << split;
    }
}

// The values are Python's zlib.crc32 of PatternBytes: of its first MiB, and
// of the whole item fed in the copy's 1 MiB pieces.
TEST_P(Crc32PathTest, AMibPieceAndAnItemOfSeveralPiecesGiveZlibsValues)
{
    const std::vector<unsigned char> item = PatternBytes(3 * mib + 12345);
    EXPECT_EQ(0x892CA4E9u, Update(0, item.data(), mib));
    uint32_t crc = 0;
    for (size_t offset = 0; offset < item.size(); offset += mib)
        crc = Update(crc, item.data() + offset, std::min(mib, item.size() - offset));
    EXPECT_EQ(0xDD19277Cu, crc);
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
