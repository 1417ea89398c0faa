// A program running on the queue's worker while the main thread evaluates, reads, stops
// and presses widgets on the same calculator.

#include "eval/ProgramQueue.h"

#include "ProgramTestSupport.h"
#include "TestSupport.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/RandomSource.h"
#include "core/services/HistoryManager.h"
#include "core/services/ViewControlDelegate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace orvenda {
namespace {

using namespace std::chrono_literals;
using testing::ManualMainQueue;
using testing::ProgramHarness;

constexpr int kSlotV = 'V' - 'A';

// Runs work; a hang would stall the whole test run, so a watchdog ends the process when
// the work has not returned in time.
void withinSeconds(int seconds, const std::function<void()>& work)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread watchdog([&finished, seconds] {
        if (finished.wait_for(std::chrono::seconds(seconds)) == std::future_status::timeout) {
            std::fputs("hung\n", stderr);
            std::_Exit(1);
        }
    });
    work();
    done.set_value();
    watchdog.join();
}

// An equation whose lookup holds the worker in the middle of a statement, until the test
// lets it go or the main thread waits for the state lock (a worker holding the lock cannot
// be let go by a main thread waiting for it).
class StallingYEq : public test::FakeYEq {
public:
    std::optional<Ops> plotForFunction(int token) const override
    {
        if (!entered.exchange(true))
            inStatement.set_value();
        while (release.valid() && release.wait_for(0ms) != std::future_status::ready
               && !(lock && lock->hasWaiters()))
            std::this_thread::yield();
        return FakeYEq::plotForFunction(token);
    }
    void changeMode(int graphMode) override
    {
        modeThread = std::this_thread::get_id();
        FakeYEq::changeMode(graphMode);
    }

    const StateMutex* lock = nullptr;
    mutable std::atomic<bool> entered{false};
    mutable std::promise<void> inStatement;
    std::shared_future<void> release;
    std::thread::id modeThread;
};

class RecordingView : public ViewControlDelegate {
public:
    void VCUpdateDisplay() override {}
    void VCShowGraph(bool) override {}
    void VCGraphChanged() override {}
    void VCProgramRunning(bool) override {}
    void VCPauseProgram() override {}
    void VCShowProgramOutput() override {}
    void VCShowDebugger(bool) override {}
    void VCSuspendDebugger() override {}
    void VCShowError(const nlohmann::json& error) override { errors.push_back(error); }
    void VCShowPeriodicTable() override {}
    void VCShowStatTest(int) override {}
    void VCShowGeometry(int) override {}
    void VCShowSolverPlot(const nlohmann::json&) override {}

    std::vector<nlohmann::json> errors;
};

TEST(ProgramConcurrencyTest, CleanUpWhileAPromptAnswerWaitsForItsNewLine)
{
    ProgramHarness h;
    h.store("P", "Prompt A,B");
    ASSERT_EQ(h.enter("prgmP").kind, KindInputRequest);
    const std::size_t reports = h.finals.size();
    h.parser().startProgramThread(h.ops("5"));
    // The answer is stored; the run now waits for its new line on the main thread.
    ASSERT_TRUE(h.main.waitForWork());
    h.parser().cleanUp();
    EXPECT_TRUE(h.settle());
    EXPECT_EQ(h.var('A'), 5);
    EXPECT_EQ(h.queue().frameCount(), 0);
    // No question for B comes after the clean-up.
    EXPECT_EQ(h.finals.size(), reports);
}

TEST(ProgramConcurrencyTest, AnEditorFieldLeavesTheRunningProgramAlone)
{
    struct Case {
        const char* called;
        std::vector<std::string> shown;
        int error;
    };
    const Case cases[] = {
        // The rest of the caller still runs after the called program; the run's output
        // starts as the debugged program's.
        {"Disp 1:Disp 2", {"start A", "show 1", "show 2", "show 99"}, 0},
        // A later error of the called program names it.
        {"Disp 1:Output(11,1,5)", {"start A", "show 1"}, 17},
    };
    for (const Case& c : cases) {
        ProgramHarness h;
        h.store("B", c.called);
        h.parser().runProgramThread(h.ops("prgmB:Disp 99"), "A", false, 0);
        ASSERT_TRUE(h.main.waitForWork());
        auto field = h.ops("Output(11,1,5)");
        EXPECT_EQ(h.parser().eval(field, false).error, 17);
        EXPECT_TRUE(h.settle());
        EXPECT_EQ(h.output->calls(), c.shown) << c.called;
        ASSERT_FALSE(h.finals.empty());
        EXPECT_EQ(h.finals.back().error, c.error);
        EXPECT_EQ(h.programs->cursorProgram, c.error ? "B" : "A") << c.called;
    }
}

