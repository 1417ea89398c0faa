// The graph screen, its zoom menu, the WINDOW and TABLE SETUP forms and the function table,
// as the app registers them, at fixed sizes.

#include "YEqScreenSupport.h"
#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/VQTableScrollView.h"
#include "drawing/VImageDraw.h"
#include "input/KeyTables.h"
#include "input/SegmentedControl.h"
#include "graph/AxisLabels.h"
#include "graph/GraphText.h"
#include "graph/GraphView.h"
#include "pretty/FontMap.h"
#include "graphui/FormatScreen.h"
#include "graphui/GraphScreenController.h"
#include "graphui/TableScreen.h"
#include "graphui/TableSetScreen.h"
#include "graphui/TableView.h"
#include "graphui/WindowScreen.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScroller>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda::test {
namespace {

class GraphScreens : public YEqScreens {
protected:
    GraphScreens() { registerScreens(*root); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Graph, [this, &window](QWidget* p) {
            auto* graph = new GraphScreenController(calc, shell, p);
            graph->setOnDone([&window] { window.graphDone(); });
            return graph;
        });
        window.screens().set(screens::Window, [this](QWidget* p) { return new WindowScreen(calc, shell, p); });
        window.screens().set(screens::TableSetup, [this](QWidget* p) { return new TableSetScreen(calc, shell, p); });
        window.screens().set(screens::Table, [this](QWidget* p) { return new TableScreen(calc, shell, p); });
        window.screens().set(screens::Format, [this](QWidget* p) { return new FormatScreen(calc, shell, p); });
    }
    template <class Screen>
    Screen& show(int id)
    {
        router().showScreen(id);
        return *static_cast<Screen*>(router().controller(id));
    }
    GraphScreenController& showGraph()
    {
        root->showGraph(true);
        return *static_cast<GraphScreenController*>(root->fullScreen(screens::Graph));
    }
    EntryModel& entry() { return *dynamic_cast<EntryModel*>(calc.entryManager.get()); }
    void key(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&target, &press);
    }
    void window(double x0, double x1, double y0, double y1)
    {
        calc.locked()->vars[38] = x0;
        calc.locked()->vars[39] = x1;
        calc.locked()->vars[40] = y0;
        calc.locked()->vars[41] = y1;
    }
};

// ---- The templated forms ----

TEST_F(GraphScreens, TheWindowFormFollowsTheGraphMode)
{
    struct Case {
        int mode;
        std::vector<std::string> labels;
        std::vector<int> slotNumbers;
    };
    const std::vector<Case> cases{
        {0, {"Xmin=", "Xmax=", "Xscl=", "Ymin=", "Ymax=", "Yscl="}, {38, 39, 30, 40, 41, 31}},
        {1, {"Tmin=", "Tmax=", "Tstep=", "Xmin=", "Xmax=", "Ymin=", "Ymax="}, {42, 43, 62, 38, 39, 40, 41}},
        {3, {"ηMin=", "ηMax=", "PlotStart=", "Xmin=", "Xmax=", "Ymin=", "Ymax="}, {59, 57, 55, 38, 39, 40, 41}},
        {5, {}, {}},
    };
    for (const Case& c : cases) {
        const auto fields = WindowScreen::fieldsFor(calc, c.mode);
        ASSERT_EQ(fields.size(), c.labels.size()) << c.mode;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].label, c.labels[i]);
            EXPECT_EQ(fields[i].tag, c.slotNumbers[i]);
            EXPECT_EQ(fields[i].order, static_cast<int>(i));
        }
    }
}

// Typed ahead: the keys after each ENTER come before any queued work has run.
TEST_F(GraphScreens, EnterStoresEachFieldAtOnceSoKeysTypedAfterItGoToTheNext)
{
    WindowScreen& screen = show<WindowScreen>(screens::Window);
    int synced = 0;
    calc.notificationCenter().addObserver(this, VQSyncWindowVars, [&synced](const Notification&) { ++synced; });
    for (const char* typed : {"-5", "5"}) {
        typeKeys(typed);
        shell.keys().processKeyOp(KeyTables::kEnter);
    }
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    calc.notificationCenter().removeObserver(this);
    EXPECT_EQ(calc.locked()->vars[38], std::complex<double>(-5, 0));
    EXPECT_EQ(calc.locked()->vars[39], std::complex<double>(5, 0));
    EXPECT_EQ(synced, 2);
    EXPECT_EQ(screen.form().fields()[static_cast<std::size_t>(screen.form().currentField())].label, "Xscl=");
}

TEST_F(GraphScreens, DownSkipsReadOnlyFieldsAndAFailedCommitKeepsFieldAndText)
{
    VQTemplateView form(calc, shell);
    form.setFields({VQTemplateField::fieldValue(1, 0, 0, 0, 0, "A=", 1), VQTemplateField::fieldValue(2, 0, -1, 17, 1, "B=", 2),
                    VQTemplateField::fieldValue(3, 0, 1, 0, 2, "C=", 3)});
    EXPECT_EQ(form.tabCount(), 2);
    form.cursorDown();
    EXPECT_EQ(form.currentField(), 2);
    // An answer from before; then a commit that fails to evaluate.
    calc.ans = VQValue(7.0);
    entry().forceOps(ops("1/0"));
    form.cursorUp();
    while (QMessageBox* box = openAlert())
        box->done(0);
    EXPECT_EQ(form.currentField(), 2);
    EXPECT_EQ(form.fields()[2].value, 3);
    EXPECT_EQ(calc.stringFromOps(entry().entryOps()), "1/0");
}

