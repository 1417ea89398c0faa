#include "eval/StatementInterpreter.h"

#include "ProgramTestSupport.h"
#include "eval/ProgramTokens.h"
#include "language/UnitNames.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using testing::ProgramHarness;

TEST(StatementInterpreterTest, EntryLineRunsEveryStatementAndReportsOnce)
{
    ProgramHarness h;
    const Operand r = h.enter("1+1:2+2");
    ASSERT_EQ(h.finals.size(), 1u);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 4);
    EXPECT_EQ(h.calc.ans.r(), 4);
    EXPECT_FALSE(h.calc.programRunning);
}

// A loop run on plain reals leaves Ans, the variables and the report as each statement
// would have; a statement the fast path hands back in the middle of the loop fails where
// the general evaluator says, with what earlier passes stored kept.
TEST(StatementInterpreterTest, FastLoopsLeaveAnsAndFailAtTheStatementThatFails)
{
    ProgramHarness h;
    Operand r = h.run("0->A:For(I,1,4):A+I->A:End");
    EXPECT_EQ(r.kind, KindNoShow);
    EXPECT_EQ(h.calc.ans.r(), 10);
    EXPECT_EQ(h.calc.ans.sigFigures(), 2);
    EXPECT_EQ(h.calc.ans.sigDecPlace(), 0);
    EXPECT_EQ(h.var('I'), 5);

    r = h.run("For(I,1,3):1/(I-2)->A:End");
    EXPECT_EQ(r.error, 14);
    // The divisor I-2 starts at token 11.
    EXPECT_EQ(r.location, 11);
    EXPECT_EQ(h.var('A'), -1);
    EXPECT_EQ(h.var('I'), 2);
}

// Control flow results are in tests/cases/programs.cases; the frames must all be gone after.
TEST(StatementInterpreterTest, GosubFramesAreGoneAfterReturnAndOverflow)
{
    ProgramHarness h;
    h.store("G", "Gosub S:3->A:Stop:Lbl S:4->B:Return");
    EXPECT_EQ(h.enter("prgmG").kind, KindNoShow);
    EXPECT_EQ(h.queue().frameCount(), 0);
    h.store("DEEP", "Lbl A:Gosub A");
    EXPECT_EQ(h.enter("prgmDEEP").error, 72);
    EXPECT_EQ(h.queue().frameCount(), 0);
}

TEST(StatementInterpreterTest, InputWaitsAndTheAnswerRunContinuesTheProgram)
{
    ProgramHarness h;
    h.store("P", "Input A:A->B");
    Operand r = h.enter("prgmP");
    EXPECT_EQ(r.kind, KindInputRequest);
    // The entry line's frame under the called program's wait.
    EXPECT_EQ(h.queue().frameCount(), 2);
    r = h.enter("7");
    EXPECT_EQ(h.var('A'), 7);
    EXPECT_EQ(h.var('B'), 7);
    EXPECT_EQ(h.queue().frameCount(), 0);
    EXPECT_EQ(h.queue().promptStack().count(), 0);
}

TEST(StatementInterpreterTest, PromptAsksForEachVariableInTurn)
{
    ProgramHarness h;
    h.store("P", "Prompt A,B:9->C");
    Operand r = h.enter("prgmP");
    ASSERT_EQ(r.kind, KindInputRequest);
    EXPECT_EQ(r.var.token, 'A');
    r = h.enter("1");
    ASSERT_EQ(r.kind, KindInputRequest);
    EXPECT_EQ(r.var.token, 'B');
    ASSERT_TRUE(r.string);
    EXPECT_EQ(*r.string, (std::vector<std::uint32_t>{'B', ProgramTokens::kEqual, ProgramTokens::kQuestionMark}));
    h.enter("2");
    EXPECT_EQ(h.var('A'), 1);
    EXPECT_EQ(h.var('B'), 2);
    EXPECT_EQ(h.var('C'), 9);
}

TEST(StatementInterpreterTest, MenuChoiceJumpsToItsLabel)
{
    ProgramHarness h;
    h.store("M", "Menu(\"T\",\"ONE\",1,\"TWO\",2):Lbl 1:1->A:Stop:Lbl 2:2->A");
    const Operand r = h.enter("prgmM");
    ASSERT_EQ(r.kind, KindMenu);
    auto menu = h.queue().menuDisplay();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title, "T");
    EXPECT_EQ(menu->prompts, (std::vector<std::string>{"ONE", "TWO"}));
    h.parser().menuKey(1036);  // down
    EXPECT_EQ(menu->currentSelection, 1);
    h.parser().menuKey(1065);
    h.settle();
    EXPECT_EQ(h.var('A'), 2);
    EXPECT_FALSE(h.queue().menuDisplay());
    EXPECT_EQ(h.queue().frameCount(), 0);
}

TEST(StatementInterpreterTest, StopWhileWaitingEndsWithBreak)
{
    ProgramHarness h;
    h.store("P", "Input A:1->B");
    h.enter("prgmP");
    ASSERT_EQ(h.queue().frameCount(), 2);
    EXPECT_TRUE(h.parser().stopProgramThread());
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().error, 43);
    EXPECT_EQ(h.queue().frameCount(), 0);
    // Nothing runs or waits now.
    EXPECT_FALSE(h.parser().stopProgramThread());
}

