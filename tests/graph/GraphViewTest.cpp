#include "graph/GraphView.h"

#include "GraphTestSupport.h"
#include "TestClocks.h"
#include "core/DrawObject.h"
#include "core/VQGraphPtArray.h"
#include "drawing/BackgroundPicture.h"
#include "graph/GraphViewDelegate.h"
#include "graph/HistogramZoom.h"
#include "graph/PhotoPlot.h"
#include "graph/PixelPlot.h"
#include "graph/PlotLine.h"
#include "language/VariableSlots.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {
namespace {

using testing::StubPlot;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class RecordingDelegate : public GraphViewDelegate {
public:
    void windowChanged() override { ++windows; }
    void selectPlot(PlotObject* plot, const PlotPoint&) override { selections.push_back(plot); }
    void trackObj(PlotObject*, const PlotPoint&) override {}
    int windows = 0;
    std::vector<PlotObject*> selections;
};

class StubHistogram : public StubPlot, public HistogramZoom {
public:
    explicit StubHistogram(Calculator& calc) : StubPlot(calc, PlotHistogram) {}
    double tiBarWidth() override { return width; }
    Calculator::Bounds statBounds(const GraphTransform&, double left, double bin) override
    {
        return {left, left + bin, 0, 5};
    }
    using StubPlot::statBounds;
    double width = 0;
};

class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest()
    {
        view.delegate = &delegate;
        view.resize(320, 320);
        show({-10, 10, -10, 10});
    }
    // The window shown and in the window variables, which a zoom token rebuilds from.
    void show(const Calculator::Bounds& window)
    {
        view.zoom(window);
        view.updateWindowVars();
    }
    void expectWindow(double xMin, double xMax, double yMin, double yMax, double tolerance = 1e-9)
    {
        const Calculator::Bounds b = view.graphBounds();
        EXPECT_NEAR(b.xMin, xMin, tolerance);
        EXPECT_NEAR(b.xMax, xMax, tolerance);
        EXPECT_NEAR(b.yMin, yMin, tolerance);
        EXPECT_NEAR(b.yMax, yMax, tolerance);
    }
    double var(int slot) const { return calc.getVar(slot).value.real(); }
    std::shared_ptr<StubPlot> stub(int type = PlotObject::PlotNone)
    {
        auto plot = std::make_shared<StubPlot>(calc, type);
        view.plotObjects().push_back(plot);
        return plot;
    }
    GraphTile& centreTile() { return *view.tiles()[4]; }

    Calculator calc;
    GraphView view{calc};
    RecordingDelegate delegate;
};

// ---- Window and zooms ----

TEST_F(GraphViewTest, WindowsOfNoWidthOrWithoutFiniteBounds)
{
    view.zoom({2, 2, -1, 1});
    EXPECT_EQ(view.t().a, 320);
    view.zoom({kNaN, 3, -1, kInf});
    expectWindow(-1, 1, -1, 1);
}

TEST_F(GraphViewTest, ScalesAreClampedAndSignedForAnUpwardY)
{
    struct Case {
        double sx, sy, a, d;
    };
    for (const Case& c : {Case{0, 0, 1e-9, -1e-9}, Case{5e9, -5e9, 1e9, -1e9}, Case{-5, 5, 5, -5},
                          Case{kNaN, kInf, 1, -1}}) {
        view.setScaleSx(c.sx, c.sy);
        EXPECT_EQ(view.t().a, c.a) << c.sx;
        EXPECT_EQ(view.t().d, c.d) << c.sy;
    }
}

TEST_F(GraphViewTest, ZStandardAndZTrig)
{
    view.zoom({0, 1, 0, 1});
    view.zoomOp(0x86);
    expectWindow(-10, 10, -10, 10);
    EXPECT_EQ(var(kSlotDeltaX), 20.0 / 320);
    EXPECT_EQ(var(kSlotXmin), -10);
    EXPECT_EQ(var(kSlotYmax), 10);
    EXPECT_EQ(var(kSlotScrWidth), 320);
    EXPECT_GT(delegate.windows, 0);

    calc.setAngleFormat(0);
    view.zoomOp(0x87);
    expectWindow(-360, 360, -4, 4);
    EXPECT_EQ(calc.locked()->graphXAxisLabelMode, 0);
    calc.setAngleFormat(1);
    view.zoomOp(0x87);
    expectWindow(-2 * std::numbers::pi, 2 * std::numbers::pi, -4, 4);
    EXPECT_EQ(calc.locked()->graphXAxisLabelMode, 1);
}