TEST_F(GraphScreens, TableSetupWritesTheSlotsAndKeepsThemWhenAsking)
{
    TableSetScreen& screen = show<TableSetScreen>(screens::TableSetup);
    calc.ans = VQValue(-3.0);
    screen.form().enter();
    calc.ans = VQValue(0.0);
    screen.form().enter();
    EXPECT_EQ(calc.locked()->vars[54], std::complex<double>(-3, 0));
    EXPECT_EQ(calc.locked()->vars[61], std::complex<double>(0, 0));
    screen.autoAsk(1);
    EXPECT_EQ(calc.locked()->tableMode, 0);
    screen.autoAsk(0);
    EXPECT_EQ(calc.locked()->tableMode, 1);
    EXPECT_EQ(calc.locked()->vars[54], std::complex<double>(-3, 0));
}

// ---- The FORMAT screen ----

// The segment in force is the filled one, as on the mode screen (a grey fill, the other
// segment white): Auto exactly when the table is automatic.
TEST_F(GraphScreens, TableSetupFillsTheSegmentOfTheTablesMode)
{
    for (const int mode : {1, 0}) {
        calc.locked()->tableMode = mode;
        auto& screen = show<TableSetScreen>(screens::TableSetup);
        screen.updateDisplay();
        const SegmentedControl& selector = screen.selector();
        const int selected = mode == 1 ? 0 : 1;
        EXPECT_EQ(selector.selected(), selected);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QImage picture = root->grab().toImage();
        const QRect area(selector.mapTo(root.get(), QPoint()), selector.size());
        // A segment's fill beside its title, left of the centred text.
        const auto half = [&](int segment) {
            return picture.pixelColor(area.left() + segment * area.width() / 2 + 8, area.center().y());
        };
        EXPECT_LT(luminance(half(selected)), luminance(half(1 - selected))) << "mode " << mode;
        EXPECT_GT(luminance(half(1 - selected)), 0.9) << "mode " << mode;
    }
}

// In automatic mode the independent column's header shows "Auto X" and, apart from it, the
// ΔTbl box whose value reads in black on the box.
TEST_F(GraphScreens, TheAutoHeadersDeltaBoxReads)
{
    calc.locked()->tableMode = 1;
    calc.locked()->vars[61] = 0.1;
    auto& table = show<TableScreen>(screens::Table);
    table.updateDisplay();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QImage picture = root->grab().toImage();
    const TableView& view = table.tableView();
    const QPoint origin = view.mapTo(root.get(), QPoint());
    const int w = static_cast<int>(view.colWidth()), h = static_cast<int>(view.colHeadHeight());
    // The box fills the cell's right part: its text against it.
    const QRect box(origin.x() + w * 6 / 10, origin.y() + 4, w * 4 / 10 - 3, h - 8);
    EXPECT_GE(textContrast(picture, box), 4.5);
}

TEST_F(GraphScreens, EachFormatSwitchFlipsItsOwnSettingAndShowsIt)
{
    FormatScreen& screen = show<FormatScreen>(screens::Format);
    struct Case {
        int tag;
        bool Calculator::State::*setting;
        FormatScreen::Switch button;
    };
    const std::vector<Case> cases{{0, &Calculator::State::drawGrid, FormatScreen::Grid}, {1, &Calculator::State::drawAxes, FormatScreen::Axes},
        {2, &Calculator::State::drawLabel, FormatScreen::Label}, {3, &Calculator::State::drawExpr, FormatScreen::Expr},
        {4, &Calculator::State::drawCoord, FormatScreen::Coord}, {5, &Calculator::State::drawDyDx, FormatScreen::DyDx},
        {9, &Calculator::State::drawGrid, FormatScreen::Grid}};
    const std::vector<bool Calculator::State::*> all{&Calculator::State::drawGrid, &Calculator::State::drawAxes, &Calculator::State::drawLabel,
        &Calculator::State::drawExpr, &Calculator::State::drawCoord, &Calculator::State::drawDyDx};
    for (const Case& c : cases) {
        std::vector<bool> before;
        for (auto member : all)
            before.push_back((*calc.locked()).*member);
        screen.flipSwitch(c.tag);
        for (std::size_t i = 0; i < all.size(); ++i)
            EXPECT_EQ((*calc.locked()).*all[i], all[i] == c.setting ? !before[i] : before[i]) << c.tag << " " << i;
        EXPECT_EQ(screen.switchButton(c.button).isChecked(), (*calc.locked()).*c.setting) << c.tag;
    }
}

// Every switch and selector of the FORMAT screen is on the display without scrolling, and
// its label and the title read against the screen's colour, on the phone and the tablet.
TEST_F(GraphScreens, TheFormatScreenShowsEveryControlWithReadableLabels)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        auto& format = show<FormatScreen>(screens::Format);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QImage picture = root->grab().toImage();
        const QRect display = QRect(format.mapTo(root.get(), QPoint()), format.size());
        std::vector<const QWidget*> controls{&format.coordSelector(), &format.screenSplitSelector()};
        for (int tag = 0; tag < 6; ++tag)
            controls.push_back(&format.switchButton(FormatScreen::Switch(tag)));
        for (const QWidget* control : controls)
            EXPECT_TRUE(display.contains(QRect(control->mapTo(root.get(), QPoint()), control->size())))
                << (tablet ? "tablet " : "phone ") << control->metaObject()->className();
        int labels = 0;
        for (const QLabel* label : format.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            ++labels;
            const QRect area(label->mapTo(root.get(), QPoint()), label->size());
            EXPECT_TRUE(display.contains(area)) << label->text().toStdString();
            EXPECT_GE(textContrast(picture, area), 4.5) << (tablet ? "tablet " : "phone ") << label->text().toStdString();
        }
        // The title, six switch labels, Read-outs and Screen.
        EXPECT_EQ(labels, 9) << (tablet ? "tablet" : "phone");
    }
}

