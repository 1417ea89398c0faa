// The debugger's driver: breakpoints, runs and steps from the statement at the cursor, the
// answers typed for a stepped Input or Prompt, the variables and lists a program uses.

#include "ProgramTestSupport.h"

#include "app/EntryModel.h"
#include "eval/ProgramTestSupport.h"

namespace orvenda::test {
namespace {

constexpr std::uint32_t kMark = ProgramModel::kBreakpoint;

TEST_F(ProgramModelTest, BreakpointsGoBeforeTheirStatementLine)
{
    const std::string longLine = "Disp \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\":Disp 2";
    open("P", longLine + "\nA\n" + longLine);
    ASSERT_EQ(model->numLines(), 5);
    ASSERT_TRUE(model->layout().isContinuation(1));
    const Ops original = ops();
    // From the continuation line to the statement's start, on line 0 too.
    model->toggleBreakForLine(1);
    EXPECT_EQ(ops().front(), kMark);
    EXPECT_TRUE(model->breakForLine(0));
    EXPECT_FALSE(model->breakForLine(1));
    model->toggleBreakForLine(4);
    EXPECT_EQ(ops()[static_cast<std::size_t>(model->firstOpOnLine(3))], kMark);
    EXPECT_EQ(model->screenLine(3)->substr(0, 6), ":Disp ");
    model->toggleBreakForLine(0);
    model->toggleBreakForLine(3);
    EXPECT_EQ(ops(), original);
    EXPECT_TRUE(model->dirty());
    // No undo step for breakpoints.
    EXPECT_FALSE(model->canUndo());
    model->setBreak(true, 2);
    model->setBreak(true, 2);
    model->setBreak(true, 9);
    EXPECT_EQ(std::count(ops().begin(), ops().end(), kMark), 1);
    EXPECT_FALSE(model->breakForLine(-1));
    model->clearBreaks();
    EXPECT_EQ(ops(), original);
    // The cursor keys pass over a breakpoint.
    model->setBreak(true, 2);
    model->setPrgmEditCursor(model->firstOpOnLine(2) - 1);
    model->cursorRight();
    EXPECT_EQ(model->prgmEditCursor(), model->firstOpOnLine(2) + 1);
    model->cursorLeft();
    EXPECT_EQ(model->prgmEditCursor(), model->firstOpOnLine(2) - 1);
}

TEST_F(ProgramModelTest, ASavedBreakpointStaysWithTheProgram)
{
    open("P", "A\nB");
    model->toggleBreakForLine(1);
    model->saveProgram();
    EXPECT_EQ(files->opsFor("P"), (Ops{'A', 0x3F, kMark, 'B'}));
}

// The program queue reporting to a hand-pumped main thread, with the real program manager
// and entry line.
class ProgramDebuggerTest : public ::testing::Test {
protected:
    ProgramDebuggerTest()
        : model(std::make_shared<ProgramModel>(h.calc, std::make_shared<ProgramFiles>(folder.path())))
    {
        h.calc.prgmManager = model;
        h.calc.entryManager = entry;
        h.calc.viewDelegate = view;
    }
    ~ProgramDebuggerTest() override { h.calc.viewDelegate = nullptr; }

    void open(const std::string& text)
    {
        ASSERT_TRUE(model->storeProgram("P", programOps(text)));
        model->loadProgram("P");
        model->setDebug(true);
    }
    void type(const std::string& text)
    {
        for (const std::uint32_t op : programOps(text))
            entry->addOpcode(op, false);
    }
    double var(char name) const { return h.var(name); }
    int indexOf(const std::string& text) const
    {
        const Ops wanted = programOps(text);
        const Ops& all = model->program().array();
        return static_cast<int>(std::search(all.begin(), all.end(), wanted.begin(), wanted.end()) - all.begin());
    }

    QTemporaryDir folder;
    testing::ProgramHarness h;
    std::shared_ptr<EntryModel> entry = std::make_shared<EntryModel>(h.calc);
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    std::shared_ptr<ProgramModel> model;
};

TEST_F(ProgramDebuggerTest, StepsAndRunsStartAtTheStatementStart)
{
    open("1->A:2->B\n3->C:4->D");
    // In the middle of "2->B": the step runs that statement from its start.
    model->setPrgmEditCursor(indexOf("2->B") + 1);
    EXPECT_TRUE(model->singleStep());
    EXPECT_EQ(model->prgmEditCursor(), indexOf("2->B"));
    EXPECT_TRUE(model->stepping());
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(var('A'), 0);
    EXPECT_EQ(var('B'), 2);
    EXPECT_EQ(var('C'), 0);
    // The step stopped at the next statement.
    EXPECT_EQ(model->prgmEditCursor(), indexOf("\n3->C") + 1);
    // On a line break: the next line.
    model->setPrgmEditCursor(indexOf("\n"));
    EXPECT_TRUE(model->singleStep());
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(var('C'), 3);
    EXPECT_EQ(var('D'), 0);
    // A run goes on to the end; from the end nothing starts.
    model->setPrgmEditCursor(indexOf("4->D") + 2);
    EXPECT_TRUE(model->run());
    EXPECT_FALSE(model->stepping());
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(var('D'), 4);
    model->cursorBottom();
    EXPECT_FALSE(model->run());
    EXPECT_FALSE(model->singleStep());
}

TEST_F(ProgramDebuggerTest, AStepAtInputAnswersNoAndEnterStoresTheAnswer)
{
    open("Prompt A:2A->B");
    EXPECT_FALSE(model->singleStep());
    ASSERT_TRUE(h.settle());
    ASSERT_EQ(h.queue().promptStack().count(), 1);
    const int frames = h.queue().frameCount();
    h.output->clear();
    type("5");
    model->enter();
    EXPECT_EQ(var('A'), 5);
    EXPECT_EQ(h.queue().promptStack().count(), 0);
    EXPECT_EQ(h.queue().frameCount(), frames - 1);
    EXPECT_EQ(h.output->calls(), std::vector<std::string>{"newLine"});
    EXPECT_EQ(entry->entryOps(), Ops{});
    EXPECT_TRUE(model->singleStep());
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(var('B'), 10);
}

TEST_F(ProgramDebuggerTest, AnAnswerThatFailsIsReportedAndThePromptWaitsOnAClearedLine)
{
    open("Prompt A");
    EXPECT_FALSE(model->singleStep());
    ASSERT_TRUE(h.settle());
    type("1/0");
    model->enter();
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0]["errorNum"], 14);
    EXPECT_EQ(h.parser().error(), 0);
    EXPECT_EQ(h.queue().promptStack().count(), 1);
    // Cleared: the next answer is typed afresh, not onto the one that failed.
    EXPECT_TRUE(entry->entryOps().empty());
}

