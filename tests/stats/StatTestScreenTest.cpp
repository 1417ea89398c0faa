// The statistics test screen as the app registers it: the catalogue of procedures, the
// recomputation after every key, the result graphs, the field editing, the test menu and
// the list picker, and its pictures at the phone's and the tablet's size.

#include "PictureChecks.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/HelpView.h"
#include "app/KeyRouter.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "core/DrawObject.h"
#include "docs/FunctionHelpPDFView.h"
#include "graph/FixedGraphView.h"
#include "input/HelpPage.h"
#include "input/SegmentedControl.h"
#include "language/TokenText.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"
#include "stats/ColumnPicker.h"
#include "stats/PlotDistribution.h"
#include "stats/PlotScatter.h"
#include "stats/StatTestCatalogue.h"
#include "stats/StatTestListPicker.h"
#include "stats/StatTestMenu.h"
#include "stats/StatTestScreen.h"
#include "stats/StatTestView.h"
#include "pretty/FontMap.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariantAnimation>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

namespace orvenda::test {
namespace {

using Cat = StatTestCatalogue;
const std::string kL1 = "L\xE2\x82\x81", kL2 = "L\xE2\x82\x82", kL3 = "L\xE2\x82\x83";

class StatTestScreens : public ScreensTest {
protected:
    StatTestScreens()
    {
        registerScreens(*root);
        calc.locked()->lists.clear();
    }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::StatTests, [this](QWidget* p) { return new StatTestScreen(calc, shell, p); });
    }
    StatTestScreen& show(std::uint32_t op)
    {
        root->showStatTest(static_cast<int>(op));
        QCoreApplication::processEvents();
        return *static_cast<StatTestScreen*>(root->fullScreen(screens::StatTests));
    }
    double slot(int s) { return calc.getVar(s).value.real(); }
    void put(int s, double v) { calc.locked()->vars[static_cast<std::size_t>(s)] = {v, 0.0}; }
    void press(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void typeKeys(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            press(op);
    }
    // Types a value into the current field and presses ENTER.
    void enterValue(const std::string& text)
    {
        typeKeys(text);
        press(KeyRouter::kEnter);
    }
    std::size_t alerts() { return (openAlert() ? 1 : 0) + root->alerts().waiting(); }
    void closeAlerts()
    {
        while (QMessageBox* box = openAlert()) {
            box->done(0);
            QCoreApplication::processEvents();
        }
    }
    void setMatrix(int n, int rows, int cols, std::initializer_list<double> values)
    {
        std::optional<VQMatrix> m = VQMatrix::matrixWithRow(static_cast<std::size_t>(rows), static_cast<std::size_t>(cols));
        ASSERT_TRUE(m);
        std::size_t k = 0;
        for (double v : values) {
            m->set(v, k / static_cast<std::size_t>(cols), k % static_cast<std::size_t>(cols));
            ++k;
        }
        calc.locked()->matrices[static_cast<std::size_t>(n)] = *m;
    }
};

// ---- The catalogue ----

TEST_F(StatTestScreens, TheCatalogueListsTheEighteenProceduresWithTheirFormsAndTitles)
{
    ASSERT_EQ(Cat::kMenuOrder.size(), 18u);
    EXPECT_EQ(Cat::kMenuOrder.front(), 0x5C26u);
    EXPECT_EQ(Cat::kMenuOrder[5], 0x5C4Cu);
    EXPECT_EQ(Cat::kMenuOrder[14], 0x5C4Eu);
    EXPECT_EQ(Cat::kMenuOrder.back(), 0x5C50u);
    for (std::uint32_t op : Cat::kMenuOrder) {
        if (op != Cat::Regression) {
            EXPECT_TRUE(QString::fromStdString(calc.nameForOpcode(op)).endsWith(QStringLiteral("…"))) << op;
        }
    }
    // Fields per form, in display order; the slot is the token less 24999.
    EXPECT_EQ(std::vector<std::uint32_t>(Cat::fields(Cat::ZTest, true).begin(), Cat::fields(Cat::ZTest, true).end()),
              (std::vector<std::uint32_t>{Cat::Mu0, Cat::Sigma, Cat::XBar, Cat::N}));
    EXPECT_EQ(Cat::fields(Cat::ZTest, false).size(), 2u);
    EXPECT_TRUE(Cat::fields(Cat::T2Test, false).empty());
    EXPECT_TRUE(Cat::fields(Cat::F2Test, false).empty());
    EXPECT_TRUE(Cat::fields(Cat::Chi2Test, false).empty());
    EXPECT_EQ(Cat::fields(Cat::Z2Int, true).size(), 7u);
    EXPECT_EQ(Cat::slot(Cat::Mu0), SlotMu0);
    EXPECT_EQ(Cat::slot(Cat::CLevel), SlotCLevel);
    // Results: the pooled line only in the Stats form; the regression's by its model.
    EXPECT_EQ(Cat::results(Cat::T2Test, true, true, 0).size(), 4u);
    EXPECT_EQ(Cat::results(Cat::T2Test, false, true, 0).size(), 3u);
    EXPECT_EQ(Cat::results(Cat::Regression, false, false, 0).size(), 2u);
    EXPECT_EQ(Cat::results(Cat::Regression, false, false, 6).size(), 1u);
    EXPECT_EQ(Cat::leftResults(Cat::Regression, 6).size(), 3u);
    EXPECT_EQ(Cat::leftResults(Cat::Regression, 10).size(), 4u);
    EXPECT_EQ(Cat::leftResults(Cat::Regression, 42).size(), 5u);
    EXPECT_EQ(Cat::leftResults(Cat::LinRegTTest, 0).size(), 5u);
    EXPECT_EQ(Cat::rowFactor(Cat::PropZ1Int), 4.25);
    EXPECT_EQ(Cat::rowFactor(0x1234), 8);

    StatTestScreen& screen = show(Cat::ZTest);
    put(SlotMu0, 100);
    screen.hypothesisControl().click(1);
    EXPECT_EQ(screen.title(), "Z-Test:μ<100");
    EXPECT_EQ(screen.fieldName(0), "μ₀=");
    EXPECT_EQ(screen.getRegForField(-1), -1);
    EXPECT_EQ(screen.getRegForField(4), -1);
    EXPECT_TRUE(std::isnan(screen.fieldValue(4)));
    screen.setTestNum(Cat::PropZ2Test);
    EXPECT_EQ(screen.title(), "2-PropZTest:p₁<p₂");
    // χ²GOF-Test shows no frequency column.
    screen.setTestNum(Cat::Chi2GOF);
    EXPECT_EQ(screen.freqName(0), "");
    EXPECT_FALSE(screen.statsForm());
    EXPECT_EQ(screen.numLists(), 2);
}

TEST_F(StatTestScreens, ChoosingAProcedureSetsTheControlsItShows)
{
    StatTestScreen& screen = show(Cat::TTest);
    EXPECT_TRUE(screen.statsForm());
    EXPECT_TRUE(screen.dataStatsControl().isVisible());
    EXPECT_TRUE(screen.hypothesisControl().isVisible());
    EXPECT_EQ(screen.hypothesisControl().title(0), "μ≠μ0");
    screen.setTestNum(Cat::ZInt);
    EXPECT_FALSE(screen.graphView().isVisible());
    EXPECT_FALSE(screen.hypothesisControl().isVisible());
    screen.setTestNum(Cat::T2Int);
    EXPECT_TRUE(screen.poolView().isVisible());
    screen.setTestNum(Cat::Chi2Test);
    EXPECT_FALSE(screen.keypad().isVisible());
    EXPECT_FALSE(screen.statsForm());
    screen.setTestNum(Cat::Regression);
    EXPECT_TRUE(screen.regressionButtonView().isVisible());
    EXPECT_EQ(screen.regressionButtonAt(6).text(), "Quad");
    screen.setTestNum(Cat::PropZ1Test);
    EXPECT_TRUE(screen.statsForm());
    EXPECT_FALSE(screen.dataStatsControl().isVisible());
    // The 2-SampTTest Data form has no fields but keeps its three results.
    screen.setTestNum(Cat::T2Test);
    screen.poolSwitch().setChecked(true);
    screen.dataStatsControl().click(0);
    EXPECT_EQ(screen.numFields(), 0);
    EXPECT_EQ(screen.numResults(), 3);
}

// ---- Computation and graphs ----

TEST_F(StatTestScreens, ZTestTypedWithTheKeysGivesZAndShadesBothTails)
{
    StatTestScreen& screen = show(Cat::ZTest);
    EXPECT_EQ(calc.currentScreen(), screens::StatTests);
    for (const char* value : {"100", "15", "105", "36"})
        enterValue(value);
    EXPECT_EQ(screen.currentField(), 3);
    EXPECT_DOUBLE_EQ(slot(SlotMu0), 100);
    EXPECT_DOUBLE_EQ(slot(SlotTestN), 36);
    EXPECT_NEAR(slot(SlotZ), 2, 1e-12);
    EXPECT_NEAR(slot(SlotP), 0.0455002639, 1e-10);
    EXPECT_EQ(screen.resultName(0), "z=");
    const PlotDistribution& shade = screen.distribution();
    EXPECT_EQ(shade.eqNum, DrawDistribution::kNormal);
    EXPECT_TRUE(shade.drawTails);
    EXPECT_NEAR(shade.dd->lowerBound, -2, 1e-12);
    EXPECT_NEAR(shade.dd->upperBound, 2, 1e-12);
    EXPECT_EQ(screen.window(), (Calculator::Bounds{-3.25, 3.25, -0.1, 0.41}));
    // Moving down from the last field stays there; up from the first too.
    press(KeyRouter::kDown);
    EXPECT_EQ(screen.currentField(), 3);
    for (int i = 0; i < 6; ++i)
        press(KeyRouter::kUp);
    EXPECT_EQ(screen.currentField(), 0);
}

TEST_F(StatTestScreens, AFailedEntryLeavesTheFieldAndKeepsItsText)
{
    StatTestScreen& screen = show(Cat::ZTest);
    enterValue("7");
    EXPECT_DOUBLE_EQ(slot(SlotMu0), 7);
    press(KeyRouter::kUp);
    typeKeys("1+");
    press(KeyRouter::kEnter);
    closeAlerts();
    EXPECT_DOUBLE_EQ(slot(SlotMu0), 7);
    EXPECT_EQ(screen.currentField(), 0);
    EXPECT_FALSE(screen.entryText().empty());
}

TEST_F(StatTestScreens, TTestOnAListAndOnAnUndefinedList)
{
    calc.locked()->lists[kL1] = reals({1, 2, 3, 4, 5});
    StatTestScreen& screen = show(Cat::TTest);
    screen.dataStatsControl().click(0);
    put(SlotMu0, 2);
    screen.computeTest();
    EXPECT_EQ(screen.listN(0), 5);
    EXPECT_DOUBLE_EQ(screen.listXBar(0), 3);
    EXPECT_NEAR(screen.listSx(0), 1.58113883, 1e-8);
    EXPECT_NEAR(slot(SlotT), 1.414213562, 1e-9);
    EXPECT_NEAR(slot(SlotP), 0.2301996411, 1e-10);
    EXPECT_EQ(screen.distribution().eqNum, DrawDistribution::kT);
    EXPECT_EQ(screen.distribution().dd->dfNumer, 4);

    // A list that went away: the form shows n 0 and NaN, with no alert.
    calc.locked()->lists.erase(kL1);
    screen.computeTest();
    EXPECT_EQ(screen.listN(0), 0);
    EXPECT_TRUE(std::isnan(screen.listXBar(0)));
    EXPECT_TRUE(std::isnan(screen.listSx(0)));
    EXPECT_EQ(screen.distribution().dd->dfNumer, -1);
    EXPECT_EQ(alerts(), 0u);
    // Without degrees of freedom there is no curve, and nothing is shaded.
    EXPECT_TRUE(screen.graphView().plotObjects.empty());
    const QImage graph = screen.graphView().grab().toImage();
    int green = 0;
    for (int y = 0; y < graph.height(); y += 4)
        for (int x = 0; x < graph.width(); x += 4) {
            const QColor c = graph.pixelColor(x, y);
            green += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
        }
    EXPECT_EQ(green, 0);
}

TEST_F(StatTestScreens, ChiSquareTestFillsTheExpectedMatrixAndRefusesATooSmallTableOnce)
{
    setMatrix(0, 2, 2, {10, 20, 30, 40});
    StatTestScreen& screen = show(Cat::Chi2Test);
    EXPECT_NEAR(slot(SlotChi2), 0.79365, 1e-5);
    EXPECT_NEAR(slot(SlotP), 0.37300, 1e-5);
    EXPECT_DOUBLE_EQ(slot(SlotDf), 1);
    EXPECT_NEAR(screen.window().xMin, 0, 1e-12);
    EXPECT_NEAR(screen.window().xMax, 20.77, 1e-12);
    // Below 2 degrees of freedom the y range is the view's default.
    EXPECT_EQ(screen.window().yMin, -1);
    EXPECT_EQ(screen.window().yMax, 1);
    const VQMatrix expected = calc.locked()->matrices[1];
    ASSERT_EQ(expected.dimRow(), 2u);
    EXPECT_NEAR(expected.row(0, 0), 12, 1e-12);
    EXPECT_NEAR(expected.row(1, 1), 42, 1e-12);

    setMatrix(0, 1, 1, {5});
    screen.computeTest();
    screen.computeTest();
    EXPECT_EQ(alerts(), 1u);
    ASSERT_TRUE(openAlert());
    EXPECT_EQ(openAlert()->text().toStdString(), EntryEvaluator::errString(17));
    closeAlerts();
    // An empty matrix is the same domain error, never a crash.
    calc.locked()->matrices[0] = VQMatrix();
    screen.setTestNum(Cat::Chi2Test);
    EXPECT_EQ(alerts(), 1u);
    closeAlerts();
}

TEST_F(StatTestScreens, QuadRegressionFitsAndItsResidualsArePlotted)
{
    calc.locked()->lists[kL1] = reals({1, 2, 3, 4, 5});
    calc.locked()->lists[kL2] = reals({1, 4, 9, 16, 25});
    StatTestScreen& screen = show(Cat::Regression);
    EXPECT_EQ(screen.numResults(), 2);
    screen.regressionButton(6);
    EXPECT_EQ(screen.regressionModel, 6);
    EXPECT_EQ(screen.numLeftResults(), 3);
    EXPECT_EQ(screen.resultLName(0), "a=");
    EXPECT_NEAR(screen.resultLValue(0), 1, 1e-10);
    EXPECT_NEAR(screen.resultLValue(1), 0, 1e-10);
    EXPECT_NEAR(screen.resultLValue(2), 0, 1e-10);
    ASSERT_EQ(screen.numResults(), 1);
    EXPECT_EQ(screen.resultName(0), "R²=");
    EXPECT_NEAR(screen.resultValue(0), 1, 1e-12);
    EXPECT_EQ(screen.title(), calc.nameForRegression(6).value_or(""));
    ASSERT_EQ(screen.graphView().plotObjects.size(), 2u);
    screen.dataResidControl().click(1);
    ASSERT_EQ(screen.graphView().plotObjects.size(), 1u);
    const auto* resid = dynamic_cast<PlotScatter*>(screen.graphView().plotObjects[0].get());
    ASSERT_NE(resid, nullptr);
    EXPECT_EQ(resid->stats->listYName, "RESID");
    screen.dataResidControl().click(0);

    // Lists of unequal length: one alert while editing, again after a model button.
    calc.locked()->lists[kL2] = reals({1, 4, 9, 16});
    screen.computeTest();
    screen.computeTest();
    EXPECT_EQ(alerts(), 1u);
    closeAlerts();
    screen.computeTest();
    EXPECT_EQ(alerts(), 0u);
    screen.regressionButton(0);
    EXPECT_EQ(alerts(), 1u);
    closeAlerts();

    // The fit's equation (RegEQ) keeps the fit's own b, 0.040000000000000015, which the
    // results show as .04, in Float and in Fix 0 (where a shows as 2).
    calc.locked()->lists[kL1] = reals({1, 2, 3, 4});
    calc.locked()->lists[kL2] = reals({2.6, 1.3, 1.1, 2.8});
    for (const int digits : {-1, 0}) {
        calc.locked()->numDigits = digits;
        screen.regressionButton(0);
        EXPECT_EQ(alerts(), 0u);
        EXPECT_EQ(TokenText::stringFromOps(calc.regressionEquation()), "1.85+.040000000000000015X") << digits;
    }
    calc.locked()->numDigits = -1;
}

TEST_F(StatTestScreens, ARefitThatFitsTheCurrentWindowKeepsIt)
{
    calc.locked()->lists[kL1] = reals({1, 2, 3, 4, 5});
    calc.locked()->lists[kL2] = reals({2, 4, 5, 4, 5});
    StatTestScreen& screen = show(Cat::Regression);
    const Calculator::Bounds first = screen.window();
    EXPECT_NEAR(first.xMin, 0, 1e-12);
    EXPECT_NEAR(first.xMax, 6, 1e-12);
    calc.locked()->lists[kL2] = reals({2, 4, 4.5, 4, 5});
    screen.computeTest();
    EXPECT_EQ(screen.window(), first);
}

// ---- Menu and list picker ----

TEST_F(StatTestScreens, TheMenuPicksAProcedureAndCancelKeepsTheCurrentOne)
{
    StatTestScreen& screen = show(Cat::ZTest);
    screen.menuButton().click();
    ASSERT_NE(screen.testMenu(), nullptr);
    EXPECT_TRUE(screen.testMenu()->isVisible());
    screen.testMenu()->cancelButton().click();
    EXPECT_FALSE(screen.testMenu()->isVisible());
    EXPECT_EQ(screen.testNum(), Cat::ZTest);
    screen.showTestMenu().pickRow(4);
    EXPECT_EQ(screen.testNum(), Cat::PropZ1Test);
    EXPECT_FALSE(screen.testMenu()->isVisible());
}

// RIGHT on an empty line brings the field's value onto it, the cursor one step in (the
// entry moves after the screen loads the value); RIGHT on a typed line only moves.
TEST_F(StatTestScreens, RightLoadsTheFieldsValueOntoAnEmptyLine)
{
    StatTestScreen& screen = show(Cat::ZTest);
    auto* line = dynamic_cast<EntryModel*>(calc.entryManager.get());
    ASSERT_NE(line, nullptr);
    enterValue("100");
    press(KeyRouter::kUp);
    ASSERT_EQ(screen.currentField(), 0);
    ASSERT_TRUE(line->text().empty());
    press(KeyRouter::kRight);
    EXPECT_EQ(line->text(), "100");
    EXPECT_EQ(line->entryCursor(), 1);
    press(KeyRouter::kRight);
    EXPECT_EQ(line->text(), "100");
    EXPECT_EQ(line->entryCursor(), 2);
    // Overwriting the last digit edits the value.
    typeKeys("5");
    press(KeyRouter::kEnter);
    EXPECT_DOUBLE_EQ(slot(SlotMu0), 105);
    EXPECT_EQ(screen.currentField(), 1);
    // A field without a value puts nothing on the line.
    put(SlotSigma, std::nan(""));
    press(KeyRouter::kRight);
    EXPECT_TRUE(line->text().empty());
    // A procedure without fields ignores it.
    show(Cat::Chi2Test);
    press(KeyRouter::kRight);
    EXPECT_TRUE(line->text().empty());
}

// Brings the menu's running slides to their ends.
void finishSlides(StatTestMenu& menu)
{
    for (auto* slide : menu.findChildren<QVariantAnimation*>())
        if (slide->state() == QAbstractAnimation::Running)
            slide->setCurrentTime(slide->totalDuration());
}

// Every row's (i) button slides in the procedure's own help page over the list; Back
// slides it out, and the menu opened again starts on the list.
TEST_F(StatTestScreens, TheMenusInfoButtonShowsTheProceduresHelpPage)
{
    HelpView::setFactory([](Calculator& c, QWidget* parent) { return new FunctionHelpPDFView(c, parent); });
    struct Unset {
        ~Unset() { HelpView::setFactory(nullptr); }
    } unset;
    StatTestScreen& screen = show(Cat::ZTest);
    StatTestMenu& menu = screen.showTestMenu();
    const QImage list = menu.grab().toImage();
    // The (i) buttons are drawn in blue at the rows' right ends.
    const QPointF mark = menu.detailCenter(1);
    int blue = 0;
    for (int y = static_cast<int>(mark.y() - menu.rowHeight() / 2); y < static_cast<int>(mark.y() + menu.rowHeight() / 2); ++y)
        for (int x = menu.width() - StatTestMenu::kDetailWidth; x < menu.width(); ++x) {
            const QColor c = list.pixelColor(x, y);
            blue += c.blue() > 200 && c.red() < 80 && c.green() < 170;
        }
    EXPECT_GT(blue, 10);
    // A tap on it: T-Test's page, not a pick.
    const auto tap = [&](QPointF at) {
        QMouseEvent pressed(QEvent::MouseButtonPress, at, menu.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&menu, &pressed);
    };
    tap(mark);
    EXPECT_TRUE(menu.helpShown());
    EXPECT_EQ(screen.testNum(), Cat::ZTest);
    EXPECT_TRUE(menu.isVisible());
    ASSERT_NE(menu.help().view(), nullptr);
    EXPECT_EQ(menu.help().functionName(), QString::fromUtf8("T-Test…"));
    EXPECT_TRUE(menu.help().view()->functionDefined());
    EXPECT_TRUE(menu.backButton().isVisible());
    EXPECT_FALSE(menu.cancelButton().isVisible());
    // Once slid in, the page covers the list.
    finishSlides(menu);
    EXPECT_EQ(menu.help().geometry(), QRect(0, StatTestMenu::kBarHeight, menu.width(), menu.height() - StatTestMenu::kBarHeight));
    const QImage page = menu.grab().toImage();
    int changed = 0;
    for (int y = StatTestMenu::kBarHeight; y < page.height(); y += 4)
        for (int x = 0; x < page.width(); x += 4)
            changed += page.pixel(x, y) != list.pixel(x, y);
    EXPECT_GT(changed, page.width() * (page.height() - StatTestMenu::kBarHeight) / 16 / 4);
    // Taps on the covered list pick nothing; Back returns to the list.
    tap(menu.rowCenter(4));
    EXPECT_EQ(screen.testNum(), Cat::ZTest);
    menu.backButton().click();
    EXPECT_FALSE(menu.helpShown());
    EXPECT_TRUE(menu.cancelButton().isVisible());
    // Every procedure has its page.
    for (int r = 0; r < static_cast<int>(Cat::kMenuOrder.size()); ++r) {
        menu.openHelp(r);
        EXPECT_TRUE(menu.help().view()->functionDefined()) << menu.help().functionName().toStdString();
        menu.popHelp();
    }
    // Back and (i) at once: the page ends in place, shown.
    menu.openHelp(3);
    finishSlides(menu);
    EXPECT_TRUE(menu.help().isVisible());
    EXPECT_EQ(menu.help().geometry(), QRect(0, StatTestMenu::kBarHeight, menu.width(), menu.height() - StatTestMenu::kBarHeight));
    menu.popHelp();
    finishSlides(menu);
    EXPECT_FALSE(menu.help().isVisible());
    // Left on a page, the menu opened again shows the list.
    menu.openHelp(0);
    menu.hide();
    screen.showTestMenu();
    EXPECT_FALSE(menu.helpShown());
    EXPECT_FALSE(menu.help().isVisible());
    tap(menu.rowCenter(1));
    EXPECT_EQ(screen.testNum(), Cat::TTest);
}

// A tablet's menu is a popover: a tap outside it closes it, as the desktop closes popups,
// and the procedure stays; a tap on a row picks it.
TEST_F(StatTestScreens, ATabletsMenuClosesAtATapOutsideIt)
{
    becomeTablet();
    StatTestScreen& screen = show(Cat::ZTest);
    StatTestMenu& menu = screen.showTestMenu();
    ASSERT_TRUE(menu.isWindow());
    const auto tap = [&](QPointF at) {
        QMouseEvent pressed(QEvent::MouseButtonPress, at, menu.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&menu, &pressed);
    };
    tap(QPointF(menu.width() + 20, 20));
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(screen.testNum(), Cat::ZTest);
    screen.showTestMenu();
    tap(menu.rowCenter(1));
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(screen.testNum(), Cat::TTest);
}

TEST_F(StatTestScreens, TheListPickerOffersTheWheelsOfTheProcedure)
{
    calc.locked()->lists[kL1] = reals({1, 2, 3});
    calc.locked()->lists[kL2] = reals({4, 5, 6, 7});
    calc.locked()->lists[kL3] = reals({1, 1, 2});
    StatTestScreen& screen = show(Cat::TTest);
    screen.dataStatsControl().click(0);
    // A tap on the list rows opens the picker.
    screen.form().tapAt(QPointF(20, screen.form().leading() * 1.5));
    StatTestListPicker* picker = screen.listPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->titles(), (std::vector<std::string>{"List1", "Freq1"}));
    ColumnPicker& wheels = picker->picker();
    ASSERT_EQ(wheels.columnCount(), 2);
    EXPECT_EQ(wheels.rowCount(0), 3);
    EXPECT_EQ(wheels.rowCount(1), 4);
    EXPECT_EQ(wheels.row(1, 0)->text, "1");
    EXPECT_EQ(wheels.selectedRow(0), 0);
    EXPECT_EQ(wheels.selectedRow(1), 0);
    // A turn is taken at once, Done recomputes.
    wheels.selectRow(0, 1);
    picker->finish();
    EXPECT_EQ(screen.list1, kL2);
    EXPECT_EQ(screen.listN(0), 4);
    EXPECT_FALSE(picker->isVisible());

