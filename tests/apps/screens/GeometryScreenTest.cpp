// The geometry app as the app registers it: figures typed with the keys and solved, the
// field navigation, Solve and Clear, the sub-mode segments, the slider, the zoom buttons,
// the figure menu with its help pages, the panel and the triangle sketch, and the figures
// drawn on the graph at the phone's and the tablet's size.

#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "app/KeyRouter.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/GeometryMenu.h"
#include "apps/GeometryScreen.h"
#include "apps/GeometryView.h"
#include "apps/PlotGeometry.h"
#include "apps/TriangleView.h"
#include "drawing/VImageDraw.h"
#include "graph/AxisLabels.h"
#include "graph/FixedGraphView.h"
#include "input/HelpPage.h"
#include "input/SegmentedControl.h"
#include "graphui/ThumbSlider.h"
#include "pretty/FontMap.h"
#include "language/ErrorNumbers.h"
#include "TestSupport.h"

#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPicture>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

namespace orvenda::test {
namespace {

constexpr double kPi = std::numbers::pi;
using G = GeometryModel;

class GeometryScreens : public ScreensTest {
protected:
    GeometryScreens()
    {
        registerScreens(*root);
        calc.setAngleFormat(0);
    }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Geometry, [this](QWidget* p) { return new GeometryScreen(calc, shell, p); });
    }
    GeometryScreen& show(std::uint32_t figure)
    {
        root->showGeometry(static_cast<int>(figure));
        QCoreApplication::processEvents();
        return *static_cast<GeometryScreen*>(root->fullScreen(screens::Geometry));
    }
    double slot(int s) { return calc.getVar(s).value.real(); }
    void put(int s, double v) { calc.locked()->vars[static_cast<std::size_t>(s)] = {v, 0.0}; }
    void press(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void typeKeys(const std::string& text)
    {
        for (std::uint32_t o : ops(text))
            press(o);
    }
    void enterValue(const std::string& text)
    {
        typeKeys(text);
        press(KeyRouter::kEnter);
    }
    void closeAlerts()
    {
        while (QMessageBox* box = openAlert()) {
            box->done(0);
            QCoreApplication::processEvents();
        }
    }
    // The graph's picture and where a graph point lies on it.
    struct Graph {
        QImage image;
        GraphTransform t;
        double dpr;
        QColor at(double x, double y) const
        {
            const QPoint p(static_cast<int>((t.a * x + t.tx) * dpr), static_cast<int>((t.d * y + t.ty) * dpr));
            EXPECT_TRUE(image.valid(p)) << x << ", " << y << " is not on the graph";
            return image.pixelColor(p);
        }
    };
    Graph graph(GeometryScreen& screen)
    {
        QCoreApplication::processEvents();
        QImage image = screen.graphView().grab().toImage();
        return {image, screen.graphView().t(), image.devicePixelRatio()};
    }
    static bool greenish(const QColor& c) { return c.green() > c.red() + 40 && c.green() > c.blue() + 40; }
    // The values typed into the figure's fields (after its sub-mode and Clear), then solved
    // or, for a figure drawn at once, zoomed to.
    static void typeFigure(GeometryScreen& screen, int mode, const std::vector<std::pair<int, double>>& values)
    {
        if (mode >= 0)
            screen.selectSubMode(mode);
        // What another figure left in the shared slots is not known here.
        if (screen.model().hasClear())
            screen.clear();
        for (const auto& [field, value] : values) {
            screen.model().setCurrentField(field);
            screen.model().enterValue(value);
        }
        if (screen.model().hasSolve())
            screen.solve();
        else
            screen.zoomGraphView();
    }
    // The boxes of the numbers along the axes (Helvetica 14) as the graph draws them now.
    static std::vector<QRectF> axisNumbers(GeometryScreen& screen)
    {
        QCoreApplication::processEvents();
        (void)screen.graphView().grab();
        const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
        std::vector<QRectF> numbers;
        for (const AxisLabels::Label& label : screen.graphView().labels().labels)
            numbers.emplace_back(label.topLeft, QSizeF(metrics.horizontalAdvance(QString::fromStdString(label.text)), metrics.height()));
        return numbers;
    }
};

// ---- Typing and solving ----

TEST_F(GeometryScreens, AThreeFourFiveTriangleTypedWithTheKeys)
{
    GeometryScreen& screen = show(G::Triangle);
    EXPECT_TRUE(screen.triangleView().isVisible());
    EXPECT_TRUE(screen.solveButton().isVisible());
    EXPECT_TRUE(screen.clearButton().isVisible());
    EXPECT_FALSE(screen.solveButton().isEnabled());
    enterValue("3");
    enterValue("4");
    EXPECT_EQ(screen.model().currentField(), 2);
    EXPECT_FALSE(screen.solveButton().isEnabled());
    // The field being typed counts as known: Solve is on before ENTER.
    typeKeys("5");
    EXPECT_TRUE(screen.solveButton().isEnabled());
    EXPECT_EQ(screen.triangleView().knowns(), 7);
    screen.solveButton().click();
    EXPECT_DOUBLE_EQ(slot(182), kPi / 2);
    EXPECT_EQ(calc.formatReal(screen.model().fieldValue(3)), "36.86989765");
    EXPECT_EQ(calc.formatReal(screen.model().fieldValue(4)), "53.13010235");
    EXPECT_EQ(calc.formatReal(screen.model().fieldValue(5)), "90");
    EXPECT_FALSE(screen.solveButton().isEnabled());
    // Enter on the last field stays there.
    screen.model().setCurrentField(5);
    press(KeyRouter::kEnter);
    EXPECT_EQ(screen.model().currentField(), 5);
    screen.clearButton().click();
    EXPECT_EQ(slot(177), 0);
    EXPECT_EQ(slot(182), 0);
    EXPECT_FALSE(screen.solveButton().isEnabled());
    EXPECT_EQ(screen.triangleView().knowns(), 0);
}

TEST_F(GeometryScreens, FieldNavigationCommitsTheTyping)
{
    GeometryScreen& screen = show(G::Ellipse);
    typeKeys("3");
    press(KeyRouter::kDown);
    EXPECT_EQ(slot(196), 3);
    EXPECT_EQ(screen.model().currentField(), 1);
    typeKeys("2");
    press(KeyRouter::kUp);
    EXPECT_EQ(slot(197), 2);
    EXPECT_EQ(screen.model().currentField(), 0);
    EXPECT_NEAR(slot(170), 15.86543958929059, 1e-9);
    // A tap on a field commits too; an index past the fields is ignored.
    typeKeys("5");
    screen.selectField(2);
    EXPECT_EQ(screen.model().currentField(), 0);
    EXPECT_EQ(screen.entryText(), "5");
    screen.selectField(-1);
    EXPECT_EQ(screen.model().currentField(), 0);
    screen.selectField(1);
    EXPECT_EQ(slot(196), 5);
    EXPECT_EQ(screen.model().currentField(), 1);
    // Leaving with a half-typed value keeps it.
    typeKeys("4");
    screen.doneButton().click();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(slot(197), 4);
}

TEST_F(GeometryScreens, PointsMoveByRowsAndAcrossTheirColumns)
{
    GeometryScreen& screen = show(G::Line);
    screen.segments().click(0);
    EXPECT_EQ(screen.model().numPoints(), 2);
    typeKeys("1");
    press(KeyRouter::kRight); // at the end of the typing: on to y
    EXPECT_EQ(slot(160), 1);
    EXPECT_EQ(screen.model().currentField(), 1);
    press(KeyRouter::kDown); // a row down: P2's y
    EXPECT_EQ(screen.model().currentField(), 3);
    press(KeyRouter::kLeft); // an empty line at its start: back to P2's x
    EXPECT_EQ(screen.model().currentField(), 2);
    // An empty line takes the field's value with RIGHT for editing.
    put(162, 7);
    press(KeyRouter::kRight);
    EXPECT_EQ(screen.entryText(), "7");
}

TEST_F(GeometryScreens, ErrorsAreReportedAndLeaveTheValues)
{
    GeometryScreen& screen = show(G::Rectangle);
    enterValue("6");
    press(KeyRouter::kDown);
    press(KeyRouter::kDown);
    press(KeyRouter::kDown);
    enterValue("5"); // the diagonal, shorter than a
    screen.model().setCurrentField(1);
    const double before = slot(178);
    screen.solveButton().click();
    EXPECT_EQ(screen.lastError(), ErrNonReal);
    EXPECT_TRUE(openAlert());
    closeAlerts();
    EXPECT_EQ(slot(178), before);
    // A negative square side: 15 and the side stays.
    GeometryScreen& square = show(G::Square);
    enterValue("2");
    typeKeys("-3"); // Ans−3, negative
    press(KeyRouter::kEnter);
    closeAlerts();
    EXPECT_EQ(slot(176), 2);
    EXPECT_EQ(slot(168), 4);
    (void)square;
}

// ---- Controls ----

TEST_F(GeometryScreens, SegmentsSwitchTheSubModeAndTheSlider)
{
    GeometryScreen& screen = show(G::Circle);
    EXPECT_TRUE(screen.segments().isVisible());
    EXPECT_EQ(screen.segments().title(2), "3-Pt");
    screen.segments().click(1);
    EXPECT_EQ(slot(G::kCircleModeSlot), 1);
    EXPECT_TRUE(screen.slider().isVisible());
    EXPECT_EQ(screen.model().fieldName(1), "∠A=");
    screen.segments().click(2);
    EXPECT_FALSE(screen.slider().isVisible());
    EXPECT_EQ(screen.model().numPoints(), 3);
    screen.segments().click(0);
    EXPECT_FALSE(screen.slider().isVisible());
    GeometryScreen& square = show(G::Square);
    EXPECT_FALSE(square.segments().isVisible());
    GeometryScreen& line = show(G::Line);
    EXPECT_EQ(line.segments().title(1), "Pt&Line");
}

TEST_F(GeometryScreens, TheUnitCircleSliderSnapsToThreeQuarterPi)
{
    GeometryScreen& screen = show(G::UnitCircle);
    ASSERT_TRUE(screen.slider().isVisible());
    screen.trackSlider(3 * kPi / 4 + 0.05 * kPi / 4);
    EXPECT_EQ(slot(180), 3 * kPi / 4);
    EXPECT_NEAR(slot(210), std::sqrt(0.5), 1e-12);
    EXPECT_EQ(calc.formatReal(screen.model().fieldValue(0)), "135");
    // Dragging the slider itself stores its value.
    screen.slider().setValue(screen.slider().maximum() / 2);
    EXPECT_NEAR(slot(180), 6.2831855 / 2, 1e-3);
}

TEST_F(GeometryScreens, ZoomFitsWithMarginsAndEqualScalesAndRepeatsWhileHeld)
{
    GeometryScreen& screen = show(G::Rectangle);
    put(177, 12);
    put(178, 3);
    screen.model().setCurrentField(2);
    screen.solveButton().click();
    const Calculator::Bounds fit = screen.window();
    const double w = screen.graphView().width(), h = screen.graphView().height();
    EXPECT_NEAR((fit.xMax - fit.xMin) / w, (fit.yMax - fit.yMin) / h, 1e-12);
    EXPECT_LE(fit.xMin, -1 + 1e-12);
    EXPECT_GE(fit.xMax, 13 - 1e-12);
    EXPECT_LE(fit.yMin, -0.25 + 1e-12);
    // Held: at once, then every tick; the first tick switches to the fast repeat.
    screen.zoomDown(true);
    EXPECT_NEAR(screen.window().xMax - screen.window().xMin, (fit.xMax - fit.xMin) / 1.1, 1e-9);
    EXPECT_TRUE(screen.repeatTimer().isActive());
    EXPECT_EQ(screen.repeatTimer().interval(), 500);
    screen.zoomTick();
    EXPECT_EQ(screen.repeatTimer().interval(), 50);
    screen.zoomTick();
    EXPECT_NEAR(screen.window().xMax - screen.window().xMin, (fit.xMax - fit.xMin) / (1.1 * 1.1 * 1.1), 1e-9);
    screen.zoomUp();
    EXPECT_FALSE(screen.repeatTimer().isActive());
    screen.zoomDown(false);
    screen.zoomUp();
    EXPECT_NEAR(screen.window().xMax - screen.window().xMin, (fit.xMax - fit.xMin) / (1.1 * 1.1), 1e-9);
}

TEST_F(GeometryScreens, TheZoomButtonsShowTheLibrarysZoomImagesAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        GeometryScreen& screen = show(G::Circle);
        QCoreApplication::processEvents();
        for (ImageButton* button : {&screen.plusButton(), &screen.minusButton()}) {
            const std::string name = button == &screen.plusButton() ? "zPlus" : "zMinus";
            EXPECT_EQ(button->imageName(), name) << tablet;
            EXPECT_EQ(button->text(), QString()) << tablet;
            EXPECT_EQ(button->size(), QSize(34, 32)) << tablet;
            EXPECT_TRUE(screen.graphView().geometry().contains(button->geometry())) << tablet;
            const ImageMatch match = matchImage(button->grab().toImage(), VImageDraw::vImageDraw().getImage(name, 1));
            EXPECT_GT(match.opaque, 60) << name << " " << tablet;
            EXPECT_LT(match.differing, match.opaque / 20) << name << " " << tablet;
        }
    }
}

