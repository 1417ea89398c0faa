// The equation solver's and the polynomial root finder's lines in MathPrint: a fraction or a
// root typed into a field is drawn as a formula (its line taller, the cursor in the part
// being typed), the lines below move down by what it takes, and the value entered is the
// value shown (the Classic style's one-height lines are checked through the driver). Lines
// of their own heights scroll so that the current one shows whole.

#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/LineScroll.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/PolyModel.h"
#include "apps/PolyScreen.h"
#include "apps/SolverModel.h"
#include "apps/SolverScreen.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace orvenda::test {
namespace {

constexpr int kSlotX = 23;

TEST(LineScrollHeights, TheCurrentLineShowsWholeAndNoBlankStaysBelow)
{
    const struct {
        std::vector<double> heights;
        double room;
        int startFirst;
        int current;
        int first;
    } rows[] = {
        // All fit: always from the top.
        {{30, 30, 30}, 100, 0, 2, 0},
        // Equal lines scroll as little as they must, as the one-height rule does.
        {{30, 30, 30, 30, 30}, 90, 0, 3, 1},
        {{30, 30, 30, 30, 30}, 90, 0, 4, 2},
        {{30, 30, 30, 30, 30}, 90, 2, 1, 1},
        // A tall line counts by its height: two lines above it go out of view.
        {{30, 30, 30, 60, 30}, 100, 0, 3, 2},
        {{30, 60, 30, 30, 30}, 100, 0, 1, 0},
        {{30, 60, 30, 30, 30}, 100, 0, 2, 1},
        // Back up where the lines below leave room: no blank under the last line.
        {{30, 30, 30, 30, 20}, 90, 3, 4, 2},
        // A line taller than the room shows from its top.
        {{30, 200, 30}, 100, 0, 1, 1},
        // Exactly filling lines fit.
        {{25.1, 25.1, 25.1, 25.1}, 75.3, 0, 2, 0},
    };
    for (const auto& row : rows) {
        LineScroll scroll;
        // Start scrolled as the row says.
        scroll.follow(row.startFirst, row.heights, 0);
        EXPECT_EQ(scroll.follow(row.current, row.heights, row.room), row.first)
            << "line " << row.current << " of " << row.heights.size() << " from " << row.startFirst << " in " << row.room;
        // Equal lines agree with the one-height rule.
        if (std::all_of(row.heights.begin(), row.heights.end(), [&](double h) { return h == row.heights.front(); })) {
            LineScroll counted;
            counted.follow(row.startFirst, static_cast<int>(row.heights.size()), 1);
            EXPECT_EQ(counted.follow(row.current, static_cast<int>(row.heights.size()), static_cast<int>(std::floor(row.room / row.heights.front() + 1e-9))),
                      row.first);
        }
    }
    EXPECT_EQ(LineScroll::fitting({30, 60, 30}, 0, 100), 2);
    EXPECT_EQ(LineScroll::fitting({30, 200, 30}, 1, 100), 1);
    EXPECT_EQ(LineScroll::fitting({30, 30}, 2, 100), 0);
}

// The ink of a picture: dark pixels inside a rectangle (in the widget's points).
struct Ink {
    int top = -1, bottom = -1, count = 0;
    double meanY = 0;
    int height() const { return count ? bottom - top + 1 : 0; }
};

Ink inkIn(const QImage& image, const QRect& points, const std::function<bool(QColor)>& dark)
{
    const double dpr = image.devicePixelRatio();
    const QRect r(QPoint(static_cast<int>(points.left() * dpr), static_cast<int>(points.top() * dpr)),
                  QPoint(static_cast<int>(points.right() * dpr), static_cast<int>(points.bottom() * dpr)));
    Ink ink;
    double sumY = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            if (dark(image.pixelColor(x, y))) {
                if (ink.top < 0)
                    ink.top = y;
                ink.bottom = y;
                ++ink.count;
                sumY += y;
            }
    if (ink.count)
        ink.meanY = sumY / ink.count / dpr;
    ink.top = static_cast<int>(ink.top / dpr);
    ink.bottom = static_cast<int>(ink.bottom / dpr);
    return ink;
}

bool isText(QColor c) { return c.lightness() < 60; }

// Where two pictures differ (the cursor drawn in one of them), inside a rectangle.
Ink changedIn(const QImage& a, const QImage& b, const QRect& points)
{
    QImage diff(a.size(), QImage::Format_RGB32);
    diff.setDevicePixelRatio(a.devicePixelRatio());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            diff.setPixelColor(x, y, a.pixelColor(x, y) == b.pixelColor(x, y) ? Qt::white : Qt::black);
    return inkIn(diff, points, isText);
}

class PrettyFieldScreens : public ScreensTest {
protected:
    PrettyFieldScreens()
    {
        registerScreens(*root);
        calc.locked()->mathPrint = true;
        calc.baseFontSize = 20;
        calc.setVar(kSlotX, {{0.0, 0.0}});
    }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Solver, [this](QWidget* p) { return new SolverScreen(calc, shell, p); });
        window.screens().set(screens::Polynomial, [this](QWidget* p) { return new PolyScreen(calc, shell, p); });
    }
    void key(std::uint32_t op)
    {
        shell.keys().processKeyOp(op);
        ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            key(op);
    }
    static void tap(QWidget& screen, QPoint at)
    {
        QMouseEvent pressed(QEvent::MouseButtonPress, at, screen.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&screen, &pressed);
    }
    // The screen drawn with the cursor hidden, or with it shown.
    QImage picture(QWidget& screen, bool cursor)
    {
        calc.cursorVisible = cursor;
        QCoreApplication::processEvents();
        return screen.grab().toImage();
    }
    PolyScreen& poly()
    {
        router().showScreen(screens::Polynomial);
        QCoreApplication::processEvents();
        auto* screen = dynamic_cast<PolyScreen*>(router().controller(screens::Polynomial));
        EXPECT_TRUE(screen);
        return *screen;
    }
    SolverScreen& solver()
    {
        router().showScreen(screens::Solver);
        QCoreApplication::processEvents();
        auto* screen = dynamic_cast<SolverScreen*>(router().controller(screens::Solver));
        EXPECT_TRUE(screen);
        return *screen;
    }
    // Degree 1: the lines a1 and a0, the cursor on a1.
    PolyScreen& linearPoly()
    {
        PolyScreen& screen = poly();
        type("1");
        key(KeyRouter::kEnter);
        EXPECT_EQ(screen.state(), 1);
        EXPECT_EQ(screen.currentLine(), 0);
        return screen;
    }
};

