#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// A borrowed run of bytes with its length. Offsets come from a file that may
// be damaged, so every read first proves that it stays inside the run.
struct ByteView {
    const unsigned char* data = nullptr;
    size_t size = 0;

    bool Holds(uint64_t offset, uint64_t length) const noexcept
    {
        return offset <= size && length <= size - offset;
    }

    // Callers check Holds first; memcpy because table fields need not be aligned.
    uint16_t Read16(size_t offset) const noexcept
    {
        uint16_t value;
        std::memcpy(&value, data + offset, sizeof value);
        return value;
    }

    uint32_t Read32(size_t offset) const noexcept
    {
        uint32_t value;
        std::memcpy(&value, data + offset, sizeof value);
        return value;
    }
};
