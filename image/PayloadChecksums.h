#pragma once

#include <cstdint>
#include <stdexcept>

#include "image/ByteView.h"

// What the user is told when the launcher's own bytes are not what was built.
class DamagedInstallerError : public std::runtime_error {
public:
    DamagedInstallerError()
        : std::runtime_error("The installer file is damaged. Please download it again.")
    {
    }
};

// The CRC-32 of each payload item, recorded by the build as resource "CRC32" 1:
// a run of little-endian (resource id, CRC-32) pairs.
class PayloadChecksums {
public:
    // A table whose size is not a whole number of pairs is damaged.
    explicit PayloadChecksums(ByteView table);

    // The recorded CRC-32 of item `id`; an item the build did not record is damaged.
    uint32_t For(int id) const;

private:
    ByteView table_;
};
