#include "numeric/Densities.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::Densities;

// Typed examples of tpdf( and χ²pdf( are in tests/cases/numeric-values.cases; here the
// limits and the domain edges.
TEST(Densities, LimitsAndDomain) {
    // Very many degrees of freedom approach the normal density.
    EXPECT_NEAR(Densities::studentTPdf(0, 1e9), 1 / std::sqrt(2 * std::numbers::pi), 1e-9);
    // Both sides of the switch to the asymptotic quotient agree.
    EXPECT_NEAR(Densities::studentTPdf(0.5, 200.0) / Densities::studentTPdf(0.5, 200.0001), 1.0, 1e-9);
    EXPECT_TRUE(std::isnan(Densities::studentTPdf(0, 0)));
    EXPECT_NEAR(Densities::chiSquarePdf(2, 2), 0.5 * std::exp(-1.0), 1e-15);
    EXPECT_TRUE(std::isinf(Densities::chiSquarePdf(0, 1)));
    EXPECT_TRUE(std::isnan(Densities::chiSquarePdf(1, -2)));
}
