#include "StatTestSupport.h"

#include "graph/GraphTestSupport.h"
#include "graph/PlotLine.h"
#include "stats/PlotRegression.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda::test {
namespace {

using orvenda::testing::blank;
using orvenda::testing::centred;
using orvenda::testing::LineCounter;
using orvenda::testing::painted;

// 16 points per unit about the middle of a 160-point picture: the window −5..5.
const GraphTransform kCurveView = centred(160, 16);

class PlotRegressionTest : public StatPlotTest {
protected:
    std::shared_ptr<PlotRegression> fitted(std::initializer_list<double> x, std::initializer_list<double> y, int model)
    {
        stats = VQStatistics::twoVar(reals(x), reals(y), nullptr);
        auto plot = std::make_shared<PlotRegression>(calc);
        plot->stats = stats;
        plot->color = VQColor::colorR(1, 0, 0, 1);
        plot->setEqNum(0);
        plot->setFitModel(model);
        return plot;
    }
    static int leftmostInked(const QImage& image)
    {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (inked(image, x, y))
                    return x;
        return -1;
    }

    std::shared_ptr<VQStatistics> stats;
};

TEST_F(PlotRegressionTest, LogarithmAndPowerCurvesStartAtXZero)
{
    for (int model : {VQStatistics::LnReg, VQStatistics::PwrReg}) {
        auto curve = fitted({1, 2, 3, 4}, {1, 2.4, 3.1, 3.9}, model);
        const QImage image = painted(*curve, kCurveView);
        EXPECT_GE(leftmostInked(image), 78) << model;
        EXPECT_FALSE(blank(image)) << model;
        // The window −5..−1 holds no x of theirs.
        EXPECT_TRUE(blank(painted(*curve, {16, 0, 0, -16, 160 + 16, 80}))) << model;
    }
}

TEST_F(PlotRegressionTest, AStraightLineIsOneSegmentAcrossTheTile)
{
    auto line = fitted({1, 2, 3, 4, 5}, {2, 4, 5, 4, 5}, VQStatistics::LinRegAXB);
    LineCounter counter;
    QPainter painter(&counter);
    line->drawRect(QRectF(0, 0, 400, 160), painter, kCurveView, 1);
    painter.end();
    EXPECT_EQ(counter.lines, 1);
    EXPECT_DOUBLE_EQ(line->YAtT(0), 2.2);
    EXPECT_NEAR(line->slopeAtT(10), 0.6, 1e-9);
}

TEST_F(PlotRegressionTest, SearchesSnapToZerosExtremaAndTheYAxis)
{
    auto line = fitted({0, 1, 2}, {-1, 0, 1}, VQStatistics::LinRegAXB);
    calc.setFeatureLock(0);
    EXPECT_NEAR(line->findZero(0, 2), 1, 1e-10);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);

    const std::initializer_list<double> x{-2, -1, 0, 1, 2};
    auto up = fitted(x, {0, -3, -4, -3, 0}, VQStatistics::QuadReg);
    EXPECT_NEAR(up->findMinMax(0.3, 1), 0, 1e-6);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMinimum);
    auto down = fitted(x, {0, 3, 4, 3, 0}, VQStatistics::QuadReg);
    EXPECT_NEAR(down->findMinMax(0.3, 1), 0, 1e-6);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMaximum);
    auto touching = fitted(x, {4, 1, 0, 1, 4}, VQStatistics::QuadReg);
    EXPECT_NEAR(touching->findMinMax(0.3, 1), 0, 1e-6);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);

    calc.setFeatureLock(0);
    EXPECT_EQ(up->findIntersection(0.2, 0.5, {}), 0);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    // Crossing a horizontal line y = −3 at x = 1.
    auto horizontal = std::make_shared<PlotLine>(calc);
    horizontal->p1 = {-10, -3};
    horizontal->p2 = {10, -3};
    const PlotPoint crossing = up->PtAtT(1.1, 0.5, {up, horizontal});
    EXPECT_NEAR(crossing.x, 1, 1e-9);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    const PlotPoint zero = up->PtAtT(2.1, 0.5, {});
    EXPECT_NEAR(zero.x, 2, 1e-9);
    EXPECT_EQ(zero.y, 0);
}

TEST_F(PlotRegressionTest, TheModelRefitsOnlyAfterAChange)
{
    auto line = fitted({1, 2, 3}, {1, 2, 3}, VQStatistics::LinRegAXB);
    EXPECT_DOUBLE_EQ(line->YAtT(4), 4);
    stats->listY = reals({2, 4, 6});
    line->setFitModel(VQStatistics::LinRegAXB);
    EXPECT_DOUBLE_EQ(line->YAtT(4), 4);
    line->setFitModel(VQStatistics::LinRegABX);
    EXPECT_DOUBLE_EQ(line->YAtT(4), 8);
}

TEST_F(PlotRegressionTest, AFailedFitLeavesZeroCoefficients)
{
    auto line = fitted({1, 2, 3}, {1, 2, 3}, VQStatistics::LinRegAXB);
    stats->listY = reals({1, 2});
    line->setEqNum(1);
    EXPECT_EQ(line->YAtT(5), 0);
    for (char c : std::string("abcde"))
        EXPECT_EQ(line->coefficient(c), 0) << c;
}

TEST_F(PlotRegressionTest, TheTextShowsTheModelItsCoefficientsAndTheCurvesOwnSlope)
{
    auto medMed = fitted({1, 2, 3, 4, 5, 6, 7, 8, 9}, {3, 5, 7, 9, 11, 13, 15, 17, 19}, VQStatistics::MedMed);
    EXPECT_EQ(medMed->label(), "Med-Med(2x+1)");
    EXPECT_EQ(medMed->summaryPoint(1).x, 5);
    calc.locked()->drawDyDx = true;
    calc.pTrackPoint = {2, 5, 2};
    EXPECT_EQ(medMed->infoLines(), std::vector<std::string>({"Med-Med(ax+b)", "a:2", "b:1", "x:2", "y:5", "dy/dx:2"}));
    calc.setFeatureLock(PlotObject::FeatureMaximum);
    EXPECT_EQ(medMed->infoLines()->back(), "dy/dx:0");

    auto linear = fitted({1, 2, 3}, {3, 5, 7}, VQStatistics::LinRegABX);
    EXPECT_EQ(linear->label(), "LinReg(1+2x)");
    const PlotRegression::Point foot = PlotRegression::projectPt({0, 2}, {0, 0}, {2, 2});
    EXPECT_EQ(std::tuple(foot.x, foot.y), std::tuple(1.0, 1.0));
}

} // namespace
} // namespace orvenda::test
