#include "graph/PlotShadeFn.h"

#include "CompiledFunctions.h"
#include "GraphTestSupport.h"
#include "core/DrawObject.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using testing::blank;
using testing::centred;
using testing::compiled;
using testing::painted;

class PlotShadeFnTest : public ::testing::Test {
protected:
    std::shared_ptr<PlotShadeFn> shade(const std::string& lower, const std::string& upper, double left, double right)
    {
        auto record = std::make_shared<DrawShadeFn>();
        record->fnLower = compiled(calc, lower);
        record->fnUpper = compiled(calc, upper);
        record->xLeft = left;
        record->xRight = right;
        record->r = record->g = 0;
        record->b = 1;
        return PlotShadeFn::plotFor(calc, record);
    }
    // The polygon's upper edge at sample i, in view y.
    static double upperY(const PlotShadeFn& s, std::size_t i) { return s.polygon()[i].y(); }

    Calculator calc;
};

TEST_F(PlotShadeFnTest, FillsBetweenTheFunctionsWithinTheBoundsInclusive)
{
    auto s = shade("0", "2", -1, 1);
    const QImage image = painted(*s, centred(160, 16));
    EXPECT_NEAR(qAlpha(image.pixel(80, 64)), 128, 2);  // (0, 1), at alpha 0.5
    EXPECT_EQ(qAlpha(image.pixel(100, 64)), 0);        // x 1.25, beyond the right bound
    EXPECT_EQ(qAlpha(image.pixel(80, 40)), 0);         // y 2.5, above the upper function
    // Sample i lies at x = -5.0625 + i/16: -1 is sample 65 and 1 is sample 97.
    EXPECT_EQ(upperY(*s, 64), 80);
    EXPECT_EQ(upperY(*s, 65), 48);
    EXPECT_EQ(upperY(*s, 97), 48);
    EXPECT_EQ(upperY(*s, 98), 80);

    EXPECT_TRUE(blank(painted(*shade("2", "0", -1e99, 1e99), centred(160, 16))));
}

TEST_F(PlotShadeFnTest, UndefinedLowerValuesShadeNothing)
{
    const QImage image = painted(*shade("√(X)", "5", -1e99, 1e99), centred(160, 16));
    EXPECT_EQ(qAlpha(image.pixel(60, 40)), 0);  // (-1.25, 2.5)
    EXPECT_GT(qAlpha(image.pixel(100, 40)), 0);  // (1.25, 2.5)
}

TEST_F(PlotShadeFnTest, SamplesOnlyForAnXGeometryNotMetLately)
{
    auto s = shade("0", "X", 1, 1e99);
    const GraphTransform t = centred(160, 16);
    QImage image(160, 320, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    s->drawRect(QRectF(0, 0, 160, 160), painter, t, 1);
    s->drawRect(QRectF(0, 160, 160, 160), painter, t, 1);  // the tile below
    EXPECT_EQ(s->samplings(), 1);
    const double before = upperY(*s, 113);  // x = 2

    GraphTransform pannedUp = t;
    pannedUp.ty = 100;
    s->computeRect(QRectF(0, 0, 160, 160), pannedUp);
    EXPECT_EQ(upperY(*s, 113), before + 20);
    GraphTransform taller = t;
    taller.d = -32;
    s->computeRect(QRectF(0, 0, 160, 160), taller);
    EXPECT_EQ(upperY(*s, 113), 16);
    EXPECT_EQ(s->samplings(), 1);

    // Twice the x scale about the same origin: the region now starts at view x 112.
    GraphTransform wider = t;
    wider.a = 32;
    const QImage zoomed = painted(*s, wider);
    EXPECT_EQ(s->samplings(), 2);
    EXPECT_EQ(qAlpha(zoomed.pixel(104, 79)), 0);  // x 0.75
    EXPECT_GT(qAlpha(zoomed.pixel(120, 76)), 0);  // x 1.25
    // Back to the first scale and over to the next column: the first samples are kept.
    s->computeRect(QRectF(0, 0, 160, 160), t);
    EXPECT_EQ(upperY(*s, 113), before);
    s->computeRect(QRectF(160, 0, 160, 160), t);
    EXPECT_EQ(s->samplings(), 3);
}

TEST_F(PlotShadeFnTest, TraceTextTellsWhereThePointLies)
{
    auto s = shade("0", "2", 0.25, 1);
    calc.locked()->drawExpr = calc.locked()->drawCoord = true;
    const struct {
        PlotPoint at;
        std::string x, y;
    } cases[] = {
        {{0.5, 1, 0}, "x:.5", "y:1"},  // inside
        {{0.5, 3, 0}, "x:", "y:2"},    // above: the upper function's value
        {{2, 1, 0}, "x:", "y:"},       // beyond the bounds
    };
    for (const auto& c : cases) {
        calc.pTrackPoint = c.at;
        const std::vector<std::string> lines = *s->infoLines();
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], "Shade");
        EXPECT_EQ(lines[1], "left:.25");
        EXPECT_EQ(lines[2], "right:1");
        EXPECT_EQ(lines[3], c.x);
        EXPECT_EQ(lines[4], c.y);
    }
}

} // namespace
} // namespace orvenda
