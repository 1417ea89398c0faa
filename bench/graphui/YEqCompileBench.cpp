// Figures for the Y= equations: ten equations of 30 tokens each written and compiled, as
// the graph does after the equations change.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#include <string>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

// 30 tokens.
constexpr const char* kEquation = "3X²-2AX+sin(X)*cos(2X)-√(X+1)/(B+4)+X";

void BM_CompileTenEquations(benchmark::State& state)
{
    static const cases::EntryText entry;
    std::string bad;
    const Ops ops = entry.toOps(kEquation, bad).value_or(Ops{});
    if (ops.size() != 30) {
        state.SkipWithError("the equation is not 30 tokens long");
        return;
    }
    NotificationCenter bus;
    Calculator calc(Calculator::systemLocale(), bus);
    YEqModel equations(calc);
    for (auto _ : state) {
        for (int token = 0x5E10; token < 0x5E1A; ++token) {
            equations.setYEqFunc(token, ops);
            benchmark::DoNotOptimize(equations.rpnForFunction(token));
        }
    }
}
BENCHMARK(BM_CompileTenEquations)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvenda
