#include "StatTestSupport.h"

#include "graph/GraphTestSupport.h"
#include "stats/PlotNormProb.h"
#include "stats/PlotScatter.h"
#include "stats/PlotXYLine.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda::test {
namespace {

using orvenda::testing::blank;
using orvenda::testing::centred;
using orvenda::testing::painted;

// 16 points per unit about the middle of a 160-point picture.
const GraphTransform kPairView = centred(160, 16);

class PlotScatterTest : public StatPlotTest {
protected:
    template <class Plot>
    std::shared_ptr<Plot> paired(std::initializer_list<double> x, std::initializer_list<double> y, int type)
    {
        setList(L1, x);
        setList(L2, y);
        definePlot(0, type, L1, L2);
        model->updateStatsFor(0);
        auto plot = std::make_shared<Plot>(calc);
        plot->eqNum = 0;
        plot->stats = model->stats(0);
        plot->color = VQColor::colorR(0, 0, 1, 1);
        plot->setFitModel(-1);
        return plot;
    }
};

TEST_F(PlotScatterTest, EachPairGetsThePlotsMark)
{
    auto scatter = paired<PlotScatter>({1, -2}, {1, 3}, StatGraphManager::Scatter);
    QImage image = painted(*scatter, kPairView);
    EXPECT_TRUE(inked(image, 96, 64));    // (1, 1): a 6-point square
    EXPECT_TRUE(inked(image, 98, 66));
    EXPECT_TRUE(inked(image, 48, 32));    // (-2, 3)
    EXPECT_FALSE(inked(image, 80, 80));
    model->setPlotMark(0, 1);             // a diagonal cross: its middle is inked, not its sides' middles
    image = painted(*scatter, kPairView);
    EXPECT_TRUE(inked(image, 96, 64));
    EXPECT_FALSE(inked(image, 96, 61));
    model->setPlotMark(0, 2);             // a circle: not its box's corners
    image = painted(*scatter, kPairView);
    EXPECT_TRUE(inked(image, 96, 64));
    EXPECT_FALSE(inked(image, 93, 61));
}

// The square mark is 6 points wide, a filled square, not a dot, at 1 and 2 device pixels
// a point.
TEST_F(PlotScatterTest, TheSquareMarkIsSixPointsWide)
{
    auto scatter = paired<PlotScatter>({1}, {1}, StatGraphManager::Scatter);
    for (const int dpr : {1, 2}) {
        QImage image(160 * dpr, 160 * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            scatter->drawRect(QRectF(0, 0, 160, 160), painter, kPairView, 1);
        }
        int left = image.width(), right = -1, top = image.height(), bottom = -1, count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 128) {
                    ++count;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_EQ(right - left + 1, 6 * dpr) << dpr;
        EXPECT_EQ(bottom - top + 1, 6 * dpr) << dpr;
        EXPECT_EQ(count, 36 * dpr * dpr) << dpr;
    }
}

// A Y list shorter than the X list, or a complex one, is no data.
TEST_F(PlotScatterTest, ListsThatMakeNoPairsDrawNothingAndHitNothing)
{
    auto scatter = paired<PlotScatter>({1, 2, 3}, {4, 5}, StatGraphManager::Scatter);
    EXPECT_TRUE(blank(painted(*scatter, kPairView)));
    PlotPoint at{1, 4, 0};
    EXPECT_FALSE(scatter->hitPoint(at, kPairView, 20));
    EXPECT_EQ(at.x, 1);

    calc.locked()->lists[L2] = reals({4, 5, 6});
    calc.locked()->lists[L1].setComplex({1, 1}, 0);
    EXPECT_TRUE(blank(painted(*scatter, kPairView)));
}

TEST_F(PlotScatterTest, TheNearestPairIsHitTheLowerIndexAmongEquals)
{
    auto scatter = paired<PlotScatter>({-1, 1, 0}, {0, 0, 5}, StatGraphManager::Scatter);
    PlotPoint at{0, 0, 0};
    EXPECT_TRUE(scatter->hitPoint(at, kPairView, 20));
    EXPECT_EQ(std::tuple(at.x, at.y, at.t), std::tuple(-1.0, 0.0, 0.0));
    PlotPoint far{0, -3, 0};
    EXPECT_FALSE(scatter->hitPoint(far, kPairView, 20));
    EXPECT_EQ(scatter->XAtT(2.9), 0);
    EXPECT_EQ(scatter->YAtT(2.9), 5);
    EXPECT_EQ(scatter->YAtT(3), 0);
    EXPECT_EQ(scatter->YAtT(-0.5), 0);
}

TEST_F(PlotScatterTest, AFitModelRefitsOnlyWhenItChanges)
{
    auto scatter = paired<PlotScatter>({1, 2, 3, 4, 5}, {2, 4, 5, 4, 5}, StatGraphManager::Scatter);
    scatter->setFitModel(VQStatistics::LinRegAXB);
    VQStatistics& s = *scatter->stats;
    EXPECT_DOUBLE_EQ(s.a, 0.6);
    EXPECT_DOUBLE_EQ(s.b, 2.2);
    s.listY = reals({1, 2, 3, 4, 5});
    scatter->setFitModel(VQStatistics::LinRegAXB);
    scatter->setFitModel(-1);
    EXPECT_DOUBLE_EQ(s.a, 0.6);
    scatter->setFitModel(VQStatistics::LinRegAXB);
    EXPECT_DOUBLE_EQ(s.a, 1);
}

TEST_F(PlotScatterTest, TheTraceTextNamesThePlotAndWithAFitTheResidual)
{
    auto scatter = paired<PlotScatter>({1, 2, 3, 4, 5}, {2, 4, 5, 4, 5}, StatGraphManager::Scatter);
    calc.pTrackPoint = {2, 4, 1};
    EXPECT_EQ(scatter->label(), "P1:" + L1 + "," + L2);
    EXPECT_EQ(scatter->infoLines(), std::vector<std::string>({"P1:" + L1 + "," + L2, "x:2", "y:4"}));
    scatter->setFitModel(VQStatistics::LinRegAXB);
    const auto lines = scatter->infoLines().value();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "resid:.6");  // 4 − (0.6·2 + 2.2)
    EXPECT_EQ(lines[4].substr(0, 4), "r\xC2\xB2:");
    EXPECT_EQ(lines[5].substr(0, 2), "r:");
    // The residual segments run from each pair to the line.
    const QImage image = painted(*scatter, {16, 0, 0, -16, 0, 150});
    EXPECT_TRUE(inked(image, 32, 150 - 4 * 16 + 8));  // between (2, 4) and (2, 3.4)
}

