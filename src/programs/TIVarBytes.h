#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvenda {

// The byte forms of TI variable data: 9-byte decimal reals and token bytes.
class TIVarBytes {
public:
    using Ops = std::vector<std::uint32_t>;
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::size_t kRealSize = 9;

    // Sign byte (bit 7: negative), exponent + 0x80, then 14 decimal digits two to a byte:
    // d1.d2…d14 × 10^exponent.
    static double dblFrom(const std::uint8_t* bytes);
    // Every digit nibble is a decimal digit: what dblFrom reads is a number the file meant.
    static bool isDecimal(const std::uint8_t* bytes);
    // Rounded to 14 digits. Zero and NaN as nine zero bytes, a magnitude below 10^-99 as 0.
    // False for a magnitude of 10^100 or more (the infinities too), which no such real
    // holds: nine zero bytes are written then.
    static bool writeReal(double x, std::uint8_t* bytes);

    // Two-byte tokens as prefix and low byte, the others as their low byte; a unit
    // conversion or physical constant carries its parameter in two more bytes.
    static std::size_t opByteLength(const Ops& ops);
    static void writeTokens(const Ops& ops, Bytes& out);
    // Nothing when the bytes end inside a token.
    static std::optional<Ops> tokensFrom(std::span<const std::uint8_t> bytes);
};

} // namespace orvenda
