#include "graph/PlotObject.h"

#include "GraphTestSupport.h"
#include "core/DrawObject.h"

#include <gtest/gtest.h>

#include <QSizeF>

#include <limits>

namespace orvenda {
namespace {

TEST(PlotObject, TheBaseAnswersNeutrally)
{
    Calculator calc;
    PlotObject plot(calc);
    EXPECT_TRUE(testing::blank(testing::painted(plot, testing::centred(160, 10))));
    PlotPoint pt{1, 2, 3};
    EXPECT_FALSE(plot.hitPoint(pt, testing::centred(160, 10), 20));
    EXPECT_EQ(pt.y, 2);
    EXPECT_EQ(plot.YAtX(4, 5), 0);
    EXPECT_EQ(plot.RAtT(1), 0);
    for (auto op : {&PlotObject::integrateLower, &PlotObject::zeroLower, &PlotObject::minLower, &PlotObject::maxLower}) {
        int error = 0;
        EXPECT_EQ((plot.*op)(0, 1, 1e-5, error), 0);
        EXPECT_EQ(error, 19);
    }
    calc.featureLock = 4;
    const PlotPoint at = plot.PtAtT(7, 1, {});
    EXPECT_EQ(at.t, 7);
    EXPECT_EQ(calc.featureLock, 0);
    EXPECT_FALSE(plot.infoLines() || plot.label() || plot.equationOps());
}

TEST(PlotObject, TheTraceCursorIsDrawnOnlyAtAFinitePoint)
{
    Calculator calc;
    PlotObject plot(calc);
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        plot.drawPtAt(QPointF(std::numeric_limits<double>::quiet_NaN(), 10), painter);
    }
    EXPECT_TRUE(testing::blank(image));
    {
        QPainter painter(&image);
        plot.drawPtAt(QPointF(10, 10), painter);
    }
    EXPECT_NE(qAlpha(image.pixel(13, 10)), 0);
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0);
}

TEST(PlotObject, SelectingSelectsTheDrawingRecord)
{
    Calculator calc;
    PlotObject plot(calc);
    auto record = std::make_shared<DrawFunc>();
    plot.drawFunc = record;
    plot.setSelected(true);
    EXPECT_TRUE(record->selected);
    plot.setSelected(false);
    EXPECT_FALSE(record->selected);
}

TEST(PlotObject, ASliderSetsItsRecordAndItsVariable)
{
    Calculator calc;
    PlotObject plot(calc);
    calc.locked()->vars[0] = {1, 0};
    calc.locked()->vars[1] = {2, 0};
    plot.setVar(0, -5, 5, 3, 1);  // no records at all
    plot.varInfoArray = {YEqVarInfo{1, 0, 1, 0.1, 0.5, "B"}, YEqVarInfo{1, 0, 9, 1, 9, "B"}};
    plot.setVar(0, -5, 5, 3, 1);  // none for A
    EXPECT_EQ(calc.locked()->vars[0].real(), 1);
    plot.setVar(1, -2, 8, 4, 0.5);
    EXPECT_EQ(calc.locked()->vars[1], std::complex<double>(4, 0));
    EXPECT_EQ(plot.varInfoArray[0], (YEqVarInfo{1, -2, 8, 0.5, 4, "B"}));
    EXPECT_EQ(plot.varInfoArray[1].value, 9);  // only the first record of the variable
}

} // namespace
} // namespace orvenda
