#include "numeric/Calculus.h"

#include "numeric/RealFunction.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

// Typed examples are in tests/cases/calculus.cases; here what an answer line cannot show:
// digits beyond the display, the errors of functions without error numbers, and stopping.

using namespace orvenda;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A function of doubles; NaN where it has no value, reported with `error`. After `stopAfter`
// evaluations it asks the routine to stop (error 43).
struct Function : RealFunction {
    explicit Function(std::function<double(double)> f, int error = 0) : f(std::move(f)), errorNumber(error) {}
    double value(double x) override
    {
        ++calls;
        if (stopError())
            return kNaN;
        const double y = f(x);
        lastError = std::isfinite(y) ? 0 : errorNumber;
        return y;
    }
    int error() const override { return lastError; }
    int stopError() const override { return calls > stopAfter ? 43 : 0; }

    std::function<double(double)> f;
    int errorNumber;
    int lastError = 0;
    int calls = 0;
    int stopAfter = std::numeric_limits<int>::max();
};

} // namespace

TEST(Calculus, IntegralsToFullPrecision)
{
    struct Case {
        std::function<double(double)> f;
        double lower, upper, expected, accuracy;
    };
    const Case cases[] = {
        {[](double x) { return std::exp(-x * x); }, -10, 10, std::sqrt(std::numbers::pi), 1e-14},
        // Integrable singularities at the ends.
        {[](double x) { return 1 / std::sqrt(x); }, 0, 1, 2, 1e-12},
        {[](double x) { return std::log(x); }, 0, 1, -1, 1e-12},
        // Reversed bounds negate.
        {[](double x) { return x; }, 2, 0, -2, 1e-15},
    };
    for (const Case& c : cases) {
        Function f(c.f);
        const NumericResult r = Calculus::integrate(f, c.lower, c.upper, 1e-5);
        EXPECT_EQ(r.error, 0);
        EXPECT_NEAR(r.value, c.expected, c.accuracy) << c.lower << ".." << c.upper;
    }
}

// The abscissas crowd the bounds closer than doubles there can tell apart: none may land
// on a bound, where an integrable singularity has no value. What lies nearer a singular
// bound than the next double (2√ulp of it) is all an integral of doubles may miss.
TEST(Calculus, IntegralsNeverEvaluateAtTheBounds)
{
    struct Case {
        std::function<double(double)> f;
        double lower, upper, expected, accuracy;
    };
    const double ulp1 = std::nextafter(1.0, 2.0) - 1, ulp6 = std::nextafter(1e6, 2e6) - 1e6;
    const Case cases[] = {
        {[](double x) { return x; }, 0.5, 999, (999.0 * 999 - 0.25) / 2, 1e-9},
        {[](double x) { return x; }, 1, 1e9, (1e18 - 1) / 2, 1e3},
        {[](double) { return 1.0; }, -1, 1000, 1001, 1e-12},
        {[](double x) { return x; }, 1e15, 1e15 + 4, 4e15 + 8, 1},
        {[](double x) { return 1 / std::sqrt(x - 1); }, 1, 999, 2 * std::sqrt(998.0), 2 * std::sqrt(ulp1)},
        {[](double x) { return 1 / std::sqrt(-1 - x); }, -999, -1, 2 * std::sqrt(998.0), 2 * std::sqrt(ulp1)},
        {[](double x) { return 1 / std::sqrt(1e6 - x); }, 999999, 1e6, 2, 2 * std::sqrt(ulp6)},
    };
    for (const Case& c : cases) {
        double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
        Function f([&](double x) {
            lowest = std::min(lowest, x);
            highest = std::max(highest, x);
            return c.f(x);
        });
        const NumericResult r = Calculus::integrate(f, c.lower, c.upper, 1e-5);
        EXPECT_GT(lowest, c.lower) << c.lower << ".." << c.upper;
        EXPECT_LT(highest, c.upper) << c.lower << ".." << c.upper;
        EXPECT_EQ(r.error, 0) << c.lower << ".." << c.upper;
        EXPECT_NEAR(r.value, c.expected, c.accuracy) << c.lower << ".." << c.upper;
    }
}

