// The graph worksheet: its page and graph rectangles upright and turned, the window and
// the equal-scale rule, the frame of a white background, the grid's bounded lines, the
// legend, the drawing list's texts and the trace read-out, read back with Qt PDF.

#include "TestSupport.h"
#include "PdfReadBack.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "docs/GraphPdfView.h"
#include "drawing/GraphicsContext.h"
#include "language/VariableSlots.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace orvenda {
namespace {

// A plot with a name, a colour and read-out lines, drawing nothing.
class NamedPlot : public PlotObject {
public:
    NamedPlot(Calculator& calc, std::string name, std::vector<std::string> info) : PlotObject(calc), name_(std::move(name)), info_(std::move(info))
    {
        plotType = PlotFunction;
    }
    // With equations, the MathPrint legend and read-out set them.
    std::optional<std::map<std::string, Ops>> equations;
    void drawRect(const QRectF&, QPainter&, const GraphTransform&, int) override {}
    double YAtT(double t) override { return 2 * t; }
    std::optional<std::string> label() override { return name_; }
    std::optional<std::vector<std::string>> infoLines() override { return info_; }
    std::optional<std::map<std::string, Ops>> equationOps() override { return equations; }

private:
    std::string name_;
    std::vector<std::string> info_;
};

class GraphPdfViewTest : public ::testing::Test {
protected:
    GraphPdfViewTest() : calc(test::kUS)
    {
        calc.pdfPageSize = 0;
        window(-10, 10, -10, 10);
        auto hold = calc.lockState();
        calc.state().mathPrint = false;
    }
    void set(int slot, double value) { calc.setVar(slot, VariableRecord{{value, 0.0}}); }
    void window(double x1, double x2, double y1, double y2)
    {
        set(kSlotXmin, x1);
        set(kSlotXmax, x2);
        set(kSlotYmin, y1);
        set(kSlotYmax, y2);
        // A screen of unequal scales unless a test says otherwise.
        set(kSlotScrWidth, 300);
        set(kSlotScrHeight, 200);
    }
    QImage draw(const QRectF& rect, QSize size = {400, 400})
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        GraphicsContext context(painter);
        sheet.graphInRect(context, rect);
        return image;
    }
    bool wrote(const QString& text) const
    {
        for (const auto& w : sheet.written())
            if (w.text == text)
                return true;
        return false;
    }
    QPointF where(const QString& text) const
    {
        for (const auto& w : sheet.written())
            if (w.text == text)
                return w.at;
        return {};
    }

    Calculator calc;
    GraphPdfView sheet{calc};
};

struct Read {
    int pages = 0;
    QSizeF size;
    QString text;
};
Read read(const QByteArray& pdf)
{
    const PdfReadBack back = readPdf(pdf);
    Read out{back.pages, {}, {}};
    if (out.pages > 0) {
        out.size = back.sizes.front();
        out.text = back.texts.front();
    }
    return out;
}

TEST_F(GraphPdfViewTest, PortraitAndLandscapeGraphsFillTheirRectangles)
{
    EXPECT_EQ(GraphPdfView::graphRect({595, 841}, false), QRectF(36, 56, 523, 737));
    EXPECT_EQ(GraphPdfView::graphRect({595, 841}, true), QRectF(56, 36, 737, 523));
    for (const bool landscape : {false, true}) {
        const Read doc = read(sheet.worksheetPDFLandscape(landscape));
        EXPECT_EQ(doc.pages, 1);
        EXPECT_EQ(doc.size, QSizeF(595, 841));
        const QRectF r = GraphPdfView::graphRect({595, 841}, landscape);
        EXPECT_EQ(sheet.bounds(), r);
        // The window fills the rectangle, y upward.
        EXPECT_DOUBLE_EQ(sheet.t().a * -10 + sheet.t().tx, r.left());
        EXPECT_DOUBLE_EQ(sheet.t().a * 10 + sheet.t().tx, r.right());
        EXPECT_DOUBLE_EQ(sheet.t().d * 10 + sheet.t().ty, r.top());
        EXPECT_DOUBLE_EQ(sheet.t().d * -10 + sheet.t().ty, r.bottom());
    }
    calc.pdfPageSize = 2;
    EXPECT_EQ(read(sheet.worksheetPDFLandscape(true)).size, QSizeF(612, 1008));
}

// The page's border is a line one point wide, not a hairline: rendered back at 8 pixels a
// point, the half of it inside the page is about 4 pixels wide on every edge, upright and
// turned.
TEST_F(GraphPdfViewTest, ThePageBorderIsOnePointWide)
{
    for (const bool landscape : {false, true}) {
        const QByteArray pdf = sheet.worksheetPDFLandscape(landscape);
        ASSERT_EQ(readPdf(pdf).pages, 1);
        constexpr int kScale = 8;
        const QImage page = pdfPagePicture(pdf, 0, kScale);
        ASSERT_FALSE(page.isNull());
        for (const int edge : inkFromTheEdges(page)) {
            EXPECT_GE(edge, kScale / 2 - 1) << (landscape ? "landscape" : "portrait");
            EXPECT_LE(edge, kScale / 2 + 1) << (landscape ? "landscape" : "portrait");
        }
    }
}

