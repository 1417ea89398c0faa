#include "numeric/Densities.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::Densities;

TEST(Densities, StudentT) {
    // One degree of freedom is the Cauchy density.
    EXPECT_NEAR(Densities::studentTPdf(0, 1), 1 / std::numbers::pi, 1e-15);
    EXPECT_NEAR(Densities::studentTPdf(1, 1), 0.5 / std::numbers::pi, 1e-15);
    EXPECT_NEAR(Densities::studentTPdf(2, 5), 0.06509031032621808, 1e-14);
    // Very many degrees of freedom approach the normal density.
    EXPECT_NEAR(Densities::studentTPdf(0, 1e9), 1 / std::sqrt(2 * std::numbers::pi), 1e-9);
    // Both sides of the switch to the asymptotic quotient agree.
    EXPECT_NEAR(Densities::studentTPdf(0.5, 200.0) / Densities::studentTPdf(0.5, 200.0001), 1.0, 1e-9);
    EXPECT_TRUE(std::isnan(Densities::studentTPdf(0, 0)));
}

TEST(Densities, ChiSquare) {
    EXPECT_NEAR(Densities::chiSquarePdf(2, 2), 0.5 * std::exp(-1.0), 1e-15);
    EXPECT_NEAR(Densities::chiSquarePdf(3, 4), 0.75 * std::exp(-1.5), 1e-15);
    EXPECT_EQ(Densities::chiSquarePdf(0, 2), 0.5);
    EXPECT_EQ(Densities::chiSquarePdf(0, 4), 0.0);
    EXPECT_TRUE(std::isinf(Densities::chiSquarePdf(0, 1)));
    EXPECT_EQ(Densities::chiSquarePdf(-1, 3), 0.0);
    EXPECT_TRUE(std::isnan(Densities::chiSquarePdf(1, -2)));
}
