#include "graph/PlotCircle.h"

#include "GraphTestSupport.h"
#include "graph/PlotLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::painted;

constexpr double kPi = std::numbers::pi;

class PlotCircleTest : public ::testing::Test {
protected:
    std::shared_ptr<PlotCircle> circle(double x, double y, double r)
    {
        auto c = std::make_shared<PlotCircle>(calc);
        c->center = {x, y};
        c->radius = r;
        c->color = VQColor::colorR(1, 0, 0, 1);
        c->lineWidth = 2;
        return c;
    }

    Calculator calc;
};

TEST_F(PlotCircleTest, HalvesAndTheNearerOne)
{
    auto c = circle(1, 2, 5);
    EXPECT_EQ(c->YAtX(4), 6);
    EXPECT_EQ(c->Y2AtX(4), -2);
    EXPECT_EQ(c->YAtX(4, 1), -2);
    EXPECT_EQ(c->YAtX(4, 3), 6);
    EXPECT_EQ(c->YAtX(6, 100), 2);  // the rim: both halves meet
    EXPECT_TRUE(std::isnan(c->YAtX(6.01)));
    EXPECT_TRUE(std::isnan(c->YAtX(6.01, 2)));
}

TEST_F(PlotCircleTest, ZerosTopAndBottom)
{
    // Tangent to the x-axis: one zero, at the bottom.
    auto tangent = circle(0, 1, 1);
    PlotPoint p = tangent->PtAtT(-kPi / 2 + 0.05, 0.1, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);
    EXPECT_EQ(p.t, -kPi / 2);
    EXPECT_NEAR(p.y, 0, 1e-15);

    // Crossing the axis: x = ±√0.75 about the centre.
    auto crossing = circle(0, 0.5, 1);
    p = crossing->PtAtT(-0.5, 0.1, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);
    EXPECT_NEAR(p.x, std::sqrt(0.75), 1e-15);
    EXPECT_NEAR(p.y, 0, 1e-15);
    p = crossing->PtAtT(kPi / 2 + 0.01, 0.05, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMaximum);
    EXPECT_EQ(p.y, 1.5);
    p = crossing->PtAtT(-kPi / 2 - 0.01, 0.05, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMinimum);
    EXPECT_EQ(p.y, -0.5);

    // Above the axis: no zero, but a top.
    auto above = circle(0, 3, 1);
    p = above->PtAtT(-kPi / 2 + 0.02, 0.1, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMinimum);
    p = above->PtAtT(0.3, 0.1, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.t, 0.3);
}

TEST_F(PlotCircleTest, IntersectionsWithCirclesAndLines)
{
    // Touching from outside: exactly the one point between them.
    auto left = circle(0, 5, 1), right = circle(2, 5, 1);
    PlotPoint p = left->PtAtT(0.05, 0.1, {left, right});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_EQ(p.t, 0);
    EXPECT_EQ(p.x, 1);
    // One inside the other, and one circle twice: none.
    auto outer = circle(0, 5, 3), inner = circle(0.5, 5, 1);
    p = outer->PtAtT(0.2, 0.5, {outer, inner, outer});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.t, 0.2);
    auto twin = circle(0, 5, 3);
    p = outer->PtAtT(0.2, 0.5, {twin});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);

    // Two crossings; the nearer one is taken.
    auto a = circle(0, 5, 2), b = circle(2, 5, 2);
    p = a->PtAtT(kPi / 3 + 0.01, 0.1, {b});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_NEAR(p.x, 1, 1e-12);
    EXPECT_NEAR(p.y, 5 + std::sqrt(3.0), 1e-12);

    // A line y = 5.5 meets the circle at the angles π/6 and 5π/6.
    auto c = circle(0, 5, 1);
    auto line = std::make_shared<PlotLine>(calc);
    line->p1 = {-3, 5.5};
    line->p2 = {3, 5.5};
    p = c->PtAtT(0.55, 0.1, {line});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_NEAR(p.t, kPi / 6, 1e-9);
    p = c->PtAtT(-0.55, 0.1, {line});  // the far side crosses nothing
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
}

TEST_F(PlotCircleTest, HitTestGivesTheAngle)
{
    const GraphTransform t = centred(160, 10);
    auto c = circle(0, 3, 2);
    PlotPoint pt{2.5, 3, 2.5};
    EXPECT_TRUE(c->hitPoint(pt, t, 20));
    EXPECT_EQ(pt.t, 0);
    EXPECT_EQ(pt.x, 2.5);  // only t changes
    pt = {0, 0, 0};        // 10 points below the bottom
    EXPECT_TRUE(c->hitPoint(pt, t, 20));
    EXPECT_EQ(pt.t, -kPi / 2);
    pt = {0, 3, 0};        // the centre, 20 + points from the rim
    EXPECT_FALSE(c->hitPoint(pt, t, 19));
}

TEST_F(PlotCircleTest, DrawingOutlineFillAndNothingForANaNRadius)
{
    const GraphTransform t = centred(160, 10);
    auto c = circle(0, 0, 5);
    const QImage outline = painted(*c, t);
    EXPECT_NE(qAlpha(outline.pixel(130, 80)), 0);  // the rim at x = 5
    EXPECT_EQ(qAlpha(outline.pixel(80, 80)), 0);
    c->fillPercent = 1;
    const QImage filled = painted(*c, t);
    EXPECT_EQ(qAlpha(filled.pixel(80, 80)), 255);
    c->radius = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(blank(painted(*c, t)));
    c->radius = 1;
    c->center = {100, 100};  // far from the tile
    EXPECT_TRUE(blank(painted(*c, t)));
}

TEST_F(PlotCircleTest, TraceTextAndLabel)
{
    calc.locked()->drawExpr = true;
    calc.locked()->drawCoord = true;
    calc.locked()->drawDyDx = true;
    calc.pTrackPoint = {3, 4, 0.9};
    calc.pTrackSlope = -0.75;
    EXPECT_EQ(*circle(0, 0, 5)->infoLines(),
              (std::vector<std::string>{"Circle(0,0,5)", "X:3", "Y:4", "dy/dx:-.75"}));
    EXPECT_EQ(*circle(1.5, -2, 3)->label(), "Circle(1.5,-2,3)");
}

} // namespace
} // namespace orvenda
