// Typed PolyRoots( lines are in tests/cases/own-page.cases; here the root finder's accuracy.
#include "numeric/PolynomialRoots.h"

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using orvenda::PolynomialRoots;
using Zeros = std::vector<std::complex<double>>;

namespace {

// The test's own residual: |p(z)| over Σ|aᵢ||z|^(n−i), in long double.
double relativeResidual(const std::vector<double>& a, std::complex<double> z)
{
    std::complex<long double> p = 0;
    long double size = 0;
    const long double r = std::abs(std::complex<long double>(z.real(), z.imag()));
    for (double c : a) {
        p = p * std::complex<long double>(z.real(), z.imag()) + static_cast<long double>(c);
        size = size * r + std::fabs(static_cast<long double>(c));
    }
    return static_cast<double>(std::abs(p) / size);
}

// Coefficients of the product of (x − rᵢ).
std::vector<double> fromZeros(const std::vector<double>& zeros)
{
    std::vector<double> a{1.0};
    for (double r : zeros) {
        a.push_back(0.0);
        for (std::size_t i = a.size() - 1; i > 0; --i)
            a[i] -= r * a[i - 1];
    }
    return a;
}

void expectBackwardStable(const std::vector<double>& a)
{
    const Zeros zeros = PolynomialRoots::roots(a);
    ASSERT_EQ(zeros.size(), a.size() - 1);
    for (auto z : zeros)
        EXPECT_LT(relativeResidual(a, z), 1e-12) << z;
}

} // namespace

TEST(PolynomialRoots, SmallPolynomialsGiveOrderedExactZeros) {
    const double h = std::sqrt(3.0) / 2;
    struct Case {
        std::vector<double> a;
        Zeros zeros;
    } cases[] = {
        {{1, -3, 2}, {2, 1}},
        {{2, 4}, {-2}},
        {{1, 0, 0, -1}, {1, {-0.5, h}, {-0.5, -h}}},
        {{1, 0, 1}, {{0, 1}, {0, -1}}},
        // A double zero stays real, zero coefficients at the end are zeros at 0.
        {{1, -2, 1}, {1, 1}},
        {{1, -1, 0, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        const Zeros got = PolynomialRoots::roots(c.a);
        ASSERT_EQ(got.size(), c.zeros.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].real(), c.zeros[i].real(), 1e-14) << i;
            EXPECT_NEAR(got[i].imag(), c.zeros[i].imag(), 1e-14) << i;
        }
    }
    // Real zeros have no imaginary part at all.
    for (auto z : PolynomialRoots::roots(std::vector<double>{1, -2, 1, 0}))
        EXPECT_EQ(z.imag(), 0.0);
}

TEST(PolynomialRoots, DegreeTwentyNineIsBackwardStable) {
    std::mt19937_64 rng(20240229);
    std::normal_distribution<double> normal;
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<double> a(30);
        for (double& c : a)
            c = normal(rng) * std::pow(10.0, std::uniform_int_distribution<int>(-3, 3)(rng));
        expectBackwardStable(a);
    }
    // Wide-ranging coefficients: the zeros 1 to 29.
    std::vector<double> integers;
    for (int k = 1; k <= 29; ++k)
        integers.push_back(k);
    expectBackwardStable(fromZeros(integers));
    // A zero of multiplicity 29 and clustered zeros.
    expectBackwardStable(fromZeros(std::vector<double>(29, 1.5)));
    std::vector<double> cluster;
    for (int k = 0; k < 29; ++k)
        cluster.push_back(1 + k * 1e-3);
    expectBackwardStable(fromZeros(cluster));
}
