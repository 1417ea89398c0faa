#include "numeric/DecimalCentering.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace orvenda {

namespace {

// mantissa · 10^exponent, the shortest decimal that reads back as the double.
struct Decimal {
    std::int64_t mantissa = 0;
    int digits = 0;
    int exponent = 0;
};

bool decompose(double x, Decimal& d)
{
    if (!std::isfinite(x))
        return false;
    if (x == 0) {
        d = Decimal{};
        return true;
    }
    char text[40];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific);
    if (ec != std::errc())
        return false;
    const char* p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::int64_t m = 0;
    int digits = 0;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.')
            continue;
        m = m * 10 + (*p - '0');
        ++digits;
    }
    if (p == end)
        return false;
    int exp = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exp);
    d.mantissa = negative ? -m : m;
    d.digits = digits;
    d.exponent = exp - (digits - 1);
    return true;
}

__int128 scaled(const Decimal& d, int by)
{
    __int128 v = d.mantissa;
    for (int i = 0; i < by; ++i)
        v *= 10;
    return v;
}

double powerOfTen(int e)
{
    // Exact as a double up to 10^22.
    static constexpr double table[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return e <= 22 ? table[e] : std::pow(10.0, e);
}

// Keeps the scaled integers well inside the 127 bits of the difference.
constexpr int kMaxDigits = 36;

// x - reference with the reference already taken apart (null when it has no decimal).
double differenceFrom(double x, double reference, const Decimal* ref)
{
    Decimal a;
    if (!ref || !decompose(x, a))
        return x - reference;
    const Decimal& b = *ref;
    const int e = std::min(a.exponent, b.exponent);
    const int shiftA = a.exponent - e, shiftB = b.exponent - e;
    if (a.digits + shiftA > kMaxDigits || b.digits + shiftB > kMaxDigits)
        return x - reference;
    const double diff = static_cast<double>(scaled(a, shiftA) - scaled(b, shiftB));
    return e >= 0 ? diff * powerOfTen(e) : diff / powerOfTen(-e);
}

} // namespace

double DecimalCentering::difference(double x, double reference)
{
    Decimal ref;
    return differenceFrom(x, reference, decompose(reference, ref) ? &ref : nullptr);
}

std::vector<double> DecimalCentering::deviations(std::span<const double> x, double reference)
{
    Decimal ref;
    const Decimal* r = decompose(reference, ref) ? &ref : nullptr;
    std::vector<double> d;
    d.reserve(x.size());
    for (double v : x)
        d.push_back(differenceFrom(v, reference, r));
    return d;
}

} // namespace orvenda