TEST(Calculus, IntegralFailures)
{
    // A point without a value: the function's error, or 32 when it has none.
    Function divide([](double x) { return x == 0 ? kNaN : 1 / (x * x); }, 14);
    EXPECT_EQ(Calculus::integrate(divide, -1, 1, 1e-5).error, 14);
    Function silent([](double x) { return x == 0 ? kNaN : 1 / (x * x); });
    EXPECT_EQ(Calculus::integrate(silent, -1, 1, 1e-5).error, 32);
    // A value that only grows toward a point inside never meets the tolerance.
    Function pole([](double x) { return 1 / (x * x); });
    EXPECT_EQ(Calculus::integrate(pole, -1, 2, 1e-5).error, 31);
    // A sum past the largest double.
    Function huge([](double) { return 1e308; });
    EXPECT_EQ(Calculus::integrate(huge, 0, 1e10, 1e-5).error, 33);
    // A peak about a unit wide is resolved wherever it lies in an interval the scan covers
    // a point every half unit; on a wider one it is reported, never answered wrongly.
    for (const double centre : {0.0, 7.0, -993.3, 999.0}) {
        Function peak([centre](double x) { return std::exp(-(x - centre) * (x - centre)); });
        const NumericResult r = Calculus::integrate(peak, -1000, 1000, 1e-5);
        EXPECT_EQ(r.error, 0) << centre;
        EXPECT_NEAR(r.value, centre == 999.0 ? std::sqrt(std::numbers::pi) / 2 + 0.746824132812427 : std::sqrt(std::numbers::pi), 1e-9)
            << centre;
    }
    Function peak([](double x) { return std::exp(-x * x); });
    EXPECT_EQ(Calculus::integrate(peak, -1e6, 1e6, 1e-5).error, 31);
    // Off the centre of such an interval, where no point of the scan comes near it.
    Function hidden([](double x) { return std::exp(-(x - 5e5) * (x - 5e5)); });
    EXPECT_EQ(Calculus::integrate(hidden, -1e6, 1e6, 1e-5).error, 31);
    Function stopped([](double x) { return x; });
    stopped.stopAfter = 5;
    EXPECT_EQ(Calculus::integrate(stopped, 0, 1, 1e-5).error, 43);
}

// Peaks a fifth of a unit wide are met wherever they lie in an interval the scan covers a
// point every half unit (between its points such a peak still shows a fifth of its height).
TEST(Calculus, NarrowPeaksAreFoundWhereverTheyLie)
{
    const double area = std::sqrt(std::numbers::pi) / 5;
    for (const double centre : {8.0, 8.25, 8.5, 8.75, 101.13, -333.4, 0.0, -499.0, 499.0, 250.6}) {
        Function peak([centre](double x) { return std::exp(-25 * (x - centre) * (x - centre)); });
        const NumericResult r = Calculus::integrate(peak, -500, 500, 1e-5);
        EXPECT_EQ(r.error, 0) << centre;
        EXPECT_NEAR(r.value, area, 1e-9) << centre;
    }
}

// More peaks than the interval is split at: the highest are split at, and the low wide ones
// left to the quadrature.
TEST(Calculus, AmongManyPeaksTheHighestSplitTheInterval)
{
    // 60 narrow peaks of heights 1 to 1.59 every 16 units, and 40 low wide ones between.
    const auto f = [](double x) {
        double y = 0;
        for (int k = 0; k < 60; ++k) {
            const double d = x - (-472 + 16 * k);
            y += (1 + k / 100.0) * std::exp(-25 * d * d);
        }
        for (int k = 0; k < 40; ++k) {
            const double d = x - (-468 + 24 * k);
            y += 0.01 * std::exp(-d * d);
        }
        return y;
    };
    double expected = 0;
    for (int k = 0; k < 60; ++k)
        expected += (1 + k / 100.0) * std::sqrt(std::numbers::pi) / 5;
    expected += 40 * 0.01 * std::sqrt(std::numbers::pi);
    Function peaks(f);
    const NumericResult r = Calculus::integrate(peaks, -500, 500, 1e-5);
    EXPECT_EQ(r.error, 0);
    EXPECT_NEAR(r.value, expected, 1e-8);
}

