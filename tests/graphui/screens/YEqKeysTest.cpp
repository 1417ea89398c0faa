// Keys on the Y= screen edit the current equation through the key routing, one-line and
// MathPrint.

#include "YEqScreenSupport.h"

namespace orvenda::test {
namespace {

constexpr std::uint32_t kFraction = 0xEF38;
constexpr std::uint32_t T(std::uint32_t token) { return 0x10000 | token; }

class YEqKeys : public YEqScreens {
protected:
    YEqKeys() { calc.setCurrentScreen(screens::YEq); }
    void key(std::uint32_t op) { shell.keys().processKeyOp(op); }
};

TEST_F(YEqKeys, OneLineKeysEditMoveAndUndo)
{
    calc.locked()->mathPrint = false;
    typeKeys("X²");
    key(KeyRouter::kDown);
    typeKeys("sin(X");
    EXPECT_EQ(text(kY1), "X²");
    EXPECT_EQ(text(kY2), "sin(X");
    EXPECT_TRUE(eq->shouldPlotFunction(kY2));
    key(KeyRouter::kLeft);
    key(KeyRouter::kDel);
    EXPECT_EQ(text(kY2), "sin(");
    key(KeyRouter::kUndo);
    EXPECT_EQ(text(kY2), "sin(X");
    key(KeyRouter::kClear);
    EXPECT_EQ(text(kY2), "");
    EXPECT_FALSE(eq->shouldPlotFunction(kY2));
    // ENTER checks the equation and stays on it.
    key(KeyRouter::kEnter);
    EXPECT_EQ(eq->selectedEqNum(), kY2);
}

TEST_F(YEqKeys, MathPrintKeysBuildTemplatesInOneStepEach)
{
    calc.locked()->mathPrint = true;
    for (std::uint32_t op : {kFraction, 0x31u})
        key(op);
    key(KeyRouter::kRight);
    key(0x32);
    key(KeyRouter::kRight);
    key(0x70);
    const Ops typed{T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), 0x70};
    EXPECT_EQ(eq->currentYEqOps(), typed);
    key(KeyRouter::kUndo);
    EXPECT_EQ(eq->currentYEqOps(), Ops(typed.begin(), typed.end() - 1));

    // An empty template goes whole.
    key(KeyRouter::kDown);
    key(kFraction);
    key(KeyRouter::kLeft);
    EXPECT_EQ(eq->entryCursor(), 0);
    key(KeyRouter::kDel);
    EXPECT_TRUE(eq->currentYEqOps().empty());
}

TEST_F(YEqKeys, AnEquationsOwnNameIsRefusedWithoutAnUndoStep)
{
    calc.locked()->mathPrint = true;
    key(kY2);
    const int stepsBefore = eq->canUndo();
    key(kY1);
    EXPECT_EQ(eq->currentYEqOps(), (Ops{static_cast<std::uint32_t>(kY2)}));
    key(KeyRouter::kUndo);
    key(KeyRouter::kUndo);
    EXPECT_TRUE(eq->currentYEqOps().empty()) << "the refused key left no step to undo";
    EXPECT_EQ(stepsBefore, 1);
}

} // namespace
} // namespace orvenda::test
