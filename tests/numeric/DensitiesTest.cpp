#include "numeric/Densities.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::Densities;

// Typed examples are in tests/cases; here full precision (references: the examples given
// for the functions, else mpmath), the limits and the domain edges.
TEST(Densities, FullPrecision) {
    EXPECT_NEAR(Densities::studentTPdf(1, 5), 0.2196797973509806, 1e-12 * 0.22);
    EXPECT_NEAR(Densities::fisherFPdf(1, 2, 10), 0.3348979766803841, 1e-12 * 0.33);
    EXPECT_NEAR(Densities::chiSquarePdf(3, 3), 0.15418032980376927, 1e-12 * 0.15);
    EXPECT_NEAR(Densities::normalPdf(6, 3, -2), 0.12951759566589173 / 2, 1e-12 * 0.06);
    // Very many degrees of freedom approach the normal density.
    EXPECT_NEAR(Densities::studentTPdf(0, 1e9), 0.3989422803016971, 1e-12);
}

TEST(Densities, DomainEdges) {
    EXPECT_TRUE(std::isnan(Densities::studentTPdf(0, 0)));
    EXPECT_TRUE(std::isnan(Densities::chiSquarePdf(1, -2)));
    EXPECT_TRUE(std::isnan(Densities::fisherFPdf(1, 2, 0)));
    EXPECT_TRUE(std::isnan(Densities::normalPdf(1, 0, 0)));
    EXPECT_EQ(Densities::chiSquarePdf(-1, 3), 0.0);
    EXPECT_EQ(Densities::fisherFPdf(-1, 3, 4), 0.0);
    // Two degrees of freedom: exp(-x/2)/2, from x = 0 on.
    EXPECT_DOUBLE_EQ(Densities::chiSquarePdf(0, 2), 0.5);
    EXPECT_DOUBLE_EQ(Densities::chiSquarePdf(2, 2), 0.5 * std::exp(-1.0));
    // At 0 the densities are infinite, finite or 0 by their shape.
    EXPECT_TRUE(std::isinf(Densities::chiSquarePdf(0, 1)));
    EXPECT_EQ(Densities::chiSquarePdf(0, 4), 0.0);
    EXPECT_TRUE(std::isinf(Densities::fisherFPdf(0, 1, 5)));
    EXPECT_EQ(Densities::fisherFPdf(0, 2, 5), 1.0);
    EXPECT_EQ(Densities::fisherFPdf(0, 3, 5), 0.0);
}