TEST_F(GeometryScreens, OnATabletTheFigureMenuIsAPopoverAtItsButton)
{
    GeometryScreen& phone = show(G::Square);
    phone.menuButton().click();
    ASSERT_TRUE(phone.geometryMenu());
    EXPECT_FALSE(phone.geometryMenu()->isWindow());
    EXPECT_EQ(phone.geometryMenu()->geometry(), phone.rect());
    phone.geometryMenu()->cancelButton().click();

    becomeTablet();
    GeometryScreen& screen = show(G::Square);
    screen.menuButton().click();
    GeometryMenu* menu = screen.geometryMenu();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->windowType(), Qt::Popup);
    EXPECT_EQ(menu->size(), QSize(400, screen.height() - 54));
    // Right above its button on the bottom bar, the screen's graph and keypad around it.
    const QRect button(screen.menuButton().mapToGlobal(QPoint(0, 0)), screen.menuButton().size());
    EXPECT_EQ(menu->geometry().bottom() + 1, button.top());
    EXPECT_EQ(menu->geometry().left(), button.left());
    EXPECT_TRUE(screen.isVisible());
    // A tap on a row picks it and closes the popover.
    clickAt(*menu, menu->rowCenter(6).toPoint());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(screen.model().figure(), G::Circle);
}