TEST_F(GraphScreens, FormatSelectorsWriteOnlyTheirKnownSegments)
{
    FormatScreen& screen = show<FormatScreen>(screens::Format);
    screen.coord(1);
    screen.coord(2);
    EXPECT_EQ(calc.locked()->graphCoordFormat, 1);
    screen.sequence(4);
    screen.sequence(5);
    EXPECT_EQ(calc.locked()->graphSequenceFormat, 4);
    screen.splitScreen(2);
    EXPECT_EQ(calc.locked()->screenSplit, 1);
    screen.splitScreen(0);
    EXPECT_EQ(calc.locked()->screenSplit, 0);
    // A stored format with no segment leaves the selector where it was.
    screen.updateDisplay();
    calc.locked()->graphCoordFormat = 7;
    screen.updateDisplay();
    EXPECT_EQ(screen.coordSelector().selected(), 1);
    for (int mode = 0; mode <= 4; ++mode) {
        calc.setGraphMode(mode);
        screen.updateDisplay();
        EXPECT_EQ(screen.sequenceShown(), mode == 3) << mode;
    }
}

TEST_F(GraphScreens, TheGridColourPickerStartsOnTheGridColourAndChangesOnlyIt)
{
    struct Picker : FormatScreen::Delegate {
        std::optional<VQColor> start;
        int kind = -1;
        void pickColor(const VQColor& color, FormatScreen&, int pickerKind) override
        {
            start = color;
            kind = pickerKind;
        }
    } picker;
    FormatScreen& screen = show<FormatScreen>(screens::Format);
    screen.setDelegate(&picker);
    calc.locked()->gridColor = VQColor::colorR(0.25, 0.5, 0.75, 1);
    calc.locked()->axesColor = VQColor::colorR(0, 0, 0, 1);
    calc.locked()->backgroundColor = VQColor::colorR(1, 1, 1, 1);
    screen.chooseGridColor();
    ASSERT_TRUE(picker.start);
    EXPECT_EQ(picker.start->g(), 0.5);
    EXPECT_EQ(picker.kind, 3);
    screen.changeColor(VQColor::colorR(1, 0, 0, 1));
    screen.setDelegate(nullptr);
    EXPECT_EQ(calc.locked()->gridColor.r(), 1);
    EXPECT_EQ(calc.locked()->gridColor.g(), 0);
    EXPECT_EQ(calc.locked()->axesColor.r(), 0);
    EXPECT_EQ(calc.locked()->backgroundColor.g(), 1);
}

// ---- The function table ----

TEST_F(GraphScreens, TheTableShowsUndefinedForSqrtOfMinusOne)
{
    eq->setYEqFunc(0x5E10, ops("√(X)"));
    calc.locked()->tableMode = 1;
    calc.locked()->vars[54] = -1;
    calc.locked()->vars[61] = 1;
    TableScreen& screen = show<TableScreen>(screens::Table);
    screen.cursorRight();
    ASSERT_EQ(screen.selectedEquation(), 0x5E10);
    const std::string shown = screen.entryView().overlayStr().value_or("");
    EXPECT_EQ(shown.find_first_of("0123456789"), std::string::npos) << shown;
    EXPECT_FALSE(shown.empty());
}

// Decimal steps no double holds exactly: the row that should be 0 is 0, whichever row the
// table was scrolled to first, above TblStart as below it, as seq( makes the same terms.
TEST_F(GraphScreens, AutomaticRowsOfDecimalStepsReachZero)
{
    eq->setYEqFunc(0x5E10, ops("X"));
    calc.locked()->tableMode = 1;
    calc.locked()->vars[61] = 0.1;
    TableScreen& screen = show<TableScreen>(screens::Table);
    const TableView& view = screen.tableView();
    for (const double start : {0.0, -0.3, 0.3}) {
        calc.locked()->vars[54] = start;
        const int zeroRow = static_cast<int>(std::lround(-start / 0.1));
        for (const int first : {zeroRow - 5, zeroRow - 1, zeroRow}) {
            const std::vector<double> values = view.rowValues(first, 8);
            EXPECT_EQ(values[std::size_t(zeroRow - first)], 0.0) << "TblStart " << start << " from row " << first;
        }
        EXPECT_EQ(view.autoValue(zeroRow), 0.0) << "TblStart " << start;
        EXPECT_EQ(calc.formatTable(view.autoValue(zeroRow)), "0");
    }
}

// Row r of the automatic table is TblStart + r·ΔTbl, above row 0 as below it: as drawn,
// and as the selected cell reads.
TEST_F(GraphScreens, AutomaticRowsStepByDeltaTbl)
{
    eq->setYEqFunc(0x5E10, ops("X²"));
    calc.locked()->tableMode = 1;
    calc.locked()->vars[54] = 2;
    calc.locked()->vars[61] = 0.5;
    TableScreen& screen = show<TableScreen>(screens::Table);
    const TableView& view = screen.tableView();
    for (const int first : {-4, 0, 3}) {
        const std::vector<double> values = view.rowValues(first, 8);
        ASSERT_EQ(values.size(), 8u);
        for (int i = 0; i < 8; ++i)
            EXPECT_DOUBLE_EQ(values[std::size_t(i)], 2 + 0.5 * (first + i)) << "row " << first + i;
    }
    screen.cursorDown();
    screen.cursorUp();
    for (int row = 0; row < 4; ++row) {
        ASSERT_EQ(view.cursorRow, row);
        const double x = 2 + 0.5 * row;
        EXPECT_EQ(view.autoValue(row), x);
        EXPECT_EQ(screen.entryView().overlayStr().value_or(""), calc.formatTable(x)) << "row " << row;
        screen.cursorRight();
        EXPECT_EQ(screen.entryView().overlayStr().value_or(""), calc.formatTable(x * x)) << "row " << row;
        screen.cursorLeft();
        screen.cursorDown();
    }
    for (int row = 4; row > -3; --row)
        screen.cursorUp();
    EXPECT_EQ(view.cursorRow, -3);
    EXPECT_EQ(screen.entryView().overlayStr().value_or(""), calc.formatTable(0.5));
}

