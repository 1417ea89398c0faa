#include "graph/PlotParametric.h"

#include "CurveTestSupport.h"
#include "language/VariableSlots.h"

#include <gtest/gtest.h>

#include <QPicture>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <utility>

// The parametric plot, and through it the sampled curve all three sampled plots share.

namespace orvenda {
namespace {

using test::kX1T;
using testing::blank;
using testing::centred;
using testing::painted;

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class PlotParametricTest : public testing::CurveTest {
protected:
    PlotParametric& pair(const std::string& x, const std::string& y, double tMin, double tMax, double tStep)
    {
        define(kX1T, x);
        define(kX1T + 1, y);
        set(kSlotTmin, tMin);
        set(kSlotTmax, tMax);
        set(kSlotTstep, tStep);
        plot.eqNum = kX1T;
        plot.color = VQColor::colorR(0, 0, 1, 1);
        plot.computeRect(QRectF(0, 0, 160, 160), kT);
        return plot;
    }

    const GraphTransform kT = centred(160, 8);
    PlotParametric plot{calc};
};

TEST_F(PlotParametricTest, SampleCountFollowsTheStepWithin600To2000)
{
    struct Case {
        double tMin, tMax, tStep;
        std::size_t count;
        double second;  // the t of the second sample
    };
    const Case cases[] = {
        {0, 2 * kPi, kPi / 24, 600, 2 * kPi / 600},
        {0, 2 * kPi, 2 * kPi / 1000, 1001, 2 * kPi / 1000},
        {0, 2 * kPi, 1e-6, 2000, 2 * kPi / 2000},
        {0, 2 * kPi, 0, 2000, 2 * kPi / 2000},
        {0, 2 * kPi, -0.1, 600, 2 * kPi / 600},
        {1, 0, 0.1, 600, 1 - 1.0 / 600},
    };
    for (const Case& k : cases) {
        plot.recompute();
        pair("T", "2T", k.tMin, k.tMax, k.tStep);
        const auto s = plot.samples();
        ASSERT_EQ(s.size(), k.count) << k.tStep;
        EXPECT_NEAR(s[1].t, k.second, 1e-12) << k.tStep;
        EXPECT_EQ(s.back().t, k.tMax);
        EXPECT_EQ(s.back().y, 2 * k.tMax);
    }
}

TEST_F(PlotParametricTest, PanningRedrawsTheSamplesUntilRecomputeAsks)
{
    pair("T", "T", -5, 5, 0.1);
    define(kX1T + 1, "-T");
    painted(plot, centred(160, 4));
    EXPECT_EQ(plot.samples().back().y, 5);
    plot.recompute();
    painted(plot, centred(160, 4));
    EXPECT_EQ(plot.samples().back().y, -5);
    // A window with no numbers leaves nothing of the last curve.
    set(kSlotTmin, kNaN);
    plot.recompute();
    EXPECT_TRUE(blank(painted(plot, kT)));
    EXPECT_TRUE(std::isnan(plot.samples()[1].y));
}

TEST_F(PlotParametricTest, StrokeWidthsAndTheSelectionHalo)
{
    // A horizontal line through the middle; the middle column shows the stroke's width.
    struct Case {
        int style;
        bool selected;
        double coverage;
    };
    const Case cases[] = {{2, false, 2}, {4, false, 4}, {2, true, 2 + 6 * 0.3}, {4, true, 2 + 5 * 0.3}};
    pair("T", "0", -10, 10, 0.1);
    for (const Case& k : cases) {
        plot.style = k.style;
        plot.setSelected(k.selected);
        EXPECT_NEAR(testing::CurveTest::coverage(painted(plot, kT), 80), k.coverage, 0.05) << k.style << k.selected;
    }
    // Drawn on a device other than an image (as into a PDF), the halo is the same.
    QPicture picture;
    {
        QPainter context(&picture);
        context.setRenderHint(QPainter::Antialiasing);
        plot.drawRect(QRectF(0, 0, 160, 160), context, kT, 1);
    }
    QImage replayed(160, 160, QImage::Format_ARGB32_Premultiplied);
    replayed.fill(Qt::transparent);
    {
        QPainter context(&replayed);
        context.drawPicture(0, 0, picture);
    }
    EXPECT_NEAR(testing::CurveTest::coverage(replayed, 80), 2 + 5 * 0.3, 0.05);
    EXPECT_TRUE(blank(painted(plot, {kNaN, 0, 0, -8, 80, 80})));
}

TEST_F(PlotParametricTest, UndefinedSamplesBreakTheCurve)
{
    // y = 30/T is undefined at T = 0 (T steps by whole numbers): no line joins its two
    // branches across the middle.
    pair("T/30", "30/T", -300, 300, 1);
    QImage image = painted(plot, kT);
    EXPECT_EQ(qAlpha(image.pixel(80, 80)), 0);
    EXPECT_GT(qAlpha(image.pixel(88, 72)), 0);
    // Defined at T = 0 alone: a lone point draws nothing.
    plot.recompute();
    pair("T/100", "√(-T²)", -300, 300, 1);
    EXPECT_TRUE(blank(painted(plot, kT)));
    const Calculator::Rect b = plot.boundsInRect(QRectF(0, 0, 160, 160), kT);
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.width, 0);
}

TEST_F(PlotParametricTest, HitTestAndBoundsUseTheSamples)
{
    PlotPoint p{3, 4, 9};
    EXPECT_FALSE(plot.hitPoint(p, kT, 20));
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.t, 9);
    Calculator::Rect none = plot.boundsInRect(QRectF(40, 0, 80, 160), kT);
    EXPECT_EQ(none.x, -5);
    EXPECT_EQ(none.width, 10);
    EXPECT_EQ(none.height, 0);

