#include "AppTestSupport.h"

#include "core/Operand.h"
#include "core/services/GDBManager.h"
#include "language/ErrorNumbers.h"

namespace orvenda::test {
namespace {

constexpr std::uint32_t kProgram = 0x5F, kA = 0x41, kB = 0x42, kOne = 0x31, kZero = 0x30;

using Results = KeysTest;

TEST_F(Results, EnterRecordsTheLineAndAnEmptyEnterRunsItAgain)
{
    press({0x32, 0x70, 0x33, kEnter});
    settle();
    const std::pair<std::string, std::string> item{"2+3", "5"};
    EXPECT_EQ(newest(), item);
    EXPECT_TRUE(entry->entryOps().empty());
    press({kEnter});
    settle();
    ASSERT_EQ(history->history().size(), 2u);
    EXPECT_EQ(newest(), item);
    EXPECT_TRUE(entry->entryOps().empty());
    // While a called program runs, an empty line's ENTER does nothing.
    calc.programRunning = true;
    press({kEnter});
    settle();
    EXPECT_EQ(history->history().size(), 2u);
}

TEST_F(Results, KeysTypedBeforeTheAnswerStartTheNextLine)
{
    // The main thread is not pumped in between: the answer arrives after the 4.
    type("2+3");
    press({kEnter});
    type("4");
    settle();
    EXPECT_EQ(newest(), (std::pair<std::string, std::string>{"2+3", "5"}));
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "4");
}

// The history item's input is the line as it was entered, also when the line changed
// before the answer came (a history row tapped into it meanwhile).
TEST_F(Results, TheHistoryKeepsTheLineAsItWasEntered)
{
    type("2+3");
    press({kEnter});
    entry->addOps({kOne + 6}, true, true);
    settle();
    EXPECT_EQ(newest(), (std::pair<std::string, std::string>{"2+3", "5"}));
    type("4");
    press({kEnter});
    settle();
    EXPECT_EQ(newest(), (std::pair<std::string, std::string>{"4", "4"}));
}

// A run that fails (or is broken off) keeps its line for ENTRY; keys typed while it ran
// start the next line, as they do after an answer, instead of overwriting the failed one.
TEST_F(Results, KeysTypedBeforeAnErrorStartTheNextLineToo)
{
    type("1/0");
    press({kEnter});
    type("4");
    settle();
    ASSERT_FALSE(view->errors.empty());
    EXPECT_EQ(view->errors.back()["errorNum"], 14);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "4");
    ASSERT_TRUE(entry->prevOps());
    EXPECT_EQ(calc.stringFromOps(*entry->prevOps()), "1/0");
    // With nothing typed meanwhile, the failed line stays on the entry line to be mended.
    entry->clear();
    type("1/0");
    press({kEnter});
    settle();
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "1/0");
}

// ON breaking off a long run is a failed answer as an error is: keys typed meanwhile start
// the next line and the broken line is kept for ENTRY.
TEST_F(Results, KeysTypedBeforeABreakStartTheNextLine)
{
    type("∑(X,X,4,1ᴱ9)");
    press({kEnter});
    type("4");
    ASSERT_TRUE(calc.parser().programQueueCount() > 0 || !view->errors.empty());
    calc.parser().programQueue().stopProgramThread();
    settle();
    ASSERT_FALSE(view->errors.empty());
    EXPECT_EQ(view->errors.back()["errorNum"], ErrBreak);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "4");
    ASSERT_TRUE(entry->prevOps());
    EXPECT_EQ(calc.stringFromOps(*entry->prevOps()), "∑(X,X,4,1ᴱ9)");
}

TEST_F(Results, AFailingEntryIsReportedAndChangesNothingElse)
{
    enter("7");
    calc.parser().setError(5);
    enter("1/0");
    ASSERT_FALSE(view->errors.empty());
    EXPECT_EQ(view->errors.back(), (nlohmann::json{{"errorNum", 14}, {"programName", ""}, {"tokenLocation", 2}}));
    EXPECT_EQ(calc.ans.r(), 7);
    EXPECT_EQ(history->history().size(), 1u);
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_EQ(entry->entryCursor(), 2);
    // A program-only command: 19 at its index, and nothing runs.
    entry->clear();
    type("2:If 1");
    press({kEnter});
    EXPECT_EQ(calc.parser().programQueueCount(), 0);
    settle();
    EXPECT_EQ(view->errors.back(), (nlohmann::json{{"errorNum", 19}}));
    EXPECT_EQ(entry->entryCursor(), 2);
    EXPECT_EQ(history->history().size(), 1u);
}