TEST_F(GraphViewTest, ZSquareZIntegerAndZDecimalKeepTheOrigin)
{
    show({-10, 10, -5, 5});
    const double tx = view.t().tx, ty = view.t().ty;
    view.zoomOp(0x8B);
    EXPECT_EQ(view.t().a, 32);
    EXPECT_EQ(view.t().d, -32);
    EXPECT_NEAR(view.t().tx, tx, 1e-9);
    EXPECT_NEAR(view.t().ty, ty, 1e-9);
    expectWindow(-5, 5, -5, 5);
    view.zoomOp(0x8C);
    expectWindow(-160, 160, -160, 160);
    view.zoomOp(0x8E);
    expectWindow(-16, 16, -16, 16);
}

TEST_F(GraphViewTest, ZoomStoZoomRclAndZPrevious)
{
    show({1, 3, 2, 6});
    calc.locked()->graphXAxisLabelMode = 1;
    view.zoomOp(0x92);
    view.zoomOp(0x86);
    expectWindow(-10, 10, -10, 10);
    view.zoomOp(0x90);
    expectWindow(1, 3, 2, 6);
    EXPECT_EQ(calc.locked()->graphXAxisLabelMode, 1);
    view.zoomOp(0x8D);
    expectWindow(-10, 10, -10, 10);

    // Any other token: the window of the variables, drawn again.
    show({4, 5, 4, 5});
    view.zoomOp(0x88);
    expectWindow(4, 5, 4, 5);
}

TEST_F(GraphViewTest, ClearingZoomsEmptyTheDrawingZoomStoKeepsIt)
{
    calc.drawing.push_back(std::make_shared<DrawLine>());
    calc.pixelOnCol(1, 1, 255, 0, 0);
    calc.ptOnAtX(1, 1, 1, 1, 0, 0);
    view.zoomOp(0x92);
    EXPECT_EQ(calc.drawing.size(), 1u);
    EXPECT_EQ(view.plotObjects().size(), 1u);
    view.zoomOp(0x86);
    EXPECT_TRUE(calc.drawing.empty());
    EXPECT_TRUE(view.plotObjects().empty());
    EXPECT_EQ(calc.pixelTestCol(1, 1), 0);
    EXPECT_FALSE(calc.pixelsVisible);
    EXPECT_EQ(calc.graphPts()->count(), 0u);
}

TEST_F(GraphViewTest, ZoomStatWithOnlyBoxPlots)
{
    stub(PlotObject::PlotBox)->stat = {1, 4, 0, 0};
    stub(PlotObject::PlotModBox)->stat = {2, 7, 0, 0};
    stub(PlotObject::PlotLine)->stat = {-100, 100, -100, 100};  // not a stat plot
    view.zoomStat();
    expectWindow(0, 8, -1 - 11.0 / 6, 10 + 11.0 / 6);
}

TEST_F(GraphViewTest, ZoomStatOnAViewWithNoRoomLeftForItsBoxesStillShowsTheData)
{
    // Two boxes take 60 of the 60 points (2/3 of 90) that the data and the boxes share.
    view.resize(320, 90);
    stub(PlotObject::PlotScatter)->stat = {0, 6, -2, 8};
    stub(PlotObject::PlotBox)->stat = {1, 5, 0, 0};
    stub(PlotObject::PlotBox)->stat = {1, 5, 0, 0};
    view.zoomStat();
    const Calculator::Bounds b = view.graphBounds();
    EXPECT_TRUE(std::isfinite(b.yMin) && std::isfinite(b.yMax));
    EXPECT_LT(b.yMin, -2);
    EXPECT_GT(b.yMax, 8);
}