    screen.setTestNum(Cat::Z2Test);
    screen.dataStatsControl().click(0);
    screen.selectList();
    EXPECT_EQ(picker->picker().columnCount(), 4);
    screen.setTestNum(Cat::Chi2GOF);
    screen.selectList();
    EXPECT_EQ(picker->picker().columnCount(), 2);
    EXPECT_EQ(picker->titles(), (std::vector<std::string>{"List1", "List2"}));
    screen.setTestNum(Cat::LinRegTInt);
    screen.selectList();
    EXPECT_EQ(picker->picker().columnCount(), 3);
    picker->picker().selectRow(2, 3);
    picker->finish();
    EXPECT_EQ(screen.freq1, kL3);
    screen.setTestNum(Cat::Chi2Test);
    screen.selectList();
    ASSERT_EQ(picker->picker().columnCount(), 2);
    EXPECT_EQ(picker->picker().rowCount(0), 10);
    EXPECT_EQ(picker->picker().row(0, 9)->text, "[J]");
    picker->picker().selectRow(1, 2);
    picker->finish();
    EXPECT_EQ(screen.matrixName(1), "[C]");
    // A name no longer defined shows the first list, which Done then takes.
    screen.setTestNum(Cat::TTest);
    screen.dataStatsControl().click(0);
    screen.list1 = "GONE";
    screen.selectList();
    EXPECT_EQ(picker->picker().selectedRow(0), 0);
    picker->finish();
    EXPECT_EQ(screen.list1, kL1);
}

