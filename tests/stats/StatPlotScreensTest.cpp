// The stat plot list, its set-up sheet and the statistics wizard as the app registers
// them: taps, the sheet's picker, what Done and Calculate write, and their pictures.

#include "PictureChecks.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "app/YEqTestSupport.h"
#include "eval/Parser.h"
#include "app/ui/ScreenTestSupport.h"
#include "input/SegmentedControl.h"
#include "input/VQColorPallet.h"
#include "input/VQColorPicker.h"
#include "numeric/VQStatistics.h"
#include "stats/ColumnPicker.h"
#include "stats/StatEqScreen.h"
#include "stats/StatEqView.h"
#include "stats/StatPlotModel.h"
#include "stats/StatPlotSetup.h"
#include "stats/StatWizScreen.h"
#include "WidgetEvents.h"

#include <QImage>
#include <QPushButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

const std::string L1 = "L\xE2\x82\x81", L2 = "L\xE2\x82\x82", L3 = "L\xE2\x82\x83";

class StatScreens : public ScreensTest {
protected:
    StatScreens()
    {
        calc.statGraphManager = model;
        registerScreens(*root);
        calc.locked()->lists.clear();
        calc.locked()->lists[L1] = reals({1, 2, 3, 4, 5});
        calc.locked()->lists[L2] = reals({2, 4, 5, 4, 5});
        calc.locked()->lists[L3] = reals({1, 1, 2, 1, 1});
    }
    ~StatScreens() override { calc.statGraphManager.reset(); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::StatPlots, [this](QWidget* p) { return new StatEqScreen(calc, shell, router(), p); });
        window.screens().set(screens::StatPlotColor, [this](QWidget* p) { return new StatPlotSetup(calc, shell, router(), p); });
        window.screens().set(screens::StatWizard, [this](QWidget* p) { return new StatWizScreen(calc, shell, router(), p); });
    }
    StatEqScreen& showList()
    {
        router().showScreen(screens::StatPlots);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return *static_cast<StatEqScreen*>(router().controller(screens::StatPlots));
    }
    StatPlotSetup* setup() const { return static_cast<StatPlotSetup*>(root->router().controller(screens::StatPlotColor)); }
    StatWizScreen& showWizard(std::uint32_t op)
    {
        router().showScreen(screens::StatWizard, {static_cast<int>(op), {}});
        return *static_cast<StatWizScreen*>(router().controller(screens::StatWizard));
    }
    std::shared_ptr<VQStatistics> stats(int plot) { return model->stats(plot); }
    bool on(int plot) { return calc.locked(), model->plotVisible(plot); }
    EntryModel& entry() { return *dynamic_cast<EntryModel*>(calc.entryManager.get()); }
    std::string typed() { return calc.stringFromOps(entry().entryOps()); }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
    }

    std::shared_ptr<StatPlotModel> model = std::make_shared<StatPlotModel>(calc);
};

// ---- The list ----

TEST_F(StatScreens, ATapOnTheSwitchTurnsThePlotOnOrOffWithoutTheSheet)
{
    StatEqScreen& screen = showList();
    StatEqView& list = screen.list();
    const double h = list.rowHeight();
    const QImage before = list.grab().toImage();
    list.tap(QPointF(20, h * 1.5));
    EXPECT_TRUE(on(1));
    EXPECT_FALSE(setup() && setup()->isVisible());
    // The switch's picture follows at once.
    const QImage after = list.grab().toImage();
    const QRect knob(0, int(h * before.devicePixelRatio()), int(38 * before.devicePixelRatio()), int(h * before.devicePixelRatio()));
    EXPECT_NE(before.copy(knob), after.copy(knob));
    list.tap(QPointF(20, h * 1.5));
    EXPECT_FALSE(on(1));
    screen.selectRow(4);
    EXPECT_TRUE(on(4));
}

TEST_F(StatScreens, ATapOnARowsTextOpensItsSheetAlsoForAPlotThatIsOff)
{
    StatEqScreen& screen = showList();
    screen.list().tap(QPointF(200, screen.list().rowHeight() * 2.5));
    ASSERT_NE(setup(), nullptr);
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_EQ(setup()->statEqNum(), 2);
    EXPECT_FALSE(on(2));
    EXPECT_EQ(calc.currentScreen(), screens::StatPlots);
}

