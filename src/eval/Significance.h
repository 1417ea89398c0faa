#pragma once

#include "eval/ArgumentFetcher.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace orvenda {

// A real number with its significance pair, as the fast statement path carries it. Left
// unset when declared, so a stack of them costs nothing to set up; a result starts from
// kFreshReal, as a result record starts from the fresh record.
struct PairedReal {
    double value;
    int sigFig;
    int sigDec;
};

inline constexpr PairedReal kFreshReal{0.0, 15, -15};

// How a result's significance pair (significant figures, and the exponent of the last
// significant digit) follows from its operands'. Written once for operand records and
// for the plain reals of the fast statement path, so both give the same pair.
namespace Significance {

inline double realPart(const PairedReal& v) { return v.value; }
inline double imagPart(const PairedReal&) { return 0.0; }
template <class Record>
double realPart(const Record& r)
{
    return r.value.real();
}
template <class Record>
double imagPart(const Record& r)
{
    return r.value.imag();
}

// A double as an int for counts and shifts: NaN gives 0, the rest saturates.
inline int clampToInt(double v)
{
    return ArgumentFetcher::clampedInt(v);
}

// The decade k of a > 0 (10^k < a < 10^(k+1)) when a lies inside it, away from both ends
// by more than a relative 1e-12; false near a power of ten and for a beyond 1e±300. Inside
// that band log10(a) is at least 4e-13 from a whole number, far beyond its rounding error,
// so the decade gives every rule below the same figure the logarithm gives, without the
// cost of taking it.
class Decades {
public:
    static bool of(double a, int& k)
    {
        static const Decades decades;
        if (!(a > 1e-300 && a < 1e300)) return false;
        // a lies in the binade [2^e, 2^(e+1)), which holds at most one power of ten.
        const auto e = static_cast<std::size_t>(std::bit_cast<std::uint64_t>(a) >> 52);
        k = decades.first_[e] + (a >= decades.next_[e] ? 1 : 0);
        const auto i = static_cast<std::size_t>(k - kLow);
        return a > decades.above_[i] && a < decades.below_[i];
    }

private:
    static constexpr int kLow = -301;
    static constexpr int kHigh = 301;
    static constexpr int kBinades = 2048;
    static constexpr double kMargin = 1e-12;

    Decades()
    {
        // The powers of ten, each within 1e-13 of its value: far inside the margin.
        std::array<double, kHigh - kLow + 2> powers{};
        powers[static_cast<std::size_t>(-kLow)] = 1.0;
        for (int i = 1 - kLow; i < static_cast<int>(powers.size()); ++i)
            powers[static_cast<std::size_t>(i)] = powers[static_cast<std::size_t>(i - 1)] * 10.0;
        for (int i = -kLow - 1; i >= 0; --i)
            powers[static_cast<std::size_t>(i)] = powers[static_cast<std::size_t>(i + 1)] / 10.0;
        for (std::size_t i = 0; i + 1 < powers.size(); ++i) {
            above_[i] = powers[i] * (1 + kMargin);
            below_[i] = powers[i + 1] * (1 - kMargin);
        }
        // Per binade the decade of its start, and the power of ten that opens the next.
        int k = kLow;
        for (int e = 0; e < kBinades; ++e) {
            const double start = std::ldexp(1.0, e - 1023);
            while (k + 1 - kLow < static_cast<int>(powers.size()) && powers[static_cast<std::size_t>(k + 1 - kLow)] <= start)
                ++k;
            first_[static_cast<std::size_t>(e)] = k;
            next_[static_cast<std::size_t>(e)] =
                k + 1 - kLow < static_cast<int>(powers.size()) ? powers[static_cast<std::size_t>(k + 1 - kLow)] : HUGE_VAL;
        }
    }

    std::array<int, kBinades> first_{};
    std::array<double, kBinades> next_{};
    std::array<double, kHigh - kLow + 1> above_{};
    std::array<double, kHigh - kLow + 1> below_{};
};

inline bool decadeOf(double a, int& k)
{
    return Decades::of(a, k);
}

// sigDec from sigFig and the real part; a zero real part counts as one figure in the
// units place. Nothing happens for an infinite or NaN real part.
template <class V>
void adjustSigDec(V& op)
{
    const double r = realPart(op);
    if (!std::isfinite(r)) return;
    if (r == 0.0) {
        // The inverse of adjustSigFig's rule for zero: sigFig figures ending at sigDec.
        op.sigDec = 1 - op.sigFig;
        return;
    }
    // trunc(log10 |r|), one lower below 1.
    int k = 0;
    double t = 0;
    if (decadeOf(std::fabs(r), k)) {
        t = k;
    } else {
        double l = std::log10(std::fabs(r));
        if (l < 0) l -= 1.0;
        t = std::trunc(l);
    }
    op.sigDec = clampToInt(t + 1.0 - op.sigFig);
}

// sigFig from sigDec and the real part.
template <class V>
void adjustSigFig(V& op)
{
    const double r = realPart(op);
    if (!std::isfinite(r)) return;
    if (r == 0.0 && imagPart(op) == 0.0) {
        op.sigFig = op.sigDec >= 0 ? 0 : 1 - op.sigDec;
        return;
    }
    // trunc(log10 |r|).
    int k = 0;
    double t = 0;
    if (decadeOf(std::fabs(r), k)) {
        t = k >= 0 ? k : k + 1;
    } else {
        // A zero real part beside an imaginary one has no leading digit: log10 is -inf.
        const double l = std::log10(std::fabs(r));
        if (!std::isfinite(l)) return;
        t = std::trunc(l);
    }
    op.sigFig = clampToInt(t + 1.0 - op.sigDec);
}

// The rules, each on a result r whose value is set, from its operand(s).

template <class V>
void ruleFigures(V& r, const V& x)
{
    r.sigFig = x.sigFig;
    adjustSigDec(r);
}

template <class V>
void ruleKept(V& r, const V& x)
{
    r.sigFig = x.sigFig;
    r.sigDec = x.sigDec;
}

template <class V>
void ruleExponential(V& r, const V& x)
{
    r.sigFig = x.sigDec >= 0 ? 1 : -x.sigDec;
    adjustSigDec(r);
}

template <class V>
void ruleLogarithm(V& r, int sigFigOfArgument)
{
    r.sigDec = (std::abs(r.value) < 1.0 ? 1 : 0) - sigFigOfArgument;
    adjustSigFig(r);
}

template <class V>
void ruleInteger(V& r, const V& x)
{
    r.sigFig = x.sigFig;
    if (x.sigDec < 0) {
        r.sigFig = x.sigFig + x.sigDec;
        r.sigDec = 0;
    }
}

template <class V>
void ruleFraction(V& r, const V& x)
{
    if (x.sigDec < 0) {
        r.sigFig = -x.sigDec;
        r.sigDec = x.sigDec;
    } else {
        r.sigFig = 0;
        r.sigDec = 0;
    }
}

template <class V>
void ruleExact(V& r)
{
    r.sigFig = 15;
    r.sigDec = -15;
}

template <class V>
void ruleSum(V& r, const V& a, const V& b)
{
    r.sigDec = std::max(a.sigDec, b.sigDec);
    adjustSigFig(r);
}

template <class V>
void ruleProduct(V& r, const V& a, const V& b)
{
    r.sigFig = std::min(a.sigFig, b.sigFig);
    adjustSigDec(r);
}

} // namespace Significance

} // namespace orvenda
