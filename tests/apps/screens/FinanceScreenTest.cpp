// The TVM solver screen as the app registers it: values typed into the fields, Solve on
// the field under the cursor, the timing segment and its slot, the solvers' errors, the
// solved mark, and the picture at both sizes.

#include "PictureChecks.h"
#include "app/NamedColors.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/FinanceScreen.h"
#include "input/SegmentedControl.h"
#include "language/ErrorTable.h"
#include "language/VariableSlots.h"

#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

enum Field { N, IPercent, PV, PMT, FV, PY, CY };

class Finance : public ScreensTest {
protected:
    Finance() { registerScreens(*root); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Finance, [this](QWidget* p) { return new FinanceScreen(calc, shell, p); });
    }
    FinanceScreen& show()
    {
        router().showScreen(screens::Finance);
        auto& screen = *static_cast<FinanceScreen*>(router().controller(screens::Finance));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return screen;
    }
    void key(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            key(op);
    }
    double slot(int n) { return calc.getVar(n).value.real(); }
    // The 30-year loan of 200000 at 6 %, paid monthly.
    void loan()
    {
        const double values[] = {360, 6, 200000, 0, 0, 12, 12};
        for (int i = 0; i < 7; ++i)
            calc.setVar(kSlotTvmN + i, {{values[i], 0}});
        calc.setVar(kSlotPaymentTiming, {{1, 0}});
    }
    // The alert shown, if any, as {title, message, ...}; closed.
    std::vector<std::string> alert()
    {
        std::vector<std::string> shown = describe(openAlert());
        while (QMessageBox* box = openAlert())
            box->done(0);
        return shown;
    }
    static std::vector<bool> marks(FinanceScreen& screen)
    {
        std::vector<bool> out;
        for (const VQTemplateField& f : screen.form().fields())
            out.push_back(f.solved);
        return out;
    }
};

// Typed on the keys: N, I%, PV, then FV, P/Y and C/Y; Solve on PMT gives the monthly
// payment, writes it to PMT's slot and marks PMT alone.
TEST_F(Finance, SolvingPmtGivesTheMonthlyPaymentOfALoan)
{
    calc.setVar(kSlotPaymentTiming, {{1, 0}});
    FinanceScreen& screen = show();
    for (const char* value : {"360", "6", "200000", "5", "0", "12", "12"}) {
        type(value);
        key(KeyRouter::kDown);
    }
    EXPECT_EQ(slot(kSlotTvmN), 360);
    EXPECT_EQ(slot(kSlotCY), 12);
    screen.form().setCurrentField(PMT);
    screen.solveButton().click();
    EXPECT_TRUE(alert().empty());
    EXPECT_NEAR(slot(kSlotTvmPMT), -1199.10105, 1e-5);
    EXPECT_EQ(calc.getVar(kSlotTvmPMT).value.imag(), 0);
    EXPECT_NEAR(screen.form().fields()[PMT].value, -1199.10105, 1e-5);
    EXPECT_EQ(marks(screen), (std::vector<bool>{false, false, false, true, false, false, false}));
    // The solve key solves too; from the beginning of each period the payment is less.
    screen.timing().click(1);
    EXPECT_EQ(slot(kSlotPaymentTiming), 0);
    key(KeyRouter::kSolve);
    EXPECT_NEAR(slot(kSlotTvmPMT), -1193.135373, 1e-6);
    // Each other quantity solves back from the payment.
    screen.timing().click(0);
    key(KeyRouter::kSolve);
    const double pmt = slot(kSlotTvmPMT);
    for (const auto& [field, expected] : {std::pair{N, 360.0}, std::pair{IPercent, 6.0}, std::pair{PV, 200000.0}}) {
        calc.setVar(71 + field, {{1, 0}});
        screen.updateDisplay();
        screen.form().setCurrentField(field);
        key(KeyRouter::kSolve);
        EXPECT_NEAR(slot(71 + field), expected, 1e-6 * expected) << field;
        EXPECT_TRUE(screen.form().fields()[field].solved);
    }
    screen.form().setCurrentField(FV);
    key(KeyRouter::kSolve);
    EXPECT_NEAR(slot(kSlotTvmFV), 0, 1e-6);
    EXPECT_EQ(slot(kSlotTvmPMT), pmt);
}

