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
    // Zero, NaN, the infinities and magnitudes beyond the exponent byte as nine zero bytes.
    static void writeReal(double x, std::uint8_t* bytes);

    // Two-byte tokens as prefix and low byte, the others as their low byte; a unit
    // conversion or physical constant carries its parameter in two more bytes.
    static std::size_t opByteLength(const Ops& ops);
    static void writeTokens(const Ops& ops, Bytes& out);
    // Nothing when the bytes end inside a token.
    static std::optional<Ops> tokensFrom(std::span<const std::uint8_t> bytes);
};

} // namespace orvenda