TEST_F(StatScreens, EachRowNamesItsDataByTheType)
{
    model->setPlotType(0, StatGraphManager::Scatter);
    stats(0)->listYName = L2;
    model->setPlotType(1, StatGraphManager::Histogram);
    model->setPlotType(2, StatGraphManager::Boxplot);
    stats(2)->freqName = L3;
    model->setPlotType(3, StatGraphManager::NormProbPlot);
    model->setPlotType(4, StatGraphManager::NormProbPlot);
    model->setPlotAxis(4, 1);
    StatEqView& list = showList().list();
    using Lines = std::pair<QString, QString>;
    const QString l1 = QString::fromStdString(L1), l2 = QString::fromStdString(L2), l3 = QString::fromStdString(L3);
    EXPECT_EQ(list.rowLines(0), Lines("Xlist:" + l1, "Ylist:" + l2));
    EXPECT_EQ(list.rowLines(1), Lines("Xlist:" + l1, "Freq:1"));
    EXPECT_EQ(list.rowLines(2), Lines("Xlist:" + l1, "Freq:" + l3));
    EXPECT_EQ(list.rowLines(3), Lines("Data List:" + l1, "Data Axis:X"));
    EXPECT_EQ(list.rowLines(4), Lines("Data List:" + l1, "Data Axis:Y"));
}

// The rows' text reads against the list, the type icon is drawn in the plot's colour, at
// both sizes.
TEST_F(StatScreens, TheListsPictureShowsIconsInThePlotsColourAndReadableLines)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        model->setPlotColor(0, VQColor::colorR(0, 0, 1, 1));
        StatEqView& list = showList().list();
        const QImage picture = list.grab().toImage();
        const double dpr = picture.devicePixelRatio(), h = list.rowHeight();
        int blue = 0;
        for (int y = 0; y < int(h * dpr); ++y)
            for (int x = int(40 * dpr); x < int(80 * dpr); ++x) {
                const QColor c = picture.pixelColor(x, y);
                blue += c.blue() > 150 && c.red() < 90 && c.green() < 90;
            }
        EXPECT_GT(blue, 5) << tablet;
        const QRect text(int(100 * dpr), 0, int(150 * dpr), int(h * dpr));
        EXPECT_GE(textContrast(picture, text), 3.0) << tablet;
    }
}

// ---- The sheet ----