    pair("T", "T²", -2, 2, 0.5);
    // 600 samples, step 4/600: the nearest to (1.01, 1) is T = 1.
    p = {1.01, 1, 0};
    EXPECT_TRUE(plot.hitPoint(p, kT, 1));
    EXPECT_NEAR(p.t, 1, 1e-9);
    EXPECT_NEAR(p.y, 1, 1e-9);
    // Too far: a miss, the point still moved to the nearest sample.
    p = {3, 4, 0};
    EXPECT_FALSE(plot.hitPoint(p, kT, 5));
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.t, 2);

    const Calculator::Rect b = plot.boundsInRect(QRectF(), kT);
    EXPECT_EQ(b.x, -2);
    EXPECT_EQ(b.width, 4);
    EXPECT_NEAR(b.y, 0, 1e-4);
    EXPECT_DOUBLE_EQ(b.height + b.y, 4);
}

TEST_F(PlotParametricTest, TraceSnapsToZerosThenTurningPoints)
{
    struct Case {
        std::string x, y;
        double t, step;
        int feature;
        double snappedT, snappedY;
    };
    const Case cases[] = {
        {"cos(T)", "sin(T)", kPi - 0.01, kPi / 24, PlotObject::FeatureZero, kPi, 0},
        {"T", "T²+1", 0.01, 0.1, PlotObject::FeatureMinimum, 0, 1},
        {"T", "-T²-1", -0.01, 0.1, PlotObject::FeatureMaximum, 0, -1},
        {"T", "T+5", 0.01, 0.1, PlotObject::FeatureNone, 0.01, 5.01},
        // Standing still, then back to the point it left: the span falls back to Tstep.
        {"1", "2", 0.5, 0.1, PlotObject::FeatureNone, 0.5, 2},
        {"T²-1", "T³-T", -1, 2, PlotObject::FeatureZero, -1, 0},
    };
    calc.setAngleFormat(1);
    for (const Case& k : cases) {
        plot.recompute();
        pair(k.x, k.y, -10, 10, k.step);
        const PlotPoint p = plot.PtAtT(k.t, 0.05, {});
        EXPECT_EQ(calc.featureLock, k.feature) << k.y;
        EXPECT_NEAR(p.t, k.snappedT, 1e-9) << k.y;
        if (k.feature == PlotObject::FeatureZero)
            EXPECT_EQ(p.y, 0) << k.y;
        else
            EXPECT_NEAR(p.y, k.snappedY, 1e-9) << k.y;
    }
    // A zero or turning point just before Tmin is off the plot: the trace stays at t.
    for (const auto& [x, y] : {std::pair<std::string, std::string>("cos(T)", "sin(T)"), {"T", "T²+1"}}) {
        plot.recompute();
        pair(x, y, 0.02, 10, 0.1);
        const PlotPoint p = plot.PtAtT(0.03, 0.05, {});
        EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone) << y;
        EXPECT_DOUBLE_EQ(p.t, 0.03) << y;
    }
}

TEST_F(PlotParametricTest, TraceTextFollowsTheFormatSwitches)
{
    calc.setAngleFormat(1);
    pair("cos(T)", "sin(T)", 0, 2 * kPi, 0.1);
    calc.pTrackPoint = {0, 1, 2};
    calc.locked()->drawDyDx = false;
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"x=cos(T)", "y=sin(T)", "t:2", "x:0", "y:1"}));
    calc.locked()->drawExpr = calc.locked()->drawCoord = false;
    EXPECT_TRUE(plot.infoLines()->empty());
    EXPECT_FALSE(plot.equationOps());
    calc.locked()->drawCoord = true;
    calc.locked()->graphCoordFormat = 1;
    calc.setAngleFormat(0);
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"t:2", "r:1", "\xCE\xB8:90"}));
    calc.locked()->drawCoord = false;
    calc.locked()->drawDyDx = true;
    calc.setAngleFormat(1);
    // At T = π/2 on the unit circle: dy/dx 0, dx/dt −1, dy/dt 0 (to rounding).
    calc.pTrackPoint = {0, 1, kPi / 2};
    const auto lines = *plot.infoLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "dx/dt:-1");
    EXPECT_EQ(*plot.label(), "x=cos(T), y=sin(T)");
}

} // namespace
} // namespace orvenda
