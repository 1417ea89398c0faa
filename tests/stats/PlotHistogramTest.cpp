#include "StatTestSupport.h"

#include "graph/GraphTestSupport.h"
#include "stats/HistogramBins.h"
#include "stats/PlotHistogram.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda::test {
namespace {

using orvenda::testing::painted;

// 16 points per unit, x = 0 at view x 8 and the x axis at view y 140.
constexpr GraphTransform kBarView{16, 0, 0, -16, 8, 140};

class PlotHistogramTest : public StatPlotTest {
protected:
    // Plot1, a histogram of L₁ (with frequencies in L₂ when given), bins of width w from 0.
    std::shared_ptr<PlotHistogram> histogram(std::initializer_list<double> data, double w,
                                             std::initializer_list<double> freq = {})
    {
        setList(L1, data);
        if (freq.size() != 0)
            setList(L2, freq);
        definePlot(0, StatGraphManager::Histogram, L1, "", freq.size() != 0 ? L2 : "");
        model->updateStatsFor(0);
        model->setHistogramXOrigin(0);
        model->setHistogramBarOffset(0);
        setVar(kSlotXscl, w);
        auto plot = std::make_shared<PlotHistogram>(calc);
        plot->setEqNum(0);
        plot->color = VQColor::colorR(0, 0, 1, 1);
        return plot;
    }
};

TEST_F(PlotHistogramTest, BinsHoldTheirLeftEdgeAndEmptyBinsDrawNothing)
{
    auto h = histogram({1, 2, 2, 3, 7}, 2);
    EXPECT_EQ(h->yForBar(0), 1);
    EXPECT_EQ(h->yForBar(1), 3);
    EXPECT_EQ(h->yForBar(2), 0);
    EXPECT_EQ(h->yForBar(3), 1);
    EXPECT_EQ(h->yForBar(4), 0);
    const QImage image = painted(*h, kBarView);
    EXPECT_TRUE(inked(image, 24, 130));   // [0,2): 1 high, up to view y 124
    EXPECT_FALSE(inked(image, 24, 118));
    EXPECT_TRUE(inked(image, 56, 100));   // [2,4): 3 high, up to view y 92
    EXPECT_FALSE(inked(image, 88, 130));  // [4,6) is empty
    EXPECT_TRUE(inked(image, 120, 130));  // [6,8)
    // The values' dots on the axis.
    EXPECT_TRUE(inked(image, 120, 140));

    auto edge = histogram({2}, 2);
    EXPECT_EQ(edge->yForBar(0), 0);
    EXPECT_EQ(edge->yForBar(1), 1);
}

TEST_F(PlotHistogramTest, FrequenciesWeightTheBars)
{
    auto h = histogram({1, 1, 5}, 2, {2, 0, 1});
    EXPECT_EQ(h->yForBar(0), 2);
    EXPECT_EQ(h->yForBar(2), 1);
    auto zero = histogram({1, 5}, 2, {0, 1});
    EXPECT_EQ(zero->yForBar(0), 0);
    const QImage image = painted(*zero, kBarView);
    EXPECT_FALSE(inked(image, 24, 130));
    EXPECT_TRUE(inked(image, 88, 130));  // the last bar, [4,6), 1 high
}

// A frequency list of another length: error 25 once for the graph, and the bars of the
// data alone (each value counted once), with the plot's statistics left without it.
TEST_F(PlotHistogramTest, AFrequencyListOfAnotherLengthIsReportedOnceAndLeftOut)
{
    setList(L1, {3, 1, 2});
    setList(L2, {1, 2});
    definePlot(0, StatGraphManager::Histogram, L1, "", L2);
    model->setHistogramXOrigin(0);
    model->setHistogramBarOffset(0);
    setVar(kSlotXscl, 1);
    const PlotObject::PlotList plots = built();
    ASSERT_EQ(plots.size(), 1u);
    auto* h = dynamic_cast<PlotHistogram*>(plots.front().get());
    ASSERT_NE(h, nullptr);
    const QImage image = painted(*h, kBarView);
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors.front().value("errorNum", 0), 25);
    EXPECT_EQ(h->values(), (std::vector<double>{1, 2, 3}));
    for (int bar : {1, 2, 3})
        EXPECT_EQ(h->yForBar(bar), 1) << bar;
    EXPECT_FALSE(model->stats(0)->freq);
    EXPECT_EQ(model->stats(0)->n, 3);
    // [2,3) is one high (up to view y 124), and 3 has its bar.
    EXPECT_TRUE(inked(image, 48, 130));
    EXPECT_FALSE(inked(image, 48, 118));
    EXPECT_TRUE(inked(image, 64, 130));
    EXPECT_EQ(view->errors.size(), 1u);
}