TEST(ProgramConcurrencyTest, TheImaginaryUnitSwitchesOnlyItsOwnEvaluation)
{
    for (const bool userChoosesComplex : {false, true}) {
        ProgramHarness h;
        auto yEq = std::make_shared<StallingYEq>();
        std::promise<void> release;
        yEq->release = release.get_future().share();
        yEq->lock = &h.calc.stateMutex();
        yEq->equations[0x5E10] = {'X'};
        h.calc.yEqManager = yEq;
        h.calc.setRealCplxMode(0);
        // The statement stalls after its imaginary unit, looking up Y₁.
        h.parser().startProgramThread(h.ops("ɩ̇+Y₁"));
        yEq->inStatement.get_future().wait();
        if (userChoosesComplex) {
            h.calc.setRealCplxMode(1);
        } else {
            auto field = h.ops("√(-1)");
            EXPECT_EQ(h.parser().eval(field, false).error, 15);
        }
        release.set_value();
        EXPECT_TRUE(h.settle());
        EXPECT_EQ(h.calc.realCplxMode(), userChoosesComplex ? 1 : 0);
    }
}

TEST(ProgramConcurrencyTest, AWidgetRunLeavesAWaitingProgramWaiting)
{
    struct Case {
        const char* program;
        std::function<void(ProgramHarness&)> answer;
    };
    const Case cases[] = {
        {"Pause 5:1->C", [](ProgramHarness& h) { h.parser().pauseKey(1065); }},
        {"Input A:1->C", [](ProgramHarness& h) { h.enter("7"); }},
        {"Prompt A:1->C", [](ProgramHarness& h) { h.enter("7"); }},
        {"Menu(\"M\",\"X\",1):Lbl 1:1->C", [](ProgramHarness& h) { h.parser().menuKey(49); }},
    };
    // A button whose subroutine returns, and one that runs off the end of the program.
    for (const char* button : {"Stop:Lbl A:D+1->D:Return", "Stop:Lbl A:D+1->D"}) {
        for (const Case& c : cases) {
            ProgramHarness h;
            h.store("P", c.program);
            h.store("W", button);
            h.enter("prgmP");
            const int waiting = h.queue().frameCount();
            ASSERT_GT(waiting, 0) << c.program;
            ASSERT_TRUE(h.parser().runSubroutine("A", "W"));
            EXPECT_TRUE(h.settle());
            EXPECT_EQ(h.var('D'), 1) << c.program;
            EXPECT_EQ(h.var('C'), 0) << c.program << " went on after " << button;
            EXPECT_EQ(h.queue().frameCount(), waiting) << c.program;
            c.answer(h);
            EXPECT_TRUE(h.settle());
            EXPECT_EQ(h.var('C'), 1) << c.program << " did not go on after " << button;
            EXPECT_EQ(h.queue().frameCount(), 0) << c.program;
        }
    }
}

