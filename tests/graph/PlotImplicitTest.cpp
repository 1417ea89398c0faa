#include "graph/PlotImplicit.h"

#include "GraphTestSupport.h"
#include "TestClocks.h"
#include "app/YEqTestSupport.h"
#include "eval/Parser.h"
#include "graph/GraphView.h"
#include "graph/ImplicitGrid.h"
#include "graph/ImplicitRefiner.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <string>
#include <utility>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::painted;
using test::kXY1;

constexpr int kSlotX = 23, kSlotY = 24;

class PlotImplicitTest : public ::testing::Test {
protected:
    // The relation in the first implicit slot, drawn red with the given style bits.
    std::shared_ptr<PlotImplicit> relation(const std::string& text, int style = 2, int token = kXY1)
    {
        eq.eq->setYEqFunc(token, test::ops(text));
        auto plot = std::make_shared<PlotImplicit>(calc);
        plot->eqNum = token;
        plot->style = style;
        plot->lineWidth = 2;
        plot->color = VQColor::colorR(1, 0, 0, 1);
        return plot;
    }

    // The full-quality drawing of the relation over the 160-point square centred on the
    // origin at 20 points a unit (-4..4 both ways).
    ImplicitGrid::Shape shape(const std::string& text)
    {
        eq.eq->setYEqFunc(kXY1, test::ops(text));
        ImplicitSolver f(calc);
        ImplicitSolver::Use use(f);
        bool equality = false;
        EXPECT_TRUE(f.setFunction(eq.eq->rpnForImplicitFunction(kXY1, equality).get()));
        ImplicitGrid grid;
        grid.setRegion(QRectF(0, 0, 160, 160), centred(160, 20));
        grid.start(ImplicitGrid::kFull, 0);
        EXPECT_TRUE(grid.advance(f, ImplicitGrid::Clock::time_point::max()));
        return grid.shape();
    }

    void setXY(double x, double y)
    {
        calc.locked()->vars[kSlotX] = {x, 0};
        calc.locked()->vars[kSlotY] = {y, 0};
    }
    void expectXY(double x, double y, const char* after)
    {
        EXPECT_EQ(calc.locked()->vars[kSlotX], std::complex<double>(x, 0)) << after;
        EXPECT_EQ(calc.locked()->vars[kSlotY], std::complex<double>(y, 0)) << after;
    }

    test::YEqCalc eq;
    Calculator& calc = eq.calc;
};

int maxAlpha(const QImage& image)
{
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            most = std::max(most, qAlpha(image.pixel(x, y)));
    return most;
}

TEST_F(PlotImplicitTest, CircleIsOneClosedLoopOnTheCurve)
{
    const ImplicitGrid::Shape circle = shape("X²+Y²=4");
    ASSERT_GT(circle.segments.size(), 100u);
    // Neighbouring cells find a shared side's crossing from the same corners, so every end
    // is the end of exactly two segments.
    std::map<std::pair<double, double>, std::vector<std::size_t>> ends;
    for (std::size_t k = 0; k < circle.segments.size(); ++k)
        for (const auto& p : circle.segments[k]) {
            EXPECT_LT(std::fabs(p.x * p.x + p.y * p.y - 4), 1e-6) << p.x << ", " << p.y;
            ends[{p.x, p.y}].push_back(k);
        }
    for (const auto& [p, at] : ends)
        ASSERT_EQ(at.size(), 2u) << p.first << ", " << p.second;
    // Walking from segment to segment comes back having passed every one.
    std::size_t segment = 0, walked = 0;
    auto point = circle.segments[0][1];
    do {
        const auto& at = ends[{point.x, point.y}];
        segment = at[0] == segment ? at[1] : at[0];
        const auto& s = circle.segments[segment];
        point = s[0].x == point.x && s[0].y == point.y ? s[1] : s[0];
        ++walked;
    } while (segment != 0 && walked <= circle.segments.size());
    EXPECT_EQ(walked, circle.segments.size());
}

TEST_F(PlotImplicitTest, UndefinedSideShowsTheDomainBorder)
{
    // Left of x = 0 √X is undefined and counts as positive; below the axis it borders
    // negative values, above it positive ones.
    const ImplicitGrid::Shape root = shape("Y=√(X)");
    const auto borderAt = [&root](double y, double within) {
        for (const auto& s : root.segments)
            if (std::fabs(s[0].x) < within && std::fabs(s[1].x) < within && std::min(s[0].y, s[1].y) <= y
                && y <= std::max(s[0].y, s[1].y))
                return true;
        return false;
    };
    for (double y : {-3.3, -2.0, -0.7})
        EXPECT_TRUE(borderAt(y, 8.0 / 128)) << y;
    EXPECT_FALSE(borderAt(2.0, 1));
}