// The pairs join in list order, crossing back.
TEST_F(PlotScatterTest, AnXYLineJoinsThePairsInListOrder)
{
    auto line = paired<PlotXYLine>({0, 4, 2}, {0, 0, 4}, StatGraphManager::XYLine);
    const QImage image = painted(*line, {16, 0, 0, -16, 16, 140});
    EXPECT_TRUE(inked(image, 16 + 48, 140 - 32));   // (3, 2) on the way from (4, 0) to (2, 4)
    EXPECT_FALSE(inked(image, 16 + 16, 140 - 32));  // (1, 2) would join (0, 0) to (2, 4)
    EXPECT_EQ(line->label(), "Plot(" + L1 + "," + L2 + ")");
}

class PlotNormProbTest : public StatPlotTest {
protected:
    std::shared_ptr<PlotNormProb> normal(std::initializer_list<double> data, int axis, const std::string& freq = "")
    {
        setList(L1, data);
        definePlot(0, StatGraphManager::NormProbPlot, L1, "", freq);
        model->setPlotAxis(0, axis);
        model->updateStatsFor(0);
        auto plot = std::make_shared<PlotNormProb>(calc);
        plot->eqNum = 0;
        return plot;
    }
};

TEST_F(PlotNormProbTest, SortedDataMeetTheQuantilesOfTheirPlottingPositions)
{
    auto plot = normal({3, 1, 2}, 0);
    EXPECT_EQ(plot->xList(), std::vector<double>({1, 2, 3}));
    EXPECT_NEAR(plot->YAtT(0), -0.967422, 1e-6);
    EXPECT_NEAR(plot->YAtT(1), 0, 1e-12);
    EXPECT_NEAR(plot->YAtT(2), 0.967422, 1e-6);
    const Calculator::Bounds b = plot->statBounds(kPairView);
    EXPECT_EQ(std::tuple(b.xMin, b.xMax), std::tuple(1.0, 3.0));
    EXPECT_NEAR(b.yMin, -0.967422, 1e-6);
    EXPECT_NEAR(b.yMax, 0.967422, 1e-6);
    EXPECT_EQ(plot->YAtT(-0.5), plot->YAtT(0));
    EXPECT_TRUE(std::isnan(plot->YAtT(-1)));
    EXPECT_TRUE(std::isnan(plot->XAtT(3)));

    auto swapped = normal({3, 1, 2}, 1);
    EXPECT_EQ(swapped->yList(), std::vector<double>({1, 2, 3}));
    EXPECT_NEAR(swapped->XAtT(0), -0.967422, 1e-6);
    PlotPoint at{0.1, 2.1, 0};
    EXPECT_TRUE(swapped->hitPoint(at, kPairView, 20));
    EXPECT_EQ(at.t, 1);
}

TEST_F(PlotNormProbTest, OneValueLiesOnTheAxisAndFrequenciesChangeNothing)
{
    auto one = normal({4}, 0);
    EXPECT_EQ(one->XAtT(0), 4);
    EXPECT_EQ(one->YAtT(0), 0);
    const Calculator::Bounds b = one->statBounds(kPairView);
    EXPECT_EQ(std::tuple(b.yMin, b.yMax), std::tuple(0.0, 0.0));

    setList(L2, {1, 5, 1});
    auto weighted = normal({3, 1, 2}, 0, L2);
    EXPECT_EQ(weighted->xList(), std::vector<double>({1, 2, 3}));
    EXPECT_NEAR(weighted->YAtT(2), 0.967422, 1e-6);
    EXPECT_FALSE(blank(painted(*weighted, kPairView)));
    EXPECT_EQ(weighted->label(), "NormProb(" + L1 + ")");
}

} // namespace
} // namespace orvenda::test
