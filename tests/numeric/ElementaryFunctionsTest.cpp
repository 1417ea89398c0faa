#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::ElementaryFunctions;

TEST(ElementaryFunctions, RoundHalfAwayFromZero) {
    EXPECT_EQ(ElementaryFunctions::round(2.5, 0), 3.0);
    EXPECT_EQ(ElementaryFunctions::round(-2.5, 0), -3.0);
    // 2.345 is stored just below its half; it still rounds up as written.
    EXPECT_DOUBLE_EQ(ElementaryFunctions::round(2.345, 2), 2.35);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::round(-2.345, 2), -2.35);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::round(1.23456789012, 9), 1.23456789);
    EXPECT_EQ(ElementaryFunctions::round(1e20 + 4096, 3), 1e20 + 4096);
}

TEST(ElementaryFunctions, RoundOutsideItsRangeLeavesTheValue) {
    EXPECT_EQ(ElementaryFunctions::round(2.345, 10), 2.345);
    EXPECT_EQ(ElementaryFunctions::round(2.345, -1), 2.345);
    EXPECT_TRUE(std::isnan(ElementaryFunctions::round(NAN, 2)));
    EXPECT_TRUE(std::isinf(ElementaryFunctions::round(INFINITY, 2)));
}

TEST(ElementaryFunctions, RoundSignificantFiguresTiesToEven) {
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(123.456, 4), 123.5);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(0.0012345, 2), 0.0012);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(2.5, 1), 2.0);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(3.5, 1), 4.0);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(-1250, 2), -1200);
    EXPECT_DOUBLE_EQ(ElementaryFunctions::roundSF(98765, 2), 99000);
    EXPECT_EQ(ElementaryFunctions::roundSF(0.0, 3), 0.0);
    EXPECT_EQ(ElementaryFunctions::roundSF(1.23456, 0), 1.23456);
    EXPECT_EQ(ElementaryFunctions::roundSF(1.23456, 15), 1.23456);
}

TEST(ElementaryFunctions, SineAndCosineAreExactAtQuarterTurns) {
    const double h = std::numbers::pi / 2;
    EXPECT_EQ(ElementaryFunctions::VQSin(0.0), 0.0);
    EXPECT_EQ(ElementaryFunctions::VQSin(h), 1.0);
    EXPECT_EQ(ElementaryFunctions::VQSin(2 * h), 0.0);
    EXPECT_EQ(ElementaryFunctions::VQSin(3 * h), -1.0);
    EXPECT_EQ(ElementaryFunctions::VQSin(4 * h), 0.0);
    EXPECT_EQ(ElementaryFunctions::VQCos(h), 0.0);
    EXPECT_EQ(ElementaryFunctions::VQCos(2 * h), -1.0);
    EXPECT_EQ(ElementaryFunctions::VQCos(3 * h), 0.0);
    // Negative turns keep the library value.
    EXPECT_EQ(ElementaryFunctions::VQSin(-2 * h), std::sin(-2 * h));
    EXPECT_EQ(ElementaryFunctions::VQSin(0.5), std::sin(0.5));
    EXPECT_EQ(ElementaryFunctions::VQCos(2e12), std::cos(2e12));
    EXPECT_TRUE(std::isnan(ElementaryFunctions::VQSin(NAN)));
}

TEST(ElementaryFunctions, QuarterTurnCount) {
    int m = 99;
    EXPECT_TRUE(ElementaryFunctions::quarterTurn(5 * std::numbers::pi / 2, m));
    EXPECT_EQ(m, 1);
    EXPECT_TRUE(ElementaryFunctions::quarterTurn(-3 * std::numbers::pi / 2, m));
    EXPECT_EQ(m, -3);
    EXPECT_FALSE(ElementaryFunctions::quarterTurn(1.0, m));
    EXPECT_FALSE(ElementaryFunctions::quarterTurn(INFINITY, m));
}