TEST_F(GraphPdfViewTest, AWindowGivenBackwardsPrintsAsOrderedAndEqualScalesStayEqual)
{
    draw({0, 0, 300, 200});
    const GraphTransform ordered = sheet.t();
    EXPECT_NE(ordered.a, -ordered.d);
    window(10, -10, 10, -10);
    draw({0, 0, 300, 200});
    EXPECT_EQ(sheet.t().a, ordered.a);
    EXPECT_EQ(sheet.t().d, ordered.d);
    EXPECT_EQ(sheet.t().tx, ordered.tx);
    EXPECT_EQ(sheet.t().ty, ordered.ty);
    // A square window on a screen of equal scales: exactly equal scales on the page.
    window(-10, 10, -10, 10);
    set(kSlotScrWidth, 200);
    set(kSlotScrHeight, 200);
    draw({0, 0, 300, 200});
    EXPECT_EQ(sheet.t().a, -sheet.t().d);
    // An empty window draws nothing and does not hang.
    window(3, 3, -1, 1);
    const QImage blank = draw({0, 0, 300, 200});
    EXPECT_EQ(blank.pixelColor(150, 100).alpha(), 0);
}

TEST_F(GraphPdfViewTest, AWhiteBackgroundIsFramedAndAnyOtherFilled)
{
    {
        auto hold = calc.lockState();
        calc.state().drawGrid = false;
        calc.state().drawAxes = false;
        calc.state().drawLabel = false;
        calc.state().backgroundColor = VQColor::colorR(1, 1, 1, 1);
    }
    QImage image = draw({20, 20, 300, 300});
    EXPECT_EQ(image.pixelColor(60, 60).alpha(), 0);
    // The frame, a line of width 1 on the rectangle's edge.
    EXPECT_GT(image.pixelColor(20, 100).alpha(), 100);
    EXPECT_LT(image.pixelColor(20, 100).lightness(), 20);
    {
        auto hold = calc.lockState();
        calc.state().backgroundColor = VQColor::colorR(0, 0, 0.5, 1);
    }
    image = draw({20, 20, 300, 300});
    const QColor fill = image.pixelColor(60, 60);
    EXPECT_EQ(fill.red(), 0);
    EXPECT_NEAR(fill.blue(), 128, 1);
    EXPECT_EQ(fill.alpha(), 255);
}

TEST_F(GraphPdfViewTest, GridLinesSkipZeroAndUnboundedSteps)
{
    EXPECT_TRUE(GraphPdfView::gridLines(0, 0, 1, 0, 100).empty());
    EXPECT_TRUE(GraphPdfView::gridLines(0, -1, 1, 0, 100).empty());
    EXPECT_TRUE(GraphPdfView::gridLines(0, std::numeric_limits<double>::quiet_NaN(), 1, 0, 100).empty());
    EXPECT_TRUE(GraphPdfView::gridLines(0, std::numeric_limits<double>::infinity(), 1, 0, 100).empty());
    EXPECT_EQ(GraphPdfView::gridLines(0, 10, 1, 0.5, 100).size(), 10u);
    // A step lost against its first value still ends.
    EXPECT_EQ(GraphPdfView::gridLines(1e20, 1e-3, 1e-18, 0, 1e9).size(), static_cast<std::size_t>(GraphPdfView::kMaxLines));
    // A window far from the origin, grid on: the page is made.
    window(1e15, 1e15 + 1e-3, -1, 1);
    {
        auto hold = calc.lockState();
        calc.state().drawGrid = true;
    }
    EXPECT_EQ(read(sheet.worksheetPDFLandscape(false)).pages, 1);
}

TEST_F(GraphPdfViewTest, TheLegendListsThePlotsFromTheBottomUpWithTheirColours)
{
    auto first = std::make_shared<NamedPlot>(calc, "Y1=X", std::vector<std::string>{});
    first->color = VQColor::colorR(1, 0, 0, 1);
    auto second = std::make_shared<NamedPlot>(calc, "Y2=2X", std::vector<std::string>{});
    second->color = VQColor::colorR(0, 0, 1, 1);
    sheet.plots() = {first, second};
    const QRectF r(36, 56, 523, 737);
    draw(r, {600, 850});
    ASSERT_EQ(sheet.swatches().size(), 2u);
    EXPECT_EQ(where(QStringLiteral("Y1=X")), QPointF(r.left() + 18, r.bottom() - 16));
    EXPECT_EQ(where(QStringLiteral("Y2=2X")), QPointF(r.left() + 18, r.bottom() - 30));
    EXPECT_EQ(sheet.swatches()[0].rect, QRectF(r.left() + 2, r.bottom() - 15, 12, 12));
    EXPECT_EQ(sheet.swatches()[0].color, QColor(Qt::red));
    const Read doc = read(sheet.worksheetPDFLandscape(false));
    EXPECT_TRUE(doc.text.contains(QStringLiteral("Y2=2X")));
}