// n/d, 1, DOWN, 2 on a1: the line grows to a stacked fraction whose ink reaches well below
// the plain line's, with the cursor first in the numerator, then in the denominator; the
// line under it moves down; ENTER takes ½, the line then reads the value taken, and SOLVE
// with a0 = −1 gives the zero 2.
TEST_F(PrettyFieldScreens, APolynomialFractionIsDrawnStackedWithTheCursorInItsPart)
{
    PolyScreen& screen = linearPoly();
    const QRect plain = screen.cursorRect();
    const Ink plainInk = inkIn(picture(screen, false), plain, isText);
    ASSERT_GT(plainInk.count, 0);
    type("／1");
    const QRect numerator = screen.cursorRect();
    const QImage numeratorShown = picture(screen, true);
    const Ink cursorUp = changedIn(numeratorShown, picture(screen, false), numerator);
    key(KeyRouter::kDown);
    EXPECT_EQ(openAlert(), nullptr);
    type("2");
    EXPECT_EQ(screen.currentLine(), 0);
    EXPECT_EQ(calc.stringFromOps(PrettyPrint::cleanOps(dynamic_cast<EntryModel*>(calc.entryManager.get())->entryOps())), "(1)／(2)");
    const QRect fraction = screen.cursorRect();
    EXPECT_GT(fraction.height(), 1.4 * plain.height()) << "plain " << plain.height() << ", fraction " << fraction.height();
    const QImage bare = picture(screen, false);
    const Ink stacked = inkIn(bare, fraction, isText);
    EXPECT_GT(stacked.height(), 1.6 * plainInk.height()) << "fraction ink " << stacked.height() << ", plain " << plainInk.height();
    // The cursor: above the line's middle in the numerator, below it in the denominator.
    const Ink cursorDown = changedIn(picture(screen, true), bare, fraction);
    ASSERT_GT(cursorUp.count, 0);
    ASSERT_GT(cursorDown.count, 0);
    const double middle = fraction.top() + fraction.height() / 2.0;
    EXPECT_LT(cursorUp.meanY, numerator.top() + numerator.height() / 2.0 + 0.5);
    EXPECT_LT(cursorUp.meanY, middle);
    EXPECT_GT(cursorDown.meanY, middle);
    // The line of a0 moved down: its label's ink starts below the fraction's.
    const Ink below = inkIn(bare, QRect(0, fraction.bottom() + 1, 40, fraction.height()), isText);
    EXPECT_GT(below.count, 0);
    EXPECT_GT(below.top, stacked.bottom);
    key(KeyRouter::kEnter);
    EXPECT_EQ(screen.currentLine(), 1);
    EXPECT_EQ(PolyModel(calc).coefficients().front(), 0.5);
    EXPECT_EQ(screen.value(0), QString::fromStdString(calc.formatReal(0.5)));
    type("-1");
    key(KeyRouter::kEnter);
    screen.menuChange(4);
    ASSERT_EQ(screen.state(), 2);
    ASSERT_EQ(PolyModel(calc).zeros().size(), 1u);
    EXPECT_NEAR(PolyModel(calc).zeros().front().first, 2, 1e-12);
}

