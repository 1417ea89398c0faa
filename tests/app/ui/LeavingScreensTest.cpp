// Screens with an entry line as the app wires them to the keyboard: leaving one by any way
// (QUIT, a menu over it, another screen's key, the window's close) enters what its line
// holds first, and keys typed before an ENTER's answer arrives act after it, in the order
// typed, whatever the screen.

#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/FinanceScreen.h"
#include "apps/MatrixEditScreen.h"
#include "apps/SolverScreen.h"
#include "graphui/TableScreen.h"
#include "graphui/WindowScreen.h"
#include "input/KeyTables.h"
#include "input/KeyboardRouterLink.h"
#include "input/KeyboardView.h"
#include "language/VariableSlots.h"
#include "stats/StatEditScreen.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenda::test {
namespace {

using KT = KeyTables;

const std::string kListOne = "L\xE2\x82\x81";
constexpr int kSlotX = 23;
constexpr std::uint32_t kOpenListEditor = 4116, kOpenSolver = 4119;

class LeavingScreens : public ScreensTest {
protected:
    LeavingScreens()
    {
        registerScreens(*root);
        calc.locked()->lists.clear();
        calc.locked()->statEditList = {kListOne};
    }
    void registerScreens(RootController& window) override
    {
        ScreenRegistry& made = window.screens();
        made.set(screens::ListEditor, [this](QWidget* p) { return new StatEditScreen(calc, shell, p); });
        made.set(screens::MatrixEditor, [this](QWidget* p) { return new MatrixEditScreen(calc, shell, p); });
        made.set(screens::Window, [this](QWidget* p) { return new WindowScreen(calc, shell, p); });
        made.set(screens::Solver, [this](QWidget* p) { return new SolverScreen(calc, shell, p); });
        made.set(screens::Finance, [this](QWidget* p) { return new FinanceScreen(calc, shell, p); });
        made.set(screens::Table, [this](QWidget* p) { return new TableScreen(calc, shell, p); });
        // The menus and the Y= screen only have to cover the screen or take its place.
        made.set(screens::Menu, [this](QWidget* p) { return new Probe(calc, p); });
        made.set(screens::YEq, [this](QWidget* p) { return new Probe(calc, p); });
        link_ = std::make_unique<KeyboardRouterLink>(window.router());
        keyboard_ = new KeyboardView(calc, shell.keys());
        keyboard_->setDelegate(link_.get());
        window.router().setKeyboard(keyboard_);
    }

    // A key of the calculator keyboard (QUIT, Y=, APPS), as the keyboard hands it on.
    void keyboardKey(std::uint32_t op) { keyboard_->doOp(op); }
    void key(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            key(op);
    }
    // The keys come faster than any answer: the worker takes no statement of a run until
    // they are all in, and the answers are handled after the last.
    void beforeTheAnswers(const std::function<void()>& keys)
    {
        {
            const auto held = calc.lockState();
            keys();
        }
        ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    }
    // A value, its ENTER and the next value, then `after`, all before the first answer.
    void twoValues(const std::string& first, const std::string& second, const std::function<void()>& after)
    {
        beforeTheAnswers([&] {
            type(first);
            key(KeyRouter::kEnter);
            type(second);
            after();
        });
    }
    std::string line() { return calc.stringFromOps(dynamic_cast<EntryModel*>(calc.entryManager.get())->entryOps()); }
    double slot(int n) { return calc.getVar(n).value.real(); }
    std::vector<double> list(const std::string& name) { return calc.locked()->lists[name].realList(); }

