// Figures for the evaluator and the program queue: an entry line parsed and evaluated,
// and the iterations per second of a program loop run on the queue.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/services/ProgramManager.h"
#include "eval/Parser.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <thread>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

Ops tokens(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(Ops{});
}

class BenchPrograms : public ProgramManager {
public:
    void saveProgram() override {}
    void updatePrograms() override {}
    bool debug() const override { return false; }
    void setPrgmEditCursor(int) override {}
    void setPrgmCursor(int, const std::string&) override {}
    void showStepPC(int, const std::string&) override {}
    std::string programName() const override { return {}; }
    std::optional<Ops> opsFor(const std::string& name) const override
    {
        const auto found = programs.find(name);
        return found == programs.end() ? std::nullopt : std::optional<Ops>(found->second);
    }
    std::map<std::string, Ops> programs;
};

void BM_EntryLineParseAndEvaluate(benchmark::State& state)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    Parser& parser = calc.parser();
    const Ops ops = tokens("2+3*4-sin(0.5)/7+√(16)");
    for (auto _ : state) {
        parser.setError(0);
        parser.infixToRPN(&ops, 0);
        Operand r = parser.evalRPN(parser.rpnStack(), true, false);
        benchmark::DoNotOptimize(r);
    }
    if (parser.error() != 0)
        state.SkipWithError("the entry line failed");
}
BENCHMARK(BM_EntryLineParseAndEvaluate);

// For(I,1,N):A+I➞A:End run on the program queue, reports handled on the worker.
void BM_ProgramForLoop(benchmark::State& state)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    auto programs = std::make_shared<BenchPrograms>();
    const auto n = state.range(0);
    programs->programs["LOOP"] = tokens("0->A:For(I,1," + std::to_string(n) + "):A+I->A:End");
    calc.prgmManager = programs;
    Parser& parser = calc.parser();
    std::atomic<int> errors{0};
    parser.programQueue().setResultHandler([&](const Operand& r) {
        if (r.error != 0)
            ++errors;
    });
    const Ops entry = tokens("prgmLOOP");
    for (auto _ : state) {
        parser.startProgramThread(entry);
        while (parser.programQueueCount() != 0)
            std::this_thread::yield();
    }
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (errors != 0)
        state.SkipWithError("the program failed");
}
BENCHMARK(BM_ProgramForLoop)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
