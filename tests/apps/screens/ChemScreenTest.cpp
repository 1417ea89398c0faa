// The chemistry screen as the app registers it: a formula typed on the keys and ENTER give
// the molar mass and the element table, taps on the headers sort it, a formula that cannot
// be read gives error 60 at its fault, the formula stays with the screen, and the picture
// at both sizes.

#include "PictureChecks.h"
#include "app/EntryView.h"
#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/ChemScreen.h"
#include "apps/ChemView.h"
#include "language/ErrorTable.h"
#include "numeric/ElementDatabase.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

class Chemistry : public ScreensTest {
protected:
    Chemistry() { registerScreens(*root); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Chemistry, [this](QWidget* p) { return new ChemScreen(calc, shell, p); });
    }
    ChemScreen& show()
    {
        router().showScreen(screens::Chemistry);
        auto& screen = *static_cast<ChemScreen*>(router().controller(screens::Chemistry));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return screen;
    }
    void key(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            key(op);
    }
    // A formula typed and entered; the alert it raised, if any, as {title, message, ...}.
    std::vector<std::string> enter(const std::string& formula)
    {
        key(KeyRouter::kClear);
        type(formula);
        key(KeyRouter::kEnter);
        std::vector<std::string> alert = describe(openAlert());
        while (QMessageBox* box = openAlert())
            box->done(0);
        return alert;
    }
    std::string typed() { return calc.stringFromOps(entry->entryOps()); }
    static std::vector<std::string> symbols(const ChemView& table)
    {
        std::vector<std::string> out;
        for (const auto& row : table.rows())
            out.push_back(row.symbol);
        return out;
    }
    // A tap on the header of a column.
    static void tapHeader(ChemView& table, int column)
    {
        const double left = column == 0 ? 0 : table.columnEdge(column - 1);
        table.tap(table.bounds().topLeft() + QPointF((left + table.columnEdge(column)) / 2, table.leading() + 4));
    }
};

TEST_F(Chemistry, WaterHasTwoRowsAndTheMolarMassOfTheElementTable)
{
    ChemScreen& screen = show();
    EXPECT_EQ(screen.entryView().prefixStr(), "formula:");
    ChemView& table = screen.table();
    EXPECT_FALSE(table.hasTable());
    EXPECT_EQ(table.bannerText().toStdString(), "MOLAR MASS:");
    EXPECT_TRUE(enter("H2O").empty());
    const ElementDatabase& elements = ElementDatabase::elementDatabase();
    const double water = 2 * elements.mass(1) + elements.mass(8);
    ASSERT_TRUE(table.hasTable());
    EXPECT_DOUBLE_EQ(table.massTotal(), water);
    EXPECT_NEAR(water, 18.015, 0.001);
    EXPECT_EQ(table.bannerText().toStdString(), "MOLAR MASS:" + calc.formatReal(water));
    // Symbols first, descending.
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"O", "H"}));
    EXPECT_EQ(table.cellText(1, ChemView::Atoms), "2");
    EXPECT_EQ(table.cellText(1, ChemView::Weight).toStdString(), calc.formatReal(elements.mass(1)));
    double percents = 0;
    for (const auto& row : table.rows())
        percents += row.percent * 100;
    EXPECT_NEAR(percents, 100, 1e-12);
    // Numbers at most 10 characters wide.
    const QString oxygen = table.cellText(0, ChemView::Mass);
    EXPECT_EQ(oxygen.size(), 10);
    EXPECT_NEAR(oxygen.toDouble(), 100 * elements.mass(8) / water, 1e-7);
    // The formula stays on the line; the table fits under the banner.
    EXPECT_EQ(typed(), "H2O");
    EXPECT_DOUBLE_EQ(table.size().height(), 4 * table.leading());
}

