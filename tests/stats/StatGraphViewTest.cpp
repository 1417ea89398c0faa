#include "StatTestSupport.h"

#include "core/DrawObject.h"
#include "graph/GraphView.h"
#include "stats/PlotHistogram.h"
#include "stats/PlotRegression.h"
#include "stats/PlotScatter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvenda::test {
namespace {

constexpr int kZoomStat = 0x8F, kZoomFit = 0xBB65;

class StatGraphViewTest : public StatPlotTest {
protected:
    StatGraphViewTest()
    {
        view.resize(300, 300);
        window(-10, 10, -10, 10);
    }
    void window(double x0, double x1, double y0, double y1)
    {
        setVar(kSlotXmin, x0);
        setVar(kSlotXmax, x1);
        setVar(kSlotYmin, y0);
        setVar(kSlotYmax, y1);
        view.updateDisplay();
    }
    std::vector<int> types()
    {
        std::vector<int> out;
        for (const auto& plot : view.plotObjects())
            out.push_back(plot->plotType);
        return out;
    }
    void scatterOfFive()
    {
        setList(L1, {1, 2, 3, 4, 5});
        setList(L2, {2, 4, 5, 4, 5});
        definePlot(0, StatGraphManager::Scatter, L1, L2);
        model->setPlotColor(0, VQColor::colorR(0, 0, 1, 1));
    }

    GraphView view{calc};
};

TEST_F(StatGraphViewTest, TheGraphDrawsTheVisibleStatPlotsAndTheShadings)
{
    scatterOfFive();
    definePlot(2, StatGraphManager::Histogram, L1);
    definePlot(3, StatGraphManager::Boxplot, L1);
    model->setPlotVisible(3, false);
    calc.drawing.push_back(DrawDistribution::drawDistributionType(DrawDistribution::kNormal, -1, 1, 0, 1, 0, 0, 0));
    calc.lockStatPlot = 2;
    view.updateDisplay();
    EXPECT_EQ(types(), std::vector<int>({PlotObject::PlotScatter, PlotObject::PlotHistogram, PlotObject::PlotDistribution}));
    EXPECT_FALSE(view.plotObjects()[0]->selected());
    EXPECT_TRUE(view.plotObjects()[1]->selected());
    EXPECT_EQ(view.plotObjects()[0]->color.b(), 1);
    EXPECT_EQ(view.plotObjects()[0]->varNum, -3);
    EXPECT_EQ(view.plotObjects()[1]->varNum, -2);
    EXPECT_EQ(view.plotObjects()[1]->varInfoArray.size(), 2u);
    // The statistics were brought up to date for the graph.
    EXPECT_EQ(model->stats(0)->maxY, 5);
}

TEST_F(StatGraphViewTest, ZoomStatShowsEveryPoint)
{
    scatterOfFive();
    view.zoomOp(kZoomStat);
    const Calculator::Bounds b = view.graphBounds();
    EXPECT_NEAR(b.xMin, 1 - 4.0 / 6, 1e-9);
    EXPECT_NEAR(b.xMax, 5 + 4.0 / 6, 1e-9);
    EXPECT_NEAR(b.yMin, 2 - 0.5, 1e-9);
    EXPECT_NEAR(b.yMax, 5 + 0.5, 1e-9);
}

TEST_F(StatGraphViewTest, ZoomStatFitsAHistogramsBars)
{
    setList(L1, {1, 2, 2, 3, 7});
    definePlot(0, StatGraphManager::Histogram, L1);
    view.updateDisplay();
    view.zoomOp(kZoomStat);
    EXPECT_EQ(model->histogramXOrigin(), 1);
    EXPECT_DOUBLE_EQ(var(kSlotXscl), 2);
    const Calculator::Bounds b = view.graphBounds();
    EXPECT_LT(b.xMin, 1);
    EXPECT_GT(b.xMax, 9);
    EXPECT_GT(b.yMax, 3);
    // Bar by bar along the trace.
    view.plotObjects()[0]->setSelected(true);
    view.trace(1, 0.5);
    EXPECT_EQ(calc.pTrackPoint.x, 4);
    EXPECT_EQ(calc.pTrackPoint.y, 1);  // the 3 in [3, 5)
}

// ZStandard (from the home screen or the zoom menu) after the bins were fixed at Xmin -1:
// the bins start at the new Xmin and every one of the 38 values lies in a bar.
TEST_F(StatGraphViewTest, AZoomMovesTheHistogramsBinsToTheNewWindowKeepingEveryValue)
{
    VQList values;
    for (int k = 0; k < 38; ++k)
        values.addReal(-9 + 18.0 * k / 37, 15, -15);
    calc.locked()->lists[L1] = values;
    definePlot(0, StatGraphManager::Histogram, L1);
    window(-1, 10, -1, 10);
    setVar(kSlotXscl, 2.57);
    view.updateDisplay();
    EXPECT_EQ(model->leftEdge(), -1);
    view.zoomOp(0x86);  // ZStandard
    view.updateDisplay();
    EXPECT_EQ(model->leftEdge(), -10);
    auto* histogram = dynamic_cast<PlotHistogram*>(view.plotObjects().at(0).get());
    ASSERT_NE(histogram, nullptr);
    double drawn = 0;
    for (int k = 0; k < 200; ++k)
        drawn += histogram->yForBar(k);
    EXPECT_EQ(drawn, 38);
    // ZoomSto keeps the window and the bins; ZTrig moves both.
    view.zoomOp(0x92);
    EXPECT_EQ(model->leftEdge(), -10);
    view.zoomOp(0x87);
    EXPECT_NE(var(kSlotXmin), -10);
    EXPECT_EQ(model->leftEdge(), var(kSlotXmin));
}

TEST_F(StatGraphViewTest, TheRegressionChoiceDrawsTheCurveOverTheSelectedPlot)
{
    scatterOfFive();
    view.updateDisplay();
    view.plotObjects()[0]->setSelected(true);
    view.setFitModel(VQStatistics::LinRegAXB);
    ASSERT_EQ(types(), std::vector<int>({PlotObject::PlotScatter, PlotObject::PlotRegression}));
    auto& curve = static_cast<PlotRegression&>(*view.plotObjects()[1]);
    EXPECT_EQ(curve.eqNum, 0);
    EXPECT_EQ(curve.color.b(), 1);
    EXPECT_DOUBLE_EQ(curve.YAtT(0), 2.2);
    EXPECT_EQ(static_cast<PlotScatter&>(*view.plotObjects()[0]).fitModel(), VQStatistics::LinRegAXB);
    view.setFitModel(VQStatistics::QuadReg);
    EXPECT_EQ(types().size(), 2u);
    view.setFitModel(-1);
    EXPECT_EQ(types(), std::vector<int>({PlotObject::PlotScatter}));
    EXPECT_EQ(static_cast<PlotScatter&>(*view.plotObjects()[0]).fitModel(), -1);
}

TEST_F(StatGraphViewTest, ZoomFitTakesOnlyABoxPlotsXRange)
{
    setList(L1, {2, 4, 6});
    definePlot(0, StatGraphManager::Boxplot, L1);
    window(-10, 10, -3, 7);
    view.zoomOp(kZoomFit);
    const Calculator::Bounds b = view.graphBounds();
    EXPECT_NEAR(b.xMin, 2, 1e-9);
    EXPECT_NEAR(b.xMax, 6, 1e-9);
    EXPECT_NEAR(b.yMin, -3, 1e-9);
    EXPECT_NEAR(b.yMax, 7, 1e-9);
}

} // namespace
} // namespace orvenda::test