TEST_F(GeometryScreens, TheMenuPicksAFigureAndShowsItsHelpPage)
{
    GeometryScreen& screen = show(G::Square);
    GeometryMenu& menu = screen.showGeometryMenu();
    EXPECT_TRUE(menu.isVisible());
    menu.showHelp(4);
    EXPECT_TRUE(menu.helpShown());
    EXPECT_EQ(menu.helpPage().functionName(), "Triangle…");
    menu.pickRow(0); // not while the page shows
    EXPECT_EQ(screen.model().figure(), G::Square);
    menu.cancelButton().click(); // Back
    EXPECT_FALSE(menu.helpShown());
    EXPECT_TRUE(menu.isVisible());
    menu.showHelp(7);
    screen.showGeometryMenu(); // opened again: the list
    EXPECT_FALSE(menu.helpShown());
    menu.pickRow(6);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(screen.model().figure(), G::Circle);
    screen.showGeometryMenu();
    menu.cancelButton().click();
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(screen.model().figure(), G::Circle);
}

TEST_F(GeometryScreens, DoneQuitAndEscapeCloseTheScreen)
{
    GeometryScreen& screen = show(G::Polygon);
    screen.doneButton().click();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    show(G::Polygon);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&screen, &escape);
    EXPECT_FALSE(screen.isVisible());
    // Opened without a figure it shows the last one.
    root->showGeometry(0);
    EXPECT_EQ(screen.model().figure(), G::Polygon);
}

