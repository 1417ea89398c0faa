// The list editor as the app registers it: keys and taps on the grid, what each cell
// prompt shows, what ENTER, DEL and INS change, and its picture at both sizes.

#include "PictureChecks.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "core/NumberFormatter.h"
#include "core/VQNumber.h"
#include "pretty/FontMap.h"
#include "stats/StatEditScreen.h"
#include "stats/StatEditView.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

const std::string L1 = "L\xE2\x82\x81", L2 = "L\xE2\x82\x82", L3 = "L\xE2\x82\x83";

class ListEditor : public ScreensTest {
protected:
    ListEditor()
    {
        registerScreens(*root);
        calc.locked()->lists.clear();
        calc.locked()->statEditList = {L1, L2, L3};
    }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::ListEditor, [this](QWidget* p) { return new StatEditScreen(calc, shell, p); });
    }
    StatEditScreen& show()
    {
        router().showScreen(screens::ListEditor);
        auto& screen = *static_cast<StatEditScreen*>(router().controller(screens::ListEditor));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return screen;
    }
    void setList(const std::string& name, std::initializer_list<double> values) { calc.locked()->lists[name] = reals(values); }
    std::vector<double> list(const std::string& name) { return calc.locked()->lists[name].realList(); }
    void press(std::initializer_list<std::uint32_t> keys)
    {
        for (std::uint32_t key : keys)
            shell.keys().processKeyOp(key);
        shell.settle(std::chrono::seconds(30));
    }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
    }
    EntryModel& entry() { return *dynamic_cast<EntryModel*>(calc.entryManager.get()); }
    std::string typed() { return calc.stringFromOps(entry().entryOps()); }
    void closeAlerts()
    {
        while (QMessageBox* box = openAlert())
            box->done(0);
    }
};

TEST_F(ListEditor, EnterStoresIntoCellsAndAppendsOnTheSlotAfterTheLast)
{
    setList(L1, {1, 2});
    StatEditScreen& screen = show();
    EXPECT_EQ(screen.entryView().prefixStr(), L1 + "(1)=");
    EXPECT_EQ(screen.entryView().overlayStr().value_or(""), "1");
    screen.selectRow(2, 0);
    EXPECT_EQ(screen.entryView().prefixStr(), L1 + "(3)=");
    EXPECT_FALSE(screen.entryView().overlayStr());
    type("7");
    press({KeyRouter::kEnter});
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 7}));
    EXPECT_EQ(screen.grid().cursorRow, 3);
    EXPECT_EQ(screen.entryView().prefixStr(), L1 + "(4)=");
    // A typed value replaces a cell and moves down; the arrows store what was typed too.
    screen.selectRow(0, 0);
    type("5*2");
    press({KeyRouter::kEnter});
    type("-3");
    press({KeyRouter::kDown});
    EXPECT_EQ(list(L1), (std::vector<double>{10, -3, 7}));
    EXPECT_EQ(screen.grid().cursorRow, 2);
    EXPECT_TRUE(typed().empty());
}

// Keys typed before ENTER's answer comes back wait for it: each value goes to its own cell,
// in the order typed, however long a value takes to store.
TEST_F(ListEditor, KeysTypedBeforeTheAnswerGoToTheNextCell)
{
    setList(L1, {});
    StatEditScreen& screen = show();
    // No event is handled between these keys, so no answer can arrive before the last.
    for (const char* value : {"1", "2", "3"}) {
        type(value);
        shell.keys().processKeyOp(KeyRouter::kEnter);
    }
    type("4");
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(screen.grid().cursorRow, 3);
    EXPECT_EQ(typed(), "4");
    // A value that fails keeps its text for mending, and the keys typed after its ENTER
    // edit it as they would have once the error was shown.
    type("+");
    press({KeyRouter::kEnter});
    closeAlerts();
    type("5");
    const std::string slowly = typed();
    entry().clear();
    type("4+");
    shell.keys().processKeyOp(KeyRouter::kEnter);
    type("5");
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    closeAlerts();
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(typed(), slowly);
}

