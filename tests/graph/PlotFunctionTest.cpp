#include "graph/PlotFunction.h"

#include "CompiledFunctions.h"
#include "GraphTestSupport.h"
#include "app/YEqModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::painted;

constexpr int kY1 = 0x5E10, kY2 = 0x5E11;

class PlotFunctionTest : public ::testing::Test {
protected:
    PlotFunctionTest() { calc.yEqManager = eq; }

    std::shared_ptr<PlotFunction> function(const std::string& text, int token = kY1, int style = 2)
    {
        eq->setYEqFunc(token, testing::typed(text));
        auto f = std::make_shared<PlotFunction>(calc);
        f->eqNum = token;
        f->varNum = 23;
        f->style = style;
        f->color = VQColor::colorR(0, 0, 1, 1);
        return f;
    }
    static bool rowHasInk(const QImage& image, int y, int fromX, int toX)
    {
        for (int x = fromX; x <= toX; ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
        return false;
    }

    Calculator calc;
    std::shared_ptr<YEqModel> eq = std::make_shared<YEqModel>(calc);
};

TEST_F(PlotFunctionTest, AnAsymptoteBreaksTheCurveAndASteepCurveStaysWhole)
{
    // 100 points per x unit, 10 per y unit.
    auto reciprocal = function("1/X");
    const QImage image = painted(*reciprocal, GraphTransform{100, 0, 0, -10, 80, 80});
    ASSERT_EQ(reciprocal->asymptotes().size(), 1u);
    EXPECT_NEAR(reciprocal->asymptotes()[0], 80, 1.5);
    EXPECT_TRUE(rowHasInk(image, 5, 79, 82));   // the dashed line, far from the curve
    EXPECT_GT(qAlpha(image.pixel(130, 60)), 0);  // (0.5, 2)
    EXPECT_GT(qAlpha(image.pixel(30, 100)), 0);  // (-0.5, -2)

    auto steep = function("1000X");
    const QImage line = painted(*steep, GraphTransform{100, 0, 0, -100, 80, 80});
    EXPECT_TRUE(steep->asymptotes().empty());
    for (int y = 0; y < 160; ++y)
        ASSERT_TRUE(rowHasInk(line, y, 78, 82)) << "a gap at row " << y;

    EXPECT_TRUE(blank(painted(*function("√(X)"), centred(160, 16)).copy(0, 0, 78, 160)));
}

TEST_F(PlotFunctionTest, ShadingAboveACurveBelowTheTileFillsTheTile)
{
    const QImage image = painted(*function("-100", kY1, 8), centred(160, 16));
    EXPECT_NEAR(qAlpha(image.pixel(0, 0)), 178, 2);
    EXPECT_NEAR(qAlpha(image.pixel(159, 159)), 178, 2);
}

TEST_F(PlotFunctionTest, TheIntegralIsComputedOnceAndShown)
{
    auto f = function("X²");
    calc.locked()->drawExpr = calc.locked()->drawCoord = calc.locked()->drawDyDx = false;
    eq->setIntegrationLimits(kY1, YEqIntegrate{0, 0, 0, 0.001, true});
    EXPECT_TRUE(f->infoLines()->empty());

    eq->setIntegrationLimits(kY1, YEqIntegrate{0, 3, 0, 0.001, true});
    const QImage image = painted(*f, centred(160, 16));
    const YEqIntegrate integral = *eq->integrationLimitsForFunction(kY1);
    EXPECT_NEAR(integral.area, 9, 1e-9);
    EXPECT_FALSE(integral.dirty);
    EXPECT_EQ(*f->infoLines(), std::vector<std::string>{"\xE2\x88\xAB" "f(x)dx=9"});
    EXPECT_NEAR(qAlpha(image.pixel(104, 76)), 128, 2);  // (1.5, 0.25), under the curve
    EXPECT_EQ(qAlpha(image.pixel(136, 76)), 0);         // x 3.5, beyond the upper limit
}

TEST_F(PlotFunctionTest, TheTraceSnapsToZerosTheYAxisIntersectionsAndExtrema)
{
    const struct {
        const char* f;
        double t, x;
        int feature;
    } cases[] = {
        {"X²-4", 2.03, 2, PlotObject::FeatureZero},
        // Alone on the graph, the y-axis crossing counts as an intersection.
        {"X²-4", 0.01, 0, PlotObject::FeatureIntersection},
        {"(X-3)²+1", 3.01, 3, PlotObject::FeatureMinimum},
        {"-(X-3)²+1", 3.01, 3, PlotObject::FeatureMaximum},
        {"X²", 2.01, 2, PlotObject::FeatureIntersection},
    };
    const PlotObject::PlotList other{function("X+2", kY2)};
    for (const auto& c : cases) {
        auto f = function(c.f);
        const PlotPoint p = f->PtAtT(c.t, 0.05, other);
        EXPECT_EQ(calc.featureLock, c.feature) << c.f << " at " << c.t;
        EXPECT_NEAR(p.x, c.x, 1e-6) << c.f << " at " << c.t;
        EXPECT_EQ(p.t, p.x);
        EXPECT_DOUBLE_EQ(p.y, c.feature == PlotObject::FeatureZero ? 0 : f->YAtT(p.x));
    }
}

TEST_F(PlotFunctionTest, CalculateMenuAnswersAndHits)
{
    int error = -1;
    EXPECT_NEAR(function("X²")->integrateLower(0, 3, 0.001, error), 9, 1e-9);
    EXPECT_EQ(error, 0);
    EXPECT_NEAR(function("X²-4")->zeroLower(0, 5, 0.001, error), 2, 1e-9);
    EXPECT_EQ(error, 0);
    EXPECT_NEAR(function("(X-3)²+1")->minLower(0, 5, 0.001, error), 3, 1e-3);
    EXPECT_NEAR(function("-(X-3)²+1")->maxLower(0, 5, 0.001, error), 3, 1e-3);
    EXPECT_EQ(error, 0);
    // A function that fails everywhere reports its own error (divide by 0).
    function("1/(X-X)")->zeroLower(0, 5, 0.001, error);
    EXPECT_EQ(error, 14);
    EXPECT_EQ(calc.parser().error(), 0);

    auto f = function("X²");
    PlotPoint pt{1.1, 1.3, 0};
    EXPECT_TRUE(f->hitPoint(pt, centred(160, 16), 20));
    EXPECT_DOUBLE_EQ(pt.y, pt.x * pt.x);
    EXPECT_EQ(pt.t, pt.x);
    PlotPoint far{1, 8, 0};
    EXPECT_FALSE(f->hitPoint(far, centred(160, 16), 20));
}

} // namespace
} // namespace orvenda