TEST_F(StatTestScreens, DoneAndQuitCloseTheScreen)
{
    StatTestScreen& screen = show(Cat::TTest);
    // A show without a procedure's token keeps the last one.
    root->showStatTest(0);
    EXPECT_EQ(screen.testNum(), Cat::TTest);
    screen.doneButton().click();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    show(Cat::ZTest);
    router().showHome();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    show(Cat::ZTest);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&screen, &escape);
    EXPECT_FALSE(screen.isVisible());
}

// ---- Failures ----

// Every procedure, in each of its forms, at both sizes: a value outside its domain typed
// into any field that has one is told with the error the home screen gives for it (17,
// or 82 for a confidence level), and the form then draws its results' names with no values
// (none of the last run stands beside the new inputs); a good value brings them back.
TEST_F(StatTestScreens, EveryProcedureTellsABadFieldValueAndShowsNoStaleResult)
{
    // A bad value and its error for a field's slot; the means and μ0 have none.
    const auto badValue = [](int s) -> std::optional<std::pair<std::string, int>> {
        if (s == SlotSigma || s == SlotSigma1 || s == SlotSigma2 || s == SlotSx || s == SlotSx1 || s == SlotSx2
            || s == SlotTestN || s == SlotN1 || s == SlotN2 || s == SlotP0 || s == SlotDf)
            return std::pair<std::string, int>{"0", 17};
        if (s == SlotX || s == SlotX1 || s == SlotX2)
            return std::pair<std::string, int>{"11", 17};
        if (s == SlotCLevel)
            return std::pair<std::string, int>{"150", 82};
        return std::nullopt;
    };
    const std::map<int, double> good{{SlotMu0, 0}, {SlotSigma, 1}, {SlotXMean, 1}, {SlotSx, 1}, {SlotTestN, 10},
        {SlotSigma1, 1}, {SlotSigma2, 1}, {SlotXMean1, 1}, {SlotXMean2, 2}, {SlotSx1, 1}, {SlotSx2, 2}, {SlotN1, 10},
        {SlotN2, 10}, {SlotP0, 0.5}, {SlotX, 5}, {SlotX1, 5}, {SlotX2, 6}, {SlotCLevel, 0.95}, {SlotDf, 3}};
    const auto goodInputs = [&] {
        for (const auto& [s, v] : good)
            put(s, v);
    };
    setMatrix(0, 2, 2, {10, 20, 30, 40});
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        calc.locked()->lists[kL1] = reals({1, 2, 3, 4, 6});
        calc.locked()->lists[kL2] = reals({2, 3, 5, 4, 7});
        int told = 0;
        for (const std::uint32_t op : Cat::kMenuOrder)
            for (const int form : {1, 0}) {
                StatTestScreen& first = show(op);
                if (form == 0 && !first.dataStatsControl().isVisible())
                    continue;
                for (int i = 0;; ++i) {
                    goodInputs();
                    StatTestScreen& screen = show(op);
                    if (screen.dataStatsControl().isVisible())
                        screen.dataStatsControl().click(form);
                    closeAlerts();
                    screen.computeTest();
                    const std::string where = screen.title() + " form " + std::to_string(form) + " field "
                        + std::to_string(i) + (tablet ? " tablet" : " phone");
                    EXPECT_EQ(alerts(), 0u) << where;
                    EXPECT_FALSE(screen.failed()) << where;
                    if (i >= screen.numFields())
                        break;
                    const auto bad = badValue(screen.getRegForField(i));
                    if (!bad)
                        continue;
                    screen.selectField(i);
                    enterValue(bad->first);
                    ASSERT_TRUE(openAlert()) << where;
                    EXPECT_EQ(openAlert()->text().toStdString(), EntryEvaluator::errString(bad->second)) << where;
                    closeAlerts();
                    ++told;
                    EXPECT_TRUE(screen.failed()) << where;
                    for (int r = 0; r < screen.numResults(); ++r)
                        EXPECT_TRUE(std::isnan(screen.resultValue(r))) << where << " result " << r;
                    for (int r = 0; r < screen.numLeftResults(); ++r)
                        EXPECT_TRUE(std::isnan(screen.resultLValue(r))) << where << " left result " << r;
                    // The first result row shows its name and nothing after it.
                    QCoreApplication::processEvents();
                    StatTestView& view = screen.form();
                    const QImage picture = view.grab().toImage();
                    const double dpr = picture.devicePixelRatio();
                    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", view.fontSize()));
                    const double nameEnd = view.width() / 2.0 + metrics.horizontalAdvance(QString::fromStdString(screen.resultName(0))) + 2;
                    const QRect valueArea(QPointF(nameEnd * dpr, (view.fieldTop() + 3) * dpr).toPoint(),
                                          QPointF((view.width() - 4) * dpr, (view.fieldTop() + view.leading() - 3) * dpr).toPoint());
                    EXPECT_LT(textContrast(picture, valueArea), 1.5) << where;
                    // The value put right gives results again.
                    screen.selectField(i);
                    enterValue(QString::number(good.at(screen.getRegForField(i))).toStdString());
                    EXPECT_EQ(alerts(), 0u) << where;
                    EXPECT_FALSE(screen.failed()) << where;
                    EXPECT_FALSE(std::isnan(screen.resultValue(0))) << where;
                }
            }
        EXPECT_GE(told, 55);
    }
}