// ---- The panel and the sketch ----

TEST_F(GeometryScreens, ThePanelMapsTapsToFieldsAndShowsUnknownsBare)
{
    GeometryScreen& screen = show(G::Arc);
    GeometryView& panel = screen.panel();
    const double L = panel.leading();
    EXPECT_EQ(panel.fieldAt({200, L / 2}), 0); // the title row right of the marker
    EXPECT_EQ(panel.fieldAt({20, L / 2}), -1); // the marker
    EXPECT_EQ(panel.fieldAt({20, 2.5 * L}), 1);
    EXPECT_EQ(panel.fieldAt({20, 40 * L}), 3); // below the last: the last
    const int before = calc.angleFormat();
    panel.tapAt({20, L / 2});
    EXPECT_NE(calc.angleFormat(), before);
    calc.setAngleFormat(0);
    // Unknown values show their label alone; a long typing wraps every 28 characters.
    const QImage bare = panel.grab().toImage();
    typeKeys("1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1");
    QCoreApplication::processEvents();
    const QImage typed = panel.grab().toImage();
    const double dpr = typed.devicePixelRatio();
    const auto inkIn = [&](const QImage& image, double top) {
        int ink = 0;
        for (int y = static_cast<int>(top * dpr); y < static_cast<int>((top + L) * dpr); ++y)
            for (int x = static_cast<int>(60 * dpr); x < image.width() / 2; ++x)
                ink += image.pixelColor(x, y).lightness() < 128;
        return ink;
    };
    EXPECT_EQ(inkIn(bare, L), 0);  // "R=" and nothing after it
    EXPECT_GT(inkIn(typed, L), 0); // the typing
    EXPECT_GT(inkIn(typed, 2 * L), 0); // its second row
}

