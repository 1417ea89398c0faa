#include "numeric/Combinatorics.h"

#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace orvenda {

namespace {

bool isCount(double v) { return v >= 0.0 && ElementaryFunctions::isWhole(v); }

std::uint64_t gcd64(std::uint64_t a, std::uint64_t b)
{
    while (b != 0) {
        const std::uint64_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

} // namespace

double Combinatorics::gcdArg1(double arg1, double arg2)
{
    if (!isCount(arg1) || !isCount(arg2) || arg1 > 9e15 || arg2 > 9e15)
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(gcd64(static_cast<std::uint64_t>(arg1), static_cast<std::uint64_t>(arg2)));
}

double Combinatorics::lcmArg1(double arg1, double arg2)
{
    if (!isCount(arg1) || !isCount(arg2) || arg1 > 9e15 || arg2 > 9e15)
        return std::numeric_limits<double>::quiet_NaN();
    if (arg1 == 0.0 || arg2 == 0.0) return 0.0;
    const double g = gcdArg1(arg1, arg2);
    // Divide first so the product stays exact as long as the answer does.
    return arg1 / g * arg2;
}

double Combinatorics::permutationX(double x, double y)
{
    if (!isCount(x) || !isCount(y)) return std::numeric_limits<double>::quiet_NaN();
    if (x > y) return 0.0;
    double p = 1.0;
    // Every factor is at least 1, so the product passes the double range within ~171
    // steps unless the factors stay small; stop there rather than count on.
    for (double k = 0; k < x && std::isfinite(p); k += 1.0) p *= (y - k);
    return p;
}

double Combinatorics::combinationX(double x, double y)
{
    if (!isCount(x) || !isCount(y)) return std::numeric_limits<double>::quiet_NaN();
    if (x > y) return 0.0;
    const double r = std::fmin(x, y - x);
    // c_k = c_(k-1) * (y - k + 1) / k: each step's product is k * C(y, k), a whole number,
    // so the value stays exact while it fits 53 bits. C(y, r) >= 2^r, so the loop leaves the
    // double range within about a thousand steps.
    double c = 1.0;
    for (double k = 1; k <= r && std::isfinite(c); k += 1.0) c = c * (y - k + 1.0) / k;
    return c;
}

} // namespace orvenda
