#pragma once

#include <cstddef>
#include <cstdint>

namespace orvenda::tokens {

// An inclusive range of token codes, for the tables that sort tokens into classes.
struct Range {
    std::uint32_t lo, hi;
};

template <std::size_t N>
constexpr bool in(const Range (&ranges)[N], std::uint32_t t)
{
    for (const Range& r : ranges)
        if (t >= r.lo && t <= r.hi)
            return true;
    return false;
}

} // namespace orvenda::tokens