// The list table's mean and deviation read whole in their columns at both sizes: on the
// phone they are formatted to 8 characters, on the tablet to what its columns hold (a
// deviation of 1.106767770 would run over both edges of its column): ink stands clear of
// each column's edges.
TEST_F(StatTestScreens, TheListTablesNumbersFitTheirColumns)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        calc.locked()->lists[kL1] = reals({1.5, 2.25, 3.125, 4.0625});
        StatTestScreen& screen = show(Cat::TTest);
        screen.dataStatsControl().click(0);
        QCoreApplication::processEvents();
        ASSERT_EQ(screen.numLists(), 1);
        EXPECT_NEAR(screen.listSx(0), 1.1067677696, 1e-9);
        StatTestView& view = screen.form();
        const QImage picture = view.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", view.fontSize()));
        const double c = metrics.horizontalAdvance(QLatin1Char('0'));
        const double W = view.width(), L = view.leading(), mid = (16 * c + W) / 2;
        const double top = 2 * L + 3, bottom = 3 * L - 3;
        int columnInk = 0;
        for (const auto& [left, right] : {std::pair{16 * c, mid}, std::pair{mid, W - 2}}) {
            const auto ink = [&](double x0, double x1) {
                return textContrast(picture, QRect(QPointF(x0 * dpr, top * dpr).toPoint(), QPointF(x1 * dpr, bottom * dpr).toPoint()));
            };
            columnInk += ink(left + 3, right - 3) > 3;
            EXPECT_LT(ink(left + 2, left + 4), 1.5) << tablet << " column at " << left;
            EXPECT_LT(ink(right - 4, right - 2), 1.5) << tablet << " column at " << left;
        }
        EXPECT_EQ(columnInk, 2) << tablet;
        screen.done();
    }
}