TEST_F(Results, AnswerFormatsChooseFractionOrDecimal)
{
    struct Case {
        int answerFormat, fractionFormat;
        const char* input;
        const char* answer;
    };
    const Case cases[] = {
        {0, 4, "1/4", "¹/₄"},  {0, 4, "0.25", ".25"}, {0, 4, "6/4", "1¹/₂"}, {0, 3, "6/4", "3/2"},
        {1, 4, "1/4", ".25"},  {1, 4, "0.25", ".25"}, {2, 4, "0.25", "¹/₄"},
    };
    for (const Case& c : cases) {
        calc.locked()->answerFormat = c.answerFormat;
        calc.locked()->fractionFormat = c.fractionFormat;
        enter(c.input);
        EXPECT_EQ(newest().second, c.answer) << c.input << " in answer format " << c.answerFormat;
    }
}

TEST_F(Results, ResultsWithoutAValueLeaveAns)
{
    enter("7");
    const int shownAs = calc.ans.displayMod();
    struct Case {
        int kind;
        const char* text;
    };
    const Case cases[] = {{KindDone, "Done"}, {KindError, "No error"}, {KindNoShow, "Done"}, {KindQuestion, "Break"},
                          {KindDispTable, ""}};
    for (const Case& c : cases) {
        Operand record;
        record.kind = c.kind;
        record.displayMod = 3;
        evaluator.showResult(record);
        EXPECT_EQ(newest().second, c.text) << "kind " << c.kind;
        EXPECT_EQ(calc.ans.r(), 7) << "kind " << c.kind;
        EXPECT_EQ(calc.ans.displayMod(), shownAs) << "kind " << c.kind;
    }
    EXPECT_EQ(view->tablesShown, 1);
}

TEST_F(Results, AGraphDatabaseThatCannotBeRecalledIsReported)
{
    auto databases = std::make_shared<FakeGDBs>();
    databases->saved = {"GDB1"};
    GDBManager::setShared(databases);
    Operand record;
    record.kind = KindGDBRecall;
    record.var.name = "GDB1";
    evaluator.showResult(record);
    EXPECT_EQ(view->graphChanged, 1);
    record.var.name = "GDB2";
    evaluator.showResult(record);
    EXPECT_EQ(view->graphChanged, 1);
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0], (nlohmann::json{{"errorNum", 69}}));
    // Test mode recalls nothing.
    calc.testMode = 1;
    record.var.name = "GDB1";
    evaluator.showResult(record);
    EXPECT_EQ(view->graphChanged, 1);
    GDBManager::setShared(nullptr);
}

TEST_F(Results, AProgramAnswersOnItsOutputAndTheHistoryKeepsTheCall)
{
    Posted posted(bus, {VQHideProgramOutput});
    programs->store("P", {0xDE, 0x35, 0x3F, 0x37}); // Disp 5, new line, 7
    enter("prgmP");
    EXPECT_EQ(output->calls(), (std::vector<std::string>{"clearHome", "start P", "show 5", "result 0 7"}));
    EXPECT_EQ(newest(), (std::pair<std::string, std::string>{calc.stringFromOps(Ops{kProgram, 'P'}), "7"}));
    EXPECT_EQ(calc.ans.r(), 7);
    EXPECT_FALSE(calc.programRunning);
    EXPECT_EQ(posted.count(VQHideProgramOutput), 1);
    // An error inside: the break error on the output, the call in the history, the report
    // with the program's name and the failing token.
    programs->store("Q", {kOne, 0x83, kZero});
    output->clear();
    enter("prgmQ");
    EXPECT_EQ(output->calls(), (std::vector<std::string>{"clearHome", "start Q", "break 14"}));
    EXPECT_EQ(newest().first, calc.stringFromOps(Ops{kProgram, 'Q'}));
    EXPECT_EQ(view->errors.back(), (nlohmann::json{{"errorNum", 14}, {"programName", "Q"}, {"tokenLocation", 2}}));
    EXPECT_FALSE(calc.programRunning);
}

// ON that comes before the worker reaches the program a line calls (here the worker waits
// for the calculator's lock until after the stop) ends the call as a later ON does: the
// history keeps the line as entered, and the output screen the break.
TEST_F(Results, ABreakBeforeTheCalledProgramStartsKeepsTheCall)
{
    programs->store("SL", {0xDE, 0x35}); // Disp 5
    {
        auto held = calc.lockState();
        type("prgmSL");
        press({kEnter});
        calc.parser().programQueue().stopProgramThread();
    }
    settle();
    EXPECT_EQ(newest().first, calc.stringFromOps(Ops{kProgram, 'S', 'L'}));
    ASSERT_FALSE(view->errors.empty());
    EXPECT_EQ(view->errors.back()["errorNum"], ErrBreak);
    EXPECT_EQ(output->calls().back(), "break 43");
    EXPECT_TRUE(entry->entryOps().empty());
}

