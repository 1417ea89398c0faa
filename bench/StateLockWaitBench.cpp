// How long the main thread waits for the calculator's state lock while a program runs on
// the worker: a statement that runs for long inside one evaluation (nested integrals
// summed a hundred times) and a tight loop of short statements. The main thread takes
// the lock every millisecond, as a redraw or a key would, for `kSamples` takes; the
// counters are the wait's 50th and 99th percentiles and its maximum, in microseconds.

#include "core/Calculator.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"

#include "../tests/cases/EntryText.h"
#include "../tests/cases/ProgramSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace orvenda {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 2000;

std::vector<std::uint32_t> tokens(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(std::vector<std::uint32_t>{});
}

void lockWait(benchmark::State& state, const std::string& program)
{
    for (auto _ : state) {
        testing::ManualMainQueue main;
        Calculator calc;
        auto programs = std::make_shared<testing::MemoryProgramManager>();
        calc.prgmManager = programs;
        ProgramQueue& queue = calc.parser().programQueue();
        queue.setMainQueue(&main);
        programs->store("LOCK", tokens(program));
        queue.startProgramThread(tokens("prgmLOCK"));
        StateMutex& mutex = calc.stateMutex();
        // Until the worker holds the lock in the program. The main queue is served while
        // waiting: the worker's program call goes through it before the program runs.
        const bool holding = main.pumpUntil([&] {
            if (queue.executingRun() == 0)
                return false;
            if (!mutex.try_lock())
                return true;
            mutex.unlock();
            return false;
        });
        if (!holding) {
            queue.stopProgramThread();
            main.pumpUntil([&] { return queue.programQueueCount() == 0 && main.idle(); });
            state.SkipWithError("the program never took the state lock");
            return;
        }
        std::vector<double> waits;
        waits.reserve(kSamples);
        for (int i = 0; i < kSamples && queue.programQueueCount() > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            main.pump();
            const auto start = Clock::now();
            const double x = calc.locked()->vars[23].real();
            waits.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            benchmark::DoNotOptimize(x);
        }
        queue.stopProgramThread();
        main.pumpUntil([&] { return queue.programQueueCount() == 0 && main.idle(); });
        std::sort(waits.begin(), waits.end());
        auto at = [&waits](double q) { return waits.empty() ? 0.0 : waits[static_cast<std::size_t>(q * (waits.size() - 1))]; };
        state.counters["p50_us"] = at(0.5);
        state.counters["p99_us"] = at(0.99);
        state.counters["max_us"] = waits.empty() ? 0.0 : waits.back();
        state.counters["samples"] = static_cast<double>(waits.size());
    }
}

void BM_LockWaitNestedIntegrals(benchmark::State& state)
{
    lockWait(state, "sum(seq(fnInt(fnInt(sin(X*T),X,0,T),T,0,40),I,1,100))");
}
BENCHMARK(BM_LockWaitNestedIntegrals)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LockWaitTightLoop(benchmark::State& state) { lockWait(state, "0->C:While 1:C+1->C:End"); }
BENCHMARK(BM_LockWaitTightLoop)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace orvenda