TEST_F(ProgramDebuggerTest, PromptAnswersForListsAndStringsGetTheirOpeningMark)
{
    open("Input L₁:Input Str1");
    EXPECT_FALSE(model->singleStep());
    ASSERT_TRUE(h.settle());
    type("1,2,3");
    model->enter();
    ASSERT_TRUE(h.calc.locked()->lists.contains("L₁"));
    EXPECT_EQ(h.calc.locked()->lists.at("L₁").count(), 3u);
    EXPECT_FALSE(model->singleStep());
    ASSERT_TRUE(h.settle());
    type("AB");
    model->enter();
    EXPECT_EQ(h.calc.locked()->strings[0], programOps("AB"));
}

TEST_F(ProgramDebuggerTest, EnterOutsideASteppedPromptRunsTheEntryLine)
{
    open("1->A");
    type("7->E");
    model->enter();
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(var('E'), 7);
    // The line waits for the run's answer, which result handling (not here) clears it for.
    EXPECT_EQ(entry->entryOps(), programOps("7->E"));
    entry->clear();
    // An empty entry does nothing.
    model->enter();
    EXPECT_TRUE(h.queue().programQueueCount() == 0);
}

TEST_F(ProgramDebuggerTest, AStepsErrorIsShownOnce)
{
    open("1/0->A:2->B");
    EXPECT_TRUE(model->singleStep());
    ASSERT_TRUE(h.settle());
    // It ends the run as a Run's error does: handed once to result handling, which shows
    // it, and the run is over.
    ASSERT_EQ(h.finals.size(), 1u);
    EXPECT_EQ(h.finals[0].error, 14);
    EXPECT_EQ(h.parser().error(), 0);
    EXPECT_EQ(model->runStartedIn(), "");
}

TEST_F(ProgramDebuggerTest, DebugModeMovesTheCursorToItsStatement)
{
    ASSERT_TRUE(model->storeProgram("P", programOps("1->A:22->B\nC")));
    model->loadProgram("P");
    model->setPrgmEditCursor(6);
    model->setDebug(true);
    EXPECT_EQ(model->prgmEditCursor(), 0);
    EXPECT_EQ(model->lineForIndex(model->program().length()), model->numLines());
    EXPECT_EQ(model->screenLine(model->numLines()), "");
    model->cursorBottom();
    const auto end = model->statementForLine(model->numLines());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->position, 0);
    EXPECT_TRUE(end->ops.empty());
    model->cursorTop();
    // Touches pick statement starts only.
    EXPECT_EQ(model->opNearLine(0, 7), 4);
    h.calc.programRunning = true;
    model->setDebug(false);
    EXPECT_FALSE(h.calc.programRunning);
    EXPECT_FALSE(model->stepping());
}

TEST_F(ProgramModelTest, TheVariablesAndListsAProgramUses)
{
    open("P", "\"AB\"->Str1:prgmXYZ:B+C->D\nʟABC+1->ʟNEW:{1}->LIST1:5->K:[A]+Y₁->[B]\n\"ʟQQ\"->Str2:ʟ9Z->N:2->L(1)"
              "\nL₆+1->L₁:\"L₂\"->Str3:prgmL₃L₄");
    // Not in strings, nor after prgm until the next store or line; the letters of list
    // names count as variables too, and the built-in lists L₁ to L₆ are variables.
    EXPECT_EQ(model->programVars(), (Ops{'A', 'B', 'C', 'D', 'E', 'I', 'K', 'L', 'N', 'S', 'T', 'W', 'Z', 0x5C00,
                                        0x5C01, 0x5D00, 0x5D05, 0x5E10, 0xAA00, 0xAA01, 0xAA02}));
    EXPECT_EQ(model->programLists(), (std::vector<std::string>{"9Z", "ABC", "L", "LIST1", "NEW"}));
}

} // namespace
} // namespace orvenda::test