// The solver (whose UP and DOWN move between its lines; RIGHT goes into the denominator):
// X − n/d(1, 2) typed as its equation grows line 0 to the fraction's height;
// SOLVE on X finds ½ and the line shows it with the solved mark and left-rt drawn.
// √, 9, ")" − X solves to 3: the root's line is drawn no shorter than a plain one.
TEST_F(PrettyFieldScreens, TheSolversEquationIsAFormulaAndSolvesToTheValueShown)
{
    SolverScreen& screen = solver();
    ASSERT_EQ(screen.currentLine(), 0);
    const QRect empty = screen.cursorRect();
    type("X-／1");
    key(KeyRouter::kRight);
    type("2");
    EXPECT_EQ(screen.currentLine(), 0);
    const QRect fraction = screen.cursorRect();
    EXPECT_GT(fraction.height(), 1.4 * empty.height());
    const Ink stacked = inkIn(picture(screen, false), fraction, isText);
    EXPECT_GT(stacked.height(), 0.6 * fraction.height());
    key(KeyRouter::kDown);
    ASSERT_EQ(screen.currentLine(), 1);
    ASSERT_EQ(screen.lineCount(), 4);
    EXPECT_GE(screen.cursorRect().top(), fraction.bottom());
    const QImage unsolved = picture(screen, false);
    screen.solve();
    QCoreApplication::processEvents();
    EXPECT_NEAR(calc.getVar(kSlotX).value.real(), 0.5, 1e-12);
    EXPECT_EQ(screen.lineText(1), "X=" + QString::fromStdString(calc.formatReal(calc.getVar(kSlotX).value.real())));
    EXPECT_EQ(screen.resultLine(), 1);
    EXPECT_TRUE(screen.leftRtShown());
    // The mark left of X and left-rt under the lines are drawn.
    const QImage solved = picture(screen, false);
    const QRect line = screen.cursorRect();
    EXPECT_GT(changedIn(solved, unsolved, QRect(0, line.top(), 12, line.height())).count, 4);
    EXPECT_GT(changedIn(solved, unsolved, QRect(0, line.bottom(), screen.width(), 200)).count, 20);

    screen.selectLine(0);
    key(KeyRouter::kClear);
    type("√(9)-X");
    key(KeyRouter::kDown);
    const QRect variable = screen.cursorRect();
    screen.selectLine(0);
    EXPECT_GE(screen.cursorRect().height(), variable.height());
    key(KeyRouter::kDown);
    screen.solve();
    QCoreApplication::processEvents();
    EXPECT_NEAR(calc.getVar(kSlotX).value.real(), 3, 1e-9);
}