TEST_F(StatScreens, TheSheetLoadsThePlotAndDoneWritesItAndTurnsItOn)
{
    model->setPlotType(5, StatGraphManager::XYLine);
    model->setPlotMark(5, 2);
    stats(5)->listXName = L2;
    stats(5)->listYName = L3;
    router().showOverlay(screens::StatPlotColor, 9);
    StatPlotSetup& sheet = *setup();
    EXPECT_EQ(sheet.statEqNum(), 5);
    EXPECT_EQ(sheet.title(), "XYLine");
    EXPECT_EQ(sheet.fourthCaption(), "Y List");
    EXPECT_EQ(sheet.selection(), (std::vector<std::string>{"xyLine", "dotDot", L2, L3}));
    sheet.pick(StatPlotSetup::XListColumn, 0);
    sheet.pick(StatPlotSetup::FourthColumn, 1);
    // Nothing is written before Done.
    EXPECT_EQ(stats(5)->listXName, L2);
    sheet.done();
    EXPECT_TRUE(on(5));
    EXPECT_EQ(stats(5)->listXName, L1);
    EXPECT_EQ(stats(5)->listYName, L2);
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(StatScreens, TheTypeRelabelsTheFourthColumnAndDoneReadsItByTheTypeShown)
{
    stats(0)->freqName = L3;
    router().showOverlay(screens::StatPlotColor, 0);
    StatPlotSetup& sheet = *setup();
    sheet.pick(StatPlotSetup::TypeColumn, StatGraphManager::Histogram);
    EXPECT_EQ(sheet.title(), "Histogram");
    EXPECT_EQ(sheet.fourthCaption(), "Freq");
    EXPECT_EQ(sheet.picker().rowCount(StatPlotSetup::FourthColumn), 4);
    EXPECT_EQ(sheet.picker().row(StatPlotSetup::FourthColumn, 0)->text, "1");
    // "1" removes the frequency list.
    sheet.pick(StatPlotSetup::FourthColumn, 0);
    sheet.done();
    EXPECT_EQ(model->plotType(0), StatGraphManager::Histogram);
    EXPECT_FALSE(stats(0)->freqName);
    // A normal probability plot's fourth column is its data axis.
    router().showOverlay(screens::StatPlotColor, 0);
    sheet.pick(StatPlotSetup::TypeColumn, StatGraphManager::NormProbPlot);
    EXPECT_EQ(sheet.fourthCaption(), "Axis");
    EXPECT_EQ(sheet.picker().row(StatPlotSetup::FourthColumn, 1)->text, "Y Axis");
    sheet.pick(StatPlotSetup::FourthColumn, 1);
    sheet.done();
    EXPECT_EQ(model->plotDataAxis(0), 1);
    // A frequency list that is set loads one row below its list's place.
    stats(1)->freqName = L2;
    model->setPlotType(1, StatGraphManager::Boxplot);
    router().showOverlay(screens::StatPlotColor, 1);
    EXPECT_EQ(sheet.picker().selectedRow(StatPlotSetup::FourthColumn), 2);
}

TEST_F(StatScreens, AStaleListNameLoadsTheFirstRowAndNoListsLeaveTheNamesAlone)
{
    stats(0)->listXName = "GONE";
    router().showOverlay(screens::StatPlotColor, 0);
    EXPECT_EQ(setup()->picker().selectedRow(StatPlotSetup::XListColumn), 0);
    calc.locked()->lists.clear();
    router().showOverlay(screens::StatPlotColor, 0);
    EXPECT_EQ(setup()->picker().rowCount(StatPlotSetup::XListColumn), 0);
    setup()->done();
    EXPECT_EQ(stats(0)->listXName, "GONE");
    EXPECT_TRUE(on(0));
}

// The picker by the mouse: a click on the row under the band picks it; the wheel steps.
TEST_F(StatScreens, ThePickerTakesClicksAndTheWheel)
{
    router().showOverlay(screens::StatPlotColor, 0);
    StatPlotSetup& sheet = *setup();
    ColumnPicker& picker = sheet.picker();
    const QPointF below = picker.rowCenter(StatPlotSetup::TypeColumn, 2);
    clickAt(*root, picker.mapTo(root.get(), below.toPoint()));
    EXPECT_EQ(picker.selectedRow(StatPlotSetup::TypeColumn), 2);
    EXPECT_EQ(sheet.fourthCaption(), "Freq");
    EXPECT_EQ(picker.columnAt(-5), -1);
    // One notch down steps the mark column on by a row, never past its last.
    const QPointF mark = picker.rowCenter(StatPlotSetup::MarkColumn, picker.selectedRow(StatPlotSetup::MarkColumn));
    for (int notch = 0; notch < 4; ++notch) {
        QWheelEvent wheel(mark, picker.mapToGlobal(mark), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&picker, &wheel);
        EXPECT_EQ(picker.selectedRow(StatPlotSetup::MarkColumn), std::min(notch + 1, 2));
    }
    const QImage picture = sheet.grab().toImage();
    EXPECT_FALSE(picture.isNull());
    // Done from its button closes the sheet.
    clickAt(*root, centreIn(*root, sheet.doneButton()));
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(model->plotType(0), StatGraphManager::Histogram);
    EXPECT_EQ(model->plotMark(0), 2);
}

// The sheet covers the menu area; the picker's rows and the captions read, at both sizes.
TEST_F(StatScreens, TheSheetsPickerAndCaptionsReadAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        StatEqScreen& list = showList();
        list.list().tap(QPointF(200, list.list().rowHeight() / 2));
        StatPlotSetup& sheet = *setup();
        EXPECT_EQ(sheet.geometry(), router().menuRect().toRect()) << tablet;
        const QImage picture = sheet.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const ColumnPicker& picker = sheet.picker();
        for (int column = StatPlotSetup::TypeColumn; column <= StatPlotSetup::FourthColumn; ++column) {
            const QPointF centre = picker.mapTo(&sheet, picker.rowCenter(column, picker.selectedRow(column)).toPoint());
            const QRect row(int((centre.x() - 24) * dpr), int((centre.y() - 18) * dpr), int(48 * dpr), int(36 * dpr));
            EXPECT_GE(textContrast(picture, row), 3.0) << tablet << " column " << column;
        }
        const QRect caption(picker.x() * dpr, int((StatPlotSetup::kNavHeight + 4) * dpr), picker.width() * dpr, int(24 * dpr));
        EXPECT_GE(textContrast(picture, caption), 3.0) << tablet;
        EXPECT_TRUE(sheet.doneButton().isVisible()) << tablet;
    }
}

