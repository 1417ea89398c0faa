#include "graph/PlotPolyline.h"

#include "GraphTestSupport.h"
#include "core/DrawObject.h"
#include "graph/GraphView.h"
#include "graph/PlotText.h"

#include <gtest/gtest.h>

#include <QRect>

#include <string>
#include <vector>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::painted;

class PlotPolylineTest : public ::testing::Test {
protected:
    std::shared_ptr<PlotPolyline> polyline(std::vector<double> points, double fill = 0, float width = 2)
    {
        auto plot = std::make_shared<PlotPolyline>(calc);
        plot->points = std::move(points);
        plot->fillPercent = fill;
        plot->lineWidth = width;
        plot->color = VQColor::colorR(0, 0, 1, 1);
        return plot;
    }

    Calculator calc;
    // 20 points a unit, the origin in the middle of the 160-point image.
    const GraphTransform t = centred(160, 20);
};

TEST_F(PlotPolylineTest, FilledClosedAndOutlined)
{
    const QImage triangle = painted(*polyline({0, 0, 1, 1, 2, 0, 0, 0}, 0.5, 2), t);
    EXPECT_NEAR(qAlpha(triangle.pixel(100, 75)), 128, 2);  // (1, 0.25): inside
    EXPECT_EQ(qAlpha(triangle.pixel(100, 80)), 255);      // (1, 0): on the closing side
    EXPECT_EQ(qAlpha(triangle.pixel(110, 70)), 255);      // (1.5, 0.5): on the right side
    EXPECT_EQ(qAlpha(triangle.pixel(100, 90)), 0);        // (1, -0.5): outside

    EXPECT_TRUE(blank(painted(*polyline({0, 0, 1, 1, 2, 0, 0, 0}, 0, 0), t)));
    // Fewer than two numbers draw nothing and are never hit.
    for (const std::vector<double>& points : {std::vector<double>{}, std::vector<double>{1}}) {
        auto plot = polyline(points, 0.5, 2);
        EXPECT_TRUE(blank(painted(*plot, t)));
        PlotPoint p{1, 0, 0};
        EXPECT_FALSE(plot->hitPoint(p, t, 20));
    }
}

TEST_F(PlotPolylineTest, HitsTheNearestSegmentOnScreen)
{
    struct Case {
        std::vector<double> points;
        double x, y;
        bool hit;
        double ex, ey, et;
    };
    const Case cases[] = {
        // The foot of the perpendicular, t the index of the segment's second x.
        {{0, 0, 2, 2, 4, 0}, 3.1, 1.1, true, 3, 1, 4},
        // Past the second end: that end, not the first.
        {{0, 0, 2, 0}, 2.2, 0.1, true, 2, 0, 2},
        // Nearest on screen, although a short segment has the smaller sum of distances to
        // its ends.
        {{0, 0, 10, 0, 5, 1, 5, 2}, 5, 0.1, true, 5, 0, 2},
        // A single point is a segment of no length.
        {{1, 1}, 1.1, 1.2, true, 1, 1, 1},
        // 0.75 units is 15 points off: outside the 20-point box.
        {{0, 0, 4, 0}, 2, 0.75, false, 2, 0, 2},
    };
    for (const Case& c : cases) {
        PlotPoint p{c.x, c.y, 0};
        EXPECT_EQ(polyline(c.points)->hitPoint(p, t, 20), c.hit) << c.x << ", " << c.y;
        EXPECT_NEAR(p.x, c.ex, 1e-12) << c.x << ", " << c.y;
        EXPECT_NEAR(p.y, c.ey, 1e-12) << c.x << ", " << c.y;
        EXPECT_EQ(p.t, c.et) << c.x << ", " << c.y;
    }
}

TEST_F(PlotPolylineTest, SlopeOfTheSegmentEndingAtT)
{
    auto plot = polyline({0, 0, 2, 4, 3, 1});
    EXPECT_EQ(plot->slopeAtT(2), 2);
    EXPECT_EQ(plot->slopeAtT(4.5), -3);
    EXPECT_EQ(plot->slopeAtT(0), 0);
    EXPECT_EQ(plot->slopeAtT(6), 0);
}

TEST_F(PlotPolylineTest, MadeFromTheDrawingList)
{
    auto record = std::make_shared<DrawPolyline>();
    record->points = {0, 0, 1, 2};
    record->fillPercent = 0.25;
    record->lineWidth = 3;
    record->selected = true;
    calc.drawing.push_back(record);
    GraphView view(calc);
    view.resize(320, 320);
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 1u);
    auto* plot = dynamic_cast<PlotPolyline*>(view.plotObjects()[0].get());
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->plotType, PlotObject::PlotPolyline);
    EXPECT_EQ(plot->points, record->points);
    EXPECT_EQ(plot->fillPercent, 0.25);
    EXPECT_EQ(plot->lineWidth, 3);
    EXPECT_TRUE(plot->selected());
    EXPECT_EQ(plot->drawFunc, record);
}

// The box around the text's ink.
QRect ink(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 64)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(PlotTextTest, AnchorPlacesTheBlock)
{
    Calculator calc;
    PlotText text(calc);
    text.text = "HEH\\nHEHEH";
    text.color = VQColor::colorR(0, 0, 0, 1);
    const GraphTransform t = centred(160, 20);
    // The anchor (1, -1) is at view (100, 100).
    text.x = 1;
    text.y = -1;

    text.alignment = 8;
    const QRect middle = ink(painted(text, t));
    EXPECT_NEAR(middle.center().x(), 100, 2);
    EXPECT_NEAR(middle.center().y(), 100, 2);
    EXPECT_GT(middle.height(), 20);  // two lines

    text.alignment = 1;
    const QRect topLeft = ink(painted(text, t));
    EXPECT_NEAR(topLeft.left(), 100, 2);
    EXPECT_NEAR(topLeft.top(), 100, 5);

    text.alignment = 4;
    const QRect bottomRight = ink(painted(text, t));
    EXPECT_NEAR(bottomRight.right(), 100, 2);
    EXPECT_NEAR(bottomRight.bottom(), 100, 5);
}

} // namespace
} // namespace orvenda
