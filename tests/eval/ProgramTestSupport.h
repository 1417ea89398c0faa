#pragma once

// A calculator whose program queue reports to a hand-pumped main queue, for tests.

#include "cases/EntryText.h"
#include "cases/ProgramSupport.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace orvenda::testing {

class ProgramHarness {
public:
    using Ops = std::vector<std::uint32_t>;

    ProgramHarness()
        : programs(std::make_shared<MemoryProgramManager>()), output(std::make_shared<RecordingOutput>(calc))
    {
        calc.prgmManager = programs;
        calc.prgmOutputMgr = output;
        queue().setMainQueue(&main);
        queue().setResultHandler([this](const Operand& r) {
            // Runs on the main thread: the final report sets reportingDone around it.
            (calc.reportingDone ? finals : handedOver).push_back(r);
        });
        queue().setIdleHandler([this] {
            { const std::lock_guard lock(idleMutex_); }
            idle_.notify_all();
        });
    }
    ~ProgramHarness()
    {
        queue().setIdleHandler(nullptr);
        // Let a run still waiting on the main thread finish before the queue goes.
        main.pumpUntil([this] { return queue().programQueueCount() == 0; });
    }

    Parser& parser() { return calc.parser(); }
    ProgramQueue& queue() { return calc.parser().programQueue(); }
    // Typed text as tokens (names matched longest first; new lines stay new lines).
    static Ops ops(const std::string& text)
    {
        static const cases::EntryText entry;
        std::string bad;
        auto tokens = entry.toOps(text, bad);
        EXPECT_TRUE(tokens) << "no token for " << bad;
        return tokens ? *tokens : Ops{};
    }
    void store(const std::string& name, const std::string& text) { programs->store(name, ops(text)); }

    // Waits, without pumping, until the worker has no run left (its reports stay queued).
    void waitForWorker()
    {
        std::unique_lock lock(idleMutex_);
        idle_.wait(lock, [this] { return queue().programQueueCount() == 0; });
    }
    // Pumps until every submitted run has finished and its reports are handled.
    bool settle()
    {
        return main.pumpUntil([this] { return queue().programQueueCount() == 0 && main.idle(); });
    }
    // Runs an entry line to its final report and returns it.
    Operand enter(const std::string& text)
    {
        const std::size_t before = finals.size();
        queue().startProgramThread(ops(text));
        settle();
        if (finals.size() == before) {
            ADD_FAILURE() << "no report for " << text;
            return Operand{};
        }
        return finals.back();
    }
    // Runs the text as a program named T and returns the final report.
    Operand run(const std::string& program)
    {
        store("T", program);
        return enter("prgmT");
    }
    double var(char name) const { return calc.getVar(name - 'A').value.real(); }

    // Before the calculator, so it outlives the queue that posts to it.
    ManualMainQueue main;
    Calculator calc;
    std::shared_ptr<MemoryProgramManager> programs;
    std::shared_ptr<RecordingOutput> output;
    std::vector<Operand> finals;
    std::vector<Operand> handedOver;

private:
    std::mutex idleMutex_;
    std::condition_variable idle_;
};

} // namespace orvenda::testing