// The colour is picked in the general colour picker, filling the sheet below the columns:
// a palette colour recolours the type images at once and Done stores it.
TEST_F(StatScreens, TheSheetPicksItsColourInTheGeneralPickerAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        {
            const auto held = calc.locked();
            model->setPlotColor(0, VQColor::colorR(0, 0, 1, 1));
        }
        StatEqScreen& list = showList();
        list.list().tap(QPointF(200, list.list().rowHeight() / 2));
        StatPlotSetup& sheet = *setup();
        VQColorPicker& picker = sheet.colorPicker();
        ASSERT_TRUE(picker.isVisible()) << tablet;
        const QRect area(picker.mapTo(&sheet, QPoint(0, 0)), picker.size());
        EXPECT_GE(area.top(), sheet.picker().geometry().bottom()) << tablet;
        EXPECT_LE(area.bottom(), sheet.height()) << tablet;
        EXPECT_GE(area.height(), 250) << tablet;
        EXPECT_EQ(picker.color().b(), 1) << tablet;
        EXPECT_EQ(picker.color().r(), 0) << tablet;
        EXPECT_TRUE(picker.modeControl().isVisible()) << tablet;

        picker.selectMode(VQColorPicker::Palette);
        VQColorPallet& pallet = picker.pallet();
        ASSERT_TRUE(pallet.isVisible()) << tablet;
        const QRectF red = VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7);
        clickAt(*root, pallet.mapTo(root.get(), red.center().toPoint()));
        EXPECT_EQ(sheet.color().r(), 1) << tablet;
        EXPECT_EQ(sheet.color().g(), 0) << tablet;
        // The palette is drawn in the sheet, and the type column's images take the colour.
        const QImage picture = sheet.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const QPoint cell = pallet.mapTo(&sheet, red.center().toPoint()) * dpr;
        const QColor shown = picture.pixelColor(cell);
        EXPECT_TRUE(shown.red() > 200 && shown.green() < 60 && shown.blue() < 60) << tablet << shown.name().toStdString();
        const ColumnPicker::Row* type = sheet.picker().row(StatPlotSetup::TypeColumn, 0);
        ASSERT_NE(type, nullptr);
        bool redInk = false, blueInk = false;
        for (int y = 0; y < type->image.height(); ++y)
            for (int x = 0; x < type->image.width(); ++x) {
                const QColor c = type->image.pixelColor(x, y);
                redInk = redInk || (c.alpha() > 200 && c.red() > 200 && c.blue() < 60);
                blueInk = blueInk || (c.alpha() > 200 && c.blue() > 200 && c.red() < 60);
            }
        EXPECT_TRUE(redInk) << tablet;
        EXPECT_FALSE(blueInk) << tablet;
        {
            const auto held = calc.locked();
            EXPECT_EQ(model->plotColor(0).b(), 1) << "nothing stored before Done";
        }
        sheet.done();
        const auto held = calc.locked();
        EXPECT_EQ(model->plotColor(0).r(), 1) << tablet;
        EXPECT_EQ(model->plotColor(0).b(), 0) << tablet;
    }
}

// ---- The wizard ----