TEST_F(GraphScreens, AnEquationNamingItselfOnItsHeaderIsRefused)
{
    eq->setYEqFunc(0x5E10, ops("X"));
    TableScreen& screen = show<TableScreen>(screens::Table);
    screen.selectHeader(1);
    entry().forceOps(ops("Y₁+1"));
    screen.doEnter();
    EXPECT_NE(openAlert(), nullptr);
    EXPECT_EQ(text(0x5E10), "X");
}

TEST_F(GraphScreens, TheAutomaticCursorStaysOnRowsTheContentHolds)
{
    calc.locked()->tableMode = 1;
    TableScreen& screen = show<TableScreen>(screens::Table);
    for (int i = 0; i < 1100; ++i)
        screen.cursorDown();
    // Phone rows of 15 under a 25-point header: (16000 − 25 − 15) / 15 → 1064.
    EXPECT_EQ(screen.tableView().cursorRow, 1064);
    screen.focus(false);
    EXPECT_EQ(calc.locked()->vars[54].real(), 1064 * calc.locked()->vars[61].real());
}

// Scrolled down past the bottom and up past the top, in both row models, on the phone and
// the tablet, the table shows whole rows under its header and the cursor's row in view;
// back from TABLE SETUP the automatic table starts at TblStart again.
TEST_F(GraphScreens, TheFirstRowUnderTheHeaderIsWhole)
{
    eq->setYEqFunc(0x5E10, ops("X²"));
    calc.locked()->vars[54] = -3;
    calc.locked()->vars[61] = 0.5;
    calc.locked()->tableList.removeAllValues();
    for (int i = 0; i < 60; ++i)
        calc.locked()->tableList.addReal(i, 15, -15);
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        for (const int mode : {1, 0}) {
            calc.locked()->tableMode = mode;
            router().showScreen(screens::Home);
            TableScreen& screen = show<TableScreen>(screens::Table);
            screen.updateDisplay();
            const TableView& view = screen.tableView();
            const double origin = mode == 1 ? TableView::kOrigin : 0;
            const std::string what = std::string(tablet ? "tablet" : "phone") + (mode == 1 ? " auto" : " ask");
            const auto check = [&](const std::string& when) {
                const double top = screen.scroller().contentOffset().y();
                const double rows = (top - origin) / view.rowHeight();
                EXPECT_NEAR(rows, std::round(rows), 1e-9) << what << " " << when;
                const QRectF cursor = view.rectForCol(0, view.cursorRow);
                EXPECT_GE(cursor.top(), top - 1e-9) << what << " " << when;
                EXPECT_LE(cursor.bottom(), top + screen.scroller().visibleSize().height() + 1e-9) << what << " " << when;
            };
            check("opened");
            for (int i = 1; i <= 40; ++i) {
                screen.cursorDown();
                check("down " + std::to_string(i));
            }
            for (int i = 1; i <= 45; ++i) {
                screen.cursorUp();
                check("up " + std::to_string(i));
            }
            router().showScreen(screens::TableSetup);
            show<TableScreen>(screens::Table);
            check("back from TABLE SETUP");
            EXPECT_EQ(view.cursorRow, 0) << what;
            if (mode == 1) {
                EXPECT_EQ(screen.scroller().contentOffset().y(), TableView::kOrigin) << what;
                EXPECT_EQ(calc.locked()->vars[54].real(), -3 + 0.5 * -5) << what;
                calc.locked()->vars[54] = -3;
            }
        }
    }
}

// A flick of the table coasts to a whole row under the header: the scroller's snap grid
// starts at the rows' origin (16000, which is no multiple of a row), not at 0. The flick is
// fed to the scroller with timestamps of the test's own, so its speed, and where it stops,
// never depend on the machine; where it stops is known at the release.
TEST_F(GraphScreens, AFlickOfTheAutomaticTableEndsOnARow)
{
    eq->setYEqFunc(0x5E10, ops("X²"));
    calc.locked()->tableMode = 1;
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        router().showScreen(screens::Home);
        TableScreen& screen = show<TableScreen>(screens::Table);
        screen.updateDisplay();
        const double origin = TableView::kOrigin, row = screen.tableView().rowHeight();
        ASSERT_NE(std::fmod(origin, row), 0) << "a grid from 0 would pass for one from the origin";
        QScroller* scroller = QScroller::scroller(screen.scroller().viewport());
        const QPointF start = screen.scroller().contentOffset();
        for (const double direction : {1.0, -1.0}) {
            SCOPED_TRACE(std::string(tablet ? "tablet" : "phone") + (direction > 0 ? " up" : " down"));
            // 37 points every 10 ms: a flick, released while it moves.
            const QPointF at(100, 200);
            qint64 time = 1'000'000;
            scroller->handleInput(QScroller::InputPress, at, time);
            for (int k = 1; k <= 4; ++k)
                scroller->handleInput(QScroller::InputMove, at - QPointF(0, direction * 37 * k), time += 10);
            scroller->handleInput(QScroller::InputRelease, at - QPointF(0, direction * 37 * 4), time += 10);
            ASSERT_EQ(scroller->state(), QScroller::Scrolling);
            const double stop = scroller->finalPosition().y();
            EXPECT_GT(direction * (stop - start.y()), 4 * row) << "it coasts";
            const double rows = (stop - origin) / row;
            EXPECT_NEAR(rows, std::round(rows), 1e-6) << stop;
            scroller->stop();
            screen.scroller().setContentOffset(start);
        }
    }
}