// The weights show in full whatever the fixed decimals chosen; the percents follow them,
// and every number is at most 10 characters wide.
TEST_F(Chemistry, WeightsIgnoreTheDecimalsChosenAndPercentsFollowThem)
{
    calc.locked()->numDigits = 2;
    ChemScreen& screen = show();
    EXPECT_TRUE(enter("C6H12O6").empty());
    const ChemView& table = screen.table();
    ASSERT_EQ(table.rows().size(), 3u);
    for (int row = 0; row < 3; ++row) {
        EXPECT_LE(table.cellText(row, ChemView::Weight).size(), 10);
        EXPECT_NE(table.cellText(row, ChemView::Weight).toStdString(), calc.formatReal(table.rows()[row].weight)) << row;
        const QString percent = table.cellText(row, ChemView::Mass);
        EXPECT_EQ(percent.size() - percent.indexOf(QLatin1Char('.')), 3) << percent.toStdString();
    }
}

// An element both before and inside a group: the table adds the two.
TEST_F(Chemistry, AnElementBeforeAndInsideAGroupAddsUp)
{
    ChemScreen& screen = show();
    const ChemView& table = screen.table();
    const auto atoms = [&table](const char* symbol) {
        for (int row = 0; row < static_cast<int>(table.rows().size()); ++row)
            if (table.rows()[static_cast<std::size_t>(row)].symbol == symbol)
                return table.cellText(row, ChemView::Atoms).toStdString();
        return std::string("none");
    };
    EXPECT_TRUE(enter("CH3(CH2)2CH3").empty());
    EXPECT_EQ(table.rows().size(), 2u);
    EXPECT_EQ(atoms("C"), "4");
    EXPECT_EQ(atoms("H"), "10");
    EXPECT_TRUE(enter("H(OH)2").empty());
    EXPECT_EQ(table.rows().size(), 2u);
    EXPECT_EQ(atoms("H"), "3");
    EXPECT_EQ(atoms("O"), "2");
    const ElementDatabase& elements = ElementDatabase::elementDatabase();
    EXPECT_DOUBLE_EQ(table.massTotal(), 3 * elements.mass(1) + 2 * elements.mass(8));
}

TEST_F(Chemistry, HeaderTapsSortAndFlipTheOrder)
{
    ChemScreen& screen = show();
    ChemView& table = screen.table();
    EXPECT_TRUE(enter("CH3COOH").empty()); // C2 H4 O2
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"O", "H", "C"}));
    EXPECT_EQ(table.headerText(ChemView::Symbol), QStringLiteral("\u2B07Sym"));
    tapHeader(table, ChemView::Symbol);
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"C", "H", "O"}));
    EXPECT_EQ(table.headerText(ChemView::Symbol), QStringLiteral("\u2B06Sym"));
    tapHeader(table, ChemView::Symbol);
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"O", "H", "C"}));
    // Another column keeps the direction: atoms descending, then by mass ascending.
    tapHeader(table, ChemView::Atoms);
    EXPECT_EQ(table.sortField(), ChemView::Atoms);
    EXPECT_FALSE(table.sortAscending());
    EXPECT_EQ(symbols(table)[0], "H");
    EXPECT_EQ(table.headerText(ChemView::Symbol), QStringLiteral("Sym"));
    EXPECT_EQ(table.headerText(ChemView::Atoms), QStringLiteral("\u2B07#Atoms"));
    tapHeader(table, ChemView::Atoms);
    tapHeader(table, ChemView::Mass);
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"H", "C", "O"}));
    tapHeader(table, ChemView::Weight);
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"H", "C", "O"}));
    // Below the headers a tap sorts nothing; the choice holds for the next formula.
    table.tap(QPointF(10, 3 * table.leading()));
    EXPECT_EQ(table.sortField(), ChemView::Weight);
    EXPECT_TRUE(enter("NaCl").empty());
    EXPECT_EQ(symbols(table), (std::vector<std::string>{"Na", "Cl"}));
}

