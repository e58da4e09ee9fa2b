#pragma once

#include <cstddef>
#include <cstdint>

// Whether the CPU can run UpdateCrc32Clmul (PCLMULQDQ and SSE4.1).
bool CpuHasClmul() noexcept;

// UpdateCrc32 by carry-less multiplication; call it only where CpuHasClmul().
uint32_t UpdateCrc32Clmul(uint32_t crc, const unsigned char* data, size_t size) noexcept;