TEST_F(StatScreens, TheWizardsDefaultsPasteExactlyTheCommandsTokens)
{
    StatWizScreen& wizard = showWizard(0xF4);
    EXPECT_EQ(wizard.commandOps(), (Ops{0xF4, 0x5D00, 0x2B, 0x5D01}));
    ASSERT_EQ(wizard.form().fields().size(), 4u);
    EXPECT_EQ(wizard.form().fields()[0].label, "Xlist=");
    EXPECT_EQ(wizard.form().fields()[3].label, "Store RegEQ=");
    StatWizScreen& sin = showWizard(0xBB32);
    EXPECT_EQ(calc.stringFromOps(sin.commandOps()), "SinReg 1," + L1 + "," + L2 + ",0");
    StatWizScreen& one = showWizard(0xF2);
    EXPECT_EQ(one.commandOps(), (Ops{0xF2, 0x5D00}));
    StatWizScreen& two = showWizard(0xF3);
    EXPECT_EQ(two.form().fields()[1].label, "YList=");
    EXPECT_TRUE(showWizard(0x20).commandOps().empty());
}

TEST_F(StatScreens, StoreRegEqTakesOnlyAFunctionsToken)
{
    StatWizScreen& wizard = showWizard(0xF4);
    wizard.form().setCurrentField(3);
    type("Y₁");
    shell.keys().processKeyOp(KeyRouter::kEnter);
    shell.settle(std::chrono::seconds(30));
    EXPECT_EQ(wizard.commandOps(), (Ops{0xF4, 0x5D00, 0x2B, 0x5D01, 0x2B, 0x5E10}));
    // A number in its place is no equation: nothing is added.
    for (const char* number : {"0", "-5", "24080.5", "1ᴱ10", "24080"}) {
        wizard.form().setCurrentField(3);
        type(number);
        ASSERT_TRUE(wizard.form().getEntry()) << number;
        EXPECT_EQ(wizard.commandOps(), (Ops{0xF4, 0x5D00, 0x2B, 0x5D01})) << number;
    }
    EXPECT_FALSE(StatWizScreen::regEqToken(0x5E20));
    EXPECT_EQ(StatWizScreen::regEqToken(0x5E19), 0x5E19u);
}

TEST_F(StatScreens, ListFieldsTakeNamesAndCalculatePastesAndGoesHome)
{
    StatWizScreen& wizard = showWizard(0xF2);
    type("L₃");
    shell.keys().processKeyOp(KeyRouter::kEnter);
    type("L₂");
    shell.keys().processKeyOp(KeyRouter::kDown);
    shell.settle(std::chrono::seconds(30));
    EXPECT_EQ(calc.stringFromOps(wizard.commandOps()), "1-Var Stats " + L3 + "," + L2);
    clickAt(*root, centreIn(*root, wizard.calculateButton()));
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_EQ(typed(), "1-Var Stats " + L3 + "," + L2);
    // Reopened, the wizard starts from its defaults.
    StatWizScreen& again = showWizard(0xF2);
    EXPECT_EQ(again.commandOps(), (Ops{0xF2, 0x5D00}));
    EXPECT_TRUE(typed().empty());
}

// A named list goes into the pasted command with its ʟ, in every list field of every
// command, and the command runs as pasted: no Data type error, no Argument error.
TEST_F(StatScreens, NamedListsArePastedWithTheirListSignAndRun)
{
    calc.locked()->lists["ABC"] = reals({1, 1, 2, 1, 1});
    calc.locked()->lists["XS"] = reals({1, 2, 3, 4, 6});
    const struct {
        std::uint32_t op;
        int field;
        const char* name;
        std::string pasted;
    } cases[] = {
        {0xF2, 1, "ABC", "1-Var Stats " + L1 + ",ʟABC"},
        {0xF2, 0, "XS", "1-Var Stats ʟXS"},
        {0xF3, 1, "XS", "2-Var Stats " + L1 + ",ʟXS"},
        {0xF8, 0, "XS", "Med-Med ʟXS," + L2},
        {0xF4, 2, "ABC", "LinReg(a+bx) " + L1 + "," + L2 + ",ʟABC"},
        {0xBB32, 1, "XS", "SinReg 1,ʟXS," + L2 + ",0"},
    };
    for (const auto& c : cases) {
        StatWizScreen& wizard = showWizard(c.op);
        wizard.form().setCurrentField(c.field);
        type(c.name);
        ASSERT_TRUE(wizard.form().getEntry()) << c.name;
        const Ops pasted = wizard.commandOps();
        EXPECT_EQ(calc.stringFromOps(pasted), c.pasted);
        Ops line = pasted;
        calc.parser().eval(line, false);
        EXPECT_EQ(calc.parser().error(), 0) << c.pasted;
        calc.parser().setError(0);
    }
}