TEST_F(GraphPdfViewTest, InMathPrintTheLegendSetsTheEquationsAboveTheCorner)
{
    {
        auto hold = calc.lockState();
        calc.state().mathPrint = true;
    }
    auto plot = std::make_shared<NamedPlot>(calc, "Y1=X", std::vector<std::string>{});
    plot->equations = std::map<std::string, PlotObject::Ops>{{"Y1=", PlotObject::Ops{'X'}}, {"Y2=", PlotObject::Ops{'2', 'X'}}};
    plot->color = VQColor::colorR(0, 0.5, 0, 1);
    sheet.plots() = {plot};
    const QRectF r(36, 56, 523, 737);
    draw(r, {600, 850});
    ASSERT_TRUE(wrote(QStringLiteral("Y1=")));
    ASSERT_TRUE(wrote(QStringLiteral("Y2=")));
    ASSERT_EQ(sheet.swatches().size(), 2u);
    // One under the other, the block ending 8 points above the rectangle's bottom.
    const QPointF first = where(QStringLiteral("Y1=")), second = where(QStringLiteral("Y2="));
    EXPECT_EQ(first.x(), r.left() + 18);
    EXPECT_GT(second.y(), first.y());
    EXPECT_LT(second.y(), r.bottom() - 8);
    EXPECT_EQ(sheet.swatches()[0].rect.x(), r.left() + 2);
    EXPECT_DOUBLE_EQ(sheet.swatches()[0].rect.top() + 6, second.y());
}

TEST_F(GraphPdfViewTest, TextsOfTheDrawingListAreWrittenWhereAndAsTheyAreAligned)
{
    auto placed = std::make_shared<DrawText>();
    placed->x = 0;
    placed->y = 0;
    placed->alignment = 1;
    placed->text = "ORIGIN";
    auto cells = std::make_shared<DrawText>();
    cells->x = 10;
    cells->y = 12;
    cells->alignment = 0;
    cells->text = "ROW\\nTWO";
    calc.drawing = {placed, cells};
    const QRectF r(0, 0, 400, 400);
    draw(r);
    EXPECT_EQ(where(QStringLiteral("ORIGIN")), QPointF(200, 200));
    ASSERT_TRUE(wrote(QStringLiteral("ROW")));
    ASSERT_TRUE(wrote(QStringLiteral("TWO")));
    EXPECT_DOUBLE_EQ(where(QStringLiteral("TWO")).y() - where(QStringLiteral("ROW")).y(), 16);
    // Centred below: half its width left of the anchor; raised by a line per line at 4.
    placed->alignment = 5;
    draw(r);
    EXPECT_LT(where(QStringLiteral("ORIGIN")).x(), 200);
    EXPECT_DOUBLE_EQ(where(QStringLiteral("ORIGIN")).y(), 184);
    const Read doc = read(sheet.worksheetPDFLandscape(false));
    EXPECT_TRUE(doc.text.contains(QStringLiteral("ORIGIN")));
    EXPECT_TRUE(doc.text.contains(QStringLiteral("ROW")));
    calc.drawing.clear();
}

TEST_F(GraphPdfViewTest, ALockedTraceShowsTheMagnifierAndTheSelectedPlotsReadout)
{
    auto plot = std::make_shared<NamedPlot>(calc, "Y1=2X", std::vector<std::string>{"Y1=2X", "X=1", "Y=2"});
    plot->setSelected(true);
    sheet.plots() = {plot};
    calc.lockMagnifier = true;
    calc.pTrackPoint = {1, 2, 1};
    calc.featureLock = 3;
    const QRectF r(0, 0, 400, 400);
    draw(r);
    EXPECT_EQ(sheet.magnifier(), QPointF(220, 160));
    EXPECT_TRUE(wrote(QStringLiteral("min")));
    EXPECT_EQ(where(QStringLiteral("min")), QPointF(230, 136));
    ASSERT_TRUE(wrote(QStringLiteral("X=1")));
    EXPECT_EQ(where(QStringLiteral("X=1")).x(), 2);
    EXPECT_LT(where(QStringLiteral("Y1=2X")).y(), where(QStringLiteral("X=1")).y());
    EXPECT_DOUBLE_EQ(where(QStringLiteral("Y=2")).y() - where(QStringLiteral("X=1")).y(), 16);
    // Not locked: no magnifier, no read-out.
    calc.lockMagnifier = false;
    draw(r);
    EXPECT_TRUE(std::isnan(sheet.magnifier().x()));
    EXPECT_FALSE(wrote(QStringLiteral("X=1")));
}

} // namespace
} // namespace orvenda
