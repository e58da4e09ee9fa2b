#include "image/PayloadChecksums.h"

namespace {

constexpr size_t pairSize = 8;

}  // namespace

PayloadChecksums::PayloadChecksums(ByteView table) : table_(table)
{
    if (table_.size == 0 || table_.size % pairSize != 0)
        throw DamagedInstallerError();
}

uint32_t PayloadChecksums::For(int id) const
{
    for (size_t offset = 0; table_.Holds(offset, pairSize); offset += pairSize) {
        if (table_.Read32(offset) == static_cast<uint32_t>(id))
            return table_.Read32(offset + 4);
    }
    throw DamagedInstallerError();
}