// A list field holding what names no list is refused at ENTER, DOWN and Calculate with
// the list editor's error, and the form stays with the text to correct.
TEST_F(StatScreens, AListFieldRefusesWhatNamesNoListWithTheListEditorsError)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        for (const int way : {0, 1, 2}) {
            StatWizScreen& wizard = showWizard(0xF2);
            type("5");
            if (way == 2)
                clickAt(*root, centreIn(*root, wizard.calculateButton()));
            else
                shell.keys().processKeyOp(way == 0 ? KeyRouter::kEnter : KeyRouter::kDown);
            shell.settle(std::chrono::seconds(30));
            ASSERT_TRUE(openAlert()) << tablet << way;
            EXPECT_EQ(openAlert()->text().toStdString(), EntryEvaluator::errString(27)) << tablet << way;
            while (QMessageBox* box = openAlert()) {
                box->done(0);
                QCoreApplication::processEvents();
            }
            EXPECT_EQ(calc.currentScreen(), screens::StatWizard) << tablet << way;
            EXPECT_EQ(wizard.form().currentField(), 0) << tablet << way;
            EXPECT_EQ(typed(), "5") << tablet << way;
            EXPECT_EQ(wizard.commandOps(), (Ops{0xF2, 0x5D00})) << tablet << way;
        }
    }
}

// Calculate pastes the command whatever field is current, a number's or an equation's
// too: nothing runs before the user's ENTER (no alert, no history item, no fit stored).
TEST_F(StatScreens, CalculateOnANumberOrEquationFieldPastesWithoutRunning)
{
    const struct {
        std::uint32_t op;
        int field;
        const char* typed;
        std::string pasted;
    } cases[] = {
        {0xBB32, 0, "", "SinReg 1," + L1 + "," + L2 + ",0"},
        {0xBB32, 0, "3", "SinReg 3," + L1 + "," + L2 + ",0"},
        {0xF4, 3, "", "LinReg(a+bx) " + L1 + "," + L2},
        {0xF4, 3, "Y₁", "LinReg(a+bx) " + L1 + "," + L2 + ",Y₁"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pasted);
        calc.locked()->lists.erase(L1);
        StatWizScreen& wizard = showWizard(c.op);
        wizard.form().setCurrentField(c.field);
        type(c.typed);
        const std::size_t items = history->history().size();
        clickAt(*root, centreIn(*root, wizard.calculateButton()));
        ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
        QCoreApplication::processEvents();
        EXPECT_EQ(openAlert(), nullptr) << (openAlert() ? openAlert()->text().toStdString() : "");
        EXPECT_EQ(root->alerts().waiting(), 0u);
        EXPECT_EQ(calc.currentScreen(), screens::Home);
        EXPECT_EQ(typed(), c.pasted);
        EXPECT_EQ(history->history().size(), items);
        while (QMessageBox* box = openAlert())
            box->done(0);
        entry().clear();
    }
}

TEST_F(StatScreens, TheWizardsPictureShowsItsTitleFieldsAndButtonAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        StatWizScreen& wizard = showWizard(0xF3);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QImage picture = wizard.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const QRect form = wizard.form().geometry();
        const QRect title(int(form.left() * dpr), int(form.top() * dpr), int(form.width() * dpr), int(VQTemplateView::kTitleHeight * dpr));
        EXPECT_GE(textContrast(picture, title), 3.0) << tablet;
        const QRect firstField(int(form.left() * dpr), int((form.top() + VQTemplateView::kTitleHeight) * dpr), int(form.width() * dpr),
                               int(VQTemplateView::kRowHeight * dpr));
        EXPECT_GE(textContrast(picture, firstField), 3.0) << tablet;
        EXPECT_TRUE(wizard.calculateButton().isVisible()) << tablet;
        EXPECT_LE(wizard.calculateButton().geometry().bottom(), wizard.height()) << tablet;
    }
}

} // namespace
} // namespace orvenda::test
