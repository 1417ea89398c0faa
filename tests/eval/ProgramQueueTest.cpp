#include "eval/ProgramQueue.h"

#include "ProgramTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <future>
#include <string>
#include <utility>
#include <vector>

namespace orvenda {
namespace {

using testing::ProgramHarness;

constexpr int kSlotV = 'V' - 'A';

TEST(ProgramQueueTest, ThreeButtonPressesWhileIdleAllRun)
{
    ProgramHarness h;
    // Disp holds a run on the main thread until the test pumps; presses that come while
    // a run executes are taken by it between statements instead of being submitted.
    h.store("B", "Stop:Lbl A:Disp 1:Return");
    EXPECT_TRUE(h.parser().runSubroutine("A", "B"));
    EXPECT_TRUE(h.parser().runSubroutine("A", "B"));
    EXPECT_TRUE(h.parser().runSubroutine("A", "B"));
    EXPECT_FALSE(h.parser().runSubroutine("Z", "B"));
    EXPECT_FALSE(h.parser().runSubroutine("A", "NOPE"));
    h.settle();
    // The first label's Disp brings the output in front, cleared, as a program call does.
    EXPECT_EQ(h.output->calls(), (std::vector<std::string>{"clearHome", "start B", "show 1", "show 1", "show 1"}));
    // The run that brought the output in front ends as a program call does; a later run,
    // which found it there, reports the widget kind, not its result. Which run takes which
    // press hangs on whether the worker had taken the first before the others came.
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().kind, h.finals.size() == 1 ? KindNoShow : KindWidgetAdded) << h.finals.size();
}

TEST(ProgramQueueTest, AButtonPressIsRefusedWithThreeRunsQueued)
{
    ProgramHarness h;
    h.store("P", "Disp 0");
    h.store("B", "Stop:Lbl A:1->A:Return");
    h.parser().startProgramThread(h.ops("prgmP"));
    ASSERT_TRUE(h.main.waitForWork());
    h.parser().startProgramThread(h.ops("prgmP"));
    h.parser().startProgramThread(h.ops("prgmP"));
    EXPECT_EQ(h.parser().programQueueCount(), 3);
    EXPECT_FALSE(h.parser().runSubroutine("A", "B"));
    EXPECT_TRUE(h.queue().interruptQueue().empty());
    h.settle();
    EXPECT_EQ(h.output->calls().size(), 3u * 2u);  // start P and show 0, three times
    EXPECT_EQ(h.var('A'), 0);
}

TEST(ProgramQueueTest, SliderRequestsDuringARunAreTakenNewestFirstAndStaleOnesDropped)
{
    ProgramHarness h;
    h.store("S", "Disp 0:Disp 0:Stop:Lbl S:Disp V:Return");
    h.parser().runProgramThread(h.ops("Disp 0:Disp 0:Stop:Lbl S:Disp V:Return"), "S", false, 0);
    // The run now waits for its first Disp to be shown.
    ASSERT_TRUE(h.main.waitForWork());
    // The slider's values keep their fractions (a 0…1 slider is not only 0 or 1).
    h.calc.setVar(kSlotV, {{0.25, 0.0}});
    EXPECT_TRUE(h.parser().animateSlider("S", "S", kSlotV, 0.75));
    EXPECT_TRUE(h.parser().animateSlider("S", "S", kSlotV, 0.25));
    EXPECT_EQ(h.queue().interruptQueue().size(), 2u);
    EXPECT_EQ(h.queue().interruptQueue().back().value(), 0.25);
    EXPECT_EQ(h.parser().programQueueCount(), 1);
    h.settle();
    EXPECT_EQ(h.output->calls(), (std::vector<std::string>{"start S", "show 0", "show .25", "show 0"}));
    EXPECT_TRUE(h.queue().interruptQueue().empty());
    EXPECT_EQ(h.var('V'), 0.25);
}

TEST(ProgramQueueTest, SliderWhileIdleStartsItsSubroutine)
{
    ProgramHarness h;
    h.store("S", "Stop:Lbl S:V->W:Return");
    h.calc.setVar(kSlotV, {{4.0, 0.0}});
    EXPECT_TRUE(h.parser().animateSlider("S", "S", kSlotV, 4.2));
    h.settle();
    EXPECT_EQ(h.var('W'), 4);
    EXPECT_FALSE(h.parser().animateSlider("S", "NOPE", kSlotV, 1));
}

TEST(ProgramQueueTest, APressTheRunDidNotTakeGetsARunOfItsOwn)
{
    ProgramHarness h;
    h.store("SL", "Stop:Lbl S:Disp V");
    h.store("BT", "Stop:Lbl B:5->W:Return");
    h.calc.setVar(kSlotV, {{3.0, 0.0}});
    ASSERT_TRUE(h.parser().animateSlider("S", "SL", kSlotV, 3));
    ASSERT_TRUE(h.main.waitForWork());
    // The slider's run shows V and ends without Return; the press comes meanwhile.
    EXPECT_TRUE(h.parser().runSubroutine("B", "BT"));
    EXPECT_EQ(h.queue().interruptQueue().size(), 1u);
    h.settle();
    EXPECT_EQ(h.var('W'), 5);
    EXPECT_TRUE(h.queue().interruptQueue().empty());
}

// ON pressed just as a press the run did not take is about to get a run of its own (the run
// has ended, another run waits behind it): the stop reaches the press too, which never runs.
TEST(ProgramQueueTest, AStopAsALeftoverPressIsQueuedStopsThePress)
{
    // Holds the worker where the leftover press is about to be queued; opened whatever the
    // test finds. Made before the harness, which waits for the worker as it goes.
    struct Gate {
        std::promise<void> reached;
        std::promise<void> open;
        std::shared_future<void> opened = open.get_future().share();
        bool held = false;
        bool isOpen = false;
        void letGo()
        {
            if (!std::exchange(isOpen, true))
                open.set_value();
        }
        ~Gate() { letGo(); }
    } gate;
    ProgramHarness h;
    h.store("BT", "Stop:Lbl B:5->W:Return");
    h.queue().setLeftoverHook([&gate] {
        if (std::exchange(gate.held, true))
            return;
        gate.reached.set_value();
        gate.opened.wait();
    });

    h.parser().runProgramThread(h.ops("Disp 1"), "D", false, 0);
    ASSERT_TRUE(h.main.waitForWork());
    // The press comes while Disp waits for the screen, after the run's last statement.
    ASSERT_TRUE(h.parser().runSubroutine("B", "BT"));
    ASSERT_EQ(h.queue().interruptQueue().size(), 1u);
    h.parser().startProgramThread(h.ops("2"));
    h.main.pump();
    gate.reached.get_future().wait();
    EXPECT_TRUE(h.parser().stopProgramThread());
    gate.letGo();
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(h.var('W'), 0) << "the press ran after ON";
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().error, 43);
    EXPECT_EQ(h.output->calls(), (std::vector<std::string>{"start D", "show 1"}));
    h.queue().setLeftoverHook(nullptr);
}