TEST(StatementInterpreterTest, PauseWaitsUnlessSingleStepped)
{
    ProgramHarness h;
    h.store("P", "Pause 5:1->A");
    h.enter("prgmP");
    EXPECT_EQ(h.queue().frames().back()._breakType(), RunObject::BreakPause);
    h.parser().pauseKey(1065);
    h.settle();
    EXPECT_EQ(h.var('A'), 1);
    EXPECT_EQ(h.queue().frameCount(), 0);

    h.calc.setVar(0, {});
    ASSERT_TRUE(h.parser().stepProgramThread(h.ops("Pause 5:1->A"), "P", 0));
    h.settle();
    EXPECT_EQ(h.queue().frameCount(), 0);
    EXPECT_EQ(h.programs->steps, 1);
    // Stopped after the Pause statement, at the first op of "1->A".
    EXPECT_EQ(h.programs->stepPC, 3);
}

// A program whose last statement is Pause ends as any program does once it is continued:
// "Done", not an empty record read as "No error".
TEST(StatementInterpreterTest, AProgramEndingInPauseEndsDoneWhenContinued)
{
    ProgramHarness h;
    h.store("P", "Disp 1\nPause");
    h.enter("prgmP");
    ASSERT_GT(h.queue().frameCount(), 0);
    EXPECT_EQ(h.queue().frames().back()._breakType(), RunObject::BreakPause);
    const std::size_t before = h.finals.size();
    h.parser().pauseKey(1065);
    h.settle();
    ASSERT_EQ(h.finals.size(), before + 1);
    EXPECT_EQ(h.finals.back().error, 0);
    EXPECT_EQ(h.finals.back().kind, KindNoShow);
    EXPECT_EQ(h.queue().frameCount(), 0);
}

TEST(StatementInterpreterTest, OutputReachesTheScreenInProgramOrder)
{
    ProgramHarness h;
    h.store("P", "ClrHome:Disp 1,2:Output(1,1,3):Disp \"HI\"");
    const Operand r = h.enter("prgmP");
    EXPECT_EQ(r.kind, KindNoShow);
    const std::vector<std::string> expected{"start P", "clearHome", "show 1", "show 2", "output 1,1 3", "show HI"};
    EXPECT_EQ(h.output->calls(), expected);
}

TEST(StatementInterpreterTest, LabelsPackAsTheParserReadsThem)
{
    EXPECT_EQ(StatementInterpreter::packLabel("A"), 0x41u);
    EXPECT_EQ(StatementInterpreter::packLabel("A1"), (0x41u << 16) | 0x31u);
    EXPECT_EQ(StatementInterpreter::packLabel("θ"), 0x5Bu);
}

} // namespace
} // namespace orvenda

namespace orvenda {
namespace {

TEST(StatementInterpreterSteppingTest, AStepThatStopsAtInputHandsOverThePromptThenThePlace)
{
    ProgramHarness h;
    ASSERT_TRUE(h.parser().stepProgramThread(h.ops("Input A:1->B"), "P", 0));
    h.settle();
    ASSERT_EQ(h.handedOver.size(), 1u);
    EXPECT_EQ(h.handedOver.back().kind, KindInputRequest);
    EXPECT_EQ(h.programs->steps, 1);
    EXPECT_EQ(h.programs->stepProgram, "P");
    EXPECT_TRUE(h.finals.empty());
}

TEST(StatementInterpreterSteppingTest, BreakpointsStopInTheDebuggerAndBreakOutsideIt)
{
    ProgramHarness h;
    auto ops = h.ops("1->A:");
    ops.push_back(0x5C58);
    ops.push_back(ProgramTokens::kColon);
    const auto more = h.ops("2->A");
    ops.insert(ops.end(), more.begin(), more.end());
    h.programs->store("BP", ops);
    EXPECT_EQ(h.enter("prgmBP").error, 43);
    EXPECT_EQ(h.var('A'), 1);

    h.programs->debugging = true;
    h.parser().runProgramThread(ops, "BP", false, 0);
    h.settle();
    EXPECT_EQ(h.programs->steps, 1);
    // Stopped just past the breakpoint, which ends its statement by itself; the editor's
    // cursor went to each statement run, the breakpoint last.
    EXPECT_EQ(h.programs->stepPC, 5);
    EXPECT_EQ(h.programs->editCursor, 4);
}

// The units and constants of these ops may come from a calculator file: only those of the
// tables evaluate, any other is a domain error, never a read outside a table.
TEST(StatementInterpreterTest, UnitsAndConstantsOutsideTheirTablesAreDomainErrors)
{
    ProgramHarness h;
    const auto run = [&](std::vector<std::uint32_t> ops) {
        const std::size_t before = h.finals.size();
        h.queue().startProgramThread(std::move(ops));
        EXPECT_TRUE(h.settle());
        return h.finals.size() > before ? h.finals.back().error : -1;
    };
    constexpr int kDomain = 17;
    EXPECT_NE(run({(19u << 16) | UnitNames::kConstantToken}), kDomain);
    EXPECT_EQ(run({(20u << 16) | UnitNames::kConstantToken}), kDomain);
    EXPECT_EQ(run({0xFFFF0000u | UnitNames::kConstantToken}), kDomain);
    EXPECT_NE(run({'2', UnitNames::opcodeForClass(3, 3, 6)}), kDomain);
    // Length has 20 units; there are 12 classes.
    EXPECT_EQ(run({'2', UnitNames::opcodeForClass(3, 20, 6)}), kDomain);
    EXPECT_EQ(run({'2', UnitNames::opcodeForClass(12, 0, 0)}), kDomain);
    EXPECT_EQ(run({'2', 0xFFFF0000u | UnitNames::kConversionToken}), kDomain);
}

} // namespace
} // namespace orvenda