TEST_F(GraphViewTest, ZoomStatGivesAHistogramOfOneValueABinWidth)
{
    auto histogram = std::make_shared<StubHistogram>(calc);
    histogram->stat = {3, 3, 0, 5};
    view.plotObjects().push_back(histogram);
    view.zoomStat();
    EXPECT_EQ(var(kSlotXscl), 1);
    expectWindow(2, 5, -5.0 / 6, 5 + 5.0 / 6);

    histogram->stat = {0, 94, 0, 5};
    histogram->width = 1;  // 94 bins: too many, 47 of width 2
    view.zoomStat();
    EXPECT_EQ(var(kSlotXscl), 2);
}

TEST_F(GraphViewTest, ZoomFitTakesTheUnionOrTheSelectedPlot)
{
    stub()->fit = {0, 0, 2, 2};
    auto second = stub();
    second->fit = {-1, 1, 2, 4};
    view.zoomFit();
    expectWindow(-1, 2, 0, 5);
    second->setSelected(true);
    view.zoomFit();
    expectWindow(-1, 1, 1, 5);
    second->fit = {};
    view.zoomFit();  // a window of nothing is no window
    expectWindow(-1, 1, 1, 5);
}

TEST_F(GraphViewTest, ZoomInAboutTheMiddleOrTheTracePoint)
{
    view.zoom({0, 4, 0, 4});
    view.plus(2, 1);
    expectWindow(1, 3, 0, 4);
    view.minus(2, 0);
    expectWindow(0, 4, -2, 6);
    // Traced on a drawing, which keeps its point.
    stub(PlotObject::PlotLine)->setSelected(true);
    calc.lockMagnifier = true;
    calc.pTrackPoint = {1, 1, 1};
    view.plus(4, 0);
    expectWindow(0.5, 1.5, 0, 2);
    // A trace at no point (a search that found none) leaves the origin where it is drawn:
    // the window stays a window, which the overlay can number.
    calc.pTrackPoint = {std::nan(""), std::nan(""), std::nan("")};
    view.plus(2, 0);
    expectWindow(0.25, 0.75, 0, 1);
    EXPECT_TRUE(GraphGeometry::transformIsFinite(view.t()));
}

// ---- Tiles ----

TEST_F(GraphViewTest, PanningRedrawsOnlyTheTilesThatWrap)
{
    auto plot = stub();
    view.displayTiles();
    EXPECT_EQ(plot->drawn.size(), 9u);
    for (const auto& tile : view.tiles())
        EXPECT_FALSE(tile->dirty);

    plot->drawn.clear();
    view.pan2Dx(0, 0);
    view.pan2Dx(70, -30);
    view.displayTiles();
    EXPECT_TRUE(plot->drawn.empty());

    // The third column passes 2.5 tile widths and wraps to the left edge.
    view.pan2Dx(10, 0);
    view.displayTiles();
    ASSERT_EQ(plot->drawn.size(), 3u);
    for (const QRectF& r : plot->drawn)
        EXPECT_EQ(r.x(), 240 - 480);

    // A jump of more than a tile lays the ring out afresh: nothing is left blank.
    plot->drawn.clear();
    view.pan2Dx(1000, 0);
    view.displayTiles();
    EXPECT_EQ(plot->drawn.size(), 9u);
    double left = kInf, right = -kInf;
    for (const auto& tile : view.tiles()) {
        left = std::min(left, tile->frame().left());
        right = std::max(right, tile->frame().right());
    }
    EXPECT_LE(left, 0);
    EXPECT_GE(right, 320);
}