TEST_F(Results, FieldsAreEvaluatedAtOnce)
{
    calc.setCurrentScreen(7);
    EXPECT_FALSE(evaluator.finalizeEntry());
    type("3*4");
    EXPECT_TRUE(evaluator.finalizeEntry());
    EXPECT_EQ(calc.ans.r(), 12);
    EXPECT_TRUE(entry->entryOps().empty());
    type("3/0");
    EXPECT_TRUE(evaluator.finalizeEntry());
    EXPECT_EQ(view->errors.back(), (nlohmann::json{{"errorNum", 14}}));
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_EQ(calc.ans.r(), 12);
}

// Leaving a screen whose ENTER runs on the program queue enters its line at once, while
// that screen is still current to take the answer (VQEnter), without a run. A value that
// fails is told and goes with the screen; chemistry keeps its formula; the home screen's
// line is never entered by leaving.
TEST_F(Results, LeavingAFieldScreenEntersItsLineAtOnce)
{
    calc.keyProcessor = [this](int op) { keys.processKeyOp(static_cast<std::uint32_t>(op)); };
    Posted posted(bus, {VQDoEnter, VQEnter});
    std::vector<int> screens;
    const int watcher = 0;
    bus.addObserver(&watcher, VQEnter, [&](const Notification&) { screens.push_back(calc.currentScreen()); });
    for (const int screen : {4, 5, 10, 12}) {
        posted.clear();
        screens.clear();
        calc.setCurrentScreen(screen);
        type("3*4");
        calc.setCurrentScreen(0);
        EXPECT_EQ(calc.parser().programQueueCount(), 0) << screen;
        EXPECT_EQ(posted.count(VQEnter), 1) << screen;
        EXPECT_EQ(screens, std::vector<int>{screen});
        EXPECT_EQ(calc.ans.r(), 12) << screen;
        EXPECT_TRUE(entry->entryOps().empty()) << screen;
    }
    calc.setCurrentScreen(4);
    type("1+");
    calc.setCurrentScreen(0);
    ASSERT_FALSE(view->errors.empty());
    EXPECT_EQ(view->errors.back()["errorNum"], 1);
    EXPECT_TRUE(entry->entryOps().empty());
    calc.setCurrentScreen(14);
    type("H2O");
    calc.setCurrentScreen(0);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "H2O");
    calc.setCurrentScreen(1);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "H2O");
    bus.removeObserver(&watcher);
    calc.keyProcessor = nullptr;
}

TEST_F(Results, HelpersOfNamesTextsAndMatrices)
{
    EXPECT_EQ(evaluator.getProgramNameFromOps({kProgram, kA, kB, kOne}), "AB1");
    EXPECT_EQ(evaluator.getProgramNameFromOps({kProgram, kOne, kA}), std::nullopt);
    EXPECT_EQ(evaluator.getProgramNameFromOps({kProgram, kA, 0x3E, 0x2B}), "A");
    EXPECT_EQ(evaluator.errString(94), "Unknown error");
    EXPECT_EQ(evaluator.errString(-1), "Unknown error");
    EXPECT_EQ(evaluator.listOpcodeFromName("L₂"), 0x5D01u);
    EXPECT_EQ(evaluator.listOpcodeFromName("L₂X"), 0u);
    calc.locked()->lists.emplace("beta", VQList());
    calc.locked()->lists.emplace("ALPHA", VQList());
    calc.locked()->lists.erase("L₁");
    EXPECT_EQ(evaluator.listNames(), (std::vector<std::string>{"L₂", "L₃", "L₄", "L₅", "L₆", "ALPHA", "beta"}));

    calc.locked()->mathPrint = true;
    evaluator.addMatrixRows(0, 2);
    evaluator.addMatrixRows(2, -1);
    EXPECT_TRUE(entry->entryOps().empty());
    evaluator.addMatrixRows(1, 2);
    const std::uint32_t t = 1u << 16;
    EXPECT_EQ(entry->entryOps(), (Ops{t | 0x06, t | 0x06, kZero, t | 0x2B, kZero, t | 0x07, t | 0x07}));
    EXPECT_EQ(entry->entryCursor(), 2);
}

} // namespace
} // namespace orvenda::test
