// Figures for the evaluator: an entry line parsed and evaluated. Programs run on the queue
// are measured in ProgramBench.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "eval/Parser.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#include <string>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

Ops tokens(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(Ops{});
}

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

} // namespace
} // namespace orvenda