TEST(ProgramConcurrencyTest, StopAndCleanUpReachRunsQueuedBehindTheRunningOne)
{
    for (const bool cleanUp : {false, true}) {
        ProgramHarness h;
        auto view = std::make_shared<test::FakeView>();
        h.calc.viewDelegate = view;
        h.store("L", "While 1:End");
        h.parser().runProgramThread(h.ops("Disp 1"), "D", false, 0);
        ASSERT_TRUE(h.main.waitForWork());
        h.parser().startProgramThread(h.ops("prgmL"));
        if (cleanUp)
            h.parser().cleanUp();
        else
            EXPECT_TRUE(h.parser().stopProgramThread());
        const bool ended = h.main.pumpUntil([&] { return h.parser().programQueueCount() == 0; }, 5s);
        if (!ended)
            h.parser().stopProgramThread();
        EXPECT_TRUE(ended) << (cleanUp ? "clean-up" : "stop") << " left the loop running";
        h.settle();
        // One error 43 for a stop; nothing after a clean-up.
        ASSERT_EQ(h.finals.size(), cleanUp ? 0u : 1u);
        if (!cleanUp) {
            EXPECT_EQ(h.finals.back().error, 43);
        }
        EXPECT_FALSE(view->running);
    }
}

TEST(ProgramConcurrencyTest, StaleReportsNeitherMarkTheCalculatorIdleNorShowAfterAStop)
{
    ProgramHarness h;
    auto view = std::make_shared<test::FakeView>();
    h.calc.viewDelegate = view;
    h.parser().startProgramThread(h.ops("1"));
    ASSERT_TRUE(h.main.waitForWork());
    h.store("D", "Disp 1:Disp 2:Disp 3");
    h.parser().startProgramThread(h.ops("prgmD"));
    h.main.pump();
    EXPECT_TRUE(view->running) << "the first run's report marked D's run idle";
    EXPECT_TRUE(h.settle());
    EXPECT_FALSE(view->running);

    h.finals.clear();
    h.parser().runProgramThread(h.ops("Prompt A"), "P", false, 0);
    h.waitForWorker();
    // The question is on its way to the main thread when ON is pressed.
    EXPECT_TRUE(h.parser().stopProgramThread());
    EXPECT_TRUE(h.settle());
    ASSERT_EQ(h.finals.size(), 1u);
    EXPECT_EQ(h.finals.back().error, 43);
}

TEST(ProgramConcurrencyTest, DestroyingTheCalculatorDuringAHandOverDoesNotHang)
{
    ManualMainQueue main;
    NotificationCenter bus;
    auto calc = std::make_unique<Calculator>(LocaleFormats{}, bus);
    calc->parser().programQueue().setMainQueue(&main);
    calc->parser().runProgramThread(ProgramHarness::ops("Disp 1"), "D", false, 0);
    ASSERT_TRUE(main.waitForWork());
    withinSeconds(10, [&] { calc.reset(); });
    main.pump();
}

TEST(ProgramConcurrencyTest, ReportsQueuedForAGoneCalculatorDoNothing)
{
    ManualMainQueue main;
    NotificationCenter bus;
    bool reported = false;
    {
        Calculator calc(LocaleFormats{}, bus);
        calc.parser().programQueue().setMainQueue(&main);
        calc.parser().programQueue().setResultHandler([&](const Operand&) { reported = true; });
        std::promise<void> idle;
        calc.parser().programQueue().setIdleHandler([&idle] { idle.set_value(); });
        calc.parser().startProgramThread(ProgramHarness::ops("1"));
        idle.get_future().wait();
        calc.parser().programQueue().setIdleHandler(nullptr);
    }
    main.pump();
    EXPECT_FALSE(reported);
}

TEST(ProgramConcurrencyTest, SliderRequestsAreNeverDroppedBetweenRuns)
{
    ProgramHarness h;
    h.store("S", "Stop:Lbl S:W+1->W:Return");
    // The slider holds the value it sends.
    h.calc.setVar(kSlotV, {{4.2, 0.0}});
    int accepted = 0;
    for (int round = 0; round < 40; ++round) {
        h.parser().startProgramThread(h.ops("1"));
        h.parser().startProgramThread(h.ops("1"));
        for (int drag = 0; drag < 3; ++drag)
            accepted += h.parser().animateSlider("S", "S", kSlotV, 4.2) ? 1 : 0;
        h.main.pump();
    }
    EXPECT_TRUE(h.settle());
    EXPECT_EQ(h.var('W'), accepted);
}

