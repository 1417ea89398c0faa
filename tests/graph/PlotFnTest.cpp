#include "graph/PlotFn.h"

#include "GraphTestSupport.h"
#include "core/DrawObject.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <sstream>
#include <string>
#include <utility>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::ops;
using testing::painted;

constexpr int kSlotT = 19, kSlotX = 23, kSlotTheta = 26;

// Functions typed as text and compiled by the calculator's parser, drawn on a 320-point
// tile showing -10..10 on both axes (16 points a unit, half a point 1/32).
class PlotFnTest : public ::testing::Test {
protected:
    static constexpr double kHalfPoint = 1.0 / 32;

    PlotFnTest()
    {
        for (int slot : {kSlotT, kSlotX, kSlotTheta})
            calc.locked()->vars[std::size_t(slot)] = {7, 0};
    }
    std::shared_ptr<PlotFn> function(const std::string& text, int style = 2, int varNum = kSlotX)
    {
        auto tokens = ops(text);
        auto plot = std::make_shared<PlotFn>(calc);
        plot->fn = std::make_shared<VQStack>(calc.parser().getRPNfor(tokens));
        plot->varNum = varNum;
        plot->style = style;
        plot->lineWidth = 2;
        plot->color = VQColor::colorR(0, 0, 1, 1);
        return plot;
    }
    QImage draw(PlotFn& plot) { return painted(plot, t, 320); }
    // The samples of a segment: its first and last.
    GraphSampler::XY first(const PlotFn& plot, const PlotFn::Segment& s) { return plot.dataPoints()[std::size_t(s.start)]; }
    GraphSampler::XY last(const PlotFn& plot, const PlotFn::Segment& s)
    {
        return plot.dataPoints()[std::size_t(s.start + s.count - 1)];
    }

    Calculator calc;
    GraphTransform t = centred(320, 16);
};

// ---- Sampling and refinement ----

TEST_F(PlotFnTest, APoleSplitsTheCurveAtOneAsymptote)
{
    auto f = function("1/X");
    draw(*f);
    ASSERT_EQ(f->asymptotes().size(), 1u);
    const double pole = f->asymptotes()[0];
    EXPECT_NEAR(pole, 0, 1e-6);
    const auto segments = f->segments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(last(*f, segments[0]).x, pole);
    EXPECT_LT(last(*f, segments[0]).y, -1000);
    EXPECT_EQ(first(*f, segments[1]).x, pole);
    EXPECT_GT(first(*f, segments[1]).y, 1000);
}

// A pole just past a sample makes the steps on both sides of that sample large: the step
// across the pole is the largest only by a little. It is still taken for a spike, and the
// pole is found to a hair. Just before a sample the two large steps are the one across the
// pole and the one after it; the step back against the trend then finds the pole to a
// small part of a step. Either way there is one asymptote and the curve is split there.
TEST_F(PlotFnTest, APoleBesideASampleIsFoundThoughTwoStepsAreLarge)
{
    auto probe = function("X");
    draw(*probe);
    const auto& samples = probe->dataPoints();
    const std::size_t k = samples.size() / 2 + 7;
    const double step = samples[k + 1].x - samples[k].x;
    for (const double offset : {0.02, 0.1, 0.9, 0.98}) {
        const double pole = samples[k].x + offset * step;
        std::ostringstream at;
        at << std::setprecision(17) << pole;
        for (const std::string sign : {"", "-"}) {
            const std::string text = sign + "1/(X—(" + at.str() + "))";
            auto f = function(text);
            draw(*f);
            ASSERT_EQ(f->asymptotes().size(), 1u) << text;
            EXPECT_NEAR(f->asymptotes()[0], pole, offset < 0.5 ? 1e-9 : step / 50) << text;
            const auto segments = f->segments();
            ASSERT_EQ(segments.size(), 2u) << text;
            EXPECT_LE(last(*f, segments[0]).x, f->asymptotes()[0]) << text;
            EXPECT_GE(first(*f, segments[1]).x, f->asymptotes()[0]) << text;
            EXPECT_GT(std::fabs(last(*f, segments[0]).y), 100) << text;
            EXPECT_GT(std::fabs(first(*f, segments[1]).y), 100) << text;
        }
    }
}

