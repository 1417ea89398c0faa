#include "core/VQGraphPtArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using orvenda::VQGraphPtArray;

namespace {

const VQGraphPtArray::Record& only(const VQGraphPtArray& points)
{
    EXPECT_EQ(points.count(), 1u);
    return points.points()[0];
}

} // namespace

TEST(VQGraphPtArray, PtOnTwiceAtOnePointKeepsOneRecordWithTheNewLook)
{
    VQGraphPtArray points;
    points.ptOnAtX(1, 2, 1, 0, 1, 0);
    points.ptOnAtX(1, 2, 3, 1, 0.5, 0);
    const auto& p = only(points);
    EXPECT_EQ(p.mark, 3);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 127);  // 0.5 × 255 truncated
    EXPECT_EQ(p.b, 0);
    EXPECT_TRUE(p.on);
    // Coordinates are single precision: these are the same point.
    points.ptOnAtX(1 + 1e-12, 2, 2, 0, 1, 0);
    EXPECT_EQ(only(points).mark, 2);
}

TEST(VQGraphPtArray, ErasingKeepsTheRecordAndBlackStillShows)
{
    VQGraphPtArray points;
    points.ptOffAtX(5, 5);  // never on: nothing
    EXPECT_EQ(points.count(), 0u);

    points.ptOnAtX(1, 2, 1, 0, 0, 0);
    EXPECT_TRUE(only(points).on);  // a black point shows
    points.ptOffAtX(1, 2);
    EXPECT_FALSE(only(points).on);
    EXPECT_EQ(only(points).r + only(points).g + only(points).b, 0);

    // Pt-Change brings an erased point back, and a second change erases it again.
    points.ptChangeAtX(1, 2, 2, 0, 0, 0);
    EXPECT_TRUE(only(points).on);
    EXPECT_EQ(only(points).mark, 2);
    points.ptChangeAtX(1, 2, 2, 0, 0, 0);
    EXPECT_FALSE(only(points).on);
    points.ptChangeAtX(3, 4, 1, 1, 1, 1);
    EXPECT_EQ(points.count(), 2u);
}

TEST(VQGraphPtArray, PointsThatAreNotFiniteInSinglePrecisionAreRefused)
{
    VQGraphPtArray points;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {nan, std::numeric_limits<double>::infinity(), 1e300}) {
        points.ptOnAtX(bad, 1, 1, 0, 1, 0);
        points.ptChangeAtX(1, bad, 1, 0, 1, 0);
        points.ptOffAtX(bad, bad);
    }
    EXPECT_EQ(points.count(), 0u);
    // Out-of-range colours are clamped, not wrapped.
    points.ptOnAtX(0, 0, 300, 2, -1, nan);
    EXPECT_EQ(only(points).mark, 255);
    EXPECT_EQ(only(points).r, 255);
    EXPECT_EQ(only(points).g, 0);
    EXPECT_EQ(only(points).b, 0);
}

TEST(VQGraphPtArray, GrowsBy800AndFindsEveryPointAcrossBuckets)
{
    VQGraphPtArray points;
    // Descending x: every insertion goes to the front of the last bucket.
    for (int i = 0; i < 799; ++i)
        points.ptOnAtX(2000 - i, 0.5, 1, 0, 1, 0);
    EXPECT_EQ(points.allocated(), 800u);
    points.ptOnAtX(-7, 0.5, 1, 0, 1, 0);  // the 800th
    EXPECT_EQ(points.allocated(), 1600u);
    for (int i = 0; i < 1000; ++i)
        points.ptOnAtX(i * 0.25 - 100, -3, 1, 0, 1, 0);
    ASSERT_EQ(points.count(), 1800u);

    // Every point is found again: turning each on once more adds nothing.
    for (int i = 0; i < 799; ++i)
        points.ptOnAtX(2000 - i, 0.5, 4, 0, 1, 0);
    for (int i = 0; i < 1000; ++i)
        points.ptOffAtX(i * 0.25 - 100, -3);
    EXPECT_EQ(points.count(), 1800u);
    int on = 0, marked = 0;
    for (std::size_t i = 0; i < points.count(); ++i) {
        on += points.points()[i].on;
        marked += points.points()[i].mark == 4;
    }
    EXPECT_EQ(on, 800);
    EXPECT_EQ(marked, 799);

    points.clear();
    EXPECT_EQ(points.count(), 0u);
    EXPECT_EQ(points.allocated(), 2400u);
}