// A long entry typed into a field wraps within the left column: the results' half of the
// form looks the same as with nothing typed, at both sizes.
TEST_F(StatTestScreens, ALongEntryWrapsBesideTheResults)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        StatTestScreen& screen = show(Cat::ZTest);
        calc.cursorVisible = false;
        StatTestView& view = screen.form();
        const auto resultsHalf = [&] {
            const QImage picture = view.grab().toImage();
            const double dpr = picture.devicePixelRatio();
            return picture.copy(QRectF(view.width() / 2.0 * dpr, view.fieldTop() * dpr, view.width() / 2.0 * dpr,
                                       screen.numResults() * view.leading() * dpr).toRect());
        };
        const QImage before = resultsHalf();
        typeKeys("1234567890123456789012345678901234567890");
        calc.cursorVisible = false;
        ASSERT_FALSE(screen.entryText().empty());
        EXPECT_TRUE(resultsHalf() == before) << tablet;
        const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", view.fontSize()));
        EXPECT_LE(4 + view.typedRowLength() * metrics.horizontalAdvance(QLatin1Char('0')), view.width() / 2.0) << tablet;
        if (EntryModel* e = dynamic_cast<EntryModel*>(calc.entryManager.get()))
            e->clear();
        screen.done();
    }
}

// ---- Pictures ----