TEST_F(PlotFnTest, ADomainEdgeIsReachedWithinHalfAPoint)
{
    // The first sample right of 0 lies at 0.0306, where √X is 0.175: five half points away.
    auto f = function("√(X)");
    draw(*f);
    const auto segments = f->segments();
    ASSERT_EQ(segments.size(), 1u);
    const GraphSampler::XY start = first(*f, segments[0]);
    EXPECT_GE(start.x, 0);
    EXPECT_LE(start.y, kHalfPoint);
}

TEST_F(PlotFnTest, RapidOscillationIsOneUnrefinedSegment)
{
    auto f = function("sin(1000X)");
    draw(*f);
    const auto segments = f->segments();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_TRUE(f->asymptotes().empty());
    // Every sample is kept where it was taken.
    const auto& data = f->dataPoints();
    for (std::size_t i = 1; i < data.size(); ++i)
        ASSERT_GT(data[i].x, data[i - 1].x) << i;
}

TEST_F(PlotFnTest, StepsAreSeparateRunsWithoutVerticalConnectors)
{
    // The widened tile spans -10.25..10.25: the integer parts -11..10, one run each.
    auto f = function("int(X)");
    draw(*f);
    const auto segments = f->segments();
    ASSERT_EQ(segments.size(), 22u);
    EXPECT_TRUE(f->asymptotes().empty());
    const auto& data = f->dataPoints();
    for (const PlotFn::Segment& s : segments) {
        const double level = data[std::size_t(s.start)].y;
        for (auto i = s.start; i < s.start + s.count; ++i)
            ASSERT_EQ(data[std::size_t(i)].y, level) << "segment from " << s.start;
    }
}

TEST_F(PlotFnTest, AnExtremeInAGapOfTheDomainEndsTheSearchForAValue)
{
    // (X−c)² with no value within 4e-6 of c: the turning point falls in the gap, 400
    // steps of 1e-8 wide near 0.31, and where steps of 1e-8 cannot move x at all near 1e9.
    for (const double c : {0.31, 1e9 + 0.3}) {
        auto f = function("(X-" + std::to_string(c) + ")²+0√(abs(X-" + std::to_string(c) + ")-0.000004)");
        const GraphTransform at = {16, 0, 0, -16, 160 - 16 * std::floor(c), 160};
        painted(*f, at, 320);
        bool keptInGap = false;
        for (const GraphSampler::XY& p : f->dataPoints())
            keptInGap |= std::isnan(p.y) && std::fabs(p.x - c) < 4e-6;
        EXPECT_TRUE(keptInGap) << c;
    }
}

TEST_F(PlotFnTest, SamplesAreReusedOnlyForTheSameStripAndXScale)
{
    auto f = function("X²");
    const QRectF tile(0, 0, 320, 320);
    f->computeRect(tile, t, 1);
    EXPECT_EQ(f->samplings(), 1);
    EXPECT_EQ(f->dataPoints().size(), 328u);

    // A vertical move or stretch only maps the same samples again.
    GraphTransform moved = t;
    moved.ty += 40;
    moved.d = -32;
    f->computeRect(tile, moved, 1);
    EXPECT_EQ(f->samplings(), 1);
    EXPECT_EQ(f->screenPoints()[100].y(), 200 - 32 * f->dataPoints()[100].y);

    // The same tile after a horizontal zoom or move shows other x.
    moved.a = 32;
    f->computeRect(tile, moved, 1);
    EXPECT_EQ(f->samplings(), 2);
    moved.tx += 8;
    f->computeRect(tile, moved, 1);
    EXPECT_EQ(f->samplings(), 3);
    EXPECT_EQ(f->dataPoints()[0].x, (-4 - moved.tx) / 32);

    // A strip too narrow for two samples draws nothing.
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    f->drawRect(QRectF(0, 0, -7, 8), painter, t, 1);
    painter.end();
    EXPECT_TRUE(f->segments().empty());
    EXPECT_TRUE(blank(image));
}

// ---- Drawing ----

TEST_F(PlotFnTest, ShadingFillsTheTileWhenTheCurveLiesBeyondIt)
{
    const struct {
        const char* text;
        int style;
        bool filled;
    } cases[] = {
        {"-100", 8, true}, {"-100", 16, false}, {"-100", 2, false}, {"100", 16, true}, {"100", 8, false},
    };
    for (const auto& c : cases) {
        const QImage image = draw(*function(c.text, c.style));
        if (c.filled) {
            EXPECT_GT(qAlpha(image.pixel(0, 0)), 150) << c.text << " style " << c.style;
            EXPECT_GT(qAlpha(image.pixel(319, 319)), 150) << c.text << " style " << c.style;
        } else {
            EXPECT_TRUE(blank(image)) << c.text << " style " << c.style;
        }
    }
}

