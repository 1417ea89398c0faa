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
    // An end just below a whole count is not rounding: the count stops short of it.
    EXPECT_EQ(ElementaryFunctions::termCount(1, 9.999999999, 1), 9);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 999.999999, 1), 999);
    EXPECT_EQ(ElementaryFunctions::termCount(0, 99.99999995, 1), 100);
    EXPECT_EQ(ElementaryFunctions::termCount(-0.3, 0.3, 0.1), 7);
    EXPECT_EQ(ElementaryFunctions::termCount(0, 1e5 - 1e-6, 1e-3), 1e8);
    // A step leading away or NaN: no terms; a zero step never gets there.
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, -1), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(5, 1, 1), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, NAN), 0);
    EXPECT_EQ(ElementaryFunctions::termCount(1, 5, 0), INFINITY);
    EXPECT_EQ(ElementaryFunctions::termCount(1, INFINITY, 1), INFINITY);
}

// The k-th term of a progression: a term that cancels is 0, others as computed.
TEST(ElementaryFunctions, ProgressionTermsThatCancelAreZero) {
    EXPECT_EQ(ElementaryFunctions::progressionTerm(-0.3, 0.1, 3), 0.0);
    EXPECT_EQ(ElementaryFunctions::progressionTerm(0.9, -0.3, 3), 0.0);
    EXPECT_EQ(ElementaryFunctions::progressionTerm(-1e6 - 0.3, 0.1, 3), -1e6);
    EXPECT_EQ(ElementaryFunctions::progressionTerm(-0.3, 0.1, 2), -0.3 + 2 * 0.1);
    // Small terms that are no cancellation stay.
    EXPECT_EQ(ElementaryFunctions::progressionTerm(1e-20, 1e-21, 1), 1e-20 + 1e-21);
    EXPECT_EQ(ElementaryFunctions::progressionTerm(-1e-20, 1e-21, 9), -1e-20 + 9 * 1e-21);
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