TEST(ProgramQueueTest, RefusedStepDoesNotTellTheScreensAProgramRuns)
{
    ProgramHarness h;
    auto view = std::make_shared<test::FakeView>();
    h.calc.viewDelegate = view;
    h.store("P", "Disp 1");
    h.parser().startProgramThread(h.ops("prgmP"));
    ASSERT_TRUE(h.main.waitForWork());
    EXPECT_FALSE(h.parser().stepProgramThread(h.ops("1"), "P", 0));
    EXPECT_EQ(view->programStarts, 1);
    h.settle();
    EXPECT_FALSE(view->running);
}

TEST(ProgramQueueTest, GetKeyLosesNoKeyPressedWhileAProgramReads)
{
    ProgramHarness h;
    h.store("K", "0->N:0->S:While N<1000:getKey->K:If K:Then:N+1->N:S+K->S:End:End:S");
    h.parser().startProgramThread(h.ops("prgmK"));
    double sum = 0;
    unsigned pause = 1;
    for (int k = 0; k < 1000; ++k) {
        // As a user would, the next key comes once the program has taken the last one, a
        // little later, while the program keeps reading. The main thread sleeps until the
        // program's next read signals it (each read posts to the main queue).
        const bool taken = h.main.pumpUntil([&] { return h.calc.lastKey.load() == 0; }, std::chrono::seconds(30));
        ASSERT_TRUE(taken) << "key " << k << " was never read";
        // A varying few turns of the processor given away, so the keys come at varied points
        // of the program's loop without any wait on the clock.
        pause = pause * 1103515245u + 12345u;
        for (unsigned turn = pause % 30; turn > 0; --turn)
            std::this_thread::yield();
        const int code = 11 + k % 95;
        h.calc.lastKey = code;
        sum += code;
    }
    const bool finished = h.main.pumpUntil([&] { return h.queue().programQueueCount() == 0; });
    if (!finished)
        h.parser().stopProgramThread();
    ASSERT_TRUE(finished) << "keys were lost";
    h.settle();
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().re(), sum);
    // One press is read once.
    h.calc.lastKey = 25;
    EXPECT_EQ(h.calc.getKey(), 25);
    EXPECT_EQ(h.calc.getKey(), 0);
    // Keys typed while a run owns the keys come first, in order, past one with no code; a
    // key read is no longer the keyboard's, one not read still is.
    TypedKeys& typed = h.calc.typedKeys;
    const TypedKeys::Id catalogue = typed.push(0);
    const TypedKeys::Id five = typed.push(83);
    const TypedKeys::Id enter = typed.push(105);
    h.calc.lastKey = 24;
    EXPECT_EQ(h.calc.getKey(), 83);
    EXPECT_FALSE(typed.claim(five));
    EXPECT_TRUE(typed.claim(catalogue));
    EXPECT_EQ(h.calc.getKey(), 105);
    EXPECT_EQ(h.calc.getKey(), 24);
    EXPECT_FALSE(typed.claim(enter));
    EXPECT_TRUE(typed.empty());
}

