#include "graph/PlotSequence.h"

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvenda {
namespace {

using test::kU;
using test::kV;
using test::kW;
using testing::blank;
using testing::centred;
using testing::painted;

constexpr int kU0 = 0x5E83;
constexpr int kSlotEtaMax = 57, kSlotEtaMin = 59;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class PlotSequenceTest : public testing::CurveTest {
protected:
    PlotSequenceTest()
    {
        plot.eqNum = kU;
        plot.color = VQColor::colorR(1, 0, 0, 1);
    }
    PlotSequence& terms(int format, double etaMin, double etaMax)
    {
        set(kSlotEtaMin, etaMin);
        set(kSlotEtaMax, etaMax);
        plot.setSequenceType(format);
        plot.recompute();
        plot.computeRect(QRectF(0, 0, 160, 160), kT);
        return plot;
    }
    // u(n) = 0.5·u(n−1) + 1 from u(ηMin) = start: from 0 it runs 0, 1, 1.5, 1.75, …
    void halving(double start = 0)
    {
        define(kU, "0.5u (η-1)+1");
        c.eq->setSeqInitOpsForEq(kU0, 1, start, 0);
    }

    const GraphTransform kT = centred(160, 8);
    PlotSequence plot{calc};
};

TEST_F(PlotSequenceTest, TermsRunFromEtaMinAndAtMost1000)
{
    define(kU, "η²");
    struct Case {
        double etaMin, etaMax;
        std::size_t count;
    };
    // Fractional, negative, reversed or undefined windows give no terms.
    const Case cases[] = {{1, 10, 10}, {0, 4999, 1000}, {0.5, 10, 0}, {1, 10.5, 0},
                          {-2, 5, 0},  {5, 1, 0},      {kNaN, 3, 0}};
    for (const Case& k : cases) {
        const auto s = terms(PlotSequence::Time, k.etaMin, k.etaMax).samples();
        ASSERT_EQ(s.size(), k.count) << k.etaMin << ".." << k.etaMax;
        if (k.count == 0) {
            EXPECT_TRUE(blank(painted(plot, kT)));
            continue;
        }
        const double last = k.etaMin + double(k.count) - 1;
        EXPECT_EQ(s.front().x, k.etaMin);
        EXPECT_EQ(s.front().y, k.etaMin * k.etaMin);
        EXPECT_EQ(s.back().x, last);
        EXPECT_EQ(s.back().y, last * last);
    }
}

TEST_F(PlotSequenceTest, TermsNotProducedAreUndefinedNotLeftOver)
{
    define(kU, "η");
    terms(PlotSequence::Time, 0, 5);
    define(kU, "√(3-η)");
    const auto s = terms(PlotSequence::Time, 0, 5).samples();
    EXPECT_EQ(s[3].y, 0);
    EXPECT_TRUE(std::isnan(s[4].y));
    EXPECT_TRUE(std::isnan(s[5].y));
}

TEST_F(PlotSequenceTest, EachFormatDrawsItsPoints)
{
    define(kU, "η");
    define(kV, "2η");
    define(kW, "3η");
    struct Case {
        int format;
        double x, y;  // term 2
    };
    const Case cases[] = {{PlotSequence::Time, 2, 2}, {PlotSequence::Web, 2, 2}, {PlotSequence::UV, 2, 4},
                          {PlotSequence::VW, 4, 6},   {PlotSequence::UW, 2, 6}};
    for (const Case& k : cases) {
        const auto s = terms(k.format, 0, 3).samples();
        EXPECT_EQ(s[2].x, k.x) << k.format;
        EXPECT_EQ(s[2].y, k.y) << k.format;
        EXPECT_FALSE(blank(painted(plot, kT))) << k.format;
    }
    // Dots: one at each term, nothing between.
    plot.style = PlotSequence::kDotStyle;
    const QImage dots = painted(terms(PlotSequence::Time, 0, 3), kT);
    EXPECT_EQ(qAlpha(dots.pixel(88, 71)), 255);
    EXPECT_EQ(qAlpha(dots.pixel(84, 75)), 0);
}

TEST_F(PlotSequenceTest, PointsAndSlopesByTermNumber)
{
    define(kU, "η²");
    terms(PlotSequence::Time, 3, 8);
    EXPECT_EQ(plot.XAtT(5), 5);
    EXPECT_EQ(plot.YAtT(5.7), 25);
    EXPECT_TRUE(std::isnan(plot.YAtT(2)));
    EXPECT_TRUE(std::isnan(plot.YAtT(8.5)));
    EXPECT_EQ(plot.slopeAtT(5), 10);
    EXPECT_TRUE(std::isnan(plot.slopeAtT(3)));
    EXPECT_TRUE(std::isnan(plot.slopeAtT(8)));
    // A hit answers the term number, which XAtT takes back.
    PlotPoint p{5.1, 25, 0};
    EXPECT_TRUE(plot.hitPoint(p, kT, 20));
    EXPECT_EQ(p.t, 5);
    EXPECT_EQ(p.y, 25);
    terms(PlotSequence::Time, 0.5, 8);
    EXPECT_FALSE(plot.hitPoint(p, kT, 20));
    EXPECT_EQ(p.t, 0);
    EXPECT_EQ(p.x, 0);
}

TEST_F(PlotSequenceTest, WebWalksBetweenTheDiagonalAndTheCurve)
{
    halving();
    terms(PlotSequence::Web, 0, 10);
    EXPECT_EQ(plot.XAtT(2.5), 1.5);
    EXPECT_EQ(plot.YAtT(2.5), 1.75);
    EXPECT_EQ(plot.XAtT(2), 1.5);
    EXPECT_EQ(plot.YAtT(2), 1.5);
    EXPECT_EQ(plot.YAtT(0), 0);
    EXPECT_EQ(plot.slopeAtT(3), 0);

    // From ηMin 2: u(2) = 4, u(3) = 3, u(4) = 2.5.
    halving(4);
    terms(PlotSequence::Web, 2, 10);
    struct Case {
        double x, y;
        PlotPoint hit;
    };
    const Case cases[] = {
        {4, 0.1, {4, 0, 2}},    // the start on the x-axis
        {4, 2.9, {4, 3, 2.5}},  // up the first line, near the curve
        {3.1, 3, {3, 3, 3}},    // along the second, near the diagonal
        {2.6, 2.6, {2.5, 2.5, 4}},
    };
    for (const Case& k : cases) {
        PlotPoint p{k.x, k.y, 0};
        EXPECT_TRUE(plot.hitPoint(p, kT, 20)) << k.x << "," << k.y;
        EXPECT_EQ(p.x, k.hit.x) << k.x << "," << k.y;
        EXPECT_EQ(p.y, k.hit.y) << k.x << "," << k.y;
        EXPECT_EQ(p.t, k.hit.t) << k.x << "," << k.y;
        EXPECT_EQ(plot.XAtT(p.t), p.x);
        EXPECT_EQ(plot.YAtT(p.t), p.y);
    }
    // A single term makes no web.
    terms(PlotSequence::Web, 2, 2);
    PlotPoint p{0, 0, 7};
    EXPECT_FALSE(plot.hitPoint(p, kT, 20));
    EXPECT_EQ(p.t, 0);
}

TEST_F(PlotSequenceTest, TraceTextByFormat)
{
    define(kU, "η");
    define(kV, "2η");
    calc.pTrackPoint = {3, 6, 3};
    calc.locked()->drawDyDx = false;
    terms(PlotSequence::UV, 0, 5);
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"u=η", "v=2η", "η:3", "u:3", "v:6"}));
    EXPECT_EQ(*plot.label(), "u=η, v=2η");
    calc.locked()->drawExpr = false;
    terms(PlotSequence::Web, 0, 5);
    calc.pTrackPoint = {3, 6, 3.5};
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"η:3", "X:3", "Y:6"}));
    terms(PlotSequence::Time, 0, 5);
    calc.locked()->drawDyDx = true;
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"η:3", "u:6", "dy/dx:1"}));
    calc.locked()->graphCoordFormat = 1;
    calc.setAngleFormat(0);
    calc.pTrackPoint = {0, 2, 2};
    calc.locked()->drawDyDx = false;
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"r:2", "θ:90"}));
}

} // namespace
} // namespace orvenda