TEST_F(GraphScreens, AskModeAppendsInsertsAndDeletes)
{
    calc.locked()->tableMode = 0;
    calc.locked()->tableList.removeAllValues();
    TableScreen& screen = show<TableScreen>(screens::Table);
    calc.ans = VQValue(3.0);
    screen.enter();
    EXPECT_EQ(calc.locked()->tableList.count(), 1);
    EXPECT_EQ(screen.tableView().cursorRow, 1);
    screen.selectRow(0, 0);
    screen.insert();
    ASSERT_EQ(calc.locked()->tableList.count(), 2);
    EXPECT_EQ(calc.locked()->tableList.realAtIndex(0), 0);
    EXPECT_EQ(calc.locked()->tableList.realAtIndex(1), 3);
    screen.remove();
    EXPECT_EQ(calc.locked()->tableList.count(), 1);
    calc.ans = VQValue(std::complex<double>(1, 1));
    screen.enter();
    EXPECT_EQ(calc.locked()->tableList.count(), 1);
}

// ---- The graph screen ----

TEST_F(GraphScreens, AWindowEditReZoomsWithEachPairInOrder)
{
    GraphScreenController& graph = showGraph();
    window(5, -5, 3, -3);
    calc.notificationCenter().post(VQSyncWindowVars, this);
    const Calculator::Bounds b = graph.graphView().graphBounds();
    EXPECT_DOUBLE_EQ(b.xMin, -5);
    EXPECT_DOUBLE_EQ(b.xMax, 5);
    EXPECT_DOUBLE_EQ(b.yMin, -3);
    EXPECT_DOUBLE_EQ(b.yMax, 3);
}

TEST_F(GraphScreens, CtrlZThenReturnZoomsStandard)
{
    window(-1, 1, -1, 1);
    GraphScreenController& graph = showGraph();
    key(graph, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(graph.zoomMenu() && graph.zoomMenu()->isVisible());
    EXPECT_EQ(graph.zoomMenu()->selectedRow(), 6);
    key(*graph.zoomMenu(), Qt::Key_Return);
    EXPECT_FALSE(graph.zoomMenu()->isVisible());
    const Calculator::Bounds b = graph.graphView().graphBounds();
    EXPECT_DOUBLE_EQ(b.xMin, -10);
    EXPECT_DOUBLE_EQ(b.xMax, 10);
    EXPECT_DOUBLE_EQ(b.yMin, -10);
    EXPECT_DOUBLE_EQ(b.yMax, 10);
}

TEST_F(GraphScreens, TheZoomMenuKeepsItsSelectionAtTheEnds)
{
    GraphScreenController& graph = showGraph();
    graph.zoomMenuAction();
    ZoomMenu& menu = *graph.zoomMenu();
    key(menu, Qt::Key_Up);
    EXPECT_EQ(menu.selectedRow(), 0);
    key(menu, Qt::Key_Up);
    EXPECT_EQ(menu.selectedRow(), 0);
    for (int i = 0; i < 12; ++i)
        key(menu, Qt::Key_Down);
    EXPECT_EQ(menu.selectedRow(), 9);
    key(menu, Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
}

// On a phone the zoom menu covers the graph: + and − typed over it zoom nothing out of sight.
TEST_F(GraphScreens, PlusAndMinusOverTheZoomMenuZoomNothing)
{
    window(-10, 10, -10, 10);
    GraphScreenController& graph = showGraph();
    graph.zoomMenuAction();
    ZoomMenu& menu = *graph.zoomMenu();
    for (const int k : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Plus})
        key(menu, k);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_DOUBLE_EQ(graph.graphView().graphBounds().xMax, 10);
}

// With no row selected, Down selects the second row and Up the first: Down then Return
// zooms by ZoomRcl, not ZoomSto.
TEST_F(GraphScreens, DownFromNoSelectionSelectsTheSecondZoomRow)
{
    GraphScreenController& graph = showGraph();
    graph.zoomMenuAction();
    ZoomMenu& menu = *graph.zoomMenu();
    ASSERT_EQ(menu.selectedRow(), -1);
    key(menu, Qt::Key_Down);
    EXPECT_EQ(menu.selectedRow(), 1);
    menu.list().clearSelection();
    key(menu, Qt::Key_Up);
    EXPECT_EQ(menu.selectedRow(), 0);
}

// The zoom menu covers the graph screen: a click on its Cancel button closes it, at the
// phone's and the tablet's sizes, and zooms nothing.
TEST_F(GraphScreens, TheZoomMenuClosesWithAClickOnCancel)
{
    for (const QSize size : {QSize(390, 844), QSize(768, 1024)}) {
        root->resize(size);
        window(-1, 1, -1, 1);
        GraphScreenController& graph = showGraph();
        graph.zoomMenuAction();
        ZoomMenu& menu = *graph.zoomMenu();
        ASSERT_TRUE(menu.isVisible());
        const QPushButton& cancel = menu.cancelButton();
        ASSERT_TRUE(cancel.isVisible());
        clickAt(*root, centreIn(*root, cancel));
        EXPECT_FALSE(menu.isVisible());
        EXPECT_DOUBLE_EQ(graph.graphView().graphBounds().xMax, 1);
        graph.done();
    }
}

TEST_F(GraphScreens, PlusAndMinusZoomOnceAndTheButtonsRepeat)
{
    window(-10, 10, -10, 10);
    GraphScreenController& graph = showGraph();
    key(graph, Qt::Key_Plus, Qt::ShiftModifier);
    const Calculator::Bounds in = graph.graphView().graphBounds();
    EXPECT_NEAR(in.xMax - in.xMin, 20 / 1.1, 1e-9);
    EXPECT_FALSE(graph.repeating());
    key(graph, Qt::Key_Minus);
    const Calculator::Bounds out = graph.graphView().graphBounds();
    EXPECT_NEAR(out.xMax - out.xMin, 20, 1e-9);
    graph.plusDown(1);
    EXPECT_TRUE(graph.repeating());
    EXPECT_EQ(graph.repeatInterval(), 500);
    const Calculator::Bounds horizontal = graph.graphView().graphBounds();
    EXPECT_NEAR(horizontal.xMax - horizontal.xMin, 20 / 1.1, 1e-9);
    EXPECT_NEAR(horizontal.yMax - horizontal.yMin, 20, 1e-9);
    graph.repeatTick();
    EXPECT_EQ(graph.repeatInterval(), 50);
    const Calculator::Bounds again = graph.graphView().graphBounds();
    EXPECT_NEAR(again.xMax - again.xMin, 20 / 1.1 / 1.1, 1e-9);
    graph.plusUp();
    EXPECT_FALSE(graph.repeating());
}

TEST_F(GraphScreens, TheZoomButtonsShowTheLibrarysImagesOfTheZoomDirection)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        GraphScreenController& graph = showGraph();
        QCoreApplication::processEvents();
        const char* plus[] = {"zPlus", "zHPlus", "zVPlus"};
        const char* minus[] = {"zMinus", "zHMinus", "zVMinus"};
        // As opened, then after each choice of the zoom menu's axes.
        for (int direction : {-1, 1, 2, 0}) {
            if (direction >= 0)
                graph.didPickZoomButton(direction);
            else
                direction = 0;
            for (ImageButton* button : {&graph.plusButton(), &graph.minusButton()}) {
                const std::string name = button == &graph.plusButton() ? plus[direction] : minus[direction];
                EXPECT_EQ(button->imageName(), name) << tablet;
                EXPECT_TRUE(button->isVisible());
                const ImageMatch match = matchImage(button->grab().toImage(), VImageDraw::vImageDraw().getImage(name, 1));
                EXPECT_GT(match.opaque, 60) << name << " " << tablet;
                EXPECT_LT(match.differing, match.opaque / 20) << name << " " << tablet;
            }
        }
        graph.done();
    }
}