// A typo never writes the Ans of before into a cell: the cell and the typed text stay,
// and so does the cursor.
TEST_F(ListEditor, AValueThatFailsToEvaluateLeavesTheCellAndTheText)
{
    setList(L1, {1, 2, 3});
    StatEditScreen& screen = show();
    calc.ans = VQValue(99.0);
    screen.selectRow(1, 0);
    type("1+");
    press({KeyRouter::kDown});
    EXPECT_NE(openAlert(), nullptr);
    closeAlerts();
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(screen.grid().cursorRow, 1);
    EXPECT_EQ(typed(), "1+");
    // By ENTER and by a tap elsewhere alike.
    press({KeyRouter::kEnter});
    closeAlerts();
    screen.selectRow(0, 1);
    closeAlerts();
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(screen.grid().cursorCol, 0);
    EXPECT_EQ(typed(), "1+");
}

// A non-real value replaces the cell it is typed into, as a real does, and appends only on
// the slot after the last element; the cell then shows it.
TEST_F(ListEditor, AComplexValueReplacesItsCell)
{
    setList(L1, {1, 2, 3});
    StatEditScreen& screen = show();
    screen.selectRow(1, 0);
    type("2+3ɩ̇");
    press({KeyRouter::kEnter});
    {
        const auto state = calc.locked();
        const VQList& list = state->lists[L1];
        ASSERT_EQ(list.count(), 3);
        EXPECT_EQ(list.complexAtIndex(0), std::complex<double>(1, 0));
        EXPECT_EQ(list.complexAtIndex(1), std::complex<double>(2, 3));
        EXPECT_EQ(list.complexAtIndex(2), std::complex<double>(3, 0));
    }
    EXPECT_EQ(screen.grid().cursorRow, 2);
    screen.selectRow(1, 0);
    EXPECT_NE(screen.entryView().overlayStr().value_or("").find('3'), std::string::npos);
    screen.selectRow(3, 0);
    type("-ɩ̇");
    press({KeyRouter::kEnter});
    const auto state = calc.locked();
    ASSERT_EQ(state->lists[L1].count(), 4);
    EXPECT_EQ(state->lists[L1].complexAtIndex(3), std::complex<double>(0, -1));
}

// A list holds 999 elements at most: a value for the slot after a full list, and INS in
// one, are refused with the error a store past the end gives, and nothing is lost.
TEST_F(ListEditor, AFullListTakesNoMoreElements)
{
    VQList full;
    for (int i = 0; i < 999; ++i)
        full.addReal(1, 15, -15);
    calc.locked()->lists[L1] = full;
    StatEditScreen& screen = show();
    screen.selectRow(999, 0);
    EXPECT_EQ(screen.grid().cursorRow, 999);
    type("5");
    press({KeyRouter::kEnter});
    ASSERT_NE(openAlert(), nullptr);
    EXPECT_EQ(openAlert()->text().toStdString(), EntryEvaluator::errString(24));
    closeAlerts();
    EXPECT_EQ(calc.locked()->lists[L1].count(), 999);
    EXPECT_EQ(typed(), "5");
    EXPECT_EQ(screen.grid().cursorRow, 999);
    entry().clear();
    screen.selectRow(0, 0);
    press({KeyRouter::kIns});
    ASSERT_NE(openAlert(), nullptr);
    EXPECT_EQ(openAlert()->text().toStdString(), EntryEvaluator::errString(24));
    closeAlerts();
    EXPECT_EQ(calc.locked()->lists[L1].count(), 999);
}