// A value still being typed is stored before the solve; one that does not evaluate shows
// its error and nothing is solved.
TEST_F(Finance, SolveTakesTheValueBeingTyped)
{
    loan();
    FinanceScreen& screen = show();
    screen.form().setCurrentField(PMT);
    type("180");
    screen.solveButton().click();
    EXPECT_TRUE(alert().empty());
    EXPECT_TRUE(entry->entryOps().empty()) << "the typed value was taken";
    EXPECT_NEAR(slot(kSlotTvmPMT), -1199.10105, 1e-5);
    screen.form().setCurrentField(N);
    type("180");
    key(KeyRouter::kDown);
    screen.form().setCurrentField(PMT);
    screen.solveButton().click();
    EXPECT_NEAR(slot(kSlotTvmPMT), -1687.713656, 1e-6);
    // A typo: its error, the text kept, nothing solved.
    type("1+");
    screen.solveButton().click();
    EXPECT_EQ(alert().size(), 3u);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "1+");
    EXPECT_NEAR(slot(kSlotTvmPMT), -1687.713656, 1e-6);
}

TEST_F(Finance, SolvingWithTheCursorOnPyOrCyChangesNothing)
{
    loan();
    const double values[] = {360, 6, 200000, 0, 0, 12, 12};
    FinanceScreen& screen = show();
    for (Field f : {PY, CY}) {
        screen.form().setCurrentField(f);
        key(KeyRouter::kSolve);
        EXPECT_TRUE(alert().empty());
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(slot(71 + i), values[i]) << i;
        EXPECT_EQ(marks(screen), std::vector<bool>(7, false));
    }
}

// The solvers' errors 1 to 12 are errors 46 to 57, any other 16; a failure leaves the
// value it could not find as it was, unmarked.
TEST_F(Finance, AFailedSolveShowsItsErrorAndKeepsTheValue)
{
    EXPECT_EQ(FinanceScreen::errorNumberFor(0), 0);
    EXPECT_EQ(FinanceScreen::errorNumberFor(1), 46);
    EXPECT_EQ(FinanceScreen::errorNumberFor(3), 48);
    EXPECT_EQ(FinanceScreen::errorNumberFor(12), 57);
    EXPECT_EQ(FinanceScreen::errorNumberFor(13), 16);
    EXPECT_EQ(FinanceScreen::errorNumberFor(-1), 16);

    // No periods: PV and FV of opposite signs that no rate balances.
    const double values[] = {0, 5, 100, 0, -50, 1, 1};
    for (int i = 0; i < 7; ++i)
        calc.setVar(71 + i, {{values[i], 0}});
    FinanceScreen& screen = show();
    screen.form().setCurrentField(PMT);
    key(KeyRouter::kSolve);
    EXPECT_EQ(alert().at(1), ErrorTable::errString(55)) << "no payment over no periods";
    screen.form().setCurrentField(IPercent);
    key(KeyRouter::kSolve);
    const std::vector<std::string> shown = alert();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1], ErrorTable::errString(48));
    EXPECT_EQ(slot(kSlotTvmIPercent), 5);
    EXPECT_EQ(screen.form().fields()[IPercent].value, 5);
    EXPECT_EQ(marks(screen), std::vector<bool>(7, false));
    // P/Y of 0 is out of range.
    calc.setVar(kSlotPY, {{0, 0}});
    screen.form().setCurrentField(FV);
    key(KeyRouter::kSolve);
    EXPECT_EQ(alert().at(1), ErrorTable::errString(51));
    EXPECT_EQ(slot(kSlotTvmFV), -50);
}

