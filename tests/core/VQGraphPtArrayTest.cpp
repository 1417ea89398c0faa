#include "core/VQGraphPtArray.h"

#include <gtest/gtest.h>

using orvenda::VQGraphPtArray;

TEST(VQGraphPtArray, OnChangeAndOff)
{
    VQGraphPtArray points;
    points.ptOnAtX(1, 2, 1, 0, 1, 0);
    points.ptOnAtX(3, 4, 2, 1, 0, 0);
    // A second mark at the same place replaces the first.
    points.ptOnAtX(1, 2, 3, 0, 0, 1);
    ASSERT_EQ(points.points().size(), 2u);
    EXPECT_EQ(points.points()[0].mark, 3);
    EXPECT_EQ(points.points()[0].b, 1);

    // Change toggles.
    points.ptChangeAtX(3, 4, 1, 0, 1, 0);
    ASSERT_EQ(points.points().size(), 1u);
    points.ptChangeAtX(5, 6, 2, 0, 1, 0);
    ASSERT_EQ(points.points().size(), 2u);
    EXPECT_EQ(points.points()[1].x, 5);
    EXPECT_EQ(points.points()[1].mark, 2);

    points.ptOffAtX(7, 8); // nothing there
    points.ptOffAtX(1, 2);
    ASSERT_EQ(points.points().size(), 1u);
    EXPECT_EQ(points.points()[0].y, 6);
    points.clear();
    EXPECT_TRUE(points.points().empty());
}