// Every pixel of the graph is some tile's, at every size (an odd tile's included: 390
// wide makes tiles of 195) and after a pan by a fraction of a pixel: a plot that fills what
// it is given leaves no column or row of the background between two tiles.
TEST_F(GraphViewTest, TheTilesPaintEveryPixelAtEverySize)
{
    struct Fill : StubPlot {
        using StubPlot::StubPlot;
        void drawRect(const QRectF& rect, QPainter& context, const GraphTransform&, int) override
        {
            context.fillRect(rect, Qt::green);
        }
    };
    calc.locked()->drawGrid = calc.locked()->drawAxes = false;
    view.plotObjects().push_back(std::make_shared<Fill>(calc));
    // The tiles alone: the overlay's labels lie on top of them.
    if (view.graphTextView)
        view.graphTextView->hide();
    const auto unpainted = [this](const char* when) {
        const QImage shown = view.grab().toImage();
        int columns = 0, rows = 0;
        for (int x = 0; x < shown.width(); ++x)
            columns += shown.pixelColor(x, shown.height() / 2) != QColor(Qt::green);
        for (int y = 0; y < shown.height(); ++y)
            rows += shown.pixelColor(shown.width() / 2, y) != QColor(Qt::green);
        EXPECT_EQ(columns + rows, 0) << view.width() << "x" << view.height() << " " << when << ": " << columns
                                     << " columns, " << rows << " rows";
    };
    for (const QSize size : {QSize(390, 776), QSize(844, 322), QSize(768, 911), QSize(1024, 655), QSize(391, 323)}) {
        view.resize(size);
        view.rotate();
        unpainted("laid out");
        for (const auto& tile : view.tiles()) {
            EXPECT_EQ(tile->frame().left(), std::floor(tile->frame().left())) << size.width();
            EXPECT_EQ(tile->frame().top(), std::floor(tile->frame().top())) << size.height();
        }
        view.pan2Dx(0.5, -0.25);
        unpainted("panned by a fraction");
    }
}

TEST_F(GraphViewTest, AHorizontalPinchDoublesTheXScaleAboutItsMiddle)
{
    const double a = view.t().a, d = view.t().d;
    const QPointF middle(150, 100);
    const double gx = (middle.x() - view.t().tx) / a, gy = (middle.y() - view.t().ty) / d;
    view.pinch(GraphView::Gesture::Began, {100, 100}, {200, 100}, middle);
    view.pinch(GraphView::Gesture::Changed, {50, 100}, {250, 100}, middle);
    EXPECT_EQ(view.t().a, 2 * a);
    EXPECT_EQ(view.t().d, d);
    EXPECT_EQ(view.drawQuality, 1);
    EXPECT_TRUE(calc.scaleTracking);
    EXPECT_NEAR(gx * view.t().a + view.t().tx, middle.x(), 1e-9);
    EXPECT_NEAR(gy * view.t().d + view.t().ty, middle.y(), 1e-9);
    view.pinch(GraphView::Gesture::Ended, {}, {}, middle);
    EXPECT_EQ(view.drawQuality, 0);
    EXPECT_FALSE(calc.scaleTracking);
}

