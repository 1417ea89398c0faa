#pragma once

#include <cstdint>

namespace orvenda {

// The bitwise work of the calculator on 32-bit unsigned integers made from doubles.
class BitOps {
public:
    // x truncated to an unsigned 32-bit integer: NaN and negative values give 0, values
    // beyond the range give 0xFFFFFFFF.
    static std::uint32_t toUInt32(double x);

    // b > 0 shifts left by b, b <= 0 shifts right (logically) by -b; 32 or more places
    // leave 0.
    static double shift(double x, int by);
    // b >= 1 rotates left by b mod 32, b <= 0 rotates right by -b mod 32.
    static double rotate(double x, int by);

    static double notb(double x);
    static double andb(double a, double b);
    static double orb(double a, double b);
    static double xorb(double a, double b);
};

} // namespace orvenda