// Error 60 with the cursor on the faulty character, the table of before kept; an empty
// line does nothing. Counts past 32 bits are refused where they pass the limit.
TEST_F(Chemistry, AFormulaThatCannotBeReadIsError60AtItsFault)
{
    ChemScreen& screen = show();
    EXPECT_TRUE(enter("NaCl").empty());
    const std::vector<std::string> alert = enter("H2Xy");
    ASSERT_EQ(alert.size(), 3u);
    EXPECT_EQ(alert[1], ErrorTable::errString(60));
    EXPECT_EQ(entry->entryCursor(), 3);
    EXPECT_EQ(typed(), "H2Xy");
    EXPECT_EQ(symbols(screen.table()), (std::vector<std::string>{"Na", "Cl"}));
    struct Fault {
        const char* formula;
        int cursor;
    };
    for (const Fault& f : {Fault{"H2147483648", 10}, Fault{"(H2000000000)2", 12}, Fault{"H2000000000H2000000000", 12},
                           Fault{"H)", 1}, Fault{"2H", 0}}) {
        const std::vector<std::string> shown = enter(f.formula);
        ASSERT_EQ(shown.size(), 3u) << f.formula;
        EXPECT_EQ(shown[1], ErrorTable::errString(60)) << f.formula;
        EXPECT_EQ(entry->entryCursor(), f.cursor) << f.formula;
    }
    EXPECT_EQ(symbols(screen.table()), (std::vector<std::string>{"Na", "Cl"}));
    // The largest count there is reads.
    EXPECT_TRUE(enter("H2147483647").empty());
    EXPECT_EQ(screen.table().cellText(0, ChemView::Atoms), "2147483647");
    key(KeyRouter::kClear);
    key(KeyRouter::kEnter);
    EXPECT_EQ(openAlert(), nullptr);
    EXPECT_EQ(symbols(screen.table()), (std::vector<std::string>{"H"}));
}

// A fault inside a token of several characters puts the cursor on that token.
TEST_F(Chemistry, TheFaultyCharacterMapsToItsToken)
{
    const ChemScreen::Ops line = ops("Hsin(O");
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(ChemScreen::opIndexForCharacter(calc, line, 0), 0);
    EXPECT_EQ(ChemScreen::opIndexForCharacter(calc, line, 1), 1);
    EXPECT_EQ(ChemScreen::opIndexForCharacter(calc, line, 4), 1);
    EXPECT_EQ(ChemScreen::opIndexForCharacter(calc, line, 5), 2);
    EXPECT_EQ(ChemScreen::opIndexForCharacter(calc, line, 6), 3);
    show();
    EXPECT_EQ(enter("Hsin(O").size(), 3u);
    EXPECT_EQ(entry->entryCursor(), 1);
}

// Another screen finds the shared line empty; coming back brings the formula again. Only
// the line is emptied: no CLEAR reaches the screen now in front (on an empty home line
// that would clear the display).
TEST_F(Chemistry, TheFormulaStaysWithTheScreen)
{
    ChemScreen& screen = show();
    type("NaCl");
    router().showHome();
    EXPECT_TRUE(entry->entryOps().empty());
    ASSERT_TRUE(screen.savedEntry());
    EXPECT_EQ(calc.stringFromOps(*screen.savedEntry()), "NaCl");
    show();
    EXPECT_EQ(typed(), "NaCl");
    EXPECT_EQ(entry->entryCursor(), 4);
    EXPECT_FALSE(screen.savedEntry());
    // Leaving with nothing typed posts nothing.
    key(KeyRouter::kClear);
    Posted posted(bus, {VQClearScreen});
    router().showHome();
    EXPECT_EQ(posted.count(VQClearScreen), 0);
    // What the home screen had typed is not the formula.
    type("1+2");
    show();
    EXPECT_TRUE(entry->entryOps().empty());
}

// A formula longer than the line wraps: the line grows and the table makes room above it.
TEST_F(Chemistry, ALongFormulaTakesMoreLinesAndTheTableMakesRoom)
{
    ChemScreen& screen = show();
    const int oneLine = screen.entryView().geometry().height();
    type("CH3CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH3");
    EXPECT_GT(screen.entryView().geometry().height(), oneLine);
    EXPECT_EQ(screen.scroller().geometry().bottom() + 1, screen.entryView().geometry().top());
    EXPECT_EQ(screen.entryView().geometry().bottom(), screen.height() - 1);
    EXPECT_TRUE(enter("CH3CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH2CH3").empty());
    EXPECT_EQ(screen.table().cellText(0, ChemView::Atoms), "34");
}