// SOLVE over an equation without a value between the bounds 0 and 1 (overflowing up or
// down, not real, dividing by 0) shows the error the home line gives for it there, and the
// screen stays as it was: X keeps its value and its line its text, no line is marked solved
// and no left-rt is drawn.
TEST_F(PrettyFieldScreens, ASolveWithoutAValueShowsItsErrorAndChangesNothing)
{
    const struct {
        const char* equation;
        const char* error;
    } cases[] = {
        {"e^(1000+X)", "Overflow"},
        {"-e^(1000+X)", "Overflow"},
        {"ln(X-5)", "Nonreal answer"},
        {"1/(X-X)", "Divide by 0"},
    };
    SolverScreen& screen = solver();
    calc.setVar(kSlotX, {{0.5, 0.0}});
    calc.setVar(SolverModel::kLowerSlot, {{0.0, 0.0}});
    calc.setVar(SolverModel::kUpperSlot, {{1.0, 0.0}});
    for (const auto& c : cases) {
        screen.selectLine(0);
        key(KeyRouter::kClear);
        type(c.equation);
        key(KeyRouter::kDown);
        ASSERT_EQ(screen.currentLine(), 1) << c.equation;
        const QString line = screen.lineText(1);
        const QImage before = picture(screen, false);
        screen.solve();
        QCoreApplication::processEvents();
        const std::vector<std::string> alert = describe(openAlert());
        ASSERT_EQ(alert.size(), 3u) << c.equation;
        EXPECT_EQ(alert[1], c.error) << c.equation;
        press("OK");
        EXPECT_EQ(calc.getVar(kSlotX).value, std::complex<double>(0.5, 0)) << c.equation;
        EXPECT_EQ(screen.lineText(1), line) << c.equation;
        EXPECT_EQ(screen.resultLine(), -1) << c.equation;
        EXPECT_FALSE(screen.leftRtShown()) << c.equation;
        EXPECT_EQ(changedIn(picture(screen, false), before, screen.rect()).count, 0) << c.equation;
    }
}

// A tap on the formula being typed puts the cursor where it falls; a tap on another line
// moves to that line.
TEST_F(PrettyFieldScreens, ATapOnTheTypedFormulaPlacesTheCursor)
{
    SolverScreen& screen = solver();
    type("X-12345");
    auto* entry = dynamic_cast<EntryModel*>(calc.entryManager.get());
    ASSERT_TRUE(entry);
    const int end = entry->entryCursor();
    const QRect line = screen.cursorRect();
    tap(screen, QPoint(110, line.center().y()));
    EXPECT_EQ(screen.currentLine(), 0);
    EXPECT_LT(entry->entryCursor(), end);
    EXPECT_GT(entry->entryCursor(), 0);
    tap(screen, QPoint(60, line.bottom() + 8));
    EXPECT_EQ(screen.currentLine(), 1);
}

// In a short window (a phone turned) a formula typed into a field can grow taller than all the
// room the lines have: the line being typed still shows, from its top, on both screens.
TEST_F(PrettyFieldScreens, AFieldTallerThanTheRoomShowsFromItsTop)
{
    root->resize(844, 390);
    QCoreApplication::processEvents();
    const struct {
        const char* name;
        std::function<QWidget&()> open;
    } doors[] = {
        {"solver", [&]() -> QWidget& { return solver(); }},
        {"polynomial", [&]() -> QWidget& { return linearPoly(); }},
    };
    for (const auto& door : doors) {
        SCOPED_TRACE(door.name);
        QWidget& screen = door.open();
        auto cursorRect = [&] {
            if (auto* s = dynamic_cast<SolverScreen*>(&screen))
                return s->cursorRect();
            return dynamic_cast<PolyScreen&>(screen).cursorRect();
        };
        // Numerators within numerators until the line reaches past the screen's bottom.
        for (int i = 0; i < 12 && cursorRect().bottom() <= screen.height(); ++i)
            type("／");
        type("1");
        const QRect line = cursorRect();
        ASSERT_GT(line.bottom(), screen.height());
        const Ink shown = inkIn(picture(screen, false), QRect(0, line.top(), screen.width(), 40), isText);
        EXPECT_GT(shown.count, 10);
        key(KeyRouter::kClear);
    }
}

} // namespace
} // namespace orvenda::test
