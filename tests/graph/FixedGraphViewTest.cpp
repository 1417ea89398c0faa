#include "graph/FixedGraphView.h"

#include "GraphTestSupport.h"
#include "pretty/FontMap.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

namespace orvenda {
namespace {

class FixedGraphViewTest : public ::testing::Test {
protected:
    FixedGraphViewTest() : view(calc) { view.resize(200, 100); }
    QImage drawn()
    {
        QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.drawRect(painter, QRectF(0, 0, 200, 100));
        return image;
    }

    Calculator calc;
    FixedGraphView view;
};

TEST_F(FixedGraphViewTest, ScalesStayWithinLimits)
{
    view.setScaleSx(0, 0);
    EXPECT_EQ(view.t().a, 1e-9);
    EXPECT_EQ(view.t().d, -1e-9);
    view.setScaleSx(-5e9, -5e9);
    EXPECT_EQ(view.t().a, 1e9);
    EXPECT_EQ(view.t().d, -1e9);
    // A flipped sign is put right: y always grows upwards.
    view.setScaleSx(-3, 4);
    EXPECT_EQ(view.t().a, 3);
    EXPECT_EQ(view.t().d, -4);
}

TEST_F(FixedGraphViewTest, AWindowShowsTheSameEitherWayRound)
{
    view.zoom(5, -5, 10, 0);
    const GraphTransform t = view.t();
    EXPECT_EQ(t.a, 20);
    EXPECT_EQ(t.d, -10);
    EXPECT_EQ(t.tx, 100);
    EXPECT_EQ(t.ty, 100);
    view.zoom(-5, 5, 0, 10);
    EXPECT_EQ(view.t().a, t.a);
    EXPECT_EQ(view.t().tx, t.tx);
    EXPECT_EQ(view.t().ty, t.ty);
}

TEST_F(FixedGraphViewTest, LabelsAtTheOriginAndAlongAnEdge)
{
    const auto plot = std::make_shared<testing::StubPlot>(calc);
    plot->color = VQColor::colorR(1, 0, 0, 1);
    view.plotObjects = {plot};
    view.zoom(-5, 5, -5, 5);  // the origin at (100, 50)
    const QImage image = drawn();
    EXPECT_EQ(plot->drawn.size(), 1u);
    EXPECT_EQ(image.pixel(95, 45), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));  // the background
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
    int origins = 0;
    for (const auto& l : view.labels().labels) {
        EXPECT_NE(l.topLeft.y(), 50.5 - 3) << "a y label at the origin";
        if (l.text == "0") {
            ++origins;
            EXPECT_EQ(l.topLeft.x(), 100.5 - metrics.horizontalAdvance("0") - 3);
        }
    }
    EXPECT_EQ(origins, 1);

    // The x axis above the view: its labels run along the top edge.
    view.zoom(-5, 5, -20, -10);
    drawn();
    int xLabels = 0;
    for (const auto& l : view.labels().labels)
        xLabels += l.topLeft.y() == 0;
    EXPECT_GE(xLabels, 3);
}

} // namespace
} // namespace orvenda
