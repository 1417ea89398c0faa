#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

// Op arrays as text and back: the text a user sees (token names run together), the text a
// screen reader speaks, and plain text typed back into tokens one character at a time.
// Positions are counted in code points.
class TokenText {
public:
    // The display names of all ops, in order. Whole 32-bit ops are named, so a unit
    // conversion or a constant shows its own name.
    static std::string stringFromOps(std::span<const uint32_t> ops);
    // As above; cursorPosition comes in as a token index and goes out as the code-point
    // index where that token's name begins. An index at or past the end becomes the text's
    // length, a negative one 0.
    static std::string stringFromOps(std::span<const uint32_t> ops, int32_t& cursorPosition);
    // The spoken names of all ops, each followed by one blank.
    static std::string speakFromOps(std::span<const uint32_t> ops);
    // One token per character of text; characters without a token (and malformed UTF-8)
    // are dropped.
    static std::vector<uint32_t> stringToOps(std::string_view text);
};

} // namespace orvenda
