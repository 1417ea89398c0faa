// The simultaneous equation solver as the app registers it: a system typed into the grid
// and solved, the solution as lines, "No Solution", the reduced form, STO SOLN lined up
// with the unknowns, LOAD of a matrix (27 for anything else), CLR keeping the size, and
// its pictures at both sizes.

#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/KeyRouter.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/MarkUpText.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"
#include "apps/SimulEqScreen.h"
#include "input/SegmentedControl.h"
#include "language/ErrorNumbers.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

VQMatrix matrixOf(std::size_t rows, std::size_t cols, std::initializer_list<double> values)
{
    VQMatrix m = *VQMatrix::matrixWithRow(rows, cols);
    std::size_t k = 0;
    for (double v : values) {
        m.set(v, k / cols, k % cols);
        ++k;
    }
    return m;
}

class SimulEq : public ScreensTest {
protected:
    SimulEq() { registerScreens(*root); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::SimulEq, [this](QWidget* p) { return new SimulEqScreen(calc, shell, p); });
    }
    SimulEqScreen& open()
    {
        router().showScreen(screens::SimulEq);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        auto* screen = dynamic_cast<SimulEqScreen*>(router().controller(screens::SimulEq));
        EXPECT_TRUE(screen);
        return *screen;
    }
    void enter(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
        shell.keys().processKeyOp(KeyRouter::kEnter);
        shell.settle(std::chrono::seconds(30));
    }
    std::vector<std::string> titles(const SimulEqScreen& screen)
    {
        std::vector<std::string> all;
        for (int i = 0; i < screen.menu().count(); ++i)
            all.push_back(screen.menu().title(i).toStdString());
        return all;
    }
    std::string line(int row) { return MarkUpText::plain(MarkUpText::parse(MatrixView::solutionRow(calc, calc.simulSolution, row))).toStdString(); }
    // Picks matrix n from the matrix menu that LOAD or a store opened.
    void pickMatrix(int n)
    {
        router().didPickMatrix(n, false);
        shell.settle(std::chrono::seconds(30));
    }
    void closeAlerts()
    {
        while (QMessageBox* box = openAlert())
            box->done(0);
    }
};

TEST_F(SimulEq, ATwoByTwoSystemTypedInSolvesAndStoresItsSolution)
{
    SimulEqScreen& screen = open();
    EXPECT_EQ(screen.state(), 0);
    EXPECT_EQ(titles(screen), (std::vector<std::string>{"SYSM", "CLR", "LOAD", "", "SOLVE"}));
    // A new system: two equations in two unknowns, the cursor on the first coefficient.
    EXPECT_EQ(calc.simulMatrix.dimRow(), 2u);
    EXPECT_EQ(calc.simulMatrix.dimCol(), 3u);
    EXPECT_EQ(screen.editor().entryView().prefixStr(), "1,1=");
    // x + y = 3, x − y = 1.
    for (const char* value : {"1", "1", "3", "1", "-1", "1"})
        enter(value);
    screen.menuChange(4);
    EXPECT_EQ(screen.state(), 1);
    EXPECT_EQ(screen.editor().style(), MatrixView::Solution);
    EXPECT_EQ(titles(screen), (std::vector<std::string>{"SYSM", "", "STO SOLN", "RREF", "SOLVE"}));
    EXPECT_EQ(line(0), "x1=2");
    EXPECT_EQ(line(1), "x2=1");
    // STO SOLN into [B]: a 2 × 1 matrix of the values.
    screen.menuChange(2);
    EXPECT_EQ(screen.pending(), 2);
    EXPECT_EQ(calc.currentScreen(), screens::SimulEq);
    pickMatrix(1);
    const VQMatrix stored = calc.locked()->matrices[1];
    ASSERT_EQ(stored.dimRow(), 2u);
    ASSERT_EQ(stored.dimCol(), 1u);
    EXPECT_EQ(stored.row(0, 0), 2);
    EXPECT_EQ(stored.row(1, 0), 1);
    EXPECT_EQ(screen.pending(), 0);
    // RREF shows the reduced matrix; SYSM goes back to the system as typed.
    screen.menuChange(3);
    EXPECT_EQ(screen.state(), 2);
    EXPECT_EQ(screen.editor().banner().title(), "SimulEq:RRef");
    EXPECT_EQ(titles(screen)[2], "STO RREF");
    EXPECT_EQ(screen.editor().grid().shownMatrix().row(0, 2), 2);
    screen.menuChange(0);
    EXPECT_EQ(screen.state(), 0);
    EXPECT_EQ(calc.simulMatrix.row(1, 1), -1);
}

