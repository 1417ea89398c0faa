// The help page's graph: its transform and scale limits, where its labels go, bounded
// grid and tick walks, and the magnifier with its feature lock.

#include "TestSupport.h"
#include "drawing/DrawingTestSupport.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "docs/VQGraph.h"
#include "drawing/GraphicsContext.h"
#include "eval/Parser.h"
#include "graph/PlotFn.h"
#include "language/EntryText.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

class VQGraphTest : public ::testing::Test {
protected:
    VQGraphTest() : calc(test::kUS) {}

    QImage draw()
    {
        QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        GraphicsContext context(painter);
        graph.drawRect(context, graph.frame());
        return image;
    }

    std::shared_ptr<PlotFn> function(const std::string& text)
    {
        std::string bad;
        auto ops = *EntryText().toOps(text, bad);
        auto plot = std::make_shared<PlotFn>(calc);
        plot->fn = std::make_shared<VQStack>(calc.parser().getRPNfor(ops));
        plot->varNum = 23;
        plot->style = 2;
        plot->lineWidth = 2;
        plot->color = VQColor::colorR(0, 0, 1, 1);
        return plot;
    }

    Calculator calc;
    VQGraph graph{calc, QRectF(20, 10, 280, 280)};
};

TEST_F(VQGraphTest, TheWindowSetsTheTransformInEitherOrder)
{
    graph.zoom(-3, 3, -2, 4);
    const GraphTransform t = graph.t();
    EXPECT_DOUBLE_EQ(t.a, 280.0 / 6);
    EXPECT_DOUBLE_EQ(t.d, -280.0 / 6);
    EXPECT_DOUBLE_EQ(t.tx, 20 + 3 * t.a);
    EXPECT_DOUBLE_EQ(t.ty, 10 + 4 * 280.0 / 6);
    graph.zoom(3, -3, 4, -2);
    EXPECT_DOUBLE_EQ(graph.t().a, t.a);
    EXPECT_DOUBLE_EQ(graph.t().d, t.d);
    EXPECT_DOUBLE_EQ(graph.t().tx, t.tx);
    EXPECT_DOUBLE_EQ(graph.t().ty, t.ty);
}

TEST_F(VQGraphTest, ScalesAreHeldWithinTheirLimits)
{
    graph.setScaleSx(1e-12, 1e-12);
    EXPECT_DOUBLE_EQ(graph.t().a, 1e-9);
    EXPECT_DOUBLE_EQ(graph.t().d, -1e-9);
    graph.setScaleSx(-1e12, 1e12);
    EXPECT_DOUBLE_EQ(graph.t().a, 1e9);
    EXPECT_DOUBLE_EQ(graph.t().d, -1e9);
    graph.setScaleSx(2, -3);
    EXPECT_DOUBLE_EQ(graph.t().a, 2);
    EXPECT_DOUBLE_EQ(graph.t().d, -3);
    // A window of no height: d is infinite before it is held.
    graph.zoom(-1, 1, 2, 2);
    EXPECT_DOUBLE_EQ(graph.t().d, -1e9);
    EXPECT_EQ(test::inked(draw()), 0);
}

TEST_F(VQGraphTest, YLabelsRunAlongTheRightEdgeWhenTheAxisIsOffIt)
{
    graph.zoom(-10, -2, -2, 4);
    draw();
    ASSERT_FALSE(graph.labels().labels.empty());
    int yLabels = 0;
    for (const auto& label : graph.labels().labels) {
        if (label.topLeft.x() > 150) {
            ++yLabels;
            EXPECT_LT(label.topLeft.x(), graph.frame().right()) << label.text;
        }
    }
    EXPECT_GT(yLabels, 0);
}

TEST_F(VQGraphTest, GridAndTicksStayBoundedFarFromTheOrigin)
{
    // Steps lost in the magnitude of the values would walk for ever.
    graph.zoom(1e300, 1e300 + 1e285, -1, 1);
    draw();
    EXPECT_LE(graph.labels().ticks.size(), std::size_t(2 * AxisLabels::kMaxTicks));
    graph.zoom(-1e-300, 1e-300, -1, 1);
    draw();
    EXPECT_LE(graph.labels().ticks.size(), std::size_t(2 * AxisLabels::kMaxTicks));
}

TEST_F(VQGraphTest, TheMagnifierShowsTheFeatureAndCanBeLockedOff)
{
    graph.zoom(-3, 3, -2, 4);
    auto plot = function("X²");
    plot->setSelected(true);
    graph.plotFunctions().push_back(plot);
    graph.selectX(0);
    graph.setMagnifierLock(3);
    EXPECT_EQ(graph.featureLabel(3), QStringLiteral("min"));
    EXPECT_EQ(graph.featureLabel(14), QString::fromUtf8("\xCE\xBC+2\xCF\x83"));
    draw();
    EXPECT_NEAR(graph.lastMagnifier().x(), graph.t().tx, 1e-9);
    EXPECT_NEAR(graph.lastMagnifier().y(), graph.t().ty, 1e-9);
    // 19: the traced point shows but no magnifier.
    graph.setMagnifierLock(VQGraph::kNoMagnifier);
    const QImage traced = draw();
    EXPECT_TRUE(std::isnan(graph.lastMagnifier().x()));
    EXPECT_GT(test::inked(traced, QRect(int(graph.t().tx) - 3, int(graph.t().ty) - 3, 7, 7)), 0);
    // No trace: no magnifier either.
    graph.selectX(std::nan(""));
    graph.setMagnifierLock(0);
    draw();
    EXPECT_TRUE(std::isnan(graph.lastMagnifier().x()));
    graph.reset();
    EXPECT_TRUE(graph.plotFunctions().empty());
    EXPECT_EQ(graph.magnifierLock(), 0);
}

} // namespace
} // namespace orvenda