TEST(ProgramQueueTest, MainThreadEvaluationDoesNotDisturbARun)
{
    ProgramHarness h;
    h.store("P", "For(I,1,3):Disp I:End");
    h.parser().startProgramThread(h.ops("prgmP"));
    ASSERT_TRUE(h.main.waitForWork());
    EXPECT_NE(&h.parser().ctx(), &h.queue().runContext());
    // An editor field fails on the main thread while the program waits on it.
    auto field = h.ops("Output(11,1,5)");
    const Operand r = h.parser().eval(field, false);
    EXPECT_EQ(r.error, 17);
    h.settle();
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().error, 0);
    EXPECT_EQ(h.output->calls(), (std::vector<std::string>{"start P", "show 1", "show 2", "show 3"}));
    h.parser().setError(0);
}

// A loop on plain reals (the fast lane) and one with a list store (statement by statement):
// the stop comes while the main thread holds the state lock, so the run stands between two
// statements, and how far it goes after it is a count of statements, the same on every
// machine. A loop that missed its stop test would run on to its end, seconds later.
TEST(ProgramQueueTest, AStoppedLoopEndsAtItsNextStatement)
{
    for (const char* loop : {"0->I:While I<1ᴱ7:I+1->I:End", "0->I:While I<1ᴱ7:I+1->I:{I}->L₁:End"}) {
        ProgramHarness h;
        h.store("L", loop);
        h.parser().startProgramThread(h.ops("prgmL"));
        // Each look at I waits for the run to stand between two statements: it goes on by
        // a statement or so between two looks.
        while (h.var('I') < 10)
            h.main.pump();
        double at = 0;
        {
            const auto held = h.calc.lockState();
            at = h.var('I');
            EXPECT_TRUE(h.parser().stopProgramThread());
        }
        ASSERT_TRUE(h.settle()) << loop;
        ASSERT_FALSE(h.finals.empty()) << loop;
        EXPECT_EQ(h.finals.back().error, 43) << loop;
        EXPECT_LE(h.var('I'), at + 1) << loop;
        EXPECT_EQ(h.queue().frameCount(), 0);
    }
}