TEST_F(PlotFnTest, ADrawnIntegralIsShadedWhicheverLimitComesFirst)
{
    for (const auto& [lower, upper] : {std::pair{1.0, 3.0}, std::pair{3.0, 1.0}}) {
        auto f = function("X");
        auto record = std::make_shared<DrawFunc>();
        record->lower = lower;
        record->upper = upper;
        f->eqNum = -1;
        f->drawFunc = record;
        const QImage image = draw(*f);
        // Under the line at x = 2, y = 1, and outside the limits at x = 4, y = 1.
        EXPECT_GT(qAlpha(image.pixel(160 + 32, 160 - 16)), 0) << lower;
        EXPECT_EQ(qAlpha(image.pixel(160 + 64, 160 - 16)), 0) << lower;
    }
}

TEST_F(PlotFnTest, AFunctionThatAlwaysFailsDrawsNothingAndLeavesEverythingAsItWas)
{
    // Non-real everywhere through the fast evaluator, and a list the full one must judge.
    const struct {
        const char* text;
        int varNum;
    } cases[] = {{"√(-X²-1)", kSlotX}, {"{X,1}", kSlotX}, {"√(-T²-1)", kSlotT}, {"{θ,1}", kSlotTheta}};
    for (const auto& c : cases) {
        auto f = function(c.text, 2, c.varNum);
        EXPECT_TRUE(blank(draw(*f))) << c.text;
        PlotPoint hit{1, 1, 1};
        EXPECT_FALSE(f->hitPoint(hit, t, 20)) << c.text;
        f->PtAtT(1, 0.25, {f});
        f->slopeAtT(1);
        EXPECT_EQ(calc.parser().error(), 0) << c.text;
        for (int slot : {kSlotT, kSlotX, kSlotTheta}) {
            EXPECT_EQ(calc.getVar(slot).value, std::complex<double>(7, 0)) << c.text << " slot " << slot;
        }
    }
}

// ---- Trace ----

TEST_F(PlotFnTest, TheTraceSnapsToTheFeatureNearby)
{
    const double r = 0.25;  // four points
    const struct {
        const char* text;
        const char* other;
        double at, x, y;
        int feature;
    } cases[] = {
        {"X²-4", nullptr, 2.03, 2, 0, PlotObject::FeatureZero},
        {"X²-4", nullptr, 0.01, 0, -4, PlotObject::FeatureYIntercept},
        {"X²", "X+2", 2.05, 2, 4, PlotObject::FeatureIntersection},
        {"1/X", nullptr, 0.02, 0, 0, PlotObject::FeatureAsymptote},
        {"(X-1)²+3", nullptr, 1.1, 1, 3, PlotObject::FeatureMinimum},
        {"5-(X-1)²", nullptr, 0.9, 1, 5, PlotObject::FeatureMaximum},
        // Away from the y-axis with no other plot the slopes decide: none here.
        {"X²", nullptr, 3, 3, 9, PlotObject::FeatureNone},
    };
    for (const auto& c : cases) {
        auto f = function(c.text);
        PlotObject::PlotList plots{f};
        if (c.other)
            plots.push_back(function(c.other));
        const PlotPoint p = f->PtAtT(c.at, r, plots);
        EXPECT_EQ(calc.featureLock, c.feature) << c.text << " at " << c.at;
        EXPECT_NEAR(p.x, c.x, 1e-8) << c.text << " at " << c.at;
        EXPECT_NEAR(p.y, c.y, 1e-8) << c.text << " at " << c.at;
        EXPECT_EQ(p.t, p.x);
    }
}

// A zero at the origin is shown as 0, not as the few units in the last place the search
// happens to stop at.
TEST_F(PlotFnTest, ATraceSnappedToAZeroAtTheOriginIsExactlyZero)
{
    for (const char* text : {"X", "X³+2X", "sin(X)"}) {
        for (const double at : {0.013, -0.021, 0.2}) {
            auto f = function(text);
            const PlotPoint p = f->PtAtT(at, 0.25, PlotObject::PlotList{f});
            EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero) << text << " at " << at;
            EXPECT_EQ(p.x, 0) << text << " at " << at;
            EXPECT_EQ(p.y, 0) << text << " at " << at;
        }
    }
}

} // namespace
} // namespace orvenda