TEST_F(PlotImplicitTest, InequalitiesFillTheirSideAndLineOnlyWhenAsked)
{
    struct Case {
        const char* text;
        int style;
        bool selected;
        bool line;
    };
    const Case cases[] = {
        {"Y>X²", 8, false, false},
        {"Y>X²", 8, true, true},
        {"Y≥X²", 10, false, true},
    };
    const GraphTransform t = centred(160, 20);
    for (const Case& c : cases) {
        auto plot = relation(c.text, c.style);
        plot->setSelected(c.selected);
        const QImage image = painted(*plot, t);
        const std::string what = std::string(c.text) + (c.selected ? " selected" : "");
        // (0, 2) lies above the parabola, (0, -2) and (3, 1) below it.
        EXPECT_NEAR(qAlpha(image.pixel(80, 40)), 128, 2) << what;
        EXPECT_EQ(qAlpha(image.pixel(80, 120)), 0) << what;
        EXPECT_EQ(qAlpha(image.pixel(140, 60)), 0) << what;
        EXPECT_EQ(maxAlpha(image) == 255, c.line) << what;
    }
}

TEST_F(PlotImplicitTest, NothingToDrawDrawsNothing)
{
    const GraphTransform t = centred(160, 20);
    // Two relations; a list the fast evaluator does not take; no relation at all.
    for (const char* text : {"X=Y=1", "Y={1,2}", ""}) {
        auto plot = relation(text, 10);
        EXPECT_TRUE(blank(painted(*plot, t))) << text;
        PlotPoint p{1, 1, 1};
        EXPECT_FALSE(plot->hitPoint(p, t, 20)) << text;
    }
}

TEST_F(PlotImplicitTest, HitsWithinTheBoxOntoTheCurve)
{
    auto circle = relation("X²+Y²=4");
    const GraphTransform t = centred(160, 20);
    struct Case {
        double pointsAway;
        bool hit;
    };
    for (const Case c : {Case{5, true}, Case{-5, true}, Case{15, false}}) {
        // Along the diagonal, c.pointsAway view points outside the circle of radius 2.
        const double r = (2 + c.pointsAway / 20) / std::sqrt(2.0);
        PlotPoint p{r, r, 0.5};
        setXY(7, -3);
        EXPECT_EQ(circle->hitPoint(p, t, 20), c.hit) << c.pointsAway;
        expectXY(7, -3, "hit test");
        if (!c.hit)
            continue;
        EXPECT_LT(std::fabs(p.x * p.x + p.y * p.y - 4), 1e-9) << c.pointsAway;
        EXPECT_NEAR(std::hypot(p.x - r, p.y - r), std::fabs(c.pointsAway) / 20, 0.002) << c.pointsAway;
        EXPECT_EQ(p.t, 0.5);
    }
}

TEST_F(PlotImplicitTest, TraceSnapsToFeatures)
{
    // X+Y=2 crosses the axis right of the touch's point on the line, 0.75 of the snap
    // range away.
    struct Case {
        const char* text;
        double x, y;
        int feature;
        double ex, ey;
    };
    const Case cases[] = {
        {"X²+Y²=4", 2, 0.01, PlotObject::FeatureZero, 2, 0},
        {"X+Y=2", 1.93, 0.08, PlotObject::FeatureZero, 2, 0},
        {"X²+Y²=4", 0.05, 2, PlotObject::FeatureMaximum, 0, 2},
        {"X²+(Y-1)²=4", -0.05, -1.05, PlotObject::FeatureMinimum, 0, -1},
    };
    for (const Case& c : cases) {
        auto plot = relation(c.text);
        setXY(7, -3);
        const PlotPoint p = plot->PtAtPt({c.x, c.y, 0.25}, QSizeF(0.1, 0.1), {plot});
        expectXY(7, -3, c.text);
        EXPECT_EQ(calc.featureLock, c.feature) << c.text;
        EXPECT_NEAR(p.x, c.ex, 1e-6) << c.text;
        if (c.feature == PlotObject::FeatureZero)
            EXPECT_EQ(p.y, 0) << c.text;
        else
            EXPECT_NEAR(p.y, c.ey, 1e-9) << c.text;
        EXPECT_EQ(p.t, 0.25);
    }

    // Nothing in reach: the point comes back as it was, X and Y too.
    auto circle = relation("X²+Y²=4");
    setXY(7, -3);
    const PlotPoint far = circle->PtAtPt({0, 0, 1}, QSizeF(0.01, 0.01), {circle});
    expectXY(7, -3, "a miss");
    EXPECT_EQ(far.x, 0);
    EXPECT_EQ(far.y, 0);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
}