// A run stops at its step limit as ON stops it, after the same work whether or not the main
// thread keeps taking the state lock meanwhile (which sends the fast lane back to the general
// loop at varying points): a loop on plain reals, one through the general evaluator, and one
// statement evaluating a function again and again (its draws of rand tell how far it went).
// Each run has the whole limit.
TEST(ProgramQueueTest, AStepLimitStopsEveryRunAfterTheSameWork)
{
    struct Case {
        const char* program;
        const char* reached;
    };
    for (const Case c : {Case{"0->I:While 1:I+1->I:End", "I"}, Case{"0->I:While 1:I+1->I:{I}->L₁:End", "I"},
                         Case{"0->rand:∑(rand,K,1,1ᴱ99)", "rand"}}) {
        ProgramHarness h;
        h.queue().setStepLimit(300);
        h.store("L", c.program);
        std::vector<double> reached;
        for (const bool disturbed : {false, true, false}) {
            h.finals.clear();
            h.parser().startProgramThread(h.ops("prgmL"));
            while (disturbed && h.queue().programQueueCount() != 0) {
                (void)h.var('J');
                h.main.pump();
            }
            ASSERT_TRUE(h.settle()) << c.program;
            ASSERT_EQ(h.finals.size(), 1u) << c.program;
            EXPECT_EQ(h.finals.back().error, 43) << c.program;
            reached.push_back(h.enter(c.reached).re());
        }
        if (c.reached == std::string("I")) {
            EXPECT_GT(reached[0], 50) << c.program;
            EXPECT_LT(reached[0], 300) << c.program;
        }
        EXPECT_EQ(reached[1], reached[0]) << c.program;
        EXPECT_EQ(reached[2], reached[0]) << c.program;
        // Without a limit a run ends as it would.
        h.queue().setStepLimit(0);
        EXPECT_EQ(h.run("For(I,1,1000):End:I").re(), 1001) << c.program;
    }
}

// A run queued and not started when the stop comes (the worker is still reporting the run
// before it): it is the first of the runs stopped, so it ends at once with "User break".
TEST(ProgramQueueTest, AStopBreaksARunThatHasNotStartedYet)
{
    ProgramHarness h;
    // Reports are made on the worker as the runs end.
    h.queue().setMainQueue(nullptr);
    std::vector<Operand> finals;
    std::promise<void> reported;
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    h.queue().setResultHandler([&](const Operand& r) {
        if (!h.calc.reportingDone)
            return;
        finals.push_back(r);
        if (finals.size() == 1) {
            reported.set_value();
            released.wait();
        }
    });
    h.queue().startProgramThread(h.ops("1"));
    reported.get_future().wait();
    h.queue().startProgramThread(h.ops("2"));
    EXPECT_TRUE(h.parser().stopProgramThread());
    release.set_value();
    h.waitForWorker();
    h.queue().setResultHandler(nullptr);
    h.queue().setMainQueue(&h.main);
    ASSERT_EQ(finals.size(), 2u);
    EXPECT_EQ(finals[0].error, 0);
    EXPECT_EQ(finals[0].re(), 1);
    EXPECT_EQ(finals[1].error, 43);
}

TEST(ProgramQueueTest, EditorEvaluationRunsControlFlowDirectly)
{
    ProgramHarness h;
    auto ops = h.ops("0->A:For(I,1,4):I->A:End:A");
    const Operand r = h.parser().eval(ops, false);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.re(), 4);
    auto empty = ProgramHarness::Ops{};
    EXPECT_EQ(h.parser().eval(empty, false).error, 16);
}

TEST(ProgramQueueTest, CleanUpForgetsAWaitingProgram)
{
    ProgramHarness h;
    h.store("P", "Input A");
    h.enter("prgmP");
    ASSERT_TRUE(h.parser().programQueued());
    h.parser().cleanUp();
    EXPECT_FALSE(h.parser().programQueued());
    EXPECT_EQ(h.parser().promptStack().count(), 0);
    EXPECT_FALSE(h.calc.programRunning);
    EXPECT_FALSE(h.parser().resumeProgramThread());
}

} // namespace
} // namespace orvenda
