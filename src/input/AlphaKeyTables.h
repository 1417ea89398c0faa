#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace orvenda {

// The alpha keyboard's 43 keys: the code each types in upper and lower case, where it lies
// in the 320-wide design space, and the alternatives a held key offers.
class AlphaKeyTables {
public:
    static constexpr int kKeyCount = 43;
    static constexpr int kCaseKey = 39;

    static std::uint32_t code(int key, bool lowercase);
    // The key's rectangle in the design space (x, y, width, height).
    static std::array<double, 4> designRect(int key);
    // The codes a held key offers: its own first, then its alternatives; θ in upper case
    // offers the upper-case Greek letters.
    static std::vector<std::uint32_t> alternatives(std::uint32_t code, bool lowercase);
};

} // namespace orvenda
