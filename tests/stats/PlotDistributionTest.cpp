#include "StatTestSupport.h"

#include "core/DrawObject.h"
#include "graph/GraphTestSupport.h"
#include "stats/PlotDistribution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvenda::test {
namespace {

using orvenda::testing::blank;
using orvenda::testing::painted;

constexpr double kInf = std::numeric_limits<double>::infinity();
// x from −2 to 2 (40 points per unit about view x 80); the axis at view y 150 and the
// normal curve's peak 0.399 about 80 points above it.
constexpr GraphTransform kBellView{40, 0, 0, -200, 80, 150};

class PlotDistributionTest : public StatPlotTest {
protected:
    std::shared_ptr<PlotDistribution> normal(double lower, double upper, double mu = 0, double sigma = 1, bool tails = false)
    {
        auto record = DrawDistribution::drawDistributionType(DrawDistribution::kNormal, lower, upper, 0, sigma, mu, 0, 0);
        record->r = record->b = 0;
        record->g = 1;
        record->drawTails = tails;
        return PlotDistribution::forRecord(calc, record);
    }
    // Shaded (alpha 0.5) rather than stroked (alpha 1) or empty.
    static bool shaded(const QImage& image, int x, int y)
    {
        const int alpha = qAlpha(image.pixel(x, y));
        return alpha > 100 && alpha < 160;
    }
};

TEST_F(PlotDistributionTest, ShadeNormShadesBetweenTheBoundsUnderTheBell)
{
    calc.locked()->drawCoord = false;
    auto bell = normal(-1, 1);
    EXPECT_EQ(bell->plotType, PlotObject::PlotDistribution);
    EXPECT_EQ(bell->eqNum, DrawDistribution::kNormal);
    EXPECT_EQ(bell->label(), "ShadeNorm(0,1)");
    const QImage image = painted(*bell, kBellView);
    EXPECT_TRUE(shaded(image, 80, 120));    // (0, 0.15)
    EXPECT_TRUE(shaded(image, 60, 140));    // (−0.5, 0.05)
    EXPECT_FALSE(shaded(image, 140, 148));  // (1.5, 0.01): beyond the upper bound
    EXPECT_EQ(qAlpha(image.pixel(80, 60)), 0);  // above the peak
    EXPECT_EQ(bell->infoLines(), std::vector<std::string>({"ShadeNorm(\xCE\xBC,\xCF\x83)", "\xCE\xBC=0", "\xCF\x83=1",
                                                           "lower=-1", "upper=1", "area=.6826894921"}));
}

// The trace's area follows every slider of the curve, not only the bounds: Shadeχ²(0,5,3)
// shows .8282 and, its df moved to 5, .5841.
TEST_F(PlotDistributionTest, TheTraceTextsAreaFollowsEveryParameterSlider)
{
    calc.locked()->drawCoord = false;
    using D = DrawDistribution;
    const auto areaLine = [this](int type, double p1, double p2) {
        return "area=" + calc.formatReal(GraphSampler::shadeFunctionArea(type, p1, p2, 0, 5));
    };
    EXPECT_EQ(areaLine(D::kChiSquare, 3, 0), "area=.8282028557");
    EXPECT_EQ(areaLine(D::kChiSquare, 5, 0), "area=.584119813");
    const struct {
        int type, var;
        double value, p1, p2;  // the curve's parameters after the slider
    } cases[] = {
        {D::kChiSquare, D::kDfNumerVar, 5, 5, 4}, {D::kNormal, D::kMuVar, 1, 1, 1}, {D::kNormal, D::kSigmaVar, 2, 0, 2},
        {D::kT, D::kDfNumerVar, 1, 1, 4}, {D::kF, D::kDfNumerVar, 6, 6, 4}, {D::kF, D::kDfDenomVar, 8, 3, 8},
    };
    for (const auto& c : cases) {
        // Between 0 and 5: a normal curve of μ 0 and σ 1, the others of df 3 (and 4).
        auto record = D::drawDistributionType(c.type, 0, 5, 0, 1, 0, 3, 4);
        auto curve = PlotDistribution::forRecord(calc, record);
        const bool normal = c.type == D::kNormal;
        EXPECT_EQ(curve->infoLines()->back(), areaLine(c.type, normal ? 0 : 3, normal ? 1 : 4)) << c.type;
        curve->setVar(c.var, -10, 10, c.value, 1);
        EXPECT_EQ(curve->infoLines()->back(), areaLine(c.type, c.p1, c.p2)) << c.type << " " << c.var;
        EXPECT_NE(areaLine(c.type, c.p1, c.p2), areaLine(c.type, normal ? 0 : 3, normal ? 1 : 4));
    }
}

TEST_F(PlotDistributionTest, AnInfiniteBoundDrawsNothing)
{
    EXPECT_TRUE(blank(painted(*normal(-1, kInf), kBellView)));
    EXPECT_TRUE(blank(painted(*normal(-1, 1, 0, std::nan("")), kBellView)));
    // The ±1e99 of an open test draws at ±32000.
    EXPECT_TRUE(shaded(painted(*normal(-1e99, 0), kBellView), 60, 140));
}

TEST_F(PlotDistributionTest, BoundsInEitherOrderShadeTheSameRegion)
{
    auto forward = normal(-0.5, 1.2), backward = normal(1.2, -0.5);
    EXPECT_EQ(painted(*forward, kBellView), painted(*backward, kBellView));
    ASSERT_EQ(forward->shading().size(), 1u);
    EXPECT_EQ(forward->shading(), backward->shading());
}

TEST_F(PlotDistributionTest, TailsShadeOutsideTheBounds)
{
    const QImage tails = painted(*normal(-1, 1, 0, 1, true), kBellView);
    EXPECT_FALSE(shaded(tails, 80, 140));
    EXPECT_TRUE(shaded(tails, 130, 146));  // (1.25, 0.02)
    EXPECT_TRUE(shaded(tails, 30, 146));
    // Both bounds beyond the view: the whole visible area.
    const QImage right = painted(*normal(50, 60, 0, 1, true), kBellView);
    EXPECT_TRUE(shaded(right, 80, 120));
    EXPECT_TRUE(shaded(right, 30, 146));
    // Both bounds within one point: nothing between them, everything without tails.
    EXPECT_FALSE(shaded(painted(*normal(0, 0.001), kBellView), 80, 120));
    EXPECT_TRUE(shaded(painted(*normal(0, 0.001, 0, 1, true), kBellView), 80, 120));
}

TEST_F(PlotDistributionTest, TheTraceTextRecomputesTheAreaOnlyAfterTheBoundsChanged)
{
    calc.locked()->drawCoord = false;
    auto bell = normal(-1, 1);
    bell->infoLines();
    bell->dd->area = 0.5;
    EXPECT_EQ(bell->infoLines()->back(), "area=.5");
    bell->setVar(DrawDistribution::kUpperVar, -100, 100, 0, 0.1);
    EXPECT_EQ(bell->dd->upperBound, 0);
    EXPECT_EQ(bell->infoLines()->back(), "area=.3413447461");
    calc.locked()->drawDyDx = true;
    calc.pTrackPoint = {1, bell->YAtT(1), 1};
    const std::string slope = bell->infoLines()->back();
    EXPECT_EQ(slope, "dy/dx:" + calc.formatReal(-bell->YAtT(1)));
    bell->testing = true;
    EXPECT_EQ(bell->infoLines()->size(), 2u);
}

TEST_F(PlotDistributionTest, DegreesOfFreedomSlideInWholeSteps)
{
    auto record = DrawDistribution::drawDistributionType(DrawDistribution::kChiSquare, 0, 3, 0, 0, 0, 2, 0);
    auto chi = PlotDistribution::forRecord(calc, record);
    chi->setVar(DrawDistribution::kDfNumerVar, 1, 100, 3.7, 0.3);
    EXPECT_EQ(record->dfNumer, 3);
    for (const auto* records : {&record->vars, &chi->varInfoArray}) {
        for (const YEqVarInfo& v : *records) {
            if (v.varNum == DrawDistribution::kDfNumerVar) {
                EXPECT_EQ(std::tuple(v.value, v.step), std::tuple(3.0, 1.0));
            }
        }
    }
    chi->setVar(DrawDistribution::kDfNumerVar, 1, 100, 0.2, 0);
    EXPECT_EQ(record->dfNumer, 1);
    EXPECT_EQ(chi->label(), "Shade\xCE\xA7\xC2\xB2(df=1)");

    auto tRecord = DrawDistribution::drawDistributionType(DrawDistribution::kT, -1, 1, 0, 0, 0, 2, 0);
    auto t = PlotDistribution::forRecord(calc, tRecord);
    t->setVar(DrawDistribution::kDfNumerVar, 0, 100, 3.7, 0.3);
    EXPECT_EQ(tRecord->dfNumer, 3.7);
}

TEST_F(PlotDistributionTest, TheTraceSnapsToTheSigmaMarksAndThePeak)
{
    auto bell = normal(4, 6, 5, 1);
    PlotPoint at = bell->PtAtT(6.02, 0.05, {});
    EXPECT_EQ(at.x, 6);
    EXPECT_EQ(calc.featureLock, 13);  // μ+σ
    at = bell->PtAtT(2.99, 0.05, {});
    EXPECT_EQ(at.x, 3);
    EXPECT_EQ(calc.featureLock, 11);  // μ−2σ
    at = bell->PtAtT(5.3, 0.5, {});
    EXPECT_NEAR(at.x, 5, 1e-6);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureMaximum);
    at = bell->PtAtT(0.1, 0.2, {});
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureIntersection);
    PlotPoint touch{5, 0.4, 0};
    EXPECT_TRUE(bell->hitPoint(touch, {40, 0, 0, -200, -120, 150}, 20));
    EXPECT_NEAR(touch.y, bell->YAtT(touch.x), 1e-12);
}

} // namespace
} // namespace orvenda::test
