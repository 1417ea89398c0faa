#include "graph/PlotPolar.h"

#include "CurveTestSupport.h"
#include "language/VariableSlots.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

using test::kR1;
using testing::centred;

class PlotPolarTest : public testing::CurveTest {
protected:
    PlotPolarTest()
    {
        calc.setAngleFormat(0);
        set(kSlotThetaMin, 0);
        set(kSlotThetaMax, 360);
        set(kSlotThetaStep, 7.5);
        plot.eqNum = kR1;
    }

    PlotPolar plot{calc};
};

TEST_F(PlotPolarTest, DegreeWindowSamplesAtTheStepRuleAndCloses)
{
    define(kR1, "2");
    plot.computeRect(QRectF(0, 0, 160, 160), centred(160, 8));
    const auto s = plot.samples();
    ASSERT_EQ(s.size(), 600u);
    EXPECT_DOUBLE_EQ(s[1].t, 0.6);
    EXPECT_EQ(s.back().t, 360);
    // θ in degrees: 90° is straight up.
    EXPECT_NEAR(s[150].t, 90, 1e-9);
    EXPECT_NEAR(s[150].x, 0, 1e-12);
    EXPECT_DOUBLE_EQ(s[150].y, 2);
    EXPECT_DOUBLE_EQ(s.back().x, 2);
}

TEST_F(PlotPolarTest, PointsAtThetaAndATraceThatNeverSnaps)
{
    define(kR1, "1");
    EXPECT_NEAR(plot.XAtT(90), 0, 1e-15);
    EXPECT_EQ(plot.YAtT(90), 1);
    EXPECT_EQ(plot.ThetaAtT(400), 400);
    // y crosses 0 at 180° within range, yet the point stays where it was asked for.
    calc.featureLock = 3;
    const PlotPoint p = plot.PtAtT(179.9, 1, {});
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(p.t, 179.9);
    EXPECT_GT(p.y, 0);
}

TEST_F(PlotPolarTest, TraceTextShowsThetaInTheAngleUnit)
{
    define(kR1, "2");
    calc.pTrackPoint = {std::sqrt(3.0), 1, 30};
    calc.locked()->drawDyDx = false;
    calc.locked()->graphCoordFormat = 1;
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"2", "r:2", "\xCE\xB8:30"}));
    calc.locked()->drawExpr = false;
    calc.locked()->drawDyDx = true;
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"r:2", "\xCE\xB8:30", "dr/d\xCE\xB8:0"}));
    calc.locked()->graphCoordFormat = 0;
    calc.locked()->drawDyDx = false;
    calc.pTrackPoint = {0, 2, 90};
    EXPECT_EQ(*plot.infoLines(), (std::vector<std::string>{"x:0", "y:2"}));
    EXPECT_EQ(plot.equationOps(), std::nullopt);
}

} // namespace
} // namespace orvenda
