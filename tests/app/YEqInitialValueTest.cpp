#include "app/YEqTestSupport.h"

#include "core/VQList.h"

using namespace orvenda;
using namespace orvenda::test;

namespace {

constexpr int kYEqScreen = 1, kGraphScreen = 8;

// Each initial value's row, its token and the variable slot of its first value.
struct Row {
    const char* name;
    int token;
    int row;
    int slot;
};
const Row kRows[] = {{"u(ηMin)", kU0, 32, 32}, {"v(ηMin)", kU0 + 1, 33, 33}, {"w(ηMin)", kU0 + 2, 34, 78}};

// The Y= editor in sequence mode, on the row, with text typed there as the keyboard types it.
void typeOnRow(YEqCalc& c, const Row& row, const std::string& text)
{
    c.calc.setGraphMode(3);
    c.calc.setCurrentScreen(kYEqScreen);
    c.eq->setCurrentFunction(row.row);
    c.eq->clear();
    for (std::uint32_t op : ops(text))
        c.eq->addOpcode(op, false, true);
}

double first(const YEqCalc& c, const Row& row) { return c.calc.locked()->vars[static_cast<std::size_t>(row.slot)].real(); }

} // namespace

// Leaving the editor takes each row's value as it shows; a value that fails tells its error,
// stays on its row as typed with the cursor on the fault, and the value in use is unchanged.
TEST(YEqInitialValues, LeavingTheEditorTakesWhatTheRowShows)
{
    const struct {
        const char* typed;
        double value;  // NaN: fails
        int count;
        const char* shown;
        int error;
    } values[] = {
        {"2+3", 5, 1, "5", 0},
        {"{1,4}", 1, 2, "{1,4}", 0},
        {"2+", NAN, 0, "2+", 1},
        {"{1,2,3}", NAN, 0, "{1,2,3}", 13},
        {"\"A\"", NAN, 0, "\"A\"", 12},
    };
    for (const Row& row : kRows)
        for (const auto& v : values) {
            YEqCalc c;
            typeOnRow(c, row, v.typed);
            c.calc.setCurrentScreen(kGraphScreen);
            const std::string where = std::string(row.name) + " " + v.typed;
            EXPECT_EQ(c.text(row.token), v.shown) << where;
            EXPECT_EQ(c.eq->numSeqInitializersFor(kU + (row.row - 32)), v.count) << where;
            if (v.error == 0) {
                EXPECT_EQ(first(c, row), v.value) << where;
                EXPECT_TRUE(c.view->errors.empty()) << where;
                continue;
            }
            EXPECT_EQ(first(c, row), 0) << where;
            EXPECT_EQ(c.view->errors, std::vector<int>{v.error}) << where;
            // Back on the editor and left again: told again, never taken as 0.
            c.calc.setCurrentScreen(kYEqScreen);
            c.calc.setCurrentScreen(0);
            EXPECT_EQ(c.view->errors.size(), 2u) << where;
            EXPECT_EQ(c.text(row.token), v.shown) << where;
        }
}

// ENTER, the arrows and a touch on another row take the value too, and a failing one keeps
// the cursor on its row at the fault, as a faulty equation does.
TEST(YEqInitialValues, AFailingValueKeepsItsRowOnEveryMove)
{
    const std::vector<std::pair<const char*, void (*)(YEqModel&)>> moves{
        {"ENTER", [](YEqModel& eq) { eq.enter(); }},
        {"UP", [](YEqModel& eq) { eq.cursorUp(); }},
        {"DOWN", [](YEqModel& eq) { eq.cursorDown(); }},
        {"touch", [](YEqModel& eq) { eq.setCursorOnFunction(kW, 0); }},
    };
    for (const auto& [name, move] : moves) {
        YEqCalc c;
        typeOnRow(c, kRows[1], "1+*");
        move(*c.eq);
        EXPECT_EQ(c.eq->currentFunction(), 33) << name;
        EXPECT_EQ(c.eq->entryCursor(), 2) << name;
        EXPECT_EQ(c.view->errors, std::vector<int>{1}) << name;
        c.eq->clear();
        c.eq->addOpcode(ops("1").front(), false, true);
        move(*c.eq);
        EXPECT_EQ(first(c, kRows[1]), 1) << name;
        EXPECT_EQ(c.view->errors.size(), 1u) << name;
    }
}

// Only what was typed is taken: values a program or a slider gave the variables since stay,
// and a value passed over keeps every digit it had.
TEST(YEqInitialValues, ValuesNotTypedOnTheRowStay)
{
    YEqCalc c;
    VQList third = reals({1.0 / 3});
    ASSERT_EQ(c.eq->initSeq(kU0, &third), 0);
    typeOnRow(c, kRows[0], "");
    c.eq->undo();
    c.eq->cursorDown();
    c.eq->cursorUp();
    c.calc.setCurrentScreen(kGraphScreen);
    EXPECT_EQ(first(c, kRows[0]), 1.0 / 3);

    c.calc.setCurrentScreen(kYEqScreen);
    c.calc.locked()->vars[32] = 7;
    c.calc.setCurrentScreen(kGraphScreen);
    EXPECT_EQ(first(c, kRows[0]), 7);
    EXPECT_TRUE(c.view->errors.empty());
}