// A free unknown before a pivot: the stored solution still has one row per unknown, the
// free one 0 (the reduced matrix's last column would put x3's value in x2's row).
TEST_F(SimulEq, NoSolutionDisablesTheStoreAndAFreeUnknownKeepsItsRow)
{
    calc.simulMatrix = matrixOf(2, 3, {1, 1, 1, 1, 1, 2});
    SimulEqScreen& screen = open();
    screen.menuChange(4);
    EXPECT_EQ(screen.state(), 1);
    EXPECT_EQ(titles(screen)[2], "");
    EXPECT_EQ(line(0), "No Solution");
    screen.menuChange(2);
    EXPECT_EQ(screen.pending(), 0);
    EXPECT_EQ(calc.currentScreen(), screens::SimulEq);

    screen.menuChange(0);
    calc.simulMatrix = matrixOf(2, 4, {1, 2, 0, 5, 0, 0, 1, 7});
    screen.menuChange(4);
    EXPECT_EQ(line(0), "x1=5-2x2");
    EXPECT_EQ(line(1), "x2=x2");
    EXPECT_EQ(line(2), "x3=7");
    // A list's name picked for the store stores nothing, without a word.
    screen.menuChange(2);
    dynamic_cast<EntryModel*>(calc.entryManager.get())->forceOps(ops("L\u2081"));
    router().bringCurrentScreenToFront();
    shell.settle(std::chrono::seconds(30));
    EXPECT_EQ(openAlert(), nullptr);
    EXPECT_EQ(screen.pending(), 0);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(calc.locked()->matrices[static_cast<std::size_t>(n)].dimRow(), 0u) << n;
    screen.menuChange(2);
    pickMatrix(2);
    const VQMatrix stored = calc.locked()->matrices[2];
    ASSERT_EQ(stored.dimRow(), 3u);
    EXPECT_EQ(stored.row(0, 0), 5);
    EXPECT_EQ(stored.row(1, 0), 0);
    EXPECT_EQ(stored.row(2, 0), 7);
}

TEST_F(SimulEq, LoadTakesAMatrixAndRefusesAnythingElseAndClearKeepsTheSize)
{
    calc.locked()->matrices[0] = matrixOf(3, 4, {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3});
    SimulEqScreen& screen = open();
    screen.menuChange(2);
    EXPECT_EQ(screen.pending(), 1);
    pickMatrix(0);
    EXPECT_EQ(calc.simulMatrix.dimRow(), 3u);
    EXPECT_EQ(calc.simulMatrix.dimCol(), 4u);
    EXPECT_EQ(screen.editor().banner().colText(), "3");
    // Anything but a matrix: 27, the system kept.
    screen.menuChange(2);
    dynamic_cast<EntryModel*>(calc.entryManager.get())->forceOps(ops("{1,2}"));
    router().bringCurrentScreenToFront();
    shell.settle(std::chrono::seconds(30));
    ASSERT_NE(openAlert(), nullptr);
    EXPECT_TRUE((openAlert()->windowTitle() + openAlert()->text()).toLower().contains("argument"))
        << openAlert()->windowTitle().toStdString() << openAlert()->text().toStdString();
    closeAlerts();
    EXPECT_EQ(calc.simulMatrix.dimRow(), 3u);
    // CLR: every element 0, the size kept.
    screen.menuChange(1);
    EXPECT_EQ(calc.simulMatrix.dimRow(), 3u);
    EXPECT_EQ(calc.simulMatrix.dimCol(), 4u);
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 4; ++c)
            EXPECT_EQ(calc.simulMatrix.row(r, c), 0);
}

// A one-column system loaded ([B] = [[2][1]]) is the system when the screen is made again,
// as at the next launch, and solving or drawing it is no fault.
TEST_F(SimulEq, ALoadedOneColumnSystemIsKeptByTheNextScreen)
{
    calc.locked()->matrices[1] = matrixOf(2, 1, {2, 1});
    SimulEqScreen& screen = open();
    screen.menuChange(2);
    pickMatrix(1);
    ASSERT_EQ(calc.simulMatrix.dimCol(), 1u);
    router().showHome();
    newWindow();
    SimulEqScreen& again = open();
    ASSERT_EQ(calc.simulMatrix.dimRow(), 2u);
    ASSERT_EQ(calc.simulMatrix.dimCol(), 1u);
    EXPECT_EQ(calc.simulMatrix.row(0, 0), 2);
    EXPECT_EQ(calc.simulMatrix.row(1, 0), 1);
    EXPECT_EQ(again.editor().grid().shownMatrix().dimCol(), 1u);
    EXPECT_FALSE(again.grab().isNull());
    again.menuChange(4);
    EXPECT_FALSE(again.grab().isNull());
    EXPECT_EQ(calc.simulMatrix.dimCol(), 1u);
}

TEST_F(SimulEq, TheSystemAndItsSolutionArePicturedAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        calc.simulMatrix = matrixOf(2, 3, {1, 1, 3, 1, -1, 1});
        SimulEqScreen& screen = open();
        screen.menuChange(0);
        const QImage system = screen.grab().toImage();
        screen.menuChange(4);
        const QImage solved = screen.grab().toImage();
        ASSERT_EQ(system.size(), solved.size());
        int changed = 0;
        for (int y = 0; y < system.height(); y += 2)
            for (int x = 0; x < system.width(); x += 2)
                changed += system.pixel(x, y) != solved.pixel(x, y);
        EXPECT_GT(changed, 100) << tablet;
        // The thick rule before the constants column shows in the system's grid.
        MatrixView& grid = screen.editor().grid();
        screen.menuChange(0);
        const QImage picture = grid.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const double x = grid.leftEdgeWidth() + 2 * grid.columnWidth() + 0.5;
        EXPECT_EQ(picture.pixelColor(int(x * dpr), int((grid.topEdgeWidth() + grid.rowHeight() / 2) * dpr)).rgb(), QColor(Qt::black).rgb())
            << tablet;
    }
}

} // namespace
} // namespace orvenda::test