// The banner in its colour with the molar mass in white, the rows in the font colour
// with every other row banded, at the phone's and the tablet's size.
TEST_F(Chemistry, ThePictureShowsTheBannerHeadersAndBandedRowsAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        ChemScreen& screen = show();
        ChemView& table = screen.table();
        // The table is drawn over the display's background: pictured with the screen.
        const QImage empty = screen.grab().toImage();
        EXPECT_TRUE(enter("Ca(OH)2").empty()) << tablet;
        ASSERT_EQ(table.rows().size(), 3u);
        if (tablet)
            EXPECT_NEAR(table.leading(), 24 * screen.width() / 480.0, 1e-9);
        else
            EXPECT_EQ(table.leading(), 16);
        const QImage picture = screen.grab().toImage();
        EXPECT_NE(picture, empty) << tablet;
        const double dpr = picture.devicePixelRatio();
        const QPointF origin = table.mapTo(&screen, QPointF(0, 0));
        const double L = table.leading();
        auto at = [&](double x, double y) { return picture.pixelColor(int((origin.x() + x) * dpr), int((origin.y() + y) * dpr)).rgb(); };
        const auto area = [&](double x, double y, double w, double h) {
            return QRect(int((origin.x() + x) * dpr), int((origin.y() + y) * dpr), int(w * dpr), int(h * dpr));
        };
        EXPECT_EQ(at(table.width() - 6, L / 2), namedColor("bannerColor").rgb()) << tablet;
        EXPECT_GE(textContrast(picture, area(4, 2, table.columnEdge(1), L - 2)), 3.0) << tablet << " banner";
        EXPECT_GE(textContrast(picture, area(table.columnEdge(0), L + 2, table.columnEdge(1) - table.columnEdge(0), L - 2)), 3.0)
            << tablet << " headers";
        // Row 0 plain, row 1 banded; both with their numbers readable.
        EXPECT_NE(backgroundIn(picture, area(5, 2 * L + 1, table.columnEdge(0) - 10, L - 2)).rgb(),
                  backgroundIn(picture, area(5, 3 * L + 1, table.columnEdge(0) - 10, L - 2)).rgb()) << tablet;
        for (int row = 0; row < 3; ++row)
            EXPECT_GE(textContrast(picture, area(table.columnEdge(0) + 4, (2 + row) * L, table.columnEdge(1) - table.columnEdge(0) - 6, L)), 3.0)
                << tablet << " row " << row;
        // The whole screen shows the typed formula under the table.
        const QRect line = screen.entryView().geometry();
        EXPECT_GE(textContrast(picture, QRect(line.topLeft() * dpr, line.size() * dpr)), 3.0) << tablet;
        // "formula:" whole below the line's separator, and Done a finger's height beside it.
        calc.cursorVisible = false;
        const QImage field = screen.entryView().grab().toImage();
        int firstInk = -1, lastInk = -1;
        for (int y = 0; y < field.height(); ++y)
            for (int x = 0; x < field.width() / 5; ++x) // within "formula:"
                if (field.pixelColor(x, y).lightness() < 80) {
                    if (firstInk < 0)
                        firstInk = y;
                    lastInk = y;
                }
        EXPECT_GE(firstInk, static_cast<int>(3 * field.devicePixelRatio())) << tablet;
        EXPECT_LT(lastInk, field.height() - 1) << tablet;
        EXPECT_GE(lastInk - firstInk, static_cast<int>(10 * field.devicePixelRatio())) << tablet;
        const QWidget* done = screen.leaveControl();
        ASSERT_TRUE(done);
        EXPECT_GE(done->height(), 28) << tablet;
        EXPECT_TRUE(screen.rect().contains(done->geometry())) << tablet;
    }
}

} // namespace
} // namespace orvenda::test