// The six fixed-direction zoom buttons, drawn as the library's images, zoom their own
// axes whatever the zoom menu chose, at once and again from the repeat timer while held:
// on the wide toolbar of a tablet, in a column at the graph's right edge under Done on a
// phone held upright.
TEST_F(GraphScreens, TheFixedDirectionZoomButtonsZoomTheirAxesAndRepeat)
{
    const char* images[3][2] = {{"zPlusB", "zMinusB"}, {"zHPlusB", "zHMinusB"}, {"zVPlusB", "zVMinusB"}};
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const std::string device = tablet ? "tablet" : "phone";
        GraphScreenController& graph = showGraph();
        QCoreApplication::processEvents();
        EXPECT_EQ(graph.wideToolbar(), tablet) << device;
        // The menu's last choice is vertical: the fixed buttons keep their own axes.
        graph.didPickZoomButton(2);
        const QRect done(graph.doneButton().mapTo(root.get(), QPoint()), graph.doneButton().size());
        for (int direction = 0; direction < 3; ++direction)
            for (const bool in : {true, false}) {
                const std::string name = images[direction][in ? 0 : 1];
                ImageButton& button = graph.fixedZoomButton(direction, in);
                ASSERT_TRUE(button.isVisible()) << name << " " << device;
                EXPECT_EQ(button.imageName(), name);
                const QRect at(button.mapTo(root.get(), QPoint()), button.size());
                EXPECT_TRUE(root->rect().contains(at)) << name << " " << device;
                EXPECT_FALSE(at.intersects(done)) << name << " " << device;
                if (tablet) {
                    EXPECT_EQ(button.parentWidget(), &graph.toolbar()) << name;
                } else {
                    EXPECT_EQ(at.right(), graph.graphView().mapTo(root.get(), QPoint(graph.graphView().width() - 7, 0)).x()) << name;
                }
                const ImageMatch match = matchImage(button.grab().toImage(), VImageDraw::vImageDraw().getImage(name, 1));
                EXPECT_GT(match.opaque, 200) << name << " " << device;
                EXPECT_LT(match.differing, match.opaque / 20) << name << " " << device;

                graph.graphView().zoom({-10, 10, -10, 10});
                const double once = in ? 20 / 1.1 : 20 * 1.1, twice = in ? once / 1.1 : once * 1.1;
                const bool x = direction != 2, y = direction != 1;
                QWidget* pressed = pressAt(*root, at.center());
                ASSERT_EQ(pressed, &button) << name << " " << device;
                Calculator::Bounds b = graph.graphView().graphBounds();
                EXPECT_NEAR(b.xMax - b.xMin, x ? once : 20, 1e-9) << name << " " << device;
                EXPECT_NEAR(b.yMax - b.yMin, y ? once : 20, 1e-9) << name << " " << device;
                EXPECT_TRUE(graph.repeating());
                EXPECT_EQ(graph.repeatInterval(), 500);
                graph.repeatTick();
                EXPECT_EQ(graph.repeatInterval(), 50);
                b = graph.graphView().graphBounds();
                EXPECT_NEAR(b.xMax - b.xMin, x ? twice : 20, 1e-9) << name << " " << device;
                EXPECT_NEAR(b.yMax - b.yMin, y ? twice : 20, 1e-9) << name << " " << device;
                releaseAt(*root, *pressed, at.center());
                EXPECT_FALSE(graph.repeating()) << name << " " << device;
            }
        // A phone turned on its side has the wide toolbar and takes them onto it.
        if (!tablet) {
            root->resize(844, 390);
            QCoreApplication::processEvents();
            EXPECT_TRUE(graph.wideToolbar());
            for (int direction = 0; direction < 3; ++direction)
                EXPECT_EQ(graph.fixedZoomButton(direction, true).parentWidget(), &graph.toolbar());
            root->resize(390, 844);
            QCoreApplication::processEvents();
            EXPECT_FALSE(graph.wideToolbar());
            EXPECT_EQ(graph.fixedZoomButton(0, true).parentWidget(), &graph);
        }
        graph.done();
    }
}

