#include "graph/GraphGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvenda {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(GraphGeometry, SegmentsAgainstARectangle)
{
    struct Case {
        double x1, y1, x2, y2;
        bool meets;
    };
    // The rectangle (0, 0)–(10, 10); edges count as inside.
    for (const Case& c : {Case{-5, 2, -1, 8, false},   // both left
                          Case{-5, -5, 15, 15, true},  // above-left to below-right, through
                          Case{-5, -1, 1, 15, false},  // passes the corner outside
                          Case{5, 5, 50, 50, true},    // one end inside
                          Case{10, -3, 10, 20, true},  // along the right edge
                          Case{-3, 12, 12, -3, true},  // the other diagonal
                          Case{-5, 5, kInf, 5, true},  // a ray through it
                          Case{kNaN, 5, 5, 5, false}, Case{-5, 5, 5, kNaN, false}})
        EXPECT_EQ(GraphGeometry::segmentMeetsRect(0, 0, 10, 10, c.x1, c.y1, c.x2, c.y2), c.meets)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
}

TEST(GraphGeometry, LineIntersectionAndPerpendicularFoot)
{
    const auto p = GraphGeometry::lineIntersection(0, 0, 2, 2, 0, 2, 2, 0);
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.y, 1);
    const auto parallel = GraphGeometry::lineIntersection(0, 0, 1, 1, 0, 1, 1, 2);
    EXPECT_TRUE(std::isnan(parallel.x) && std::isnan(parallel.y));

    const auto on = GraphGeometry::perpendicularFoot(3, 3, 0, 0, 1, 1);
    EXPECT_DOUBLE_EQ(on.x, 3);
    EXPECT_DOUBLE_EQ(on.y, 3);
    const auto foot = GraphGeometry::perpendicularFoot(0, 4, 0, 0, 4, 0);
    EXPECT_DOUBLE_EQ(foot.x, 0);
    EXPECT_DOUBLE_EQ(foot.y, 0);
}

} // namespace
} // namespace orvenda