TEST_F(PlotImplicitTest, TraceSnapsToCrossingsWithOtherRelations)
{
    auto circle = relation("X²+Y²=4");
    auto line = relation("Y=X", 2, kXY1 + 1);
    const PlotPoint p = circle->PtAtPt({1.45, 1.37, 0}, QSizeF(0.1, 0.1), {line, circle});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    EXPECT_NEAR(p.x, std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(p.y, std::sqrt(2.0), 1e-9);
}

// A relation's values are the full evaluator's wherever the fast one would have gone its
// own way; no value at all is +∞.
TEST_F(PlotImplicitTest, ValuesAreTheFullEvaluatorsOrNone)
{
    calc.setAngleFormat(0);
    for (const char* text : {"Y=1␣1／4", "Y=gcd(X,4)", "Y=remainder(X,4)", "Y=tan(X)", "Y=sin(X*1ᴱ-20)*1ᴱ22",
                             "Y=X+not(ln(X))", "Y=0^X"}) {
        eq.eq->setYEqFunc(kXY1, test::ops(text));
        ImplicitSolver f(calc);
        ImplicitSolver::Use use(f);
        bool equality = false;
        const auto rpn = eq.eq->rpnForImplicitFunction(kXY1, equality);
        ASSERT_TRUE(f.setFunction(rpn.get())) << text;
        for (double x : {-90.0, -2.0, -0.5, 0.0, 1.0, 1.5, 2.0, 90.0, 180.0}) {
            const double fast = f.fX(x, 0.25);
            setXY(x, 0.25);
            Parser& parser = calc.parser();
            const Operand full = parser.evalRPN(*rpn, true, true);
            const bool real = parser.error() == 0 && full.kind == KindReal && full.im() == 0;
            parser.setError(0);
            EXPECT_EQ(fast, real && !std::isnan(full.re()) ? full.re() : std::numeric_limits<double>::infinity()) << text << " at " << x;
        }
    }
}

TEST_F(PlotImplicitTest, NewtonLandsOnTheRoot)
{
    // Steep enough for Newton's steps (not the bracketing); the root is exact.
    eq.eq->setYEqFunc(kXY1, test::ops("150Y=150X"));
    ImplicitSolver f(calc);
    ImplicitSolver::Use use(f);
    bool equality = false;
    ASSERT_TRUE(f.setFunction(eq.eq->rpnForImplicitFunction(kXY1, equality).get()));
    double tol = 1e-14;
    EXPECT_NEAR(f.yAtX(0.5, 0.3, tol), 0.5, 1e-15);
    EXPECT_NE(tol, -1);
}

TEST_F(PlotImplicitTest, GraphStaysResponsiveWhileRefining)
{
    // Many crossings everywhere and a long expression: the full drawing of the ring takes
    // many frames.
    std::string text = "sin(20X)sin(20Y)";
    for (int k = 0; k < 3; ++k)
        text += "+" + text;
    eq.eq->setYEqFunc(kXY1, test::ops(text + "=cos(5XY)"));
    eq.eq->setFunction(kXY1, true);
    calc.setAngleFormat(1);
    calc.setGraphMode(4);
    GraphView view(calc);
    view.resize(320, 320);
    view.show();
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 1u);
    ASSERT_NE(dynamic_cast<PlotImplicit*>(view.plotObjects()[0].get()), nullptr);

    // Time is the test's work clock: a turn's length is the number of times it checked
    // the clock, the same on every machine. A turn paints within a frame's budget or works
    // for one slice: each of the nine tiles stops at its first checks past the deadline,
    // each check after a bounded piece of work.
    using test::WorkClock;
    const auto budget = std::max(ImplicitRefiner::kFrameBudget, ImplicitRefiner::kSlice);
    const std::uint64_t allowed = static_cast<std::uint64_t>(budget / WorkClock::kStep) + 9 * 5;
    const auto& plot = dynamic_cast<PlotImplicit&>(*view.plotObjects()[0]);
    std::uint64_t longest = 0, most = 0;
    int turns = 0;
    ImplicitRefiner& refiner = ImplicitRefiner::of(view);
    do {
        const std::uint64_t began = WorkClock::readings(), evals = plot.drawingEvals();
        QApplication::processEvents();
        longest = std::max(longest, WorkClock::readings() - began);
        most = std::max(most, plot.drawingEvals() - evals);
        ++turns;
    } while (refiner.busy() && turns < 100000);
    EXPECT_FALSE(refiner.busy());
    EXPECT_GT(turns, 3);
    EXPECT_LE(longest, allowed);
    // Less than one tile's whole grid in any turn.
    EXPECT_LT(most, std::uint64_t(ImplicitGrid::kNodes * ImplicitGrid::kNodes)) << turns << " turns";
}

} // namespace
} // namespace orvenda