// The pooled switch's label reads over the graph on both forms of 2-SampTTest and on
// 2-SampTInt, at both sizes: its letters (what the label adds to the picture) stand out
// from what is around them.
TEST_F(StatTestScreens, ThePooledSwitchReadsOverTheGraph)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        StatTestScreen& screen = show(Cat::T2Test);
        for (const int form : {0, 1, 2}) {
            if (form == 2)
                screen.setTestNum(Cat::T2Int);
            else
                screen.dataStatsControl().click(form);
            QCoreApplication::processEvents();
            QCheckBox& pooled = screen.poolSwitch();
            ASSERT_TRUE(pooled.isVisible()) << tablet << form;
            const QImage shown = screen.grab().toImage();
            const QString label = pooled.text();
            pooled.setText(QString());
            const QImage bare = screen.grab().toImage();
            pooled.setText(label);
            const double dpr = shown.devicePixelRatio();
            const QRect area(pooled.mapTo(&screen, QPoint(0, 0)) * dpr, pooled.size() * dpr);
            ASSERT_TRUE(shown.rect().contains(area)) << tablet << form;
            const QColor back = backgroundIn(shown, area);
            int letters = 0;
            double best = 1;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (shown.pixel(x, y) != bare.pixel(x, y)) {
                        ++letters;
                        best = std::max(best, contrastRatio(shown.pixelColor(x, y), back));
                    }
            EXPECT_GT(letters, 20) << tablet << form;
            EXPECT_GE(best, 4.5) << tablet << form;
        }
        screen.done();
    }
}

