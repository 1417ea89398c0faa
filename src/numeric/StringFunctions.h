#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvenda {

// Substrings and searches on strings held as token arrays: lengths and positions count
// tokens.
class StringFunctions {
public:
    using Ops = std::vector<std::uint32_t>;
    using Tokens = std::span<const std::uint32_t>;

    // The `length` tokens from the zero-based `begin`; none when begin is negative or
    // beyond the string, the length negative, or begin + length past its end.
    static std::optional<Ops> subString(Tokens string, double begin, double length);
    // The 1-based position of the first `sub` at or after the 1-based `start`; 0 when
    // there is none.
    static double inString(Tokens string, Tokens sub, double start);
};

} // namespace orvenda
