#include "numeric/Combinatorics.h"

#include <cmath>

#include <gtest/gtest.h>

using orvenda::Combinatorics;

TEST(Combinatorics, GcdAndLcm) {
    EXPECT_EQ(Combinatorics::gcdArg1(12, 18), 6.0);
    EXPECT_EQ(Combinatorics::gcdArg1(0, 7), 7.0);
    EXPECT_EQ(Combinatorics::gcdArg1(0, 0), 0.0);
    EXPECT_EQ(Combinatorics::gcdArg1(999999999989.0, 999999999959.0), 1.0);
    EXPECT_EQ(Combinatorics::lcmArg1(4, 6), 12.0);
    EXPECT_EQ(Combinatorics::lcmArg1(0, 6), 0.0);
    EXPECT_EQ(Combinatorics::lcmArg1(999999999989.0, 2), 1999999999978.0);
    EXPECT_TRUE(std::isnan(Combinatorics::gcdArg1(1.5, 3)));
}

TEST(Combinatorics, PermutationsAndCombinations) {
    EXPECT_EQ(Combinatorics::combinationX(5, 52), 2598960.0);
    EXPECT_EQ(Combinatorics::permutationX(3, 5), 60.0);
    EXPECT_EQ(Combinatorics::combinationX(0, 0), 1.0);
    EXPECT_EQ(Combinatorics::permutationX(0, 9), 1.0);
    EXPECT_EQ(Combinatorics::combinationX(6, 5), 0.0);
    EXPECT_EQ(Combinatorics::permutationX(6, 5), 0.0);
    EXPECT_EQ(Combinatorics::combinationX(30, 60), 118264581564861424.0);
    EXPECT_TRUE(std::isnan(Combinatorics::combinationX(-1, 5)));
    EXPECT_TRUE(std::isnan(Combinatorics::permutationX(2.5, 5)));
}

TEST(Combinatorics, HugeCountsOverflowQuickly) {
    EXPECT_TRUE(std::isinf(Combinatorics::combinationX(5e11, 1e12)));
    EXPECT_TRUE(std::isinf(Combinatorics::permutationX(1e12, 1e12)));
    EXPECT_EQ(Combinatorics::combinationX(1e12 - 1, 1e12), 1e12);
}