TEST(Calculus, ZerosNearestTheGuess)
{
    struct Case {
        double guess, expected;
    };
    // sin has zeros at every multiple of π: the one nearest the guess is found.
    for (const Case c : {Case{3, std::numbers::pi}, Case{6, 2 * std::numbers::pi}, Case{-2.5, -std::numbers::pi},
                         Case{0.4, 0}}) {
        Function f([](double x) { return std::sin(x); });
        const NumericResult r = Calculus::findRoot(f, -1e99, 1e99, c.guess);
        EXPECT_EQ(r.error, 0);
        EXPECT_NEAR(r.value, c.expected, 1e-15) << c.guess;
    }
    Function f([](double x) { return x * x - 2; });
    EXPECT_NEAR(Calculus::findRoot(f, -1e99, 1e99, 1).value, 1.414213562373095, 1.5e-14);
    Function c([](double x) { return std::cos(x) - x; });
    EXPECT_NEAR(Calculus::findRoot(c, -1e99, 1e99, 0).value, 0.7390851332151607, 0.8e-14);
    // Bounds in either order; a zero outside them is not taken.
    Function g([](double x) { return x * x - 2; });
    EXPECT_NEAR(Calculus::findRoot(g, 5, 0, 4).value, 1.414213562373095, 1.5e-14);
    Function h([](double x) { return x * x - 2; });
    EXPECT_EQ(Calculus::findRoot(h, 0, 1, 0.5).error, 61);
}

TEST(Calculus, ZeroFailures)
{
    // Points without a value are passed over (√(X)-2 from a negative guess).
    Function domain([](double x) { return std::sqrt(x) - 2; });
    const NumericResult found = Calculus::findRoot(domain, -1e99, 1e99, -5);
    EXPECT_EQ(found.error, 0);
    EXPECT_NEAR(found.value, 4, 1e-14);
    // With no zero, the function's own error at the guess says more than "bad guess".
    Function undefined([](double) { return kNaN; }, 16);
    EXPECT_EQ(Calculus::findRoot(undefined, -1e99, 1e99, 1).error, 16);
    Function noZero([](double x) { return x * x + 1; });
    EXPECT_EQ(Calculus::findRoot(noZero, -1e99, 1e99, 0).error, 61);
    // Equal bounds answer only a zero to within 1e-28.
    Function tiny([](double) { return 1e-29; });
    EXPECT_EQ(Calculus::findRoot(tiny, 2, 2, 2).value, 2);
    Function small([](double) { return 1e-27; });
    EXPECT_EQ(Calculus::findRoot(small, 2, 2, 2).error, 62);
    Function stopped([](double x) { return x * x + 1; });
    stopped.stopAfter = 10;
    EXPECT_EQ(Calculus::findRoot(stopped, -1e99, 1e99, 0).error, 43);
}

TEST(Calculus, Extrema)
{
    Function parabola([](double x) { return x * x - 2 * x; });
    const NumericResult min = Calculus::extremum(parabola, -5, 5, 1e-5, true);
    EXPECT_EQ(min.error, 0);
    EXPECT_NEAR(min.value, 1, 1e-5);
    // Bounds in either order; the tolerance's sign does not matter.
    Function sine([](double x) { return std::sin(x); });
    const NumericResult max = Calculus::extremum(sine, 3, 0, -1e-8, false);
    EXPECT_NEAR(max.value, std::numbers::pi / 2, 1e-7);
    // A tolerance coarser than a thousandth is taken as a thousandth.
    for (const double coarse : {0.5, 3.0, -40.0}) {
        Function shifted([](double x) { return (x - 1.3) * (x - 1.3); });
        EXPECT_NEAR(Calculus::extremum(shifted, -5, 5, coarse, true).value, 1.3, 0.0005) << coarse;
        Function cap([](double x) { return -(x - 1.3) * (x - 1.3); });
        EXPECT_NEAR(Calculus::extremum(cap, -5, 5, coarse, false).value, 1.3, 0.0005) << coarse;
    }
    // Points without a value count as the worst.
    Function root([](double x) { return std::sqrt(x); });
    EXPECT_NEAR(Calculus::extremum(root, -4, 4, 1e-6, false).value, 4, 1e-6);
    EXPECT_NEAR(Calculus::extremum(root, -4, 4, 1e-6, true).value, 0, 1e-6);
    // Where doubles are too far apart for the tolerance: 31 and the best x found.
    Function far([](double x) { return (x - 1e5) * (x - 1e5); });
    const NumericResult coarse = Calculus::extremum(far, 1e5 - 1, 1e5 + 1, 1e-16, true);
    EXPECT_EQ(coarse.error, 31);
    EXPECT_NEAR(coarse.value, 1e5, 1e-7);
    Function stopped([](double x) { return x * x; });
    stopped.stopAfter = 10;
    EXPECT_EQ(Calculus::extremum(stopped, -5, 5, 1e-5, true).error, 43);
}

