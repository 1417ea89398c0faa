#include "numeric/Distributions.h"

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

using orvenda::Distributions;

namespace {

struct Reference {
    const char* name;
    std::function<double()> value;
    double expected;
    double tolerance;  // relative
};

} // namespace

// The typed forms are in tests/cases/distributions.cases; here the digits the display
// cannot show. References: the examples given for the functions, else mpmath at 30 digits.
TEST(Distributions, FullPrecision) {
    const Reference cases[] = {
        {"normalcdf", [] { return Distributions::normalcdf(-1.96, 1.96, 0, 1); }, 0.9500042097035591, 1e-12},
        {"normal upper tail", [] { return Distributions::normalcdf(5, 6, 0, 1); }, 2.856649842341562e-7, 1e-10},
        {"invNorm", [] { return Distributions::invNorm(0.975, 0, 1); }, 1.959963984540054, 1e-12},
        {"invNorm μ σ", [] { return Distributions::invNorm(0.025, 100, 15); }, 70.60054023189919, 1e-12},
        {"tcdf", [] { return Distributions::tcdf(-2, 2, 5); }, 0.8980605211701416, 1e-12},
        {"tcdf fractional df", [] { return Distributions::tcdf(-1, 1, 2.5); }, 0.5959389727217265, 1e-12},
        {"t upper tail", [] { return Distributions::tcdf(10, 20, 5); }, 8.2586029684869698e-5, 1e-10},
        {"invT", [] { return Distributions::invT(0.975, 9); }, 2.262157162798206, 1e-12},
        {"χ²cdf", [] { return Distributions::x2cdf(1, 5, 3); }, 0.6294548126044677, 1e-12},
        {"χ² upper tail", [] { return Distributions::x2cdf(50, 60, 3); }, 7.930396937672402e-11, 1e-10},
        {"Fcdf", [] { return Distributions::fcdf(1, 2, 5, 7); }, 0.2856206680913823, 1e-12},
        {"binompdf", [] { return Distributions::binompdf(20, 0.3, 6); }, 0.1916389827534426, 1e-12},
        {"binomcdf below the mean", [] { return Distributions::binomcdf(100, 0.3, 10); }, 1.5555659316780527e-6, 1e-12},
        {"binomcdf above the mean", [] { return Distributions::binomcdf(100, 0.3, 40); }, 0.9875015928335618, 1e-12},
        {"poissonpdf", [] { return Distributions::poissonpdf(1000, 1000); }, 0.0126146113487215, 1e-12},
        {"poissoncdf", [] { return Distributions::poissoncdf(3, 2); }, 0.4231900811268435, 1e-12},
        {"geometcdf", [] { return Distributions::geometcdf(0.2, 3); }, 0.488, 1e-12},
        {"geometcdf tiny p", [] { return Distributions::geometcdf(1e-20, 3); }, 3e-20, 1e-12},
        {"invBinom", [] { return Distributions::invBinom(0.9, 20, 0.3); }, 9, 0},
    };
    for (const Reference& c : cases)
        EXPECT_NEAR(c.value(), c.expected, std::fabs(c.expected) * c.tolerance) << c.name;
}

TEST(Distributions, MillionTrialsSumWithoutUnderflow) {
    EXPECT_NEAR(Distributions::binomcdf(999999, 0.5, 499999), 0.5, 0.5e-12);
}

TEST(Distributions, BoundsAndDegenerateParameters) {
    // Bounds the wrong way round give the negative probability; 1e99 stands for infinity.
    EXPECT_DOUBLE_EQ(Distributions::normalcdf(1.96, -1.96, 0, 1), -Distributions::normalcdf(-1.96, 1.96, 0, 1));
    EXPECT_DOUBLE_EQ(Distributions::tcdf(-1e99, 1e99, 3), 1.0);
    EXPECT_DOUBLE_EQ(Distributions::x2cdf(-5, 0, 3), 0.0);
    EXPECT_DOUBLE_EQ(Distributions::invT(0, 4), -1e99);
    // Counts that cannot occur have probability 0; cdfs step at whole counts.
    EXPECT_EQ(Distributions::binompdf(5, 0.5, 2.5), 0.0);
    EXPECT_EQ(Distributions::binompdf(5, 0.5, 6), 0.0);
    EXPECT_DOUBLE_EQ(Distributions::binomcdf(5, 0.5, 2.9), 0.5);
    EXPECT_EQ(Distributions::binomcdf(5, 0.5, -1), 0.0);
    EXPECT_EQ(Distributions::binomcdf(5, 0, 0), 1.0);
    EXPECT_EQ(Distributions::binomcdf(5, 1, 4), 0.0);
    EXPECT_EQ(Distributions::poissonpdf(0, 0), 1.0);
    EXPECT_EQ(Distributions::poissoncdf(0, 3), 1.0);
    EXPECT_EQ(Distributions::geometpdf(1, 1), 1.0);
    EXPECT_EQ(Distributions::geometpdf(1, 2), 0.0);
    EXPECT_EQ(Distributions::geometcdf(0.5, 0.5), 0.0);
    // invBinom: the smallest count whose cdf reaches the area, also exactly at a step.
    EXPECT_EQ(Distributions::invBinom(0.5, 5, 0.5), 2);
    EXPECT_EQ(Distributions::invBinom(1, 7, 0.5), 7);
    EXPECT_EQ(Distributions::invBinom(0.5, 0, 0.5), 0);
}