// While a form is up the toolbar's items are off, and so are the zoom buttons beside it.
TEST_F(GraphScreens, TheFixedZoomButtonsAreOffWithTheToolbar)
{
    GraphScreenController& graph = showGraph();
    QCoreApplication::processEvents();
    graph.enableButtons(false);
    EXPECT_FALSE(graph.fixedZoomButton(1, true).isEnabled());
    root->resize(844, 390);
    QCoreApplication::processEvents();
    EXPECT_FALSE(graph.fixedZoomButton(1, true).isEnabled());
    root->resize(390, 844);
    QCoreApplication::processEvents();
    EXPECT_FALSE(graph.fixedZoomButton(1, true).isEnabled());
    graph.enableButtons(true);
    EXPECT_TRUE(graph.fixedZoomButton(1, true).isEnabled());
}

// Done and the split screen's four arrows are the library's images, not text.
TEST_F(GraphScreens, DoneAndTheTableArrowsAreTheLibrarysImages)
{
    eq->setYEqFunc(0x5E10, ops("X²"));
    calc.locked()->screenSplit = 1;
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        GraphScreenController& graph = showGraph();
        QCoreApplication::processEvents();
        const char* arrows[] = {"tableLeft", "tableRight", "tableUp", "tableDown"};
        std::vector<std::pair<ImageButton*, std::string>> buttons{{&graph.doneButton(), "Done"}};
        for (int tag = 0; tag < 4; ++tag)
            buttons.emplace_back(&graph.arrowButton(tag), arrows[tag]);
        for (const auto& [button, name] : buttons) {
            ASSERT_TRUE(button->isVisible()) << name;
            EXPECT_TRUE(button->text().isEmpty()) << name;
            EXPECT_EQ(button->imageName(), name);
            const ImageMatch match = matchImage(button->grab().toImage(), VImageDraw::vImageDraw().getImage(name, 1));
            EXPECT_GT(match.opaque, 500) << name << " " << tablet;
            EXPECT_LT(match.differing, match.opaque / 20) << name << " " << tablet;
        }
        // The table arrows still move the table's cursor.
        const int column = graph.table()->tableView().cursorCol;
        clickAt(*root, centreIn(*root, graph.arrowButton(1)));
        EXPECT_EQ(graph.table()->tableView().cursorCol, column + 1) << tablet;
        graph.done();
    }
}

// On a phone the zoom menu's axis choice is the library's three images; a segment picked
// sets the zoom buttons' images and direction.
TEST_F(GraphScreens, ThePhonesAxisChoiceIsDrawnWithTheLibrarysImages)
{
    GraphScreenController& graph = showGraph();
    graph.zoomMenuAction();
    ZoomMenu& menu = *graph.zoomMenu();
    ASSERT_FALSE(menu.isWindow());
    const char* images[] = {"scalePlus", "hScalePlus", "vScalePlus"};
    for (int i = 0; i < 3; ++i) {
        QAbstractButton& segment = menu.segment(i);
        ASSERT_TRUE(segment.isVisible());
        EXPECT_TRUE(segment.text().isEmpty());
        const QImage image = VImageDraw::vImageDraw().getImage(images[i], 1);
        const QSize size = image.deviceIndependentSize().toSize();
        const QImage shown = segment.grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        const QRect icon(QPoint((segment.width() - size.width()) / 2, (segment.height() - size.height()) / 2) * ratio, size * ratio);
        const ImageMatch match = matchImage(shown.copy(icon), image, 60);
        EXPECT_GT(match.opaque, 40) << images[i];
        EXPECT_LT(match.differing, match.opaque / 5) << images[i];
    }
    clickAt(*root, centreIn(*root, menu.segment(1)));
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(graph.zoomButtonDir(), 1);
    EXPECT_EQ(graph.plusButton().imageName(), "zHPlus");
}

