#include "StatTestSupport.h"

#include "graph/GraphTestSupport.h"
#include "stats/PlotBox.h"
#include "stats/PlotModBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orvenda::test {
namespace {

using orvenda::testing::painted;

// 1.8 points per unit from x = 0 at view x 10; the x axis at view y 150, so a box 50
// points up has its centre line on view row 100.
constexpr GraphTransform kBoxView{1.8, 0, 0, -1.8, 10, 150};

bool anyInked(const QImage& image, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (inked(image, x, y))
                return true;
    return false;
}

class PlotBoxTest : public StatPlotTest {
protected:
    template <class Box>
    std::shared_ptr<Box> box(std::initializer_list<double> data, int type)
    {
        setList(L1, data);
        definePlot(0, type, L1);
        model->updateStatsFor(0);
        auto plot = std::make_shared<Box>(calc);
        plot->eqNum = 0;
        plot->vertLocation = 50;
        plot->color = VQColor::colorR(1, 0, 0, 1);
        return plot;
    }
    // The trace's text after the trace moved to x along the box.
    std::string traced(PlotBox& plot, double x)
    {
        PlotPoint at{x, 50 / 1.8, 0};
        plot.hitPoint(at, kBoxView, 20);
        calc.pTrackPoint = at;
        return plot.infoLines()->back();
    }
};

// The quartiles are those of the statistics: the medians of the lower and upper halves.
TEST_F(PlotBoxTest, TheModifiedBoxMarksTheOutlierAndEndsItsWhiskerInsideTheFences)
{
    auto modified = box<PlotModBox>({1, 2, 3, 4, 5, 6, 7, 100}, StatGraphManager::ModBoxplot);
    const auto s = model->stats(0);
    EXPECT_EQ(s->Q1, 2.5);
    EXPECT_EQ(s->medianX, 4.5);
    EXPECT_EQ(s->Q3, 6.5);
    const QImage mod = painted(*modified, kBoxView, 200);
    EXPECT_TRUE(anyInked(mod, {186, 96, 9, 9}));    // the outlier's mark at x = 100
    EXPECT_FALSE(anyInked(mod, {40, 99, 100, 3}));  // no whisker between 20 and 70
    EXPECT_TRUE(anyInked(mod, {18, 99, 5, 3}));     // the box from Q1 to Q3
    EXPECT_EQ(traced(*modified, 7.2), "X=7");       // the whisker's end, not maxX
    EXPECT_EQ(traced(*modified, 98), "maxX=100");
    EXPECT_EQ(traced(*modified, 2.4), "Q1=2.5");

    auto plain = box<PlotBox>({1, 2, 3, 4, 5, 6, 7, 100}, StatGraphManager::Boxplot);
    const QImage image = painted(*plain, kBoxView, 200);
    EXPECT_TRUE(anyInked(image, {40, 99, 100, 3}));  // the whisker reaches 100
    EXPECT_EQ(traced(*plain, 7.2), "Q3=6.5");
    EXPECT_EQ(traced(*plain, 90), "maxX=100");
}

// {1, 2, 3, 4, 100}: Q1 1.5 and Q3 52 put the high fence at 127.75, so 100 is inside and the
// modified plot's whisker reaches it like the plain one's (not an outlier ending at 4).
TEST_F(PlotBoxTest, FiveValuesWithAFarLastOneKeepItInsideTheFences)
{
    auto modified = box<PlotModBox>({1, 2, 3, 4, 100}, StatGraphManager::ModBoxplot);
    const auto s = model->stats(0);
    EXPECT_EQ(s->Q1, 1.5);
    EXPECT_EQ(s->Q3, 52);
    const QImage mod = painted(*modified, kBoxView, 200);
    EXPECT_TRUE(anyInked(mod, {120, 99, 60, 3}));  // the whisker from 52 on to 100
    EXPECT_EQ(traced(*modified, 98), "maxX=100");
}

TEST_F(PlotBoxTest, AValueOnAFenceIsInside)
{
    // Q1 2.5 and Q3 6.5: the high fence is 12.5.
    auto modified = box<PlotModBox>({1, 2, 3, 4, 5, 6, 7, 12.5}, StatGraphManager::ModBoxplot);
    EXPECT_EQ(traced(*modified, 12), "maxX=12.5");
    const QImage image = painted(*modified, {10, 0, 0, -10, 10, 150}, 200);
    // A whisker, no outlier mark, at x = 10.
    EXPECT_TRUE(anyInked(image, {108, 99, 4, 3}));
}

// The keys' steps: every value a touch could stop at, in x order, each outlier among them;
// either end holds.
TEST_F(PlotBoxTest, TheTraceStepsOverEveryStopInOrder)
{
    // Q1 1.5, median 4.5, Q3 7.5: the fences -7.5 and 16.5 leave -30, -20 and 40 outside;
    // the whiskers end at 1 and 9.
    auto modified = box<PlotModBox>({-30, -20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 40}, StatGraphManager::ModBoxplot);
    double x = 4.5;
    std::vector<double> right{x}, left{x};
    for (int k = 0; k < 5; ++k)
        right.push_back(x = modified->traceStep(x, true));
    x = 4.5;
    for (int k = 0; k < 6; ++k)
        left.push_back(x = modified->traceStep(x, false));
    EXPECT_EQ(right, (std::vector<double>{4.5, 7.5, 9, 40, 40, 40}));
    EXPECT_EQ(left, (std::vector<double>{4.5, 1.5, 1, -20, -30, -30, -30}));
    // From between two stops (a touch's x) to the next one its way.
    EXPECT_EQ(modified->traceStep(3, true), 4.5);
    EXPECT_EQ(modified->traceStep(3, false), 1.5);

    auto plain = box<PlotBox>({-30, -20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 40}, StatGraphManager::Boxplot);
    EXPECT_EQ(plain->traceStep(-30, true), 1.5);
    EXPECT_EQ(plain->traceStep(7.5, true), 40);
}

TEST_F(PlotBoxTest, AHitOnTheBandNeedsNoToleranceAndOffItTheToleranceCounts)
{
    auto plain = box<PlotBox>({1, 2, 3, 4, 5, 6, 7, 100}, StatGraphManager::Boxplot);
    PlotPoint onLine{50, 50 / 1.8, 0};
    EXPECT_TRUE(plain->hitPoint(onLine, kBoxView, 1));
    EXPECT_EQ(onLine.x, 6.5);  // the nearest summary value, Q3
    EXPECT_DOUBLE_EQ(onLine.y, 50 / 1.8);
    PlotPoint above{6.5, (50 + 16) / 1.8, 0};
    EXPECT_FALSE(plain->hitPoint(above, kBoxView, 1));
    PlotPoint near{6.6, (50 + 16) / 1.8, 0};
    EXPECT_TRUE(plain->hitPoint(near, kBoxView, 20));
}

// ZoomFit got the band's edges in points as a y extent.
TEST_F(PlotBoxTest, ZoomGetsOnlyTheXRange)
{
    auto plain = box<PlotBox>({1, 2, 3}, StatGraphManager::Boxplot);
    const Calculator::Bounds stat = plain->statBounds(kBoxView);
    EXPECT_EQ(std::tuple(stat.xMin, stat.xMax, stat.yMin, stat.yMax), std::tuple(1.0, 3.0, 65.0, 35.0));
    const Calculator::Rect fit = plain->boundsInRect(QRectF(), kBoxView);
    EXPECT_EQ(std::tuple(fit.x, fit.width), std::tuple(1.0, 2.0));
    EXPECT_TRUE(std::isnan(fit.y));
    EXPECT_TRUE(std::isnan(fit.height));
}

TEST_F(PlotBoxTest, BoxPlotsStackAboveTheAxisOrBelowAHistogram)
{
    setList(L1, {1, 2, 3});
    definePlot(1, StatGraphManager::Boxplot, L1);
    definePlot(4, StatGraphManager::ModBoxplot, L1);
    const auto location = [](const std::shared_ptr<PlotObject>& p) { return static_cast<PlotBox&>(*p).vertLocation; };
    auto plots = built();
    ASSERT_EQ(plots.size(), 2u);
    EXPECT_EQ(location(plots[0]), 100);
    EXPECT_EQ(location(plots[1]), 50);
    definePlot(2, StatGraphManager::Histogram, L1);
    plots = built();
    ASSERT_EQ(plots.size(), 3u);
    EXPECT_EQ(location(plots[0]), -35);
    EXPECT_EQ(location(plots[2]), -85);
    EXPECT_EQ(plots[0]->label(), "BoxPlot(" + L1 + ")");
    EXPECT_EQ(plots[2]->label(), "ModBoxPlot(" + L1 + ")");
}

} // namespace
} // namespace orvenda::test
