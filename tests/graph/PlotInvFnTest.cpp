#include "graph/PlotInvFn.h"

#include "CompiledFunctions.h"
#include "GraphTestSupport.h"
#include "core/DrawObject.h"
#include "graph/GraphView.h"
#include "graph/PlotShadeFn.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::compiled;
using testing::painted;

class PlotInvFnTest : public ::testing::Test {
protected:
    std::shared_ptr<PlotInvFn> inverse(const std::string& f)
    {
        auto record = std::make_shared<DrawInv>();
        record->fn = compiled(calc, f);
        record->expression = testing::typed(f);
        record->r = 0;
        record->g = 0;
        record->b = 1;
        return PlotInvFn::plotFor(calc, record);
    }

    Calculator calc;
};

TEST_F(PlotInvFnTest, SamplesOneInputAPointFromBelowTheTile)
{
    auto p = inverse("X³");
    p->computeRect(QRectF(0, 0, 160, 160), centred(160, 16));
    const auto& data = p->dataPoints();
    ASSERT_EQ(data.size(), 168u);
    EXPECT_EQ(p->fdx, 1.0 / 16);
    // From view y 164 (4 points below the tile) up to view y -3.
    EXPECT_EQ(data.front().x, -5.25);
    EXPECT_EQ(data.back().x, 5.1875);
    EXPECT_DOUBLE_EQ(data[1].y, -5.1875 * 5.1875 * 5.1875);
    EXPECT_EQ(p->dataRect, QRectF(0, -4, 160, 168));
}

TEST_F(PlotInvFnTest, UndefinedValuesLeaveGapsAndALonePointIsNotDrawn)
{
    // x = √y exists only for y ≥ 0: the upper half of the tile.
    const QImage root = painted(*inverse("√(X)"), centred(160, 16));
    EXPECT_GT(qAlpha(root.pixel(112, 16)), 0);  // (2, 4)
    EXPECT_TRUE(blank(root.copy(0, 84, 160, 76)));
    // Defined at the single input 0 only.
    EXPECT_TRUE(blank(painted(*inverse("√(-X²)"), centred(160, 16))));
}

TEST_F(PlotInvFnTest, HitsAndTracesTheMirroredCurve)
{
    auto p = inverse("X³");
    PlotPoint pt{8, 2, 0};
    EXPECT_TRUE(p->hitPoint(pt, centred(160, 16), 20));
    EXPECT_EQ(pt.x, 8);
    EXPECT_EQ(pt.y, 2);
    EXPECT_EQ(pt.t, 2);
    EXPECT_EQ(p->XAtT(2), 8);
    EXPECT_EQ(p->YAtT(2), 2);
    EXPECT_NEAR(p->slopeAtT(2), 1.0 / 12, 1e-8);
    PlotPoint far{0, 5, 0};
    EXPECT_FALSE(p->hitPoint(far, centred(160, 16), 20));

    // Steep f with 100 points per y unit and 1 per x unit: the curve passes 10 points
    // below (0, 0.1), found by sampling the inputs within 20 points along y.
    auto steep = inverse("1000X");
    PlotPoint near{0, 0.1, 0};
    EXPECT_TRUE(steep->hitPoint(near, GraphTransform{1, 0, 0, -100, 80, 80}, 20));
    EXPECT_NEAR(near.y, 0, 0.02);
}

TEST_F(PlotInvFnTest, TraceTextNamesTheInverse)
{
    auto p = inverse("X³");
    calc.locked()->drawExpr = calc.locked()->drawCoord = calc.locked()->drawDyDx = true;
    calc.pTrackPoint = {8, 2, 2};
    calc.pTrackSlope = 3;
    EXPECT_EQ(*p->infoLines(), (std::vector<std::string>{"inverse(X³)", "X:8", "Y:2", "dy/dx:3"}));
    calc.featureLock = PlotObject::FeatureMaximum;
    EXPECT_EQ(p->infoLines()->back(), "dy/dx:0");
}

TEST_F(PlotInvFnTest, TheGraphViewMakesInverseAndShadePlotsFromTheirRecords)
{
    auto inv = std::make_shared<DrawInv>();
    inv->fn = compiled(calc, "X³");
    inv->lineWidth = 5;
    inv->r = 1;
    inv->selected = true;
    auto region = std::make_shared<DrawShadeFn>();
    region->fnLower = compiled(calc, "0");
    region->fnUpper = compiled(calc, "1");
    region->xLeft = -2;
    region->xRight = 3;
    calc.drawing = {inv, region};
    GraphView view(calc);
    view.resize(320, 320);
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 2u);
    auto* p = dynamic_cast<PlotInvFn*>(view.plotObjects()[0].get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->plotType, 17);
    EXPECT_EQ(p->fn, inv->fn);
    EXPECT_EQ(p->eqNum, -1);
    EXPECT_EQ(p->varNum, 23);
    EXPECT_EQ(p->style, 2);
    EXPECT_EQ(p->lineWidth, 5);
    EXPECT_EQ(p->color.r(), 1);
    EXPECT_EQ(p->color.g(), 0.5f);
    EXPECT_TRUE(p->selected());
    auto* s = dynamic_cast<PlotShadeFn*>(view.plotObjects()[1].get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->plotType, 18);
    EXPECT_EQ(s->fnUpper, region->fnUpper);
    EXPECT_EQ(s->xLeft, -2);
    EXPECT_EQ(s->xRight, 3);
    EXPECT_EQ(s->lineWidth, 2);
    EXPECT_FALSE(s->selected());
}

} // namespace
} // namespace orvenda