TEST_F(GraphViewTest, CtrlShiftWheelZoomsOnlyX)
{
    const double a = view.t().a, d = view.t().d;
    QWheelEvent wheel(QPointF(160, 160), QPointF(160, 160), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier | Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_NEAR(view.t().a, a * 1.2, 1e-9);
    EXPECT_EQ(view.t().d, d);
}

TEST_F(GraphViewTest, TilesRenderGridAndAxesOnPixelCentres)
{
    calc.locked()->gridColor = VQColor::colorR(0, 0, 1, 1);
    calc.locked()->axesColor = VQColor::colorR(1, 0, 0, 1);
    view.displayTiles();
    // The centre tile shows view points 80..240; the axes cross at view (160, 160), the
    // label step at 16 points a unit is 5, so grid lines lie every 2.5 units (40 points).
    const QImage& image = centreTile().contents();
    ASSERT_EQ(image.width(), 160);
    EXPECT_EQ(image.pixel(80, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(20, 80), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(image.pixel(79, 20)), 0);
    EXPECT_GT(qBlue(image.pixel(40, 20)), 0);   // x = -2.5
    EXPECT_GT(qBlue(image.pixel(120, 20)), 0);  // x = 2.5
    EXPECT_GT(qBlue(image.pixel(20, 40)), 0);   // y = 2.5
    EXPECT_EQ(qAlpha(image.pixel(60, 20)), 0);

    calc.locked()->drawGrid = calc.locked()->drawAxes = false;
    auto plot = stub();
    view.redrawAll();
    view.displayTiles();
    EXPECT_EQ(qAlpha(centreTile().contents().pixel(80, 20)), 0);
    EXPECT_EQ(centreTile().contents().pixel(80, 80), QColor(Qt::black).rgb());  // the plot
}

TEST_F(GraphViewTest, TheSelectedPlotIsDrawnOnTop)
{
    calc.locked()->drawGrid = calc.locked()->drawAxes = false;
    auto first = stub(), second = stub();
    first->color = VQColor::colorR(1, 0, 0, 1);
    second->color = VQColor::colorR(0, 0, 1, 1);
    first->setSelected(true);
    view.displayTiles();
    EXPECT_EQ(centreTile().contents().pixel(80, 80), qRgb(255, 0, 0));
}

TEST_F(GraphViewTest, ATileWithANonFiniteTransformStaysBlankAndDirty)
{
    GraphTile tile(calc, 1);
    tile.graphView = &view;
    tile.setBounds(QRectF(0, 0, 160, 160));
    tile.t = {1, 0, 0, -1, kNaN, 0};
    tile.displayLayer();
    EXPECT_TRUE(tile.dirty);
    EXPECT_TRUE(tile.contents().isNull());

    tile.t = {1, 0, 0, -1, 0, 0};
    view.updatingObjects = true;  // the plot list is being rebuilt
    tile.displayLayer();
    EXPECT_TRUE(tile.dirty);
    view.updatingObjects = false;
    tile.displayLayer();
    EXPECT_FALSE(tile.dirty);
}

// The grid's steps are lost in the magnitude of x and y there: a walk from line to line
// would not end at the tile's edge.
TEST_F(GraphViewTest, AWindowFarFromTheOriginDrawsABoundedGrid)
{
    calc.locked()->drawGrid = true;
    view.zoom({1e12 - 1e-6, 1e12 + 1e-6, 1e12 - 1e-6, 1e12 + 1e-6});
    view.displayTiles();
    for (const auto& tile : view.tiles())
        EXPECT_FALSE(tile->dirty);
    const GraphTile& tile = *view.tiles()[0];
    testing::LineCounter grid;
    {
        QPainter painter(&grid);
        GraphTile::drawGridAndAxes(painter, tile.bounds(), tile.t, tile.axisGrid, calc, 2, 0.5);
    }
    EXPECT_GT(grid.lines, 0);
    EXPECT_LE(grid.lines, 2 * GraphTile::kMaxLines + 2);  // and the two axes
}

TEST_F(GraphViewTest, PointsShowInAnyColourUntilErased)
{
    calc.locked()->drawGrid = calc.locked()->drawAxes = false;
    calc.ptOnAtX(0, 0, 4, 0, 0, 0);  // a black square at the origin
    calc.ptOnAtX(2.5, 0, 5, 1, 0, 0);
    view.displayTiles();
    EXPECT_EQ(centreTile().contents().pixel(82, 82), qRgb(0, 0, 0));
    EXPECT_EQ(centreTile().contents().pixel(120, 80), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(centreTile().contents().pixel(122, 80)), 0);  // a 2-point square
    calc.ptOffAtX(0, 0);
    view.redrawAll();
    view.displayTiles();
    EXPECT_EQ(qAlpha(centreTile().contents().pixel(82, 82)), 0);
}

// ---- Gestures ----

TEST_F(GraphViewTest, APanMovesTheGraphAndCoastsOnlyWhenThrown)
{
    const double tx = view.t().tx;
    view.pan(GraphView::Gesture::Began, {}, {});
    EXPECT_EQ(view.drawQuality, 1);
    view.pan(GraphView::Gesture::Changed, {30, -10}, {});
    EXPECT_EQ(view.t().tx, tx + 30);
    view.pan(GraphView::Gesture::Ended, {30, -10}, {120, -60});  // 6 points a tick
    EXPECT_FALSE(view.coasting());
    EXPECT_EQ(view.drawQuality, 0);

    view.pan(GraphView::Gesture::Began, {}, {});
    view.pan(GraphView::Gesture::Ended, {}, {600, 0});
    EXPECT_TRUE(view.coasting());
    const double before = view.t().tx;
    int ticks = 0;
    while (view.coasting() && ticks < 200) {
        view.coast();
        ++ticks;
    }
    EXPECT_FALSE(view.coasting());
    EXPECT_LT(ticks, 200);
    EXPECT_GT(view.t().tx, before + 100);
    EXPECT_EQ(view.drawQuality, 0);

    // A touch stops a coast at once.
    view.pan(GraphView::Gesture::Began, {}, {});
    view.pan(GraphView::Gesture::Ended, {}, {900, 0});
    view.touchesBegan();
    EXPECT_FALSE(view.coasting());
}

TEST_F(GraphViewTest, TapsLockTheTraceOnADrawnLine)
{
    auto record = std::make_shared<DrawLine>();
    record->p1 = {1, 1};
    record->p2 = {5, 3};
    record->g = 1;
    calc.drawing.push_back(record);
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 1u);
    auto& line = static_cast<PlotLine&>(*view.plotObjects()[0]);
    EXPECT_EQ(line.p2.x, 5);
    EXPECT_EQ(line.color.g(), 1);

    // A tap near the end: the trace locks on the end point.
    view.singleTap(QPointF(160 + 4.95 * 16, 160 - 2.98 * 16));
    EXPECT_TRUE(calc.lockMagnifier);
    EXPECT_TRUE(calc.tracking);
    EXPECT_TRUE(line.selected());
    EXPECT_TRUE(record->selected);
    EXPECT_EQ(calc.pTrackPoint.x, 5);
    EXPECT_EQ(calc.pTrackPoint.y, 3);
    EXPECT_EQ(calc.pTrackSlope, 0.5);
    ASSERT_EQ(delegate.selections.size(), 1u);
    EXPECT_EQ(delegate.selections[0], &line);

    view.singleTap(QPointF(10, 10));  // nothing there
    EXPECT_FALSE(calc.lockMagnifier);
    EXPECT_FALSE(line.selected());
    EXPECT_EQ(delegate.selections.back(), nullptr);

    view.longTap(GraphView::Gesture::Began, QPointF(160 + 3 * 16, 160 - 2 * 16));
    EXPECT_TRUE(calc.lockMagnifier);
    view.doubleTap(QPointF());
    EXPECT_FALSE(calc.lockMagnifier);
    EXPECT_EQ(calc.lockFunction, -1);
}

TEST_F(GraphViewTest, MouseDragsPanAndClicksTap)
{
    const auto send = [this](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    const double tx = view.t().tx, ty = view.t().ty;
    send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    send(QEvent::MouseMove, {130, 90}, Qt::LeftButton);
    EXPECT_EQ(view.drawQuality, 1);
    EXPECT_EQ(view.t().tx, tx + 30);
    EXPECT_EQ(view.t().ty, ty - 10);
    send(QEvent::MouseButtonRelease, {130, 90}, Qt::NoButton);
    EXPECT_EQ(view.drawQuality, 0);
    EXPECT_TRUE(delegate.selections.empty());

    send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {101, 100}, Qt::NoButton);
    EXPECT_EQ(delegate.selections.size(), 1u);  // a tap, on nothing

    // A drag lifted while moving throws the graph; one that rested first does not.
    for (const bool rested : {false, true}) {
        send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        send(QEvent::MouseMove, {110, 100}, Qt::LeftButton);
        test::WorkClock::pass(std::chrono::milliseconds(10));
        send(QEvent::MouseMove, {150, 100}, Qt::LeftButton);
        if (rested)
            test::WorkClock::pass(std::chrono::milliseconds(150));
        send(QEvent::MouseButtonRelease, {150, 100}, Qt::NoButton);
        EXPECT_EQ(view.coasting(), !rested) << (rested ? "rested" : "thrown");
        view.touchesBegan();
    }
}

TEST_F(GraphViewTest, ThePixelLayerKeepsItsCopyUntilPixelsShowAgain)
{
    calc.pixelOnCol(7, 5, 255, 0, 0);
    view.pixelPlot().setNeedsDisplay();
    const QImage shown = view.pixelPlot().grab().toImage();
    EXPECT_EQ(shown.pixel(15, 11), qRgb(255, 0, 0));  // 2 × 2 points a pixel
    EXPECT_EQ(qAlpha(shown.pixel(13, 11)), 0);
    calc.pixelScreenClr();
    view.pixelPlot().setNeedsDisplay();
    EXPECT_EQ(view.pixelPlot().image().pixel(7, 5), qRgb(255, 0, 0));
}

// The user's picture behind the graph: drawn at its frame, and after a double tap selected
// (the red cross and outline) so that a drag moves its frame and a pinch scales it about
// its centre.
TEST_F(GraphViewTest, ThePhotoLayerDrawsThePictureAndMovesItWhenSelected)
{
    QImage picture(320, 568, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    for (int y = 0; y < 284; ++y)
        for (int x = 0; x < 320; ++x)
            picture.setPixel(x, y, qRgb(250, 250, 0));
    calc.device = 0;
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, picture, {0, 0, 320, 568}));
    EXPECT_FALSE(view.photoPlot().isVisibleTo(&view));
    view.updateDisplay();
    EXPECT_TRUE(view.photoPlot().isVisibleTo(&view)) << "the graph shows the picture when it is next brought up";
    const auto shot = [this] { return view.photoPlot().grab().toImage(); };
    QImage shown = shot();
    EXPECT_EQ(shown.pixel(20, 20), qRgb(250, 250, 0));
    EXPECT_EQ(shown.pixel(20, 300), qRgb(0, 200, 0));

    view.pan(GraphView::Gesture::Began, {}, {});
    view.pan(GraphView::Gesture::Changed, {30, -10}, {});
    EXPECT_EQ(calc.backgroundFrame.x, 0) << "an unselected picture stays";

    view.doubleTap({160, 160});
    EXPECT_TRUE(view.photoPlot().selected);
    shown = shot();
    // The diagonals, (0, 0) to (320, 568) and (320, 0) to (0, 568), cross y = 100 at x 56.3
    // and 263.7.
    int marked = 0, rightMarked = 0;
    for (int x = 53; x <= 60; ++x)
        marked += shown.pixel(x, 100) == qRgb(255, 0, 0);
    for (int x = 260; x <= 267; ++x)
        rightMarked += shown.pixel(x, 100) == qRgb(255, 0, 0);
    EXPECT_GT(marked, 0) << "the selected picture is crossed in red";
    EXPECT_GT(rightMarked, 0);

    view.pan(GraphView::Gesture::Began, {}, {});
    view.pan(GraphView::Gesture::Changed, {30, -10}, {});
    view.pan(GraphView::Gesture::Ended, {30, -10}, {});
    EXPECT_EQ(calc.backgroundFrame.x, 30);
    EXPECT_EQ(calc.backgroundFrame.y, -10);
    shown = shot();
    EXPECT_NE(shown.pixel(20, 20), qRgb(250, 250, 0)) << "left of the moved picture";
    EXPECT_EQ(shown.pixel(50, 20), qRgb(250, 250, 0));
    EXPECT_EQ(shown.pixel(50, 280), qRgb(0, 200, 0)) << "the colours' edge moved up by 10";

    view.pinch(GraphView::Gesture::Began, {100, 100}, {200, 100}, {150, 100});
    view.pinch(GraphView::Gesture::Changed, {50, 100}, {250, 100}, {150, 100});
    view.pinch(GraphView::Gesture::Ended, {}, {}, {150, 100});
    EXPECT_EQ(calc.backgroundScale, 2);
    shown = shot();
    // Twice the size about the frame's centre (190, 274): drawn at (-130, -294), 640 by
    // 1136, so its top half ends at y 274.
    EXPECT_EQ(shown.pixel(5, 20), qRgb(250, 250, 0)) << "the scaled picture reaches the left edge";
    EXPECT_EQ(shown.pixel(5, 264), qRgb(250, 250, 0));
    EXPECT_EQ(shown.pixel(5, 284), qRgb(0, 200, 0));
}

} // namespace
} // namespace orvenda