TEST(Calculus, DerivativeAtAPointWithoutValue)
{
    Function root([](double x) { return std::sqrt(x); }, 15);
    EXPECT_EQ(Calculus::derivative(root, 0, 0.001).error, 15);
    Function silent([](double x) { return std::sqrt(x); });
    EXPECT_EQ(Calculus::derivative(silent, 0, 0.001).error, 17);
}

// A value past the largest double (±∞, error 18) is no value: every routine over points
// that all overflow gives that error and no number, whatever the overflow's sign.
TEST(Calculus, OverflowsAreNoValues)
{
    struct Routine {
        const char* name;
        std::function<NumericResult(RealFunction&)> run;
    };
    const Routine routines[] = {
        {"integral", [](RealFunction& f) { return Calculus::integrate(f, 0, 1, 1e-5); }},
        {"zero", [](RealFunction& f) { return Calculus::findRoot(f, 0, 1, 0.5); }},
        {"zero at equal bounds", [](RealFunction& f) { return Calculus::findRoot(f, 1, 1, 1); }},
        {"minimum", [](RealFunction& f) { return Calculus::extremum(f, 0, 1, 1e-5, true); }},
        {"maximum", [](RealFunction& f) { return Calculus::extremum(f, 0, 1, 1e-5, false); }},
        {"minimum at equal bounds", [](RealFunction& f) { return Calculus::extremum(f, 1, 1, 1e-5, true); }},
        {"derivative", [](RealFunction& f) { return Calculus::derivative(f, 0.5, 1e-3); }},
    };
    for (const double sign : {1.0, -1.0}) {
        for (const Routine& routine : routines) {
            Function overflow([sign](double) { return sign * kInf; }, 18);
            const NumericResult r = routine.run(overflow);
            EXPECT_EQ(r.error, 18) << routine.name << ' ' << sign;
            EXPECT_TRUE(std::isnan(r.value)) << routine.name << ' ' << sign;
        }
    }
}

// Values in part of the interval: an overflow away from the extremum sought is passed over
// as a point without a value is, one toward it leads to where there is no value (18); a
// zero is found past overflowing points; a difference quotient past the largest double is
// an overflow too.
TEST(Calculus, OverflowsInPartOfTheInterval)
{
    Function grows([](double x) { return x > 0 ? kInf : x; }, 18);
    EXPECT_NEAR(Calculus::extremum(grows, -1, 1, 1e-6, true).value, -1, 1e-6);
    EXPECT_EQ(Calculus::extremum(grows, -1, 1, 1e-6, false).error, 18);
    Function falls([](double x) { return x > 0 ? -kInf : x; }, 18);
    EXPECT_EQ(Calculus::extremum(falls, -1, 1, 1e-6, true).error, 18);
    const NumericResult top = Calculus::extremum(falls, -1, 1, 1e-6, false);
    EXPECT_EQ(top.error, 0);
    EXPECT_NEAR(top.value, 0, 1e-6);

    Function pastOverflow([](double x) { return x < 5 ? kInf : x * x - 100; }, 18);
    const NumericResult zero = Calculus::findRoot(pastOverflow, -1e99, 1e99, 0);
    EXPECT_EQ(zero.error, 0);
    EXPECT_NEAR(zero.value, 10, 1e-14);

    Function step([](double x) { return x > 0 ? 1e308 : -1e308; });
    EXPECT_EQ(Calculus::derivative(step, 0, 0.5).error, 18);
}
