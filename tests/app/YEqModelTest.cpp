#include "app/YEqTestSupport.h"

#include "core/MemoryArchive.h"
#include "core/NotificationNames.h"
#include "core/RandomSource.h"
#include "core/services/EntryManager.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace orvenda;
using namespace orvenda::test;

namespace {

const VQColor kGreen = VQColor::colorR(0, 1, 0, 1);
const VQColor kBlue = VQColor::colorR(0, 0, 1, 1);

bool sameColor(const std::optional<VQColor>& a, const VQColor& b)
{
    return a && a->r() == b.r() && a->g() == b.g() && a->b() == b.b() && a->a() == b.a();
}

// Types text into the current equation, one token at a time, as the keyboard does.
void type(YEqModel& eq, const std::string& text)
{
    for (std::uint32_t op : ops(text))
        eq.addOpcode(op, false, true);
}

} // namespace

TEST(YEqSlots, TokensMapToTheFortyFiveSlots)
{
    const struct {
        int token, index, type;
    } cases[] = {
        {0x5E10, 0, 0}, {0x5E19, 9, 0}, {kSolverEq, 10, 0}, {0x5E20, 11, 1}, {0x5E2B, 22, 1}, {0x5E40, 23, 2},
        {0x5E45, 28, 2}, {kU, 29, 3}, {0x5E85, 34, 3}, {0x5EA0, 35, 4}, {0x5EA9, 44, 4},
        {0x5E1B, -1, 0}, {0x5E2C, -1, 0}, {0x5E46, -1, 0}, {0x5E86, -1, 0}, {0x5EAA, -1, 0}, {0x58, -1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(YEqModel::indexForEquation(c.token), c.index) << std::hex << c.token;
        EXPECT_EQ(YEqModel::functionType(c.token), c.type) << std::hex << c.token;
        if (c.index >= 0) {
            EXPECT_EQ(YEqModel::equationForIndex(c.index), c.token);
        }
    }
    EXPECT_EQ(YEqModel::equationForIndex(45), -1);
    EXPECT_EQ(YEqModel::equationForIndex(-1), -1);
}

TEST(YEqSlots, TokensOutsideTheSlotsAnswerNeutrally)
{
    YEqCalc c;
    const int none = 0x5E1B;
    EXPECT_EQ(c.eq->setYEqFunc(none, ops("X")), 0);
    EXPECT_FALSE(c.eq->equationOps(none));
    EXPECT_FALSE(c.eq->plotForFunction(none));
    EXPECT_FALSE(c.eq->shouldPlotFunction(none));
    EXPECT_EQ(c.eq->styleForFunction(none), 0);
    EXPECT_FALSE(c.eq->colorForFunction(none));
    EXPECT_FALSE(c.eq->integrationLimitsForFunction(none));
    EXPECT_FALSE(c.eq->integrationLimitsForFunction(kSolverEq));
    EXPECT_EQ(c.eq->rpnForFunction(none), nullptr);
    EXPECT_FALSE(c.eq->varInforForFunction(none));
    EXPECT_EQ(c.eq->seqFlagsFor(kY1), 0);
    EXPECT_EQ(c.eq->eqString(none), "");
    EXPECT_FALSE(c.eq->validateFunction(none));
}

TEST(YEqFlags, AParametricPairPlotsOnlyWithBothMembersSelected)
{
    YEqCalc c;
    c.eq->setYEqFunc(kX1T, ops("cos(T)"));
    EXPECT_FALSE(c.eq->shouldPlotFunction(kX1T));
    c.eq->setYEqFunc(kY1T, ops("sin(T)"));
    EXPECT_TRUE(c.eq->shouldPlotFunction(kX1T));
    EXPECT_TRUE(c.eq->shouldPlotFunction(kY1T));

    // One flag word: unselecting the Y member unselects the pair.
    c.eq->setFunction(kY1T, false);
    EXPECT_FALSE(c.eq->shouldPlotFunction(kX1T));
    c.eq->setFunction(kY1T, true);
    EXPECT_TRUE(c.eq->shouldPlotFunction(kX1T));

    // An empty member cannot be selected, and takes its partner down with it.
    c.eq->setYEqFunc(kX2T, ops("T"));
    c.eq->setFunction(kY2T, true);
    EXPECT_FALSE(c.eq->shouldPlotFunction(kX2T));
}

TEST(YEqFlags, WritingAnEquationSelectsItAndSetsItsStyle)
{
    YEqCalc c;
    c.eq->setFunction(kY1, false);
    c.eq->setYEqFunc(kY1, {});
    EXPECT_FALSE(c.eq->shouldPlotFunction(kY1));
    EXPECT_EQ(c.eq->styleForFunction(kY1), 2);
    c.eq->setYEqFunc(kY1, ops("X²"));
    EXPECT_TRUE(c.eq->shouldPlotFunction(kY1));

    const struct {
        const char* text;
        int style;
    } relations[] = {{"Y≥X²", 10}, {"Y<X", 16}, {"X²+Y²=4", 2}, {"Y>X", 8}, {"Y≤X", 18}, {"X+Y", 2}};
    for (const auto& r : relations) {
        c.eq->setYEqFunc(kXY1, ops(r.text));
        EXPECT_EQ(c.eq->styleForFunction(kXY1), r.style) << r.text;
    }
}

TEST(YEqEditing, TypingSelectsAndDeletingTheLastTokenUnselects)
{
    YEqCalc c;
    c.eq->setCurrentFunction(0);
    type(*c.eq, "X");
    EXPECT_TRUE(c.eq->shouldPlotFunction(kY1));
    c.eq->cursorHome();
    c.eq->deleteOpcode();
    EXPECT_EQ(c.eq->equationOps(kY1)->size(), 0u);
    EXPECT_FALSE(c.eq->shouldPlotFunction(kY1));
    EXPECT_EQ(c.eq->getOpAt(0), YEqModel::kNoOp);
    EXPECT_EQ(c.eq->getOpAt(-1), YEqModel::kNoOp);
}

TEST(YEqEditing, OverwritesUnlessInserting)
{
    YEqCalc c;
    type(*c.eq, "123");
    c.eq->cursorHome();
    c.eq->addOpcode(0x35, false, true);  // 5
    c.eq->addOpcode(0x39, true, true);   // 9
    EXPECT_EQ(c.text(kY1), "5923");
    EXPECT_EQ(c.eq->entryCursor(), 2);

    // In MathPrint a template part at the cursor is never overwritten; a unit conversion
    // carries no template.
    const std::uint32_t part = 0x70010 | 0x10, conversion = 0x1234BB5D;
    c.calc.locked()->mathPrint = false;
    c.eq->setYEqFunc(kY1, {part, conversion});
    c.calc.locked()->mathPrint = true;
    c.eq->cursorHome();
    c.eq->addOpcode(0x35, false, true);
    c.eq->setEntryCursor(2);
    c.eq->addOpcode(0x36, false, true);
    EXPECT_EQ(c.eq->currentYEqOps(), (Ops{0x35, part, 0x36}));
}

TEST(YEqEditing, AnEquationMayNotReferToItself)
{
    YEqCalc c;
    type(*c.eq, "X+");
    c.eq->addOpcode(kY1, false, true);
    EXPECT_EQ(c.view->errors, std::vector<int>{29});
    EXPECT_EQ(c.text(kY1), "X+");
    c.eq->addOps(ops("2Y₁"), false, true);
    EXPECT_EQ(c.text(kY1), "X+");

    c.eq->addOpcode(kY2, false, true);
    EXPECT_EQ(c.text(kY1), "X+Y₂");

    // Written by a program, a file or the table header.
    EXPECT_EQ(c.eq->setYEqFunc(kY2, ops("Y₂+1")), 29);
    EXPECT_EQ(c.eq->equationOps(kY2)->size(), 0u);

    // A sequence's own name reads its earlier terms.
    c.eq->setCurrentFunction(29);
    c.eq->addOpcode(kU, false, true);
    EXPECT_EQ(c.text(kU), "u");
    EXPECT_EQ(c.eq->setYEqFunc(kU, ops("u (η-1)+1")), 0);
    EXPECT_EQ(c.view->errors.size(), 2u);
}

// Written from a string, an equation is a line: one longer than a line takes is the Memory
// error and leaves the equation as it was, whoever writes it.
TEST(YEqEditing, AnEquationIsNoLongerThanALine)
{
    YEqCalc c;
    EXPECT_EQ(c.eq->setYEqFunc(kY1, std::vector<std::uint32_t>(EntryManager::kMaxOps, 0x58)), 0);
    EXPECT_EQ(c.eq->equationOps(kY1)->size(), EntryManager::kMaxOps);
    EXPECT_EQ(c.eq->setYEqFunc(kY2, std::vector<std::uint32_t>(EntryManager::kMaxOps + 1, 0x58)), 26);
    EXPECT_EQ(c.eq->equationOps(kY2)->size(), 0u);
}

TEST(YEqEditing, ListNamesFromTheMenu)
{
    YEqCalc c;
    c.eq->addVariable("L₂", false);
    c.eq->addVariable("ABθ1?", false);
    EXPECT_EQ(c.eq->currentYEqOps(), (Ops{0x5D01, 0xEB, 'A', 'B', 0x5B, '1'}));
    c.eq->undo();
    EXPECT_EQ(c.eq->currentYEqOps(), (Ops{0x5D01}));
}

TEST(YEqEditing, QuotesBeforeTheCursor)
{
    YEqCalc c;
    EXPECT_FALSE(c.eq->isQuoting());
    type(*c.eq, "\"AB");
    EXPECT_TRUE(c.eq->isQuoting());
    type(*c.eq, "\"");
    EXPECT_FALSE(c.eq->isQuoting());
    c.eq->setEntryCursor(99);
    c.eq->isQuoting();
    EXPECT_EQ(c.eq->entryCursor(), 4);
}

TEST(YEqUndo, RestoresTokensColourAndFlags)
{
    YEqCalc c;
    int redraws = 0;
    c.bus.addObserver(&redraws, VQRedrawKeyboard, [&](const Notification&) { ++redraws; });
    type(*c.eq, "X");
    c.eq->setColor(kBlue, kY1);
    c.eq->setStyle(4, kY1);
    EXPECT_EQ(redraws, 3);

    c.eq->undo();
    EXPECT_EQ(c.eq->styleForFunction(kY1), 2);
    EXPECT_TRUE(sameColor(c.eq->colorForFunction(kY1), kBlue));
    c.eq->undo();
    EXPECT_TRUE(sameColor(c.eq->colorForFunction(kY1), kGreen));
    EXPECT_EQ(c.text(kY1), "X");
    c.eq->undo();
    EXPECT_EQ(c.text(kY1), "");
    EXPECT_FALSE(c.eq->shouldPlotFunction(kY1));
    EXPECT_FALSE(c.eq->canUndo());

    c.eq->redo();
    c.eq->redo();
    c.eq->redo();
    EXPECT_EQ(c.text(kY1), "X");
    EXPECT_TRUE(c.eq->shouldPlotFunction(kY1));
    EXPECT_TRUE(sameColor(c.eq->colorForFunction(kY1), kBlue));
    EXPECT_EQ(c.eq->styleForFunction(kY1), 4);
    EXPECT_FALSE(c.eq->canRedo());
    c.bus.removeObserver(&redraws);
}

TEST(YEqUndo, KeepsTheNewestFiftySteps)
{
    YEqCalc c;
    for (int i = 0; i < 51; ++i)
        c.eq->addOpcode(0x31, true, true);
    int steps = 0;
    while (c.eq->canUndo()) {
        c.eq->undo();
        ++steps;
    }
    EXPECT_EQ(steps, 50);
    EXPECT_EQ(c.text(kY1), "1");
}

TEST(YEqUndo, AnUnchangedStyleAndColourTakeNoStep)
{
    YEqCalc c;
    c.eq->setYEqFunc(kY1, ops("X"));
    c.eq->clearUndo();
    c.eq->setStyle(3, kGreen, kY1);
    EXPECT_FALSE(c.eq->canUndo());
    c.eq->setStyle(3, kBlue, kY1);
    EXPECT_TRUE(c.eq->canUndo());
}

TEST(YEqImplicit, TheStyleAndTheRelationFollowEachOther)
{
    YEqCalc c;
    c.calc.setGraphMode(4);
    c.eq->setYEqFunc(kXY1, ops("X²+Y²-4"));
    c.eq->setStyle(16, kXY1);
    EXPECT_EQ(c.eq->equationOps(kXY1), ops("X²+Y²-4<0"));
    c.eq->setYEqFunc(kXY1, ops("Y>X"));
    c.eq->setStyle(2, kXY1);
    EXPECT_EQ(c.eq->equationOps(kXY1), ops("Y=X"));

    // Typing a relation changes the shading, and undo takes both back.
    c.eq->clear();
    type(*c.eq, "Y<");
    EXPECT_EQ(c.eq->styleForFunction(kXY1), 16);
    c.eq->undo();
    EXPECT_EQ(c.eq->styleForFunction(kXY1), 2);
    EXPECT_EQ(c.text(kXY1), "Y");
    c.eq->redo();
    EXPECT_EQ(c.eq->styleForFunction(kXY1), 16);
}

TEST(YEqImplicit, RelationsCompileAsDifferences)
{
    YEqCalc c;
    Parser& parser = c.calc.parser();
    const struct {
        const char* text;
        const char* as;
        bool equality;
    } cases[] = {{"Y≥X²", "Y-(X²)", false}, {"X²+Y²=4", "X²+Y²-(4)", true}, {"X+Y", "X+Y", false}};
    for (const auto& k : cases) {
        c.eq->setYEqFunc(kXY1, ops(k.text));
        bool equality = !k.equality;
        auto rpn = c.eq->rpnForImplicitFunction(kXY1, equality);
        ASSERT_TRUE(rpn) << k.text;
        Ops expected = ops(k.as);
        EXPECT_EQ(rpn->description(), parser.getRPNfor(expected).description()) << k.text;
        EXPECT_EQ(equality, k.equality) << k.text;
    }
    c.eq->setYEqFunc(kXY1, ops("Y<X<2"));
    bool equality = true;
    EXPECT_EQ(c.eq->rpnForImplicitFunction(kXY1, equality), nullptr);
    EXPECT_FALSE(equality);
}

TEST(YEqCompile, FormsAreCachedUntilTheTokensChange)
{
    YEqCalc c;
    c.eq->setYEqFunc(kY1, ops("X²+1"));
    auto first = c.eq->rpnForFunction(kY1);
    ASSERT_TRUE(first);
    EXPECT_EQ(c.eq->rpnForFunction(kY1), first);
    c.eq->setYEqFunc(kY1, ops("X²+2"));
    auto second = c.eq->rpnForFunction(kY1);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    c.calc.locked()->vars[23] = 3;
    EXPECT_EQ(c.calc.parser().evalRPN(*second, true, false).re(), 11);

    c.eq->setYEqFunc(kY2, {});
    EXPECT_EQ(c.eq->rpnForFunction(kY2), nullptr);
}

// A faulty equation's cached form fails with its syntax error wherever it is evaluated
// (Y₁(2), GRAPH, TABLE), never as the beginning the parser got to; the report names the
// equation and the fault's place, and the mended equation compiles again.
TEST(YEqCompile, AFaultyEquationFailsWithItsSyntaxError)
{
    YEqCalc c;
    c.calc.locked()->vars[23] = 2;
    for (const char* faulty : {"X+*3", "X²/—4"}) {
        c.eq->setYEqFunc(kY1, ops(faulty));
        const auto rpn = c.eq->rpnForFunction(kY1);
        ASSERT_TRUE(rpn) << faulty;
        const Operand r = c.calc.parser().evalRPN(*rpn, true, false);
        EXPECT_EQ(c.calc.parser().error(), 1) << faulty << " gave " << r.re();
        c.calc.parser().setError(0);
        EXPECT_EQ(c.eq->rpnForFunction(kY1), rpn) << "cached";
    }
    Ops applying = ops("Y₁(2)");
    const Operand applied = c.calc.parser().eval(applying, false);
    EXPECT_EQ(applied.error, 1);
    c.calc.parser().setError(0);

    nlohmann::json shown;
    struct Recording : FakeView {
        nlohmann::json* shown;
        void VCShowError(const nlohmann::json& error) override { *shown = error; }
    };
    auto recording = std::make_shared<Recording>();
    recording->shown = &shown;
    c.calc.viewDelegate = recording;
    c.eq->setYEqFunc(kY1, ops("X+*3"));
    EXPECT_TRUE(c.eq->reportFaultySelected());
    EXPECT_EQ(shown, (nlohmann::json{{"errorNum", 1}, {"equation", kY1}, {"tokenLocation", 2}}));
    // An unselected faulty equation is not drawn and says nothing; a mended one compiles.
    c.eq->setFunction(kY1, false);
    EXPECT_FALSE(c.eq->reportFaultySelected());
    c.eq->setYEqFunc(kY1, ops("X+3"));
    EXPECT_FALSE(c.eq->reportFaultySelected());
    EXPECT_EQ(c.calc.parser().evalRPN(*c.eq->rpnForFunction(kY1), true, false).re(), 5);
    // A relation too.
    c.calc.setGraphMode(4);
    c.eq->setYEqFunc(kXY1, ops("Y<X+*2"));
    EXPECT_TRUE(c.eq->reportFaultySelected());
    EXPECT_EQ(shown["equation"], kXY1);
}

TEST(YEqCompile, CursorUpStopsAtASyntaxError)
{
    YEqCalc c;
    c.eq->setCurrentFunction(1);
    type(*c.eq, "2+)");
    c.eq->cursorHome();
    c.eq->cursorUp();
    EXPECT_EQ(c.view->errors, std::vector<int>{1});
    EXPECT_EQ(c.eq->currentFunction(), 1);
    // On the bracket that closes nothing.
    EXPECT_EQ(c.eq->entryCursor(), 2);

    c.eq->addOpcode(0x33, false, true);  // 3 over the bracket
    c.eq->cursorUp();
    EXPECT_EQ(c.eq->currentFunction(), 0);
    EXPECT_EQ(c.eq->entryCursor(), 0);
    c.eq->cursorUp();
    EXPECT_EQ(c.eq->currentFunction(), 0);
}

// A line ending in an operator compiles but lacks its operand: ENTER and leaving the row
// tell the syntax error, and the row is kept. A value outside
// a function's domain at the current X is no fault of the line.
TEST(YEqCompile, ALineEndingInAnOperatorIsTold)
{
    YEqCalc c;
    c.eq->setCurrentFunction(0);
    type(*c.eq, "2+");
    c.eq->enter();
    EXPECT_EQ(c.view->errors, std::vector<int>{1});
    c.eq->cursorDown();
    EXPECT_EQ(c.view->errors, (std::vector<int>{1, 1}));
    EXPECT_EQ(c.eq->currentFunction(), 0);

    c.calc.locked()->vars[23] = 0;
    for (const char* fine : {"1/X", "√(X-1)", "ln(X)"}) {
        c.eq->clear();
        type(*c.eq, fine);
        c.eq->enter();
        EXPECT_EQ(c.view->errors.size(), 2u) << fine;
    }
    c.eq->cursorDown();
    EXPECT_EQ(c.eq->currentFunction(), 1);
    EXPECT_EQ(c.view->errors.size(), 2u);
    EXPECT_EQ(c.calc.parser().error(), 0);
}

// A row is checked by compiling it, never by running it: ENTER, the arrows and a touch on
// another row draw no number from the generator, whichever random function the row holds.
TEST(YEqCompile, CheckingARowDrawsNoRandomNumber)
{
    for (const char* row : {"rand", "rand(3)", "X+rand", "randInt(1,6)", "randNorm(0,1)", "randBin(5,.5)",
             "randIntNoRep(1,9)", "randM(2,2)"}) {
        YEqCalc c;
        RandomSource::shared().seed(0);
        const double first = RandomSource::shared().uniform();
        RandomSource::shared().seed(0);
        c.eq->setCurrentFunction(0);
        type(*c.eq, row);
        c.eq->enter();
        c.eq->cursorDown();
        c.eq->cursorUp();
        c.eq->setCursorOnFunction(kY2, 0);
        EXPECT_EQ(RandomSource::shared().uniform(), first) << row;
        EXPECT_TRUE(c.view->errors.empty()) << row;
    }
}

TEST(YEqCursor, SequenceRowsAlternateWithTheirInitialValues)
{
    YEqCalc c;
    c.calc.setGraphMode(3);
    EXPECT_EQ(c.eq->currentFunction(), 29);
    const int down[] = {32, 30, 33, 31, 34, 34};
    for (int expected : down) {
        c.eq->cursorDown();
        EXPECT_EQ(c.eq->currentFunction(), expected);
    }
    c.eq->setCurrentFunction(30);
    c.eq->cursorUp();
    EXPECT_EQ(c.eq->currentFunction(), 32);
    c.eq->cursorUp();
    EXPECT_EQ(c.eq->currentFunction(), 29);
}

TEST(YEqSequences, InitialValuesFromListsAndFromTheEditor)
{
    YEqCalc c;
    VQList three = reals({1, 2, 3});
    EXPECT_EQ(c.eq->initSeq(kU0, &three), 13);
    EXPECT_EQ(c.eq->initSeq(kU0, nullptr), 13);
    VQList complex = complexes({{1, 1}});
    EXPECT_EQ(c.eq->initSeq(kU0, &complex), 15);
    EXPECT_EQ(c.text(kU0), "");

    VQList five = reals({5});
    EXPECT_EQ(c.eq->initSeq(kU0, &five), 0);
    EXPECT_EQ(c.calc.locked()->vars[32].real(), 5);
    EXPECT_EQ(c.text(kU0), "5");
    EXPECT_EQ(c.eq->numSeqInitializersFor(kU), 1);

    // Typed in the editor: {1+1,3} gives two values once the row is left.
    c.calc.setGraphMode(3);
    c.eq->cursorDown();
    c.eq->clear();
    type(*c.eq, "{1+1,3}");
    c.eq->enter();
    EXPECT_EQ(c.eq->numSeqInitializersFor(kU), 2);
    EXPECT_EQ(c.calc.locked()->vars[32].real(), 2);
    EXPECT_EQ(c.calc.locked()->vars[36].real(), 3);
    EXPECT_EQ(c.text(kU0), "{2,3}");
}

TEST(YEqSequences, WebTraceReadsThePreviousTermAsX)
{
    YEqCalc c;
    // A blank keeps "u(η-1)" from being read as the window variable of that name.
    c.eq->setYEqFunc(kU, ops("0.5u (η-1)+1"));
    EXPECT_EQ(c.eq->webTraceForFunction(kU), ops("0.5X+1"));
    auto rpn = c.eq->webTraceRPNForFunction(kU);
    ASSERT_TRUE(rpn);
    c.calc.locked()->vars[23] = 4;
    EXPECT_EQ(c.calc.parser().evalRPN(*rpn, true, false).re(), 3);

    c.eq->setYEqFunc(kU, ops("u (η-2)"));
    EXPECT_EQ(c.eq->webTraceForFunction(kU), ops("u (η-2)"));
    // A run cut short: MathPrint closes its bracket, the classic display keeps it open.
    c.eq->setYEqFunc(kU, ops("2u (η-"));
    EXPECT_EQ(c.eq->webTraceForFunction(kU), ops("2u (η-)"));
    c.calc.locked()->mathPrint = false;
    c.eq->setYEqFunc(kU, ops("2u (η-"));
    EXPECT_EQ(c.eq->webTraceForFunction(kU), ops("2u (η-"));
}

TEST(YEqSliders, FreeVariablesInTokenOrder)
{
    YEqCalc c;
    c.calc.locked()->vars[1] = 3;  // B
    c.eq->setYEqFunc(kY1, ops("AX²+B"));
    auto vars = c.eq->varInforForFunction(kY1);
    ASSERT_TRUE(vars);
    ASSERT_EQ(vars->size(), 2u);
    EXPECT_EQ((*vars)[0], (YEqVarInfo{0, -2, 4, 0, 0, "A"}));
    EXPECT_EQ((*vars)[1], (YEqVarInfo{1, -6, 12, 0, 3, "B"}));

    c.calc.locked()->vars[32] = 2;
    c.eq->setYEqFunc(kU, ops("Ku (η-1)"));
    vars = c.eq->varInforForFunction(kU);
    ASSERT_TRUE(vars);
    ASSERT_EQ(vars->size(), 2u);
    EXPECT_EQ((*vars)[0], (YEqVarInfo{32, -4, 8, 0, 2, "u0"}));
    EXPECT_EQ((*vars)[1].name, "K");

    // A program's slider setting reaches the variable; the pair shares its sliders.
    c.eq->setYEqFunc(kX1T, ops("AT"));
    c.eq->setYEqFunc(kY1T, ops("BT"));
    c.eq->setYEqFunc(kY1T, 0, 1.5, 0.5, 5, -5);
    EXPECT_EQ(c.calc.locked()->vars[0].real(), 1.5);
    EXPECT_EQ(c.eq->varInforForFunction(kX1T)->front(), (YEqVarInfo{0, -5, 5, 0.5, 1.5, "A"}));
}

TEST(YEqArchive, RoundTripKeepsEverything)
{
    YEqCalc c;
    c.eq->setYEqFunc(kY2, ops("X³"));
    c.eq->setColor(kBlue, kY2);
    c.eq->setStyle(32, kU);
    c.eq->setYEqFunc(kY1, ops("AX"));
    c.eq->cursorEnd();
    type(*c.eq, "+1");
    c.eq->undo();
    // Typing drops the slider list, so the slider comes after.
    c.eq->varInforForFunction(kY1);
    c.eq->setYEqFunc(kY1, 0, 2, 0.25, 7, -7);
    YEqIntegrate integral;
    integral.lower = -1;
    integral.upper = 2;
    integral.area = 0.5;
    c.eq->setIntegrationLimits(kY2, integral);
    VQList two = reals({4, 5});
    c.eq->initSeq(0x5E84, &two);

    // Through the calculator's archive, as between launches.
    YEqCalc back;
    ASSERT_TRUE(MemoryArchive::restore(back.calc, MemoryArchive::save(c.calc)));
    for (int token : {kY1, kY2, kU}) {
        EXPECT_EQ(back.eq->equationOps(token), c.eq->equationOps(token));
        EXPECT_EQ(back.eq->shouldPlotFunction(token), c.eq->shouldPlotFunction(token));
        EXPECT_EQ(back.eq->styleForFunction(token), c.eq->styleForFunction(token));
    }
    EXPECT_TRUE(sameColor(back.eq->colorForFunction(kY2), kBlue));
    ASSERT_TRUE(back.eq->varInforForFunction(kY1));
    EXPECT_EQ(back.eq->varInforForFunction(kY1), (std::vector{YEqVarInfo{0, -7, 7, 0.25, 2, "A"}}));
    EXPECT_EQ(back.eq->integrationLimitsForFunction(kY2)->area, 0.5);
    EXPECT_EQ(back.eq->numSeqInitializersFor(kV), 2);
    EXPECT_TRUE(back.eq->canRedo());
    back.eq->redo();
    EXPECT_EQ(back.eq->currentYEqOps(), ops("AX+1"));
}

TEST(YEqArchive, ShortPerSlotArraysArePaddedEachOnItsOwn)
{
    YEqCalc c;
    c.eq->setYEqFunc(0x5EA9, ops("X=Y"));
    nlohmann::json archive = c.eq->encode();
    const auto keep = [&archive](const char* key, std::ptrdiff_t n) {
        archive[key].erase(archive[key].begin() + n, archive[key].end());
    };
    keep("pf", 34);
    keep("pF", 2);
    keep("cl", 10);
    keep("vi", 0);
    keep("pi", 3);
    archive["seq"] = {1};
    archive.erase("un");
    archive["pf"][0] = ops("X");
    archive["pF"][0] = 3;

    YEqCalc back;
    back.eq->decode(archive);
    EXPECT_EQ(back.text(kY1), "X");
    EXPECT_TRUE(back.eq->shouldPlotFunction(kY1));
    EXPECT_EQ(back.text(0x5EA9), "");
    EXPECT_FALSE(back.eq->shouldPlotFunction(0x5EA9));
    EXPECT_TRUE(sameColor(back.eq->colorForFunction(0x5EA9), kGreen));
    EXPECT_EQ(back.eq->styleForFunction(0x5E19), 2);
    EXPECT_EQ(back.eq->integrationLimitsForFunction(0x5E19)->tol, 0.001);
    EXPECT_EQ(back.eq->numSeqInitializersFor(kU), 1);
    EXPECT_EQ(back.eq->numSeqInitializersFor(kW), 0);
    EXPECT_FALSE(back.eq->canUndo());

    // Too long, or not arrays at all.
    archive["pf"] = nlohmann::json::array();
    for (int i = 0; i < 60; ++i)
        archive["pf"].push_back(ops("1"));
    archive["pF"] = "damaged";
    back.eq->decode(archive);
    EXPECT_EQ(back.text(0x5EA9), "1");
    EXPECT_FALSE(back.eq->shouldPlotFunction(0x5EA9));
}

TEST(YEqThreads, AFormCompiledDuringAChangeIsNotKept)
{
    // Each round a program writes Y1 twice while the graph compiles it: the form of the
    // first tokens, finished after the second write, must not be kept.
    YEqCalc c;
    std::string padding;
    for (int i = 0; i < 100; ++i)
        padding += "+0";
    const Ops first = ops("X+1" + padding), second = ops("X+2" + padding);
    constexpr int kRounds = 100;
    std::atomic<int> round{0}, firstWritten{0}, secondWritten{0};
    std::thread program([&] {
        for (int r = 1; r <= kRounds; ++r) {
            while (round.load() < r) {
            }
            c.eq->setYEqFunc(kY1, first);
            firstWritten.store(r);
            // Into the middle of the compilation.
            const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(5);
            while (std::chrono::steady_clock::now() < until) {
            }
            c.eq->setYEqFunc(kY1, second);
            secondWritten.store(r);
        }
    });
    c.calc.locked()->vars[23] = 0;
    int stale = 0;
    for (int r = 1; r <= kRounds; ++r) {
        round.store(r);
        while (firstWritten.load() < r) {
        }
        c.eq->rpnForFunction(kY1);
        while (secondWritten.load() < r) {
        }
        auto rpn = c.eq->rpnForFunction(kY1);
        stale += !rpn || c.calc.parser().evalRPN(*rpn, true, false).re() != 2;
    }
    program.join();
    EXPECT_EQ(stale, 0);
}