// A long value typed into a triangle's side on the phone, where the results stand beside
// the fields: it wraps within the fields' half, clear of "perim=" and "area=" as they were,
// and the panel grows by its rows so that ∠C= shows under it; entered, the panel shrinks
// back.
TEST_F(GeometryScreens, ALongValueBeingTypedWrapsInItsColumnAndThePanelGrows)
{
    GeometryScreen& screen = show(G::Triangle);
    GeometryView& panel = screen.panel();
    const double L = panel.leading();
    const int bareHeight = panel.height();
    QCoreApplication::processEvents();
    const QImage bare = panel.grab().toImage();
    typeKeys("1.234567890123456789012345678");
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.height(), bareHeight + static_cast<int>(L)) << "a row more";
    const QImage typed = panel.grab().toImage();
    const double dpr = typed.devicePixelRatio();
    int changedRight = 0, lastRow = 0;
    for (int y = static_cast<int>(L * dpr); y < static_cast<int>(3 * L * dpr); ++y)
        for (int x = typed.width() / 2; x < typed.width(); ++x)
            changedRight += typed.pixel(x, y) != bare.pixel(x, y);
    // ∠C=, the sixth field, on the eighth row: under the banner and the two rows typed.
    for (int y = static_cast<int>(7 * L * dpr); y < static_cast<int>(8 * L * dpr); ++y)
        for (int x = 0; x < typed.width() / 4; ++x)
            lastRow += typed.pixelColor(x, y).lightness() < 128;
    // A gutter of clear points between the value's rows and the results.
    int gutter = 0;
    for (int y = static_cast<int>(L * dpr); y < static_cast<int>(3 * L * dpr); ++y)
        for (int x = static_cast<int>((panel.width() / 2.0 - 3) * dpr); x < static_cast<int>((panel.width() / 2.0 + 4) * dpr); ++x)
            gutter += typed.pixelColor(x, y).lightness() < 128;
    EXPECT_EQ(gutter, 0) << "the value touches the results";
    EXPECT_EQ(changedRight, 0) << "the results' half as it was";
    EXPECT_GT(lastRow, 0) << "the last field in the panel";
    press(KeyRouter::kEnter);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.height(), bareHeight);
}

TEST_F(GeometryScreens, ThePointTableShowsZeroCoordinatesAsZero)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        for (int s = 160; s < 168; ++s)
            put(s, 0);
        put(162, 3);
        put(163, 4);
        GeometryScreen& screen = show(G::Line);
        GeometryView& panel = screen.panel();
        calc.cursorVisible = false;
        QCoreApplication::processEvents();
        const QImage picture = panel.grab().toImage();
        const double dpr = picture.devicePixelRatio(), L = panel.leading(), W = panel.width();
        const double nameRight = 2 * L, middle = (nameRight + W - 1) / 2;
        // Ink in a cell of the table, inside its grid lines.
        const auto ink = [&](int row, bool y) {
            const double left = y ? middle : nameRight, right = y ? W - 1 : middle, top = 2 * L - 3 + row * L;
            int dark = 0;
            for (int py = static_cast<int>((top + 2) * dpr); py < static_cast<int>((top + L - 2) * dpr); ++py)
                for (int px = static_cast<int>((left + 2) * dpr); px < static_cast<int>((right - 2) * dpr); ++px)
                    dark += picture.pixelColor(px, py).lightness() < 128;
            return dark;
        };
        // P1 = (0, 0): both cells show "0", as P2's show 3 and 4.
        for (int row : {0, 1})
            for (bool y : {false, true})
                EXPECT_GT(ink(row, y), 0) << tablet << " row " << row << " y " << y;
        screen.done();
    }
}

TEST_F(GeometryScreens, ASlopeThroughTwoEqualPointsShowsNothingRatherThanNan)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        for (int s = 160; s < 168; ++s)
            put(s, 0);
        GeometryScreen& screen = show(G::Line);
        GeometryView& panel = screen.panel();
        calc.cursorVisible = false;
        QCoreApplication::processEvents();
        const QImage picture = panel.grab().toImage();
        const double dpr = picture.devicePixelRatio(), L = panel.leading();
        // The slope's line under the two points' rows: "m=" and nothing after it.
        int dark = 0;
        for (int py = static_cast<int>(4 * L * dpr); py < static_cast<int>((5 * L - 1) * dpr); ++py)
            for (int px = static_cast<int>(3 * L * dpr); px < static_cast<int>(8 * L * dpr); ++px)
                dark += picture.pixelColor(px, py).lightness() < 128;
        EXPECT_EQ(dark, 0) << tablet;
        screen.done();
    }
}

