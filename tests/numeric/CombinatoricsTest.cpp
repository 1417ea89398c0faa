// Typed examples of gcd(, lcm(, nCr and nPr are in tests/cases/numeric-values.cases;
// here what the display cannot show: exact large results, NaN and overflow.
#include "numeric/Combinatorics.h"

#include <cmath>

#include <gtest/gtest.h>

using orvenda::Combinatorics;

TEST(Combinatorics, ExactLargeResultsNaNAndOverflow) {
    EXPECT_EQ(Combinatorics::lcmArg1(999999999989.0, 2), 1999999999978.0);
    EXPECT_EQ(Combinatorics::combinationX(30, 60), 118264581564861424.0);
    EXPECT_TRUE(std::isnan(Combinatorics::gcdArg1(1.5, 3)));
    EXPECT_TRUE(std::isnan(Combinatorics::combinationX(-1, 5)));
    EXPECT_TRUE(std::isnan(Combinatorics::permutationX(2.5, 5)));
    // Huge counts overflow quickly instead of looping.
    EXPECT_TRUE(std::isinf(Combinatorics::combinationX(5e11, 1e12)));
    EXPECT_TRUE(std::isinf(Combinatorics::permutationX(1e12, 1e12)));
    EXPECT_EQ(Combinatorics::combinationX(1e12 - 1, 1e12), 1e12);
}