TEST_F(ListEditor, AHeaderStoresAWholeListAndZeroOrAnEmptiedLineEmptiesIt)
{
    setList(L1, {1, 2, 3});
    setList(L2, {4, 5});
    StatEditScreen& screen = show();
    screen.selectRow(-1, 0);
    EXPECT_EQ(screen.entryView().prefixStr(), L1 + "=");
    EXPECT_EQ(screen.entryView().overlayStr().value_or(""), "{1 2 3}");
    // ENTER with the list still shown changes nothing.
    press({KeyRouter::kEnter});
    EXPECT_EQ(list(L1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(screen.grid().cursorRow, -1);
    type("0");
    press({KeyRouter::kEnter});
    EXPECT_TRUE(list(L1).empty());
    EXPECT_EQ(screen.grid().cursorRow, 0);
    // A list expression on a header; any other value is refused.
    screen.selectRow(-1, 0);
    type("{6,7}");
    press({KeyRouter::kEnter});
    EXPECT_EQ(list(L1), (std::vector<double>{6, 7}));
    screen.selectRow(-1, 0);
    type("5");
    press({KeyRouter::kEnter});
    EXPECT_NE(openAlert(), nullptr);
    closeAlerts();
    EXPECT_EQ(list(L1), (std::vector<double>{6, 7}));
    // The line emptied (no list shown) and ENTER, or the down arrow: the list goes.
    entry().clear();
    screen.selectRow(-1, 1);
    type("1");
    press({KeyRouter::kDel, KeyRouter::kLeft, KeyRouter::kDel});
    EXPECT_FALSE(screen.entryView().overlayStr());
    press({KeyRouter::kDown});
    EXPECT_TRUE(list(L2).empty());
    EXPECT_EQ(screen.grid().cursorRow, 0);
}

TEST_F(ListEditor, InsAndDelOnHeadersNameAndHideColumnsKeepingTheirLists)
{
    setList(L1, {1, 2});
    setList(L2, {3});
    StatEditScreen& screen = show();
    screen.selectRow(-1, 1);
    press({KeyRouter::kDel});
    EXPECT_EQ(screen.columnNames(), (std::vector<std::string>{L1, L3}));
    EXPECT_EQ(list(L2), (std::vector<double>{3}));
    press({KeyRouter::kIns});
    EXPECT_EQ(screen.columnNames(), (std::vector<std::string>{L1, "", L3}));
    EXPECT_EQ(screen.entryView().prefixStr(), "Name=");
    // The placeholder has no list and no name in its header.
    EXPECT_EQ(screen.numRowsInColumn(1), -1);
    type("L₂");
    press({KeyRouter::kEnter});
    EXPECT_EQ(screen.columnNames(), (std::vector<std::string>{L1, L2, L3}));
    EXPECT_EQ(screen.grid().cursorRow, 0);
    EXPECT_EQ(screen.entryView().overlayStr().value_or(""), "3");
    // A name another column shows: the placeholder stays, the cursor goes to that column.
    screen.selectRow(-1, 2);
    press({KeyRouter::kIns});
    type("L₁");
    press({KeyRouter::kEnter});
    EXPECT_EQ(screen.columnNames(), (std::vector<std::string>{L1, L2, "", L3}));
    EXPECT_EQ(screen.grid().cursorCol, 0);
    EXPECT_EQ(screen.grid().cursorRow, 0);
    // A new name on the empty column gets a new empty list.
    screen.selectRow(-1, 9);
    EXPECT_EQ(screen.grid().cursorCol, 4);
    type("ABC");
    press({KeyRouter::kEnter});
    EXPECT_EQ(screen.columnNames().back(), "ABC");
    EXPECT_TRUE(calc.locked()->lists.contains("ABC"));
    EXPECT_EQ(screen.grid().cursorRow, 0);
    // INS and DEL on a data row.
    screen.selectRow(1, 0);
    press({KeyRouter::kIns});
    EXPECT_EQ(list(L1), (std::vector<double>{1, 0, 2}));
    press({KeyRouter::kDel, KeyRouter::kDel});
    EXPECT_EQ(list(L1), (std::vector<double>{1}));
}

TEST_F(ListEditor, TheArrowsMoveOnlyWhileNothingIsTypedAndStayWithinTheColumns)
{
    setList(L1, {1, 2, 3});
    setList(L2, {4});
    StatEditScreen& screen = show();
    screen.selectRow(2, 0);
    press({KeyRouter::kRight});
    EXPECT_EQ(screen.grid().cursorCol, 1);
    EXPECT_EQ(screen.grid().cursorRow, 1);
    type("8");
    press({KeyRouter::kRight});
    EXPECT_EQ(screen.grid().cursorCol, 1);
    entry().clear();
    press({KeyRouter::kRight, KeyRouter::kRight, KeyRouter::kRight});
    EXPECT_EQ(screen.grid().cursorCol, 3);
    EXPECT_EQ(screen.grid().cursorRow, -1);
    EXPECT_EQ(screen.entryView().prefixStr(), "Name=");
    // Down keeps the empty column on its header; the empty prompt may be left.
    press({KeyRouter::kDown});
    EXPECT_EQ(screen.grid().cursorRow, -1);
    press({KeyRouter::kLeft});
    EXPECT_EQ(screen.grid().cursorCol, 2);
    for (int i = 0; i < 5; ++i)
        press({KeyRouter::kUp});
    EXPECT_EQ(screen.grid().cursorRow, -1);
}

TEST_F(ListEditor, TheGridMeasuresItsColumnsAndGivesNamedColumnsAList)
{
    calc.locked()->statEditList = {L1, StatEditView::kPlaceholder};
    setList(L1, {1, 2, 3, 4});
    StatEditScreen& screen = show();
    StatEditView& grid = screen.grid();
    EXPECT_EQ(grid.size(), QSizeF(3 * 96 + 28, 5 * 15 + 20));
    EXPECT_FALSE(calc.locked()->lists.contains(StatEditView::kPlaceholder));
    calc.locked()->statEditList = {"NEW"};
    grid.size();
    EXPECT_EQ(calc.locked()->lists["NEW"].count(), 0);
    calc.locked()->statEditList.clear();
    EXPECT_EQ(grid.size(), QSizeF(96 + 28, 15 + 20));
}

// Too wide for its cell: 8 characters and "…", a complex value first without decimals.
TEST_F(ListEditor, AWideValueShowsEightCharactersAndAnEllipsis)
{
    const QFontMetricsF font(FontMap::shared().font("CourierNewPS-BoldMT", 16));
    NumberFormatter format = calc.numberFormatter();
    format.settings.maxWidth = StatEditView::kCellWidth;
    const VQNumber small = VQNumber::numberWithReal(12.5, 15, -15);
    EXPECT_EQ(StatEditView::cellText(format, small, false, 0, font, 96), "12.5");
    const VQNumber wide = VQNumber::numberWithComplex({123456.5, 654321.25});
    const QString shown = StatEditView::cellText(format, wide, true, 1, font, 96);
    EXPECT_EQ(shown.size(), 9);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("…")));
    const VQNumber fits = VQNumber::numberWithComplex({1.25, 2.5});
    EXPECT_EQ(StatEditView::cellText(format, fits, true, 1, font, 96).toStdString(), format.formatComplex(1.25, 2.5, false));
}