// Editing any field after a solve takes the mark away; so does a program storing another
// value where the solved one was.
TEST_F(Finance, EditingAFieldRemovesTheSolvedMark)
{
    loan();
    FinanceScreen& screen = show();
    screen.form().setCurrentField(PMT);
    key(KeyRouter::kSolve);
    EXPECT_TRUE(screen.form().fields()[PMT].solved);
    screen.updateDisplay();
    EXPECT_TRUE(screen.form().fields()[PMT].solved) << "a refresh keeps it";
    screen.form().setCurrentField(CY);
    type("4");
    key(KeyRouter::kUp);
    EXPECT_EQ(slot(kSlotCY), 4);
    EXPECT_EQ(marks(screen), std::vector<bool>(7, false));
    screen.form().setCurrentField(PMT);
    key(KeyRouter::kSolve);
    EXPECT_TRUE(screen.form().fields()[PMT].solved);
    calc.setVar(kSlotTvmPMT, {{-1, 0}});
    screen.updateDisplay();
    EXPECT_FALSE(screen.form().fields()[PMT].solved);
}

// The segments show the slot: 1 (Pmt_End) is "End", 0 "Begin"; a tap stores it.
TEST_F(Finance, TheTimingSegmentFollowsItsSlot)
{
    calc.setVar(kSlotPaymentTiming, {{0, 0}});
    FinanceScreen& screen = show();
    EXPECT_EQ(screen.timing().title(1), "Begin");
    EXPECT_EQ(screen.timing().selected(), 1);
    calc.setVar(kSlotPaymentTiming, {{1.7, 0}});
    screen.updateDisplay();
    EXPECT_EQ(screen.timing().selected(), 0);
    calc.setVar(kSlotPaymentTiming, {{0.4, 0}});
    screen.updateDisplay();
    EXPECT_EQ(screen.timing().selected(), 1);
    screen.timing().click(0);
    EXPECT_EQ(calc.getVar(kSlotPaymentTiming).value, std::complex<double>(1, 0));
    screen.timing().click(1);
    EXPECT_EQ(calc.getVar(kSlotPaymentTiming).value, std::complex<double>(0, 0));
}

// The title, the seven rows, the solved mark beside PMT, the cursor's cell, the segments
// and Solve within the display, at the phone's and the tablet's size.
TEST_F(Finance, ThePictureShowsTheFormAndTheSolvedMarkAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        loan();
        FinanceScreen& screen = show();
        screen.form().setCurrentField(PMT);
        const QImage before = screen.grab().toImage();
        key(KeyRouter::kSolve);
        const QImage after = screen.grab().toImage();
        const double dpr = after.devicePixelRatio();
        const auto area = [&](double x, double y, double w, double h) {
            return QRect(int(x * dpr), int(y * dpr), int(w * dpr), int(h * dpr));
        };
        // A tablet's form is larger by its scale.
        const double k = screen.form().scale(), titleHeight = screen.form().titleHeight(), rowHeight = screen.form().rowHeight();
        const double rowTop = titleHeight + static_cast<int>(PMT) * rowHeight;
        // The mark left of the label: ink where there was none.
        const QRect mark = area(0, rowTop, 8 * k, rowHeight);
        EXPECT_NE(before.copy(mark), after.copy(mark)) << tablet;
        EXPECT_GE(textContrast(after, mark), 3.0) << tablet;
        EXPECT_GE(textContrast(after, area(0, 0, screen.width(), titleHeight)), 3.0) << tablet << " title";
        for (int row = 0; row < 7; ++row)
            EXPECT_GE(textContrast(after, area(8 * k, titleHeight + row * rowHeight, 150 * k, rowHeight)), 3.0) << tablet << " row " << row;
        // The payment's cell is highlighted and reads.
        const QColor highlight = namedColor("yellowHilightColor");
        EXPECT_EQ(backgroundIn(after, area(80 * k, rowTop + 4 * k, 60 * k, rowHeight - 8 * k)).rgb(), highlight.rgb()) << tablet;
        for (const QWidget* control : {static_cast<const QWidget*>(&screen.timing()), static_cast<const QWidget*>(&screen.solveButton())}) {
            EXPECT_TRUE(screen.rect().contains(control->geometry())) << tablet;
            EXPECT_TRUE(control->isVisible()) << tablet;
        }
        // The segments lie right of the values, clear of the rows' text.
        EXPECT_GT(screen.timing().x(), (8 + 16 * 12) * k) << tablet;
    }
}

} // namespace
} // namespace orvenda::test