    KeyboardView* keyboard_ = nullptr;
    std::unique_ptr<KeyboardRouterLink> link_;
};

// ---- Leaving ----

enum class Way { Quit, Menu, ScreenKey, WindowClose };

class LeavingByAnyWay : public LeavingScreens, public ::testing::WithParamInterface<std::tuple<int, Way>> {
public:
    struct Field {
        const char* name;
        int screen;
        // Opens the screen and types a value without entering it.
        void (*type)(LeavingByAnyWay&);
        // The value is where the screen keeps it.
        void (*check)(LeavingByAnyWay&);
    };
    static const std::vector<Field>& fields();

protected:
    void leave(Way way, int screen)
    {
        switch (way) {
        case Way::Quit:
            keyboardKey(KT::kQuit);
            break;
        case Way::Menu:
            // A menu over the screen, and a pick that opens another screen.
            keyboardKey(KT::kApps);
            ASSERT_FALSE(router().controller(screen)->isVisible());
            router().didPickOp(screen == screens::ListEditor ? kOpenSolver : kOpenListEditor);
            break;
        case Way::ScreenKey:
            keyboardKey(KT::kYEq);
            break;
        case Way::WindowClose:
            root->close();
            break;
        }
    }
};

const std::vector<LeavingByAnyWay::Field>& LeavingByAnyWay::fields()
{
    static const std::vector<Field> all{
        {"ListEditor", screens::ListEditor,
         [](LeavingByAnyWay& t) {
             t.calc.locked()->lists[kListOne] = reals({5, 6});
             t.router().showScreen(screens::ListEditor);
             t.type("12");
             t.key(KeyRouter::kDown);
             t.type("34");
         },
         [](LeavingByAnyWay& t) { EXPECT_EQ(t.list(kListOne), (std::vector<double>{12, 34})); }},
        {"Solver", screens::Solver,
         [](LeavingByAnyWay& t) {
             t.router().showScreen(screens::Solver);
             t.type("X-3");
             t.key(KeyRouter::kDown);
             t.type("5");
         },
         [](LeavingByAnyWay& t) { EXPECT_EQ(t.slot(kSlotX), 5); }},
        {"Finance", screens::Finance,
         [](LeavingByAnyWay& t) {
             t.router().showScreen(screens::Finance);
             t.type("360");
         },
         [](LeavingByAnyWay& t) { EXPECT_EQ(t.slot(kSlotTvmN), 360); }},
        {"MatrixEditor", screens::MatrixEditor,
         [](LeavingByAnyWay& t) {
             t.router().didPickMatrix(1, true);
             t.type("3");
         },
         [](LeavingByAnyWay& t) { EXPECT_EQ(t.calc.locked()->matrices[1].dimRow(), 3u); }},
        {"Window", screens::Window,
         [](LeavingByAnyWay& t) {
             t.router().showScreen(screens::Window);
             t.type("-7");
         },
         [](LeavingByAnyWay& t) { EXPECT_EQ(t.slot(kSlotXmin), -7); }},
    };
    return all;
}

// What is typed is stored where the screen keeps it, and nothing of it stays on the line
// for the screen that comes next.
TEST_P(LeavingByAnyWay, EntersWhatTheLineHolds)
{
    const auto [index, way] = GetParam();
    const Field& field = fields()[static_cast<std::size_t>(index)];
    field.type(*this);
    ASSERT_EQ(calc.currentScreen(), field.screen);
    ASSERT_FALSE(line().empty());
    leave(way, field.screen);
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_NE(calc.currentScreen(), field.screen);
    field.check(*this);
    EXPECT_EQ(line(), "");
    EXPECT_EQ(openAlert(), nullptr);
}

std::string wayName(const ::testing::TestParamInfo<std::tuple<int, Way>>& info)
{
    static const char* const ways[] = {"Quit", "Menu", "ScreenKey", "WindowClose"};
    const auto [index, way] = info.param;
    return std::string(LeavingByAnyWay::fields()[static_cast<std::size_t>(index)].name) + "By" + ways[static_cast<int>(way)];
}

INSTANTIATE_TEST_SUITE_P(Screens, LeavingByAnyWay,
    ::testing::Combine(::testing::Range(0, 5), ::testing::Values(Way::Quit, Way::Menu, Way::ScreenKey, Way::WindowClose)),
    wayName);

// A value that cannot be entered is told, and does not go on to the next screen's line;
// the home screen's own line stays whatever screen comes next.
TEST_F(LeavingScreens, AValueThatFailsIsToldAndDropped)
{
    calc.locked()->lists[kListOne] = reals({5, 6});
    router().showScreen(screens::ListEditor);
    type("1+");
    keyboardKey(KT::kQuit);
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_EQ(describe(openAlert()), (std::vector<std::string>{"Calc Error", "Syntax error", "OK"}));
    EXPECT_EQ(line(), "");
    EXPECT_EQ(list(kListOne), (std::vector<double>{5, 6}));
    while (QMessageBox* box = openAlert())
        box->done(0);
    type("2+");
    keyboardKey(KT::kYEq);
    EXPECT_EQ(line(), "2+");
    EXPECT_EQ(openAlert(), nullptr);
}

// ---- Keys before the answer ----

// The solver's value, entered and left at once by UP: the value is X's, not the Ans of
// before, and UP moves from the line ENTER moved to.
TEST_F(LeavingScreens, TheSolversKeysWaitForTheAnswer)
{
    calc.setVar(kSlotX, {{0.0, 0.0}});
    router().showScreen(screens::Solver);
    beforeTheAnswers([this] {
        type("X-3");
        key(KeyRouter::kDown);
        type("1");
        key(KeyRouter::kEnter);
        key(KeyRouter::kUp);
    });
    auto* solver = dynamic_cast<SolverScreen*>(router().controller(screens::Solver));
    ASSERT_TRUE(solver);
    EXPECT_EQ(slot(kSlotX), 1);
    EXPECT_EQ(solver->currentLine(), 1);
}

// Two values entered one after the other go to their own fields.
TEST_F(LeavingScreens, TheFinanceFieldsTakeTheirValuesInOrder)
{
    router().showScreen(screens::Finance);
    twoValues("5", "6", [this] { key(KeyRouter::kEnter); });
    EXPECT_EQ(slot(kSlotTvmN), 5);
    EXPECT_EQ(slot(kSlotTvmIPercent), 6);
    EXPECT_EQ(line(), "");
}

// The same in the table the user fills: each X goes to its own row.
TEST_F(LeavingScreens, TheAskedTableTakesItsValuesInOrder)
{
    calc.locked()->tableMode = 0;
    calc.locked()->tableList = VQList();
    router().showScreen(screens::Table);
    twoValues("3", "4", [this] { key(KeyRouter::kEnter); });
    EXPECT_EQ(calc.locked()->tableList.realList(), (std::vector<double>{3, 4}));
}

// QUIT right after a value's ENTER and the next value: both values go to their cells,
// and the home line gets nothing of them.
TEST_F(LeavingScreens, QuitWaitsForTheListEditorsAnswer)
{
    router().showScreen(screens::ListEditor);
    twoValues("12", "34", [this] { keyboardKey(KT::kQuit); });
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_EQ(list(kListOne), (std::vector<double>{12, 34}));
    EXPECT_EQ(line(), "");
}

// A screen key typed after keys that wait for a home-screen answer waits behind them: the
// keys typed on the new screen are that screen's. With nothing typed after ENTER a screen
// key waits for the answer too, so the history item keeps the line it answers.
TEST_F(LeavingScreens, AScreenKeyKeepsItsPlaceAmongTheKeys)
{
    calc.setVar(kSlotXmin, {{-10.0, 0.0}});
    beforeTheAnswers([this] {
        type("2+2");
        key(KeyRouter::kEnter);
        type("3");
        keyboardKey(KT::kWindow);
        EXPECT_EQ(calc.currentScreen(), screens::Home);
        type("5");
        key(KeyRouter::kDown);
    });
    EXPECT_EQ(calc.currentScreen(), screens::Window);
    EXPECT_EQ(slot(kSlotXmin), 5);
    const auto& items = history->history();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(calc.stringFromOps(items.back().entry), "2+2");

    // The home line typed before WINDOW comes back with the home screen.
    keyboardKey(KT::kQuit);
    EXPECT_EQ(line(), "3");
    key(KeyRouter::kClear);
    beforeTheAnswers([this] {
        type("3+3");
        key(KeyRouter::kEnter);
        keyboardKey(KT::kWindow);
        EXPECT_EQ(calc.currentScreen(), screens::Home);
    });
    EXPECT_EQ(calc.currentScreen(), screens::Window);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(calc.stringFromOps(items.back().entry), "3+3");
}

} // namespace
} // namespace orvenda::test
