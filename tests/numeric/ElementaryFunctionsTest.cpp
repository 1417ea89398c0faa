#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::ElementaryFunctions;

// Typed examples of round(, roundSigFig(, sin( and cos( are in
// tests/cases/numeric-values.cases; here the ranges and the library fallbacks.

TEST(ElementaryFunctions, RoundingOutsideItsRangeLeavesTheValue) {
    EXPECT_EQ(ElementaryFunctions::round(1e20 + 4096, 3), 1e20 + 4096);
    EXPECT_EQ(ElementaryFunctions::round(2.345, 10), 2.345);
    EXPECT_EQ(ElementaryFunctions::round(2.345, -1), 2.345);
    EXPECT_TRUE(std::isnan(ElementaryFunctions::round(NAN, 2)));
    EXPECT_TRUE(std::isinf(ElementaryFunctions::round(INFINITY, 2)));
    EXPECT_EQ(ElementaryFunctions::roundSF(0.0, 3), 0.0);
    EXPECT_EQ(ElementaryFunctions::roundSF(1.23456, 0), 1.23456);
    EXPECT_EQ(ElementaryFunctions::roundSF(1.23456, 15), 1.23456);
}

// The terms of seq( and ∑(: the count floors, so no term passes the end, but a decimal step
// stored a little off still reaches it.
TEST(ElementaryFunctions, TermCountsStopAtTheEnd) {
    EXPECT_EQ(ElementaryFunctions::termCount(1, 9, 3), 3);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 10, 3), 4);
    EXPECT_EQ(ElementaryFunctions::termCount(0, 1, 0.3), 4);
    EXPECT_EQ(ElementaryFunctions::termCount(1.5, 3, 1), 2);
    EXPECT_EQ(ElementaryFunctions::termCount(0, 1, 0.1), 11);
    EXPECT_EQ(ElementaryFunctions::termCount(0, 0.3, 0.1), 4);
    EXPECT_EQ(ElementaryFunctions::termCount(1e6, 1e6 + 0.3, 0.1), 4);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 0, -0.1), 11);
    EXPECT_EQ(ElementaryFunctions::termCount(2, 2, 5), 1);
    // A step leading away or NaN: no terms; a zero step never gets there.
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, -1), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(5, 1, 1), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, NAN), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, 0), INFINITY);
    EXPECT_EQ(ElementaryFunctions::termCount(1, INFINITY, 1), INFINITY);
}

TEST(ElementaryFunctions, QuarterTurnsAndLibraryValues) {
    const double h = std::numbers::pi / 2;
    EXPECT_EQ(ElementaryFunctions::VQSin(4 * h), 0.0);
    // Negative turns keep the library value.
    EXPECT_DOUBLE_EQ(ElementaryFunctions::VQSin(-2 * h), -1.2246467991473532e-16);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::VQSin(0.5), 0.479425538604203);
    // Beyond 1e12 no quarter turn is looked for.
    EXPECT_DOUBLE_EQ(ElementaryFunctions::VQCos(2e12), 0.2527744974332326);
    EXPECT_TRUE(std::isnan(ElementaryFunctions::VQSin(NAN)));
    int m = 99;
    EXPECT_TRUE(ElementaryFunctions::quarterTurn(5 * h, m));
    EXPECT_EQ(m, 1);
    EXPECT_TRUE(ElementaryFunctions::quarterTurn(-3 * h, m));
    EXPECT_EQ(m, -3);
    EXPECT_FALSE(ElementaryFunctions::quarterTurn(1.0, m));
    EXPECT_FALSE(ElementaryFunctions::quarterTurn(INFINITY, m));
}
