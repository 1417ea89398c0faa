#include "numeric/BitOps.h"

#include <bit>
#include <cmath>

namespace orvenda {

std::uint32_t BitOps::toUInt32(double x)
{
    if (!(x > 0.0)) return 0;  // NaN, zero and negatives
    if (x >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(x);
}

double BitOps::shift(double x, int by)
{
    const std::uint32_t v = toUInt32(x);
    // by is any int: compare before negating so INT_MIN does not overflow.
    if (by > 0) return by >= 32 ? 0.0 : static_cast<double>(v << by);
    if (by <= -32) return 0.0;
    return static_cast<double>(v >> -by);
}

double BitOps::rotate(double x, int by)
{
    const std::uint32_t v = toUInt32(x);
    if (by >= 1) return static_cast<double>(std::rotl(v, by % 32));
    // -(by % 32) stays within 0..31 for every int, INT_MIN included.
    return static_cast<double>(std::rotr(v, -(by % 32)));
}

double BitOps::notb(double x) { return static_cast<double>(~toUInt32(x)); }

double BitOps::andb(double a, double b) { return static_cast<double>(toUInt32(a) & toUInt32(b)); }

double BitOps::orb(double a, double b) { return static_cast<double>(toUInt32(a) | toUInt32(b)); }

double BitOps::xorb(double a, double b) { return static_cast<double>(toUInt32(a) ^ toUInt32(b)); }

} // namespace orvenda
