#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320). Start with 0
// and feed the pieces in order; the result of one call is the next call's crc.
// Takes the carry-less multiplication path where the CPU has it.
uint32_t UpdateCrc32(uint32_t crc, const unsigned char* data, size_t size) noexcept;

// The table-driven path alone, for any CPU; same contract as UpdateCrc32.
uint32_t UpdateCrc32Portable(uint32_t crc, const unsigned char* data, size_t size) noexcept;
