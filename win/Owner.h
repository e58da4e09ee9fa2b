#pragma once

#include <utility>

// Sole owner of one system resource. Traits name the raw type, its invalid
// value and how it is released; each handle kind gets a one-line alias.
template <typename Traits>
class Owner {
public:
    using Value = typename Traits::Value;

    Owner() noexcept = default;
    explicit Owner(Value value) noexcept : value_(value) {}
    ~Owner() { reset(); }

    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Owner(Owner&& other) noexcept : value_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept
    {
        reset(other.release());
        return *this;
    }

    Value get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    void reset(Value value = Traits::Invalid()) noexcept
    {
        Value old = std::exchange(value_, value);
        if (old != Traits::Invalid())
            Traits::Release(old);
    }

    Value release() noexcept { return std::exchange(value_, Traits::Invalid()); }

private:
    Value value_ = Traits::Invalid();
};
