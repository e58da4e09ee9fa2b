#include "image/Crc32Clmul.h"

#include <cpuid.h>
#include <immintrin.h>

#include "image/Crc32.h"

// Folding by carry-less multiplication, after Intel's white paper "Fast CRC
// Computation for Generic Polynomials Using PCLMULQDQ Instruction" (2009).
// In the bit-reflected domain each constant is (x^n mod P), reflected, times
// x: image/crc32_fold_constants.py derives them. The functions carry their own
// target so that the rest of the launcher stays plain i686 code.
#define CLMUL_CODE __attribute__((target("pclmul,sse4.1")))

namespace {

constexpr uint64_t xPow544 = 0x154442BD4;  // 4 * 128 + 32: folds across 512 bits
constexpr uint64_t xPow480 = 0x1C6E41596;  // 4 * 128 - 32
constexpr uint64_t xPow160 = 0x1751997D0;  // 128 + 32: folds across 128 bits
constexpr uint64_t xPow96 = 0x0CCAA009E;   // 128 - 32
constexpr uint64_t xPow64 = 0x163CD6124;
constexpr uint64_t polynomial = 0x1DB710641;  // P, reflected
constexpr uint64_t barrettMu = 0x1F7011641;   // x^64 / P, reflected

// Below four blocks the set-up and the reduction cost more than the tables.
constexpr size_t smallestFolded = 64;

CLMUL_CODE __m128i Load(const unsigned char* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// Carries both halves of `value` forward over the distance `constants` were
// made for and adds the bytes found there.
CLMUL_CODE __m128i Fold(__m128i value, __m128i constants, __m128i there)
{
    const __m128i low = _mm_clmulepi64_si128(value, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(value, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), there);
}

// Four independent accumulators keep the multiplier busy while each
// product's latency passes. size is a multiple of 16, at least 64.
CLMUL_CODE __m128i FoldBlocks(uint32_t crc, const unsigned char* data, size_t size)
{
    __m128i a0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i a1 = Load(data + 16);
    __m128i a2 = Load(data + 32);
    __m128i a3 = Load(data + 48);
    const __m128i across512 = _mm_set_epi64x(xPow480, xPow544);
    for (data += 64, size -= 64; size >= 64; data += 64, size -= 64) {
        a0 = Fold(a0, across512, Load(data));
        a1 = Fold(a1, across512, Load(data + 16));
        a2 = Fold(a2, across512, Load(data + 32));
        a3 = Fold(a3, across512, Load(data + 48));
    }
    const __m128i across128 = _mm_set_epi64x(xPow96, xPow160);
    __m128i value = Fold(Fold(Fold(a0, across128, a1), across128, a2), across128, a3);
    for (; size != 0; data += 16, size -= 16)
        value = Fold(value, across128, Load(data));
    return value;
}

// 128 bits to 64 to 32: two more folds, then Barrett's reduction.
CLMUL_CODE uint32_t Reduce(__m128i value)
{
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    value = _mm_xor_si128(_mm_srli_si128(value, 8), _mm_clmulepi64_si128(value, _mm_set_epi64x(xPow96, 0), 0x10));
    value = _mm_xor_si128(_mm_srli_si128(value, 4),
                          _mm_clmulepi64_si128(_mm_and_si128(value, low32), _mm_set_epi64x(0, xPow64), 0x00));
    const __m128i barrett = _mm_set_epi64x(barrettMu, polynomial);
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(value, low32), barrett, 0x10);
    quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(value, quotient), 1));
}

CLMUL_CODE uint32_t FoldedRegister(uint32_t crc, const unsigned char* data, size_t size)
{
    return Reduce(FoldBlocks(crc, data, size));
}

}  // namespace

bool CpuHasClmul() noexcept
{
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
}

uint32_t UpdateCrc32Clmul(uint32_t crc, const unsigned char* data, size_t size) noexcept
{
    if (size < smallestFolded)
        return UpdateCrc32Portable(crc, data, size);
    const size_t folded = size & ~size_t{15};
    crc = ~FoldedRegister(~crc, data, folded);
    return UpdateCrc32Portable(crc, data + folded, size - folded);
}
