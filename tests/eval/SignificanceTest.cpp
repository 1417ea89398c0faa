#include "eval/Significance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

// The rules take the decade of a value from a table instead of its logarithm; the pair
// must come out as the logarithm gives it, above all next to powers of ten, where
// log10 rounds to the whole number.

namespace orvenda {
namespace {

struct Record {
    std::complex<double> value;
    int sigFig;
    int sigDec;
};

// The rules as written with the logarithm.
int referenceSigDec(double r, int sigFig)
{
    double l = std::log10(std::fabs(r));
    if (l < 0)
        l -= 1.0;
    return static_cast<int>(std::trunc(l) + 1.0 - sigFig);
}

int referenceSigFig(double r, int sigDec)
{
    return static_cast<int>(std::trunc(std::log10(std::fabs(r))) + 1.0 - sigDec);
}

void expectAsTheLogarithm(double r)
{
    if (r == 0 || !std::isfinite(r))
        return;
    Record dec{{r, 0.0}, 4, 0};
    Significance::adjustSigDec(dec);
    Record fig{{r, 0.0}, 0, -3};
    Significance::adjustSigFig(fig);
    ASSERT_EQ(dec.sigDec, referenceSigDec(r, 4)) << r;
    ASSERT_EQ(fig.sigFig, referenceSigFig(r, -3)) << r;
}

TEST(SignificanceTest, PairsNextToPowersOfTenComeFromTheLogarithm)
{
    for (int p = -320; p <= 308; ++p) {
        const double power = std::pow(10.0, p);
        double below = power, above = power;
        for (int k = 0; k < 64; ++k) {
            expectAsTheLogarithm(below);
            expectAsTheLogarithm(-above);
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, HUGE_VAL);
        }
        for (double f : {1 + 1e-13, 1 + 1e-12, 1 + 1e-11, 1 - 1e-13, 1 - 1e-12, 1 - 1e-11, 2.0, 9.999999999999})
            expectAsTheLogarithm(power * f);
    }
}

TEST(SignificanceTest, PairsOfAnyValueComeFromTheLogarithm)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-330, 310);
    for (int i = 0; i < 200000; ++i)
        expectAsTheLogarithm(std::pow(10.0, exponent(random)));
    for (int n = 1; n < 100000; ++n)
        expectAsTheLogarithm(n);
}

} // namespace
} // namespace orvenda
