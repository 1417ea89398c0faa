#include "numeric/ElementaryFunctions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Units of rounding that a decimal begin, end and step may leave in a count or a term.
constexpr double kRoundingUnits = 8;

// x to 15 significant figures through its decimal text, so a product such as 234.49999999999997
// becomes the 234.5 it stands for.
double toFifteenFigures(double x)
{
    if (!std::isfinite(x) || x == 0.0) return x;
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    if (res.ec != std::errc()) return x;
    double y = x;
    std::from_chars(buf, res.ptr, y, std::chars_format::scientific);
    return y;
}

// 10^n for |n| up to a few hundred, exact for the powers a double holds exactly.
double powerOfTen(int n)
{
    if (n >= 0 && n <= 9) return kPowersOfTen[n];
    return std::pow(10.0, n);
}

} // namespace

double ElementaryFunctions::round(double x, int precision)
{
    if (precision < 0 || precision > 9 || !std::isfinite(x)) return x;
    const double p = kPowersOfTen[precision];
    double scaled = x * p;
    // From 2^52 on every double is whole: nothing to round, and dividing back could move it.
    if (std::fabs(scaled) >= 4503599627370496.0) return x;
    // Beyond 1e15 the fraction is below the last figure and the text would lose digits.
    if (std::fabs(scaled) < 1e15) scaled = toFifteenFigures(scaled);
    return std::round(scaled) / p;
}

double ElementaryFunctions::roundSF(double x, int digits)
{
    if (x == 0.0 || digits < 1 || digits > 14 || !std::isfinite(x)) return x;
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    // Scale so the last kept figure is in the units place. Dividing by an exact power of
    // ten keeps decimal values exact where multiplying by its reciprocal would not.
    const int shift = digits - 1 - e;
    const double scaled = shift >= 0 ? x * powerOfTen(shift) : x / powerOfTen(-shift);
    const double whole = std::floor(scaled);
    const double frac = scaled - whole;
    double r;
    if (std::fabs(frac - 0.5) < 1e-13)
        r = std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
    else
        r = std::floor(scaled + 0.5);
    return shift >= 0 ? r / powerOfTen(shift) : r * powerOfTen(-shift);
}

double ElementaryFunctions::termCount(double begin, double end, double step)
{
    const double quotient = (end - begin) / step + 1;
    if (!(quotient > 0))
        return 0;
    const double whole = std::ceil(quotient);
    return whole - quotient <= countTolerance(begin, end, step) ? whole : std::floor(quotient);
}

double ElementaryFunctions::countTolerance(double begin, double end, double step)
{
    // begin, end and step each carry half a unit of rounding as stored decimals, and the
    // difference and quotient one more each: the quotient's own rounding, a few units of
    // (|begin| + |end|) / |step| + 1.
    return kRoundingUnits * std::numeric_limits<double>::epsilon() * ((std::fabs(begin) + std::fabs(end)) / std::fabs(step) + 1);
}

double ElementaryFunctions::progressionTerm(double begin, double step, double k)
{
    const double offset = k * step;
    const double term = begin + offset;
    // A term that cancels to within the rounding of its parts is the 0 it stands for.
    return std::fabs(term) <= kRoundingUnits * std::numeric_limits<double>::epsilon() * (std::fabs(begin) + std::fabs(offset))
        ? 0.0
        : term;
}

} // namespace orvenda