// On a tablet the zoom menu is a 320 x 480 popover standing on the zoom item, without Cancel
// or axis choice, over the graph that stays shown; a row picked zooms and closes it.
TEST_F(GraphScreens, OnATabletTheZoomMenuIsAPopoverAtTheZoomItem)
{
    becomeTablet();
    window(-1, 1, -1, 1);
    GraphScreenController& graph = showGraph();
    QCoreApplication::processEvents();
    clickAt(*root, centreIn(*root, graph.zoomItem()));
    ASSERT_TRUE(graph.zoomMenu() && graph.zoomMenu()->isVisible());
    ZoomMenu& menu = *graph.zoomMenu();
    EXPECT_TRUE(menu.isWindow());
    EXPECT_EQ(menu.windowFlags() & Qt::WindowType_Mask, Qt::Popup);
    EXPECT_EQ(menu.size(), QSize(320, 480));
    const QRect item(graph.zoomItem().mapToGlobal(QPoint()), graph.zoomItem().size());
    const QRect popover(menu.mapToGlobal(QPoint()), menu.size());
    EXPECT_EQ(popover.bottom() + 1, item.top());
    EXPECT_EQ(popover.left(), item.left());
    EXPECT_TRUE(graph.isVisible());
    EXPECT_FALSE(menu.cancelButton().isVisible());
    EXPECT_FALSE(menu.segment(0).isVisible());
    // ZStandard's row, clicked where it is drawn.
    QListWidget& list = menu.list();
    const QRect row = list.visualItemRect(list.item(ZoomMenu::kStandardRow));
    ASSERT_TRUE(list.viewport()->rect().contains(row));
    clickAt(*list.viewport(), row.center());
    EXPECT_FALSE(menu.isVisible());
    EXPECT_DOUBLE_EQ(graph.graphView().graphBounds().xMax, 10);
    // Escape closes it too.
    key(graph, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(menu.isVisible());
    key(menu, Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
}

// Upright, on the phone and the tablet, the band lies right under the graph and the toolbar
// under the band: the bar's items are what a click at them reaches, and the bar shows its
// black ground, no table.
TEST_F(GraphScreens, SplitScreenPutsTheTableBesideOrBelow)
{
    eq->setYEqFunc(0x5E10, ops("X²"));
    calc.locked()->screenSplit = 1;
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const std::string device = tablet ? "tablet" : "phone";
        GraphScreenController& graph = showGraph();
        ASSERT_TRUE(graph.table()) << device;
        EXPECT_TRUE(graph.table()->isVisible()) << device;
        const QRect view = graph.graphView().geometry(), band = graph.table()->geometry(), bar = graph.toolbar().geometry();
        EXPECT_EQ(view.width(), graph.width()) << device;
        EXPECT_EQ(band.top(), view.bottom() + 1) << device;
        EXPECT_EQ(band.height(), tablet ? 196 : 4 * graph.arrowButton(0).height()) << device;
        EXPECT_EQ(bar.top(), band.bottom() + 1) << device;
        EXPECT_EQ(bar.bottom(), graph.height() - 1) << device;
        EXPECT_EQ(graph.arrowButton(0).geometry().topLeft(), QPoint(0, band.top())) << device;
        EXPECT_LE(graph.arrowButton(3).geometry().bottom(), band.bottom()) << device;
        for (QWidget* item : std::initializer_list<QWidget*>{&graph.zoomItem(), &graph.plusButton(), &graph.minusButton()}) {
            const QPoint centre = item->mapTo(&graph, item->rect().center());
            EXPECT_EQ(graph.childAt(centre), item) << device << " " << item->accessibleName().toStdString();
        }
        const QImage shown = graph.grab().toImage().scaled(graph.size());
        int dark = 0;
        for (int y = bar.top(); y <= bar.bottom(); ++y)
            for (int x = 0; x < bar.width(); ++x)
                dark += QColor(shown.pixel(x, y)).lightness() < 60;
        EXPECT_GT(dark, bar.width() * bar.height() * 3 / 4) << device;
        // Turned: a column beside the graph.
        graph.resize(graph.height(), graph.width());
        const int column = tablet ? 320 : 212;
        EXPECT_EQ(graph.table()->width(), column) << device;
        EXPECT_EQ(graph.graphView().width(), graph.width() - column) << device;
    }
    GraphScreenController& graph = showGraph();
    // A cursor move selects the equation at the row's value.
    graph.table()->cursorRight();
    graph.table()->cursorDown();
    EXPECT_EQ(calc.lockFunction, 0x5E10);
    calc.locked()->screenSplit = 0;
    graph.updateDisplay();
    EXPECT_FALSE(graph.table()->isVisible());
    EXPECT_FALSE(graph.arrowButton(0).isVisible());
    EXPECT_EQ(graph.graphView().width(), graph.width());
}

// With the y axis at the right edge (Xmin −10, Xmax 0) on an upright phone, the numbers 10,
// 8, 6 and 4 stand beside Done and the zoom-button column, not under them, and read.
TEST_F(GraphScreens, TheYAxisNumbersKeepClearOfTheZoomColumn)
{
    window(-10, 0, -10, 10);
    GraphScreenController& graph = showGraph();
    ASSERT_FALSE(graph.wideToolbar());
    const QImage shown = graph.grab().toImage().scaled(graph.size());
    auto* text = dynamic_cast<GraphText*>(graph.graphView().graphTextView);
    ASSERT_TRUE(text);
    std::vector<QRect> buttons{graph.doneButton().geometry()};
    for (int direction = 0; direction < 3; ++direction)
        for (const bool in : {true, false})
            buttons.push_back(graph.fixedZoomButton(direction, in).geometry());
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
    int found = 0;
    for (const AxisLabels::Label& label : text->labels().labels) {
        const QString number = QString::fromStdString(label.text);
        if (number != "10" && number != "8" && number != "6" && number != "4")
            continue;
        ++found;
        const QRect box = QRectF(label.topLeft, QSizeF(metrics.horizontalAdvance(number), metrics.height()))
                              .toAlignedRect()
                              .translated(graph.graphView().pos());
        for (const QRect& button : buttons)
            EXPECT_FALSE(box.intersects(button)) << number.toStdString();
        EXPECT_GE(box.left(), 0) << number.toStdString();
        EXPECT_GT(textContrast(shown, box), 3) << number.toStdString();
    }
    EXPECT_EQ(found, 4);
}

// A program's pause lays its bar over the graph's bottom, where an x axis at the bottom
// (Ymin 0) runs: upright and on its side, every number stands whole above the bar, and
// goes back under the axis when the bar goes.
TEST_F(GraphScreens, TheAxisNumbersStandAboveAPausesBar)
{
    window(-10, 10, 0, 20);
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
    for (const QSize size : {QSize(390, 844), QSize(844, 390)}) {
        root->resize(size);
        GraphScreenController& graph = showGraph();
        auto* text = dynamic_cast<GraphText*>(graph.graphView().graphTextView);
        ASSERT_TRUE(text);
        const auto lowest = [&] {
            graph.graphView().grab();
            double bottom = 0;
            for (const AxisLabels::Label& label : text->labels().labels)
                bottom = std::max(bottom, label.topLeft.y() + metrics.height() + graph.graphView().y());
            return bottom;
        };
        const double free = lowest();
        graph.pause();
        EXPECT_LE(lowest(), graph.pauseView().y()) << size.width() << "x" << size.height();
        graph.pauseEnded();
        EXPECT_EQ(lowest(), free) << size.width() << "x" << size.height();
    }
}

TEST_F(GraphScreens, EscapeIsDoneAndReturnsHome)
{
    GraphScreenController& graph = showGraph();
    EXPECT_EQ(calc.currentScreen(), screens::Graph);
    key(graph, Qt::Key_Escape);
    EXPECT_FALSE(graph.isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_EQ(calc.locked()->graphDisplayMode, 0);
}

} // namespace
} // namespace orvenda::test