// A tap on the pinned header is the header row wherever the grid scrolled; below it the
// row under the tap, cut to the column's append slot.
TEST_F(ListEditor, TapsPickCellsAndTheHeaderWhereverTheGridScrolled)
{
    VQList longList;
    for (int i = 0; i < 200; ++i)
        longList.addReal(i, 15, -15);
    calc.locked()->lists[L1] = longList;
    setList(L2, {1});
    StatEditScreen& screen = show();
    screen.scroller().setContentOffset(QPointF(0, 600));
    StatEditView& grid = screen.grid();
    grid.tap(grid.bounds().topLeft() + QPointF(40, 5));
    EXPECT_EQ(grid.cursorRow, -1);
    EXPECT_EQ(grid.cursorCol, 0);
    grid.tap(QPointF(28 + 96 + 10, 20 + 15 * 50 + 3));
    EXPECT_EQ(grid.cursorCol, 1);
    EXPECT_EQ(grid.cursorRow, 1);
    grid.tap(QPointF(28 + 5, 20 + 15 * 50 + 3));
    EXPECT_EQ(grid.cursorRow, 50);
    EXPECT_EQ(screen.entryView().overlayStr().value_or(""), "50");
}

// The picture: the banner with the names, the cursor cell highlighted, the values in
// the font colour, at the phone's and the tablet's size; the empty column's header lights
// up although it has no name.
TEST_F(ListEditor, ThePictureShowsHeadersValuesAndTheCursorAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        setList(L1, {1, 2, 3, 4, 5});
        setList(L2, {2, 4, 5, 4, 5});
        StatEditScreen& screen = show();
        screen.selectRow(1, 1);
        StatEditView& grid = screen.grid();
        const double scale = tablet ? grid.colWidth() / 146 : 1;
        EXPECT_EQ(grid.colWidth(), tablet ? 146 * scale : 96);
        QImage picture = grid.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        auto at = [&](double x, double y) { return picture.pixelColor(int(x * dpr), int(y * dpr)); };
        const double w = grid.colWidth(), h = grid.rowHeight(), head = grid.headerHeight(), band = grid.leftEdgeWidth();
        const QColor highlight = namedColor("yellowHilightColor");
        EXPECT_EQ(at(band + w + 3, head + h + 2).rgb(), highlight.rgb()) << tablet;
        EXPECT_EQ(at(band + 2 * w + 3, head + 2).rgb() == highlight.rgb(), false) << tablet;
        EXPECT_EQ(at(band + 2 * w - 4, head / 2).rgb() == namedColor("bannerColor").rgb(), true) << tablet;
        // The values read against the grid; the names against the banner.
        const QRect value(int((band + w) * dpr), int((head + 2 * h) * dpr), int(w * dpr), int(h * dpr));
        EXPECT_GE(textContrast(picture, value), 3.0) << tablet;
        const QRect name(int(band * dpr), 0, int(w * dpr), int(head * dpr));
        EXPECT_GE(textContrast(picture, name), 3.0) << tablet;
        screen.selectRow(-1, 3);
        picture = grid.grab().toImage();
        // Scrolled so that the cursor's column shows.
        EXPECT_EQ(at(band + 3 * w + 3 - grid.origin().x(), head / 2).rgb(), highlight.rgb()) << tablet;
    }
}

