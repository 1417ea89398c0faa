#include "numeric/BitOps.h"

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

using orvenda::BitOps;

TEST(BitOps, ConversionSaturatesAndClearsNegatives) {
    EXPECT_EQ(BitOps::toUInt32(5.9), 5u);
    EXPECT_EQ(BitOps::toUInt32(-3.0), 0u);
    EXPECT_EQ(BitOps::toUInt32(NAN), 0u);
    EXPECT_EQ(BitOps::toUInt32(1e300), 0xFFFFFFFFu);
    EXPECT_EQ(BitOps::toUInt32(INFINITY), 0xFFFFFFFFu);
    EXPECT_EQ(BitOps::toUInt32(4294967295.0), 0xFFFFFFFFu);
    EXPECT_EQ(BitOps::toUInt32(4294967294.5), 4294967294u);
}

TEST(BitOps, ShiftIsLogical) {
    EXPECT_EQ(BitOps::shift(1, 3), 8.0);
    EXPECT_EQ(BitOps::shift(8, -3), 1.0);
    EXPECT_EQ(BitOps::shift(5, -1), 2.0);
    EXPECT_EQ(BitOps::shift(0x80000000u, 1), 0.0);
    EXPECT_EQ(BitOps::shift(1, 32), 0.0);
    EXPECT_EQ(BitOps::shift(1, -40), 0.0);
    EXPECT_EQ(BitOps::shift(1, INT_MIN), 0.0);
    EXPECT_EQ(BitOps::shift(4294967295.0, 0), 4294967295.0);
}

TEST(BitOps, RotateTurnsWithin32Bits) {
    EXPECT_EQ(BitOps::rotate(1, -1), 2147483648.0);
    EXPECT_EQ(BitOps::rotate(2147483648.0, 1), 1.0);
    EXPECT_EQ(BitOps::rotate(1, 33), 2.0);
    EXPECT_EQ(BitOps::rotate(1, -32), 1.0);
    EXPECT_EQ(BitOps::rotate(1, INT_MIN), 1.0);
    EXPECT_EQ(BitOps::rotate(6, 0), 6.0);
}

TEST(BitOps, LogicalOperators) {
    EXPECT_EQ(BitOps::notb(5), 4294967290.0);
    EXPECT_EQ(BitOps::notb(-1), 4294967295.0);
    EXPECT_EQ(BitOps::andb(12, 10), 8.0);
    EXPECT_EQ(BitOps::orb(12, 10), 14.0);
    EXPECT_EQ(BitOps::xorb(12, 10), 6.0);
    EXPECT_EQ(BitOps::andb(NAN, 7), 0.0);
    EXPECT_EQ(BitOps::orb(1e20, 0), 4294967295.0);
}
