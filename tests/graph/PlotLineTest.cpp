#include "graph/PlotLine.h"

#include "GraphTestSupport.h"
#include "graph/PlotCircle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::painted;

constexpr double kInf = std::numeric_limits<double>::infinity();

class PlotLineTest : public ::testing::Test {
protected:
    std::shared_ptr<PlotLine> line(double x1, double y1, double x2, double y2)
    {
        auto l = std::make_shared<PlotLine>(calc);
        l->p1 = {x1, y1};
        l->p2 = {x2, y2};
        l->color = VQColor::colorR(0, 1, 0, 1);
        l->lineWidth = 2;
        return l;
    }
    PlotPoint trace(PlotLine& l, double t, const PlotObject::PlotList& other = {}) { return l.PtAtT(t, 0.05, other); }

    Calculator calc;
};

TEST_F(PlotLineTest, YIsDefinedOnTheClosedSegmentOnly)
{
    auto l = line(1, 1, 3, 2);
    EXPECT_EQ(l->YAtX(1), 1);
    EXPECT_EQ(l->YAtX(3), 2);
    EXPECT_EQ(l->YAtX(2), 1.5);
    EXPECT_TRUE(std::isnan(l->YAtX(3.0000001)));
    EXPECT_TRUE(std::isnan(line(2, 0, 2, 5)->YAtX(2)));
    EXPECT_EQ(l->slopeAtT(0), 0.5);
}

TEST_F(PlotLineTest, TraceSnapsToZeroThenIntersectionThenEndPoint)
{
    // The x-axis crossing.
    auto crossing = line(-1, -1, 3, 1);
    PlotPoint p = trace(*crossing, 1.02);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 0);

    // An end point with nothing else near.
    auto segment = line(1, 1, 3, 2);
    p = trace(*segment, 2.97);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 2);

    // The crossing of the line's extension is not on the segment: the end point wins.
    auto short_ = line(2, 0.01, 3, 1);
    p = trace(*short_, 2.0);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.x, 2);
    EXPECT_NEAR(p.y, 0.01, 1e-15);

    // Where the line meets the y-axis, alone on the graph: an intersection ("isect"), as
    // for the other plots sharing the line's search; a Y= function's is its y-intercept.
    auto rising = line(-2, 1, 2, 3);
    p = trace(*rising, 0.01, {rising});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 2);
}

TEST_F(PlotLineTest, IntersectionsWithOtherPlots)
{
    auto up = line(1, 1, 3, 3), down = line(1, 3, 3, 1);
    const PlotObject::PlotList plots{up, down};
    PlotPoint p = trace(*up, 2.01, plots);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_NEAR(p.x, 2, 1e-10);
    EXPECT_NEAR(p.y, 2, 1e-10);

    // A Vertical line spans every y.
    auto vertical = line(2, kInf, 2, kInf);
    p = trace(*up, 1.98, {up, vertical});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_EQ(p.x, 2);
    // A vertical segment that the line passes beside: its x, with no feature.
    auto stub = line(2, 5, 2, 6);
    p = trace(*up, 1.98, {up, stub});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.x, 2);

    // A circle: of its two halves the one nearer the line is followed.
    auto circle = std::make_shared<PlotCircle>(calc);
    circle->center = {3, 3};
    circle->radius = 1;
    auto long_ = line(-1, -1, 5, 5);
    p = trace(*long_, 3.70, {long_, circle});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_NEAR(p.x, 3 + std::sqrt(0.5), 1e-9);
}

