#include "eval/EvalContext.h"

#include "core/Calculator.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>

using namespace orvenda;

TEST(EvalContext, ThreadsKeepSeparateErrors)
{
    Calculator calc;
    Parser& parser = calc.parser();
    EvalContext queueContext(&calc);

    std::atomic<int> step{0};
    int workerSaw = -1;
    int workerSawAfter = -1;
    bool workerUsedQueueContext = false;
    std::thread worker([&] {
        EvalContext::Binding bind(parser, queueContext);
        workerUsedQueueContext = &parser.ctx() == &queueContext;
        parser.setError(43);
        parser.setErrorToken(7);
        parser.rpnStack().pushReal(1, 15, -15, 0);
        step = 1;
        while (step != 2)
            std::this_thread::yield();
        workerSaw = parser.error();
        parser.setError(0);
        workerSawAfter = parser.error();
    });
    while (step != 1)
        std::this_thread::yield();
    // The main thread sees none of the worker's state, and its own changes stay its own.
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.rpnStack().count(), 0);
    parser.setError(16);
    step = 2;
    worker.join();

    EXPECT_TRUE(workerUsedQueueContext);
    EXPECT_EQ(workerSaw, 43);
    EXPECT_EQ(workerSawAfter, 0);
    EXPECT_EQ(parser.error(), 16);
    EXPECT_EQ(queueContext.errorToken, 7);
    EXPECT_EQ(queueContext.rpnStack().count(), 1);
}

TEST(EvalContext, BindingsNestAndEnd)
{
    Calculator calc;
    Parser& parser = calc.parser();
    EvalContext outer(&calc);
    EvalContext inner(&calc);
    {
        EvalContext::Binding a(parser, outer);
        EXPECT_EQ(&parser.ctx(), &outer);
        {
            EvalContext::Binding b(parser, inner);
            EXPECT_EQ(&parser.ctx(), &inner);
        }
        EXPECT_EQ(&parser.ctx(), &outer);
    }
    EXPECT_EQ(&parser.ctx(), &parser.mainContext());

    // A binding holds for its own parser only.
    Calculator other;
    EvalContext::Binding bind(parser, outer);
    EXPECT_EQ(&other.parser().ctx(), &other.parser().mainContext());
}

TEST(EvalContext, RpnStackCanBeRedirected)
{
    EvalContext c;
    VQStack other;
    c.rpnStack().pushReal(1, 15, -15, 0);
    c.setRpnStack(&other);
    c.rpnStack().pushReal(2, 15, -15, 0);
    EXPECT_EQ(other.count(), 1);
    c.setRpnStack(nullptr);
    EXPECT_EQ(c.rpnStack().count(), 1);
    EXPECT_EQ(c.rpnStack().peek()->re(), 1);
}