TEST(ProgramConcurrencyTest, ModelWorkOfAProgramIsDoneOnTheMainThread)
{
    struct History : HistoryManager {
        void clearAll() override { thread = std::this_thread::get_id(); }
        nlohmann::json encode() const override { return {}; }
        void decode(const nlohmann::json&) override {}
        std::thread::id thread;
    };
    ProgramHarness h;
    auto yEq = std::make_shared<StallingYEq>();
    auto history = std::make_shared<History>();
    h.calc.yEqManager = yEq;
    h.calc.historyManager = history;
    std::thread::id notified;
    h.calc.notificationCenter().addObserver(&notified, VQGraphModeChanged,
                                            [&](const Notification&) { notified = std::this_thread::get_id(); });
    h.enter("Param:Clear Entries");
    h.calc.notificationCenter().removeObserver(&notified);
    const std::thread::id main = std::this_thread::get_id();
    EXPECT_EQ(yEq->modeThread, main);
    EXPECT_EQ(notified, main);
    EXPECT_EQ(history->thread, main);
}

// A menu choice that jumps back to the same Menu( at once: the program shows the menu again
// before the main thread has finished with the choice, and that menu must stay.
TEST(ProgramConcurrencyTest, AMenuShownAgainRightAfterAChoiceStays)
{
    ProgramHarness h;
    h.store("M", "0->C:Lbl M:Menu(\"T\",\"A\",A,\"Q\",Q):Lbl A:C+1->C:Goto M:Lbl Q");
    ASSERT_EQ(h.enter("prgmM").kind, KindMenu);
    constexpr int kChoices = 300;
    for (int n = 0; n < kChoices; ++n) {
        h.parser().menuKey(49);
        ASSERT_TRUE(h.main.pumpUntil([&] { return h.queue().menuDisplay() != nullptr; })) << "after choice " << n;
    }
    h.parser().menuKey(50);
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(h.var('C'), kChoices);
}

TEST(ProgramConcurrencyTest, ProgramErrorsStayWithTheRun)
{
    ProgramHarness h;
    // The menu's second label is missing: the run ends with that error as its last
    // record, pointing past the Menu( statement (tokens 0-16 and its ":"), whatever the
    // main thread parsed last, with nothing left waiting.
    h.store("M", "Menu(\"T\",\"A\",1,\"B\",Z):Lbl 1");
    ASSERT_EQ(h.enter("prgmM").kind, KindMenu);
    h.finals.clear();
    h.parser().setNextToken(99);
    h.parser().menuKey(50);
    ASSERT_EQ(h.finals.size(), 1u);
    EXPECT_EQ(h.finals[0].error, 44);
    EXPECT_EQ(h.finals[0].location, 18);
    EXPECT_FALSE(h.parser().programQueued());
    EXPECT_EQ(h.queue().menuDisplay(), nullptr);

    h.store("P", "Input A");
    h.enter("prgmP");
    EXPECT_TRUE(h.parser().stopProgramThread());
    EXPECT_EQ(h.parser().error(), 0);
}

// A display screen that draws random numbers as it shows each value.
class RandomDrawingOutput : public testing::RecordingOutput {
public:
    using RecordingOutput::RecordingOutput;
    void displayOp(const Operand& value) override
    {
        RandomSource::shared().uniform();
        RecordingOutput::displayOp(value);
    }
};

TEST(ProgramConcurrencyTest, MainThreadDrawsLeaveASeededRunAlone)
{
    auto& random = RandomSource::shared();
    random.seed(0);
    double expected = 0;
    for (int i = 0; i < 5; ++i)
        expected += random.uniform();

    ProgramHarness h;
    h.calc.prgmOutputMgr = std::make_shared<RandomDrawingOutput>(h.calc);
    h.run("0->rand:0->S:For(I,1,5):Disp I:S+rand->S:End");
    EXPECT_EQ(h.var('S'), expected);
}

// Waits (without the clock) until the worker holds the state lock in a statement.
void waitUntilTheWorkerHoldsTheLock(ProgramHarness& h)
{
    StateMutex& lock = h.calc.stateMutex();
    while (h.queue().executingRun() == 0 || lock.try_lock()) {
        if (h.queue().executingRun() != 0)
            lock.unlock();
        std::this_thread::yield();
    }
}