TEST_F(PlotLineTest, HitTestInViewPoints)
{
    const GraphTransform t = centred(160, 10);
    struct Case {
        double x1, y1, x2, y2, px, py;
        bool hit;
        double x, y;
    };
    for (const Case& c : {Case{-5, 1, 5, 1, 2, 2.9, true, 2, 1},       // horizontal, 19 points off
                          Case{-5, 1, 5, 1, 6, 1, false, 6, 1},        // beyond its end
                          Case{3, -5, 3, 5, 1.1, 0, true, 3, 0},       // vertical
                          Case{0, 0, 4, 4, 0, 2, true, 1, 1},          // oblique: the foot
                          Case{0, 0, 4, 4, 6, 5, false, 5.5, 5.5},     // foot beyond the end
                          Case{kInf, 1, kInf, 1, 0, 1, false, 0, 1}}) { // Horizontal: never
        auto l = line(c.x1, c.y1, c.x2, c.y2);
        PlotPoint pt{c.px, c.py, c.px};
        EXPECT_EQ(l->hitPoint(pt, t, 20), c.hit) << c.x1 << "," << c.y1;
        EXPECT_DOUBLE_EQ(pt.x, c.x);
        EXPECT_DOUBLE_EQ(pt.y, c.y);
    }
}

TEST_F(PlotLineTest, TraceTextAndLabel)
{
    calc.locked()->drawExpr = true;
    calc.locked()->drawCoord = true;
    calc.locked()->drawDyDx = true;
    calc.pTrackPoint = {1, 3, 1};
    EXPECT_EQ(*line(0, 1, 2, 5)->infoLines(),
              (std::vector<std::string>{"Line(0,1,2,5)", "y=2x+1", "X:1", "Y:3", "dy/dx:2"}));
    calc.locked()->drawCoord = false;
    calc.locked()->drawDyDx = false;
    EXPECT_EQ(*line(kInf, 4, kInf, 4)->infoLines(), (std::vector<std::string>{"Horizontal 4", "y=4"}));
    EXPECT_EQ(*line(2, kInf, 2, kInf)->infoLines(), (std::vector<std::string>{"Vertical 2", "x=2"}));
    EXPECT_EQ(*line(2, kInf, 2, kInf)->label(), "Vertical 2");
    EXPECT_EQ(*line(kInf, 4, kInf, 4)->label(), "Horizontal 4");

    // Polar read-out in degrees.
    calc.locked()->drawExpr = false;
    calc.locked()->drawCoord = true;
    calc.locked()->graphCoordFormat = 1;
    calc.setAngleFormat(0);
    calc.pTrackPoint = {0, 2, 0};
    EXPECT_EQ(*line(0, 1, 2, 5)->infoLines(), (std::vector<std::string>{"r:2", "\xCE\xB8:90"}));
}

TEST_F(PlotLineTest, SpanningLinesFillTheTileAndNonFiniteTransformsDrawNothing)
{
    const GraphTransform far{1, 0, 0, -1, 1e6, 1e6};  // the window nowhere near the tile
    const QImage across = painted(*line(kInf, 0, kInf, 0), {1, 0, 0, -1, 0, 80});
    EXPECT_NE(qAlpha(across.pixel(0, 80)), 0);
    EXPECT_NE(qAlpha(across.pixel(159, 80)), 0);
    const QImage down = painted(*line(0, kInf, 0, kInf), {1, 0, 0, -1, 80, 0});
    EXPECT_NE(qAlpha(down.pixel(80, 0)), 0);
    EXPECT_NE(qAlpha(down.pixel(80, 159)), 0);
    EXPECT_TRUE(blank(painted(*line(-1e6, 0, -1e6 + 1, 1), far)));
    GraphTransform nan = centred(160, 10);
    nan.tx = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(blank(painted(*line(-5, -5, 5, 5), nan)));
}

TEST_F(PlotLineTest, ArrowHeadsStopTheShaftShort)
{
    // A horizontal line across the middle, from view x 20 to 140; a head at p2 is 20
    // points long and 5 points either side of the line at its base.
    auto l = line(-6, 0, 6, 0);
    l->lineWidth = 1;
    const GraphTransform t = centred(160, 10);
    const QImage plain = painted(*l, t);
    EXPECT_EQ(qAlpha(plain.pixel(122, 83)), 0);
    l->style = 2;
    const QImage arrow = painted(*l, t);
    EXPECT_NE(qAlpha(arrow.pixel(122, 83)), 0);  // within the head, off the shaft
    EXPECT_EQ(qAlpha(arrow.pixel(145, 80)), 0);  // past the tip
    EXPECT_EQ(qAlpha(arrow.pixel(38, 83)), 0);   // no head at p1
}

} // namespace
} // namespace orvenda
