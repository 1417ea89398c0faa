// Typed examples of shift(, rotate( and the logical operators are in
// tests/cases/numeric-values.cases; here the conversion edges.
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
    // The most negative count neither shifts nor turns out of range.
    EXPECT_EQ(BitOps::shift(1, INT_MIN), 0.0);
    EXPECT_EQ(BitOps::rotate(1, INT_MIN), 1.0);
    EXPECT_EQ(BitOps::andb(NAN, 7), 0.0);
}