TEST_F(GeometryScreens, BothHalvesOfTheAngleUnitReadOnTheBanner)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        GeometryScreen& screen = show(G::Triangle);
        GeometryView& panel = screen.panel();
        ASSERT_TRUE(panel.showAngleMode());
        const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", panel.fontSize()));
        const double deg = metrics.horizontalAdvance(QStringLiteral("Deg")), slash = metrics.horizontalAdvance(QStringLiteral("/"));
        for (const int format : {0, 1}) {
            calc.setAngleFormat(format);
            panel.update();
            QCoreApplication::processEvents();
            const QImage picture = panel.grab().toImage();
            const double dpr = picture.devicePixelRatio(), L = panel.leading();
            const auto area = [&](double x, double w) {
                return QRect(static_cast<int>(x * dpr), static_cast<int>(3 * dpr), static_cast<int>(w * dpr), static_cast<int>((L - 4) * dpr));
            };
            const double degrees = textContrast(picture, area(3, deg)), radians = textContrast(picture, area(3 + deg + slash, deg));
            const double active = format == 0 ? degrees : radians, inactive = format == 0 ? radians : degrees;
            EXPECT_GE(inactive, 3.0) << tablet << " " << format;
            EXPECT_GT(active, inactive + 1) << tablet << " " << format;
        }
        calc.setAngleFormat(0);
        screen.done();
    }
}

// The corner names beside the triangle and the sketch of its parts stand clear of the
// axes' numbers, whatever the triangle's shape, at both sizes.
TEST_F(GeometryScreens, TheCornerNamesAndTheSketchKeepClearOfTheAxisNumbers)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        GeometryScreen& screen = show(G::Triangle);
        const struct {
            double a, b, c;
        } triangles[] = {{3, 4, 5}, {5, 5, 5}, {4, 3, 5}, {2, 2, 3.5}, {12, 9, 15}};
        for (const auto& t : triangles) {
            screen.clear();
            put(177, t.a);
            put(178, t.b);
            put(179, t.c);
            screen.solve();
            ASSERT_GT(slot(180), 0);
            const std::vector<QRectF> numbers = axisNumbers(screen);
            ASSERT_GT(numbers.size(), 2u);
            int corners = 0;
            for (const PlotGeometry::Label& name : screen.plot().labels()) {
                if (name.text != "A" && name.text != "B" && name.text != "C")
                    continue;
                ++corners;
                for (const QRectF& number : numbers)
                    EXPECT_FALSE(name.rect.intersects(number)) << name.text.toStdString() << " on a number, triangle " << t.a << " "
                                                               << t.b << " " << t.c << " tablet " << tablet;
            }
            EXPECT_EQ(corners, 3);
            const QRectF sketch = screen.triangleView().geometry().translated(-screen.graphView().pos());
            for (const QRectF& number : numbers)
                EXPECT_FALSE(sketch.intersects(number)) << "the sketch on a number, tablet " << tablet;
        }
        screen.done();
    }
}