// One statement that would run for ever (a sum, a list, integrals, a sequence's terms)
// still lets the main thread read and write the state, and ON stops it: the main thread
// never waits for the statement to end.
TEST(ProgramConcurrencyTest, ALongStatementLetsTheMainThreadIn)
{
    for (const char* line : {"∑(K,K,1,1ᴱ99)", "sum(seq(∑(K,K,1,1ᴱ99),I,1,2))",
                             "sum(seq(fnInt(fnInt(sin(X*T),X,0,T),T,0,40),I,1,100))"}) {
        ProgramHarness h;
        h.calc.setVar(kSlotV, {{1, 0}, 15, -15});
        h.queue().startProgramThread(h.ops(line));
        waitUntilTheWorkerHoldsTheLock(h);
        withinSeconds(60, [&] {
            for (int i = 0; i < 20; ++i) {
                h.calc.setVar(kSlotV, {{h.var('V') + 1, 0}, 15, -15});
                (void)h.calc.settings();
            }
            EXPECT_EQ(h.var('V'), 21) << line;
            h.queue().stopProgramThread();
            EXPECT_TRUE(h.settle());
        });
        ASSERT_FALSE(h.finals.empty()) << line;
        EXPECT_EQ(h.finals.back().error, 43) << line;
    }
}

// A program switching graph modes in a loop leaves one mode change at most waiting for
// the main thread, however long the main thread is away.
TEST(ProgramConcurrencyTest, ModeChangesWaitForTheMainThreadOnce)
{
    ProgramHarness h;
    h.parser().runProgramThread(h.ops("For(C,1,2000):Param:Func:End:Polar"), "T", false, 0);
    h.waitForWorker();
    // The mode change, the run's report and the word that the queue ran dry.
    EXPECT_LE(h.main.pending(), 3u);
    EXPECT_TRUE(h.settle());
    EXPECT_EQ(h.calc.graphMode(), 2);
}

// Drawing work joins the batch already waiting for the main thread, unless other work
// was queued after that batch: the main thread runs it all in the order it was queued.
TEST(ProgramConcurrencyTest, DrawingWorkIsBatchedInItsOrder)
{
    ProgramHarness h;
    std::string done;
    std::thread worker([&] {
        for (char c : std::string("ab"))
            h.queue().postBatched([&done, c] { done += c; });
        h.queue().post([&done] { done += '|'; });
        for (char c : std::string("cde"))
            h.queue().postBatched([&done, c] { done += c; });
    });
    worker.join();
    EXPECT_EQ(h.main.pending(), 3u);
    h.main.pump();
    EXPECT_EQ(done, "ab|cde");
}

// A run's report that reaches the main thread after the next run has started names the
// program it was made in: the editor's cursor goes into A, not into B.
TEST(ProgramConcurrencyTest, ALateReportNamesItsOwnRunsProgram)
{
    ProgramHarness h;
    h.parser().runProgramThread(h.ops("1->X:2->X"), "A", false, 0);
    h.waitForWorker();
    h.parser().runProgramThread(h.ops("Prompt Y"), "B", false, 0);
    while (h.queue().currentProgramName() != "B")
        std::this_thread::yield();
    EXPECT_TRUE(h.settle());
    EXPECT_EQ(h.programs->cursorProgram, "A");
}

// A button pressed as a run ends either joins that run's requests or starts its own run:
// after each round every press has run, none waits for some later run.
TEST(ProgramConcurrencyTest, AButtonPressedAsARunEndsIsNeverLeftQueued)
{
    ProgramHarness h;
    h.store("B", "Stop:Lbl B:W+1->W:Return");
    int accepted = 0;
    for (int round = 0; round < 300; ++round) {
        h.parser().startProgramThread(h.ops("1"));
        // Somewhere around the run's end.
        for (int spin = 0; spin < round % 50; ++spin)
            std::this_thread::yield();
        accepted += h.parser().runSubroutine("B", "B") ? 1 : 0;
        ASSERT_TRUE(h.settle());
        ASSERT_EQ(h.var('W'), accepted) << "round " << round;
    }
}

} // namespace
} // namespace orvenda