// A complex value's last symbol, the imaginary unit, stands whole inside its cell, clear of
// the column's rule on its right and of the next cell, at both sizes.
TEST_F(ListEditor, AComplexValuesLastSymbolStandsInsideItsCell)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        VQList values;
        for (const std::complex<double> z : {std::complex<double>(2, 3), {-1.5, -2.25}, {12.5, 3.125}, {-123.5, 45.25}, {1, -1}, {0.5, 0.75}})
            values.addComplex(z);
        calc.locked()->lists[L1] = values;
        StatEditScreen& screen = show();
        screen.selectRow(0, 2);
        StatEditView& grid = screen.grid();
        const QImage picture = grid.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const double w = grid.colWidth(), h = grid.rowHeight(), head = grid.headerHeight(), band = grid.leftEdgeWidth();
        const int rule = static_cast<int>(std::lround((band + w) * dpr));
        // Every other row is striped, its text read against the stripe.
        for (int row = 0; row < values.count(); row += 2) {
            const int top = static_cast<int>((head + row * h + 1) * dpr), bottom = static_cast<int>((head + (row + 1) * h - 1) * dpr);
            const QColor back = backgroundIn(picture, QRect(int(band * dpr), top, int(w * dpr), bottom - top));
            // The ink left of the rule, and none just past it.
            int rightmost = -1, past = 0;
            for (int y = top; y <= bottom; ++y)
                for (int x = int((band + 1) * dpr); x < int((band + w + 4) * dpr); ++x) {
                    if (std::abs(x - rule) <= 1 || contrastRatio(picture.pixelColor(x, y), back) <= 1.5)
                        continue;
                    if (x < rule)
                        rightmost = std::max(rightmost, x);
                    else
                        ++past;
                }
            ASSERT_GE(rightmost, 0) << tablet << " row " << row;
            EXPECT_LT(rightmost, rule - 1) << tablet << " row " << row;
            EXPECT_EQ(past, 0) << tablet << " row " << row;
        }
    }
}

// Scrolled right by part of a column, the column cut by the row-number band still shows
// its name (from the band's edge), at both sizes.
TEST_F(ListEditor, AColumnScrolledUnderTheRowNumbersKeepsItsName)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const std::string L4 = "L\u2084", L5 = "L\u2085", L6 = "L\u2086";
        calc.locked()->statEditList = {L1, L2, L3, L4, L5, L6};
        for (const std::string& name : {L1, L2, L3, L4, L5, L6})
            setList(name, {1, 2});
        StatEditScreen& screen = show();
        StatEditView& grid = screen.grid();
        const double w = grid.colWidth(), head = grid.headerHeight(), band = grid.leftEdgeWidth();
        screen.scroller().setContentOffset(QPointF(w / 2, 0));
        ASSERT_NEAR(grid.origin().x(), w / 2, 1) << tablet;
        const QImage picture = grid.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        // The half of the first column still in view, right of the band.
        const QRect cut(int((band + 2) * dpr), 0, int((w / 2 - 6) * dpr), int((head - 3) * dpr));
        EXPECT_GE(textContrast(picture, cut), 3.0) << tablet;
    }
}

TEST_F(ListEditor, ADrawFormatsOnlyTheRowsInView)
{
    VQList big;
    for (int i = 0; i < 10000; ++i)
        big.addReal(i * 0.5, 15, -15);
    for (const std::string& name : {L1, L2, L3})
        calc.locked()->lists[name] = big;
    StatEditScreen& screen = show();
    screen.scroller().setContentOffset(QPointF(0, 15 * 5000));
    StatEditView& grid = screen.grid();
    grid.grab();
    const int visibleRows = int(grid.height() / grid.rowHeight()) + 2;
    EXPECT_GT(grid.rowsDrawn(), 0);
    EXPECT_LE(grid.rowsDrawn(), 3 * visibleRows);
}

} // namespace
} // namespace orvenda::test