// The form's title reads on its banner and the graph shades both tails beyond |z| = 2 but
// not the middle, at both sizes.
TEST_F(StatTestScreens, ThePictureShowsTheTitleAndTheShadedTails)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        StatTestScreen& screen = show(Cat::ZTest);
        put(SlotMu0, 100);
        put(SlotSigma, 15);
        put(SlotXMean, 105);
        put(SlotTestN, 36);
        screen.computeTest();
        QCoreApplication::processEvents();
        EXPECT_GT(screen.graphView().height(), 100) << tablet;
        EXPECT_GT(screen.keypad().height(), 100) << tablet;
        const QImage form = screen.form().grab().toImage();
        const double dpr = form.devicePixelRatio();
        const int L = static_cast<int>(screen.form().leading() * dpr);
        EXPECT_GE(textContrast(form, QRect(0, 0, form.width(), L)), 3.0) << tablet;
        const QImage graph = screen.graphView().grab().toImage();
        const double gw = graph.width(), gh = graph.height();
        const auto px = [&](double x) { return static_cast<int>((x + 3.25) / 6.5 * gw); };
        const auto py = [&](double y) { return static_cast<int>((0.41 - y) / 0.51 * gh); };
        const auto greenish = [&](double x, double y) {
            const QColor c = graph.pixelColor(px(x), py(y));
            return c.green() > c.red() + 40 && c.green() > c.blue() + 40;
        };
        EXPECT_TRUE(greenish(-2.4, 0.006)) << tablet;
        EXPECT_TRUE(greenish(2.4, 0.006)) << tablet;
        EXPECT_FALSE(greenish(0.5, 0.1)) << tablet;
        EXPECT_FALSE(greenish(-1, 0.1)) << tablet;
        screen.done();
    }
}

// A phone on its side leaves the graph a short band whose axis runs along Data/Stats and the
// hypothesis control: every x number stands above them, where it reads.
TEST_F(StatTestScreens, TheAxisNumbersStandAboveTheControlsAlongAShortGraph)
{
    root->resize(844, 390);
    for (const std::uint32_t op : {Cat::ZTest, Cat::T2Test}) {
        StatTestScreen& screen = show(op);
        FixedGraphView& graph = screen.graphView();
        graph.grab();
        const double floor = screen.dataStatsControl().geometry().top() - graph.geometry().top();
        const double height = QFontMetricsF(FontMap::shared().font("Helvetica", 14)).height();
        int across = 0;
        for (const AxisLabels::Label& label : graph.labels().labels)
            if (label.topLeft.y() + height > graph.height() / 2) {
                ++across;
                EXPECT_LE(label.topLeft.y() + height, floor) << label.text;
            }
        EXPECT_GE(across, 5) << std::hex << op;
    }
}

} // namespace
} // namespace orvenda::test
