// The equation rows: their frames by graph mode, touches, and the style icons.

#include "YEqScreenSupport.h"

#include "pretty/PrettyDrawInfo.h"

#include <QFontMetricsF>
#include <QPainter>

namespace orvenda::test {
namespace {

class Picks : public YEqView::Delegate {
public:
    void pickColorForEqNum(int token) override { tokens.push_back(token); }
    std::vector<int> tokens;
};

class YEqRows : public YEqScreens {
protected:
    YEqView& view() { return showYEq().view(); }
    QPointF centreOfRow(int row) { return view().frameForIndex(row).center(); }
};

TEST_F(YEqRows, RowsByGraphModeAtLeast32High)
{
    const struct {
        int mode, rows;
    } modes[] = {{0, 10}, {1, 6}, {2, 6}, {3, 3}, {4, 10}};
    for (bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        for (const auto& m : modes) {
            calc.setGraphMode(m.mode);
            view().layoutFrames();
            EXPECT_EQ(view().rowCount(), m.rows) << "mode " << m.mode;
            // Empty one-line rows are exactly the smallest height; two-line rows at least.
            for (int r = 0; r < view().rowCount(); ++r) {
                const double h = view().frameForIndex(r).height();
                if (m.mode == 1 || m.mode == 3)
                    EXPECT_GE(h, 32) << "mode " << m.mode << " row " << r;
                else
                    EXPECT_EQ(h, 32) << "mode " << m.mode << " row " << r << " MathPrint " << mathPrint;
            }
        }
    }
}

TEST_F(YEqRows, LongEquationsWrapInClassicAndWidenInMathPrint)
{
    const Ops longOps = ops("1+2+3+4+5+6+7+8+9+1+2+3+4+5+6+7+8+9+1+2+3+4+5+6+7+8+9+1+2+3+4");
    eq->setYEqFunc(kY1, longOps);
    calc.locked()->mathPrint = false;
    const QSizeF classic = view().layoutFrames();
    // 61 characters after "Y₁=" do not fit one line of the phone's width.
    EXPECT_GE(view().frameForIndex(0).height(), 2 * view().leading());
    EXPECT_EQ(classic.width(), view().width());
    calc.locked()->mathPrint = true;
    const QSizeF pretty = view().layoutFrames();
    EXPECT_EQ(view().frameForIndex(0).height(), 32);
    EXPECT_GT(pretty.width(), view().width()) << "the current equation's row is wider than the view";
    eq->setCurrentFunction(1);
    EXPECT_EQ(view().layoutFrames().width(), view().width()) << "only the current row widens the content";
}

TEST_F(YEqRows, TouchesSwitchPickAndPlaceTheCursor)
{
    calc.setGraphMode(1);
    eq->setYEqFunc(kX1T, ops("cos(T"));
    eq->setYEqFunc(kY1T, ops("sin(T"));
    Picks picks;
    view().setDelegate(&picks);
    view().layoutFrames();
    const double y = centreOfRow(0).y();
    view().touchAt({20, y});
    EXPECT_FALSE(eq->shouldPlotFunction(kX1T));
    EXPECT_FALSE(eq->shouldPlotFunction(kY1T));
    view().touchAt({20, y});
    EXPECT_TRUE(eq->shouldPlotFunction(kX1T));
    EXPECT_TRUE(eq->shouldPlotFunction(kY1T));

    view().touchAt({50, centreOfRow(1).y()});
    EXPECT_EQ(picks.tokens, (std::vector<int>{kX2T}));

    // MathPrint: a touch on an empty equation puts the cursor at its start; one beyond a
    // text's end after the text.
    calc.locked()->mathPrint = true;
    calc.setGraphMode(0);
    eq->setYEqFunc(kY2, ops("12345"));
    view().layoutFrames();
    view().touchAt({150, centreOfRow(2).y()});
    EXPECT_EQ(eq->selectedEqNum(), kY1 + 2);
    EXPECT_EQ(eq->entryCursor(), 0);
    // The middle of the third digit, after the label "Y₁=" as wide as every label.
    const QFontMetricsF font(PrettyDrawInfo::PrettyDrawInfoSize(calc.baseFontSize).font());
    const double third = YEqView::kLeftEdge + font.horizontalAdvance(QStringLiteral("Y₁=")) + 2.5 * font.horizontalAdvance('0');
    view().touchAt({third, centreOfRow(1).y()});
    EXPECT_EQ(eq->selectedEqNum(), kY2);
    EXPECT_EQ(eq->entryCursor(), 2);
    // Beyond the text nothing is hit: the start.
    view().touchAt({360, centreOfRow(1).y()});
    EXPECT_EQ(eq->entryCursor(), 0);
}

TEST_F(YEqRows, ClassicTouchesOnTheTextOnly)
{
    calc.locked()->mathPrint = false;
    eq->setYEqFunc(kY1 + 2, ops("12345"));
    view().layoutFrames();
    const QRectF row = view().frameForIndex(2);
    view().touchAt({row.right() - 4, row.center().y()});
    EXPECT_EQ(eq->selectedEqNum(), kY1) << "nothing there";
}

// The style icon over a white background: which points are coloured.
TEST(YEqStyleIcon, ShadesAboveOrBelowAndStrokesTheCurve)
{
    const VQColor blue = VQColor::colorR(0, 0, 1, 1);
    const QColor white(255, 255, 255);
    const QColor shaded(77, 77, 255);   // blue at 0.7 over white
    const QColor solid(0, 0, 255);
    // Points relative to the icon: above the curve, on it, below it.
    const QPointF above(20, 4), on(20, 12), below(20, 20);
    const struct {
        int style;
        QColor above, on, below;
    } cases[] = {
        {2, white, solid, white},    {4, white, solid, white},   {8, shaded, solid, white},
        {10, shaded, solid, white},  {16, white, solid, shaded}, {18, white, solid, shaded},
    };
    for (const auto& c : cases) {
        QImage image(40, 24, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        YEqView::drawGraphStyle(painter, c.style, {0, 0}, blue, white);
        painter.end();
        EXPECT_TRUE(near(pixel(image, above), c.above, 12)) << c.style << " above " << pixel(image, above).name().toStdString();
        EXPECT_TRUE(near(pixel(image, below), c.below, 12)) << c.style << " below " << pixel(image, below).name().toStdString();
        if (c.style != 8 && c.style != 16) {
            EXPECT_TRUE(near(pixel(image, on), c.on, 60)) << c.style << " on " << pixel(image, on).name().toStdString();
        }
    }
}

} // namespace
} // namespace orvenda::test