// Every name a figure writes (sides, corners, points, radii) keeps clear of the axes'
// numbers and ticks, for each figure at its usual values and the triangles of every shape, at both
// sizes: on a tablet the base's "c" once stood on the "2.5" below it.
TEST_F(GeometryScreens, EveryNameKeepsClearOfTheAxisNumbers)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const auto check = [&](std::uint32_t figure, int mode, const std::vector<std::pair<int, double>>& values) {
            GeometryScreen& screen = show(figure);
            typeFigure(screen, mode, values);
            std::vector<QRectF> numbers = axisNumbers(screen);
            EXPECT_GT(numbers.size(), 2u);
            // The ticks too: a name crossed by one is as hard to read.
            for (const QLineF& tick : screen.graphView().labels().ticks)
                numbers.push_back(QRectF(tick.p1(), tick.p2()).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
            EXPECT_FALSE(screen.plot().labels().empty()) << figure;
            for (const PlotGeometry::Label& name : screen.plot().labels())
                for (const QRectF& number : numbers)
                    EXPECT_FALSE(name.rect.intersects(number))
                        << "\"" << name.text.toStdString() << "\" on a number, figure " << std::hex << figure << std::dec
                        << " mode " << mode << " tablet " << tablet;
            screen.done();
        };
        for (const auto& [a, b, c] : {std::tuple{3.0, 4.0, 5.0}, {5.0, 5.0, 5.0}, {4.0, 3.0, 5.0}, {2.0, 2.0, 3.5},
                 {12.0, 9.0, 15.0}, {3.0, 5.0, 4.0}, {6.0, 6.0, 2.0}})
            check(G::Triangle, -1, {{0, a}, {1, b}, {2, c}});
        check(G::Square, -1, {{0, 2}});
        check(G::Rectangle, -1, {{0, 4}, {1, 2}, {2, 0}});
        check(G::Parallelogram, -1, {{3, 45}, {0, 4}, {1, 2}});
        check(G::Polygon, -1, {{0, 5}, {1, 2}});
        check(G::Polygon, -1, {{0, 4}, {1, 2}});
        check(G::Polygon, -1, {{0, 6}, {1, 3}});
        check(G::Circle, 0, {{0, 2}});
        check(G::Circle, 1, {{1, 90}, {0, 2}});
        check(G::Arc, -1, {{0, 2}, {1, 90}});
        check(G::Ellipse, -1, {{0, 3}, {1, 1}});
    }
}

TEST_F(GeometryScreens, TheTriangleSketchShowsTheKnownsInGreen)
{
    TriangleView view;
    view.resize(100, 60);
    const auto picture = [&](int mask) {
        view.setKnowns(mask);
        return view.grab().toImage();
    };
    const auto colourNear = [](const QImage& image, QRect area, bool green) {
        const double dpr = image.devicePixelRatio();
        for (int y = static_cast<int>(area.top() * dpr); y <= static_cast<int>(area.bottom() * dpr); ++y)
            for (int x = static_cast<int>(area.left() * dpr); x <= static_cast<int>(area.right() * dpr); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (qAlpha(image.pixel(x, y)) > 100 && (green ? greenish(c) : c.lightness() < 80))
                    return true;
            }
        return false;
    };
    const QImage sss = picture(7);
    EXPECT_TRUE(colourNear(sss, QRect(40, 52, 16, 4), true));   // side c
    EXPECT_TRUE(colourNear(sss, QRect(82, 24, 6, 6), true));    // side a
    EXPECT_TRUE(colourNear(sss, QRect(12, 42, 8, 10), false));  // A in black
    const QImage none = picture(0);
    EXPECT_FALSE(colourNear(none, QRect(0, 0, 100, 60), true));
}

// ---- Drawings ----

// Each figure drawn for values that fit: its inside green, a point well outside not, at the
// phone's and the tablet's size.
TEST_F(GeometryScreens, EveryFigureIsDrawnToScaleAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const auto check = [&](std::uint32_t figure, auto setUp, double inX, double inY, double outX, double outY) {
            GeometryScreen& screen = show(figure);
            setUp(screen);
            const Graph g = graph(screen);
            EXPECT_TRUE(greenish(g.at(inX, inY))) << figure << " tablet " << tablet;
            EXPECT_FALSE(greenish(g.at(outX, outY))) << figure << " tablet " << tablet;
            screen.done();
        };
        const auto typed = [](int mode, std::vector<std::pair<int, double>> values) {
            return [mode, values](GeometryScreen& screen) { typeFigure(screen, mode, values); };
        };
        check(G::Square, typed(-1, {{0, 2}}), 1, 1, 2.1, 0.3);
        check(G::Rectangle, typed(-1, {{0, 4}, {1, 2}, {2, 0}}), 3, 1, 1, 3);
        check(G::Parallelogram, typed(-1, {{3, 45}, {0, 4}, {1, 2}}), 3, 1, 0.3, 1.7);
        check(G::Triangle, typed(-1, {{0, 3}, {1, 4}, {2, 5}}), 2, 1, 0.5, 2.5);
        check(G::Polygon, typed(-1, {{0, 5}, {1, 2}}), 0.3, -0.3, 2.2, 2.2);
        check(G::Circle, typed(0, {{0, 2}}), 0.4, -0.7, 1.9, 1.9);
        check(G::Circle, typed(1, {{1, 90}, {0, 2}}), 0.7, 0.7, -0.7, -0.7);
        check(G::Circle, typed(2, {{0, 0}, {1, 0}, {2, 2}, {3, 0}, {4, 0}, {5, 2}}), 0.6, 1.8, 2.5, 2.5);
        check(G::Arc, typed(-1, {{0, 2}, {1, 90}}), 1.3, 1.3, 0.5, 0.5);
        check(G::Ellipse, typed(-1, {{0, 3}, {1, 1}}), 2.5, 0.2, 2.5, 0.9);
        // Lines and the unit circle have no area: their strokes are sampled.
        {
            GeometryScreen& screen = show(G::Line);
            typed(0, {{0, 0}, {1, 0}, {2, 2}, {3, 2}})(screen);
            const Graph g = graph(screen);
            EXPECT_TRUE(greenish(g.at(1, 1))) << tablet;
            EXPECT_FALSE(greenish(g.at(1, 0.5))) << tablet;
            screen.done();
        }
        {
            GeometryScreen& screen = show(G::UnitCircle);
            typed(-1, {{0, 90}})(screen);
            const Graph g = graph(screen);
            const QColor sine = g.at(kPi / 6, 0.5);
            EXPECT_GT(sine.red(), 150) << tablet; // the sine curve in red
            EXPECT_TRUE(greenish(g.at(std::cos(kPi / 4), std::sin(kPi / 4)))) << tablet; // the arc
            screen.done();
        }
    }
}