TEST_F(PlotHistogramTest, TheTraceStaysOnTheBars)
{
    auto h = histogram({1, 2, 2, 3, 7}, 2);
    const PlotPoint first = h->ptForBar(-1);
    EXPECT_EQ(std::tuple(first.x, first.y, first.t), std::tuple(1.0, 1.0, 0.0));
    const PlotPoint last = h->ptForBar(99);
    EXPECT_EQ(std::tuple(last.x, last.y, last.t), std::tuple(9.0, 0.0, 4.0));  // 5 bars up to 7 + 1.5·2
    const PlotPoint traced = h->PtAtT(1.9, 0, {});
    EXPECT_EQ(traced.t, 1);
    EXPECT_EQ(traced.y, 3);

    PlotPoint past{20, 1, 0};
    EXPECT_FALSE(h->hitPoint(past, kBarView, 20));
    EXPECT_EQ(past.t, 5);
    PlotPoint onBar{3, 2, 0};
    EXPECT_TRUE(h->hitPoint(onBar, kBarView, 20));
    EXPECT_EQ(std::tuple(onBar.x, onBar.y, onBar.t), std::tuple(3.0, 3.0, 1.0));
}

TEST_F(PlotHistogramTest, TheWidthSliderPullsTheOffsetDownWithIt)
{
    auto h = histogram({1, 2, 2, 3, 7}, 2);
    h->varInfoArray = model->varInfoForPlot(0).value();
    h->setVar(StatPlotModel::kOffsetVar, 0, 2, 1.5, 0);
    EXPECT_EQ(model->histogramBarOffset(), 1.5);
    h->setVar(StatPlotModel::kWidthVar, 1, 7, 1, 0);
    EXPECT_EQ(var(kSlotXscl), 1);
    EXPECT_EQ(h->varInfoArray[1].max, 1);
    EXPECT_EQ(h->varInfoArray[1].value, 1);
    EXPECT_EQ(model->histogramBarOffset(), 1);
    // Other variables are not the histogram's.
    h->setVar(23, 0, 1, 0.5, 0);
    EXPECT_EQ(var(kSlotXscl), 1);
}

// A width of 0, a negative or NaN one (as a program may store into Xscl) or one far too
// small used to walk bins for ever.
TEST_F(PlotHistogramTest, AnXsclThatIsNoWidthStillDrawsBoundedBins)
{
    for (double w : {0.0, -1.0, std::nan(""), 1e-300}) {
        auto h = histogram({5, 5, 5}, w);
        const HistogramBins bins = h->bins();
        EXPECT_GT(bins.width(), 0) << w;
        EXPECT_TRUE(std::isfinite(bins.width())) << w;
        const QImage image = painted(*h, {16, 0, 0, -16, -40, 140});
        // A bar 3 high (up to view y 92) at x = 5, view x 40.
        bool bar = false;
        for (int x = 38; x <= 43; ++x)
            bar = bar || inked(image, x, 100);
        EXPECT_TRUE(bar) << w;
        EXPECT_EQ(h->yForBar(static_cast<int>(bins.binOf(5))), 3) << w;
    }
    auto wide = histogram({0, 1e6}, 1e-300);
    EXPECT_GE(wide->bins().width(), 1e6 / HistogramBins::kMaxBins);
    EXPECT_EQ(wide->yForBar(0), 1);
}

TEST_F(PlotHistogramTest, ZoomStatGetsTheBarsExtentAndTheAutomaticWidth)
{
    auto h = histogram({1, 2, 2, 3, 7}, 2);
    // 5 values make 4 bars: the range over 3.
    EXPECT_DOUBLE_EQ(h->tiBarWidth(), 2);
    const Calculator::Bounds b = h->statBounds(kBarView, 1, 2);
    EXPECT_EQ(std::tuple(b.xMin, b.xMax, b.yMin, b.yMax), std::tuple(1.0, 8.0, 0.0, 3.0));
    const Calculator::Bounds data = h->statBounds(kBarView);
    EXPECT_EQ(std::tuple(data.xMin, data.xMax), std::tuple(1.0, 7.0));
}

TEST_F(PlotHistogramTest, TheTraceTextNamesTheBinAndItsCount)
{
    auto h = histogram({1, 2, 2, 3, 7}, 2);
    calc.pTrackPoint = h->ptForBar(1);
    EXPECT_EQ(h->label(), "Histogram(" + L1 + ")");
    EXPECT_EQ(h->infoLines(), std::vector<std::string>({"Histogram(" + L1 + ",1)", "min=2", "max<4", "n=3"}));
}

} // namespace
} // namespace orvenda::test
