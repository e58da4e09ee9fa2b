#pragma once

#include <cstdint>
#include <stdexcept>

// Told of each piece of a payload copy once it is written. It knows nothing
// of windows; it may throw CopyCancelled to stop the copy after that piece.
class CopyProgress {
public:
    virtual void Copied(uint32_t bytes) = 0;

protected:
    ~CopyProgress() = default;
};

// The user stopped the copy. Everything staged so far is removed on the way
// out, as on any error, but the run ends without a message.
class CopyCancelled : public std::runtime_error {
public:
    CopyCancelled() : std::runtime_error("Cancelled") {}
};