// A = 30°, a = 4, b = 6 fits two triangles: Solve reports it, stores the first and then
// alternates them; the one not shown is drawn as a dashed outline only.
TEST_F(GeometryScreens, TheSecondSSATriangleIsDrawnDashed)
{
    GeometryScreen& screen = show(G::Triangle);
    screen.clear();
    for (const auto& [field, value] : {std::pair{3, 30.0}, std::pair{0, 4.0}, std::pair{1, 6.0}}) {
        screen.model().setCurrentField(field);
        screen.model().enterValue(value);
    }
    screen.solve();
    EXPECT_EQ(screen.lastError(), ErrGeom2Triangle);
    closeAlerts();
    EXPECT_EQ(slot(G::kTwoSolutionsSlot), 1);
    EXPECT_TRUE(screen.solveButton().isEnabled());
    screen.solveButton().click();
    EXPECT_EQ(screen.model().title(), "SSA(2 of 2)");
    const double small = slot(179), big = slot(185);
    ASSERT_LT(small, big);
    const double cx = 6 * std::cos(kPi / 6), cy = 3;
    const Graph g = graph(screen);
    // The big triangle's right side, dashed: some of it is drawn.
    int inked = 0;
    for (double f = 0.1; f < 0.9; f += 0.02)
        inked += greenish(g.at(big + (cx - big) * f, cy * f));
    EXPECT_GT(inked, 5);
    // Inside the big triangle but outside the one shown: not filled.
    EXPECT_FALSE(greenish(g.at(6, 0.5)));
    EXPECT_TRUE(greenish(g.at(2.5, 1))); // inside the one shown
}

// What a drawing records (its paint commands) stays bounded for any typed value: a huge
// number of sides, a huge angle, a tiny or huge radius.
TEST_F(GeometryScreens, HugeValuesDrawInBoundedWork)
{
    PlotGeometry plot(calc);
    plot.color = VQColor::colorR(0, 1, 0, 1);
    plot.style = 2;
    const GraphTransform t{40, 0, 0, -40, 200, 200};
    const auto recorded = [&](std::uint32_t figure) {
        plot.geometryFunction = figure;
        QPicture picture;
        QPainter painter(&picture);
        plot.drawRect(QRectF(0, 0, 400, 400), painter, t, 1);
        painter.end();
        return picture.size();
    };
    put(191, 2);
    put(190, 1e9);
    EXPECT_LT(recorded(G::Polygon), 200000u);
    put(190, 1e300);
    EXPECT_LT(recorded(G::Polygon), 200000u);
    put(180, 1e9);
    EXPECT_LT(recorded(G::UnitCircle), 200000u);
    put(180, 2);
    put(191, 1e-9);
    EXPECT_GT(recorded(G::Arc), 0u); // a tiny radius still draws its few steps
    put(191, 1e12);
    EXPECT_LT(recorded(G::Arc), 200000u);
    put(G::kCircleModeSlot, 1);
    put(207, 0);
    put(208, 0);
    put(191, 1e-12);
    EXPECT_GT(recorded(G::Circle), 0u);
}

} // namespace
} // namespace orvenda::test
