// Figures for the fast real evaluator on plotting expressions, in evaluations per second,
// beside muparser and beside the same expressions written as C++ lambdas. Each evaluation
// sets X first, as a plot does for every point.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "eval/QuickEvaluator.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#ifdef ORVENDA_BENCH_MUPARSER
#include <muParser.h>
#endif

#include <cmath>
#include <numbers>
#include <string>

namespace orvenda {
namespace {

constexpr int kSlotX = 23;

struct Expression {
    const char* entry;     // as typed on the calculator
    const char* muparser;  // the same in muparser's syntax
    double (*lambda)(double);
};

const Expression kSquare{"X²", "X^2", [](double x) { return x * x; }};
const Expression kTrig{"sin(X)+cos(2X)", "sin(X)+cos(2*X)", [](double x) { return std::sin(x) + std::cos(2 * x); }};
const Expression kGauss{"e^(-X²/2)/√(2π)", "exp(-X^2/2)/sqrt(2*_pi)",
                        [](double x) { return std::exp(-x * x / 2) / std::sqrt(2 * std::numbers::pi); }};
// Twelve tokens: 3 X ³ − 2 X ² + 5 X − 7, with the implied products.
const Expression kPolynomial{"3X³-2X²+5X-7", "3*X^3-2*X^2+5*X-7",
                             [](double x) { return 3 * x * x * x - 2 * x * x + 5 * x - 7; }};

// X sweeps -3..3 as across a graph: 1024 points, worked out before the timing.
struct Sweep {
    Sweep()
    {
        for (std::size_t i = 0; i < kCount; ++i)
            x[i] = -3 + 6.0 * static_cast<double>(i) / kCount;
    }
    double operator[](std::size_t i) const { return x[i & (kCount - 1)]; }
    static constexpr std::size_t kCount = 1024;
    double x[kCount];
};
const Sweep kSweep;

// The calculator in Radian mode with the expression compiled.
struct Compiled {
    explicit Compiled(const Expression& e) : calc(LocaleFormats{}, notifications), rpn(&calc)
    {
        calc.setAngleFormat(1);
        static const cases::EntryText entry;
        std::string bad;
        auto ops = entry.toOps(e.entry, bad).value_or(std::vector<std::uint32_t>{});
        Parser& parser = calc.parser();
        parser.infixToRPN(&ops, 0);
        rpn = parser.rpnStack();
    }
    NotificationCenter notifications;
    Calculator calc;
    VQStack rpn;
};

// Sets X for each point of the sweep and times `evaluate`.
template <class Evaluate>
void sweep(benchmark::State& state, Calculator& calc, Evaluate evaluate)
{
    std::size_t i = 0;
    for (auto _ : state) {
        calc.locked()->vars[kSlotX] = kSweep[i++];
        benchmark::DoNotOptimize(evaluate());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_QuickProgram(benchmark::State& state, const Expression& e)
{
    Compiled c(e);
    QuickEvaluator quick(c.calc.parser());
    QuickEvaluator::Program program;
    if (!quick.compile(c.rpn, program)) {
        state.SkipWithError("not quick");
        return;
    }
    sweep(state, c.calc, [&] { return quick.run(program); });
}

// The records walked as they are, compiling on every call.
void BM_QuickRecords(benchmark::State& state, const Expression& e)
{
    Compiled c(e);
    sweep(state, c.calc, [&] { return c.calc.parser().evalQuickRPN(c.rpn); });
}

// The full evaluator on the same records, for scale.
void BM_FullEvaluator(benchmark::State& state, const Expression& e)
{
    Compiled c(e);
    sweep(state, c.calc, [&] { return c.calc.parser().evalRPN(c.rpn, true, true); });
}

#ifdef ORVENDA_BENCH_MUPARSER
void BM_MuParser(benchmark::State& state, const Expression& e)
{
    double x = 0;
    mu::Parser parser;
    parser.DefineVar("X", &x);
    parser.SetExpr(e.muparser);
    std::size_t i = 0;
    for (auto _ : state) {
        x = kSweep[i++];
        benchmark::DoNotOptimize(parser.Eval());
    }
    state.SetItemsProcessed(state.iterations());
}
#endif

void BM_Lambda(benchmark::State& state, const Expression& e)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.lambda(kSweep[i++]));
    state.SetItemsProcessed(state.iterations());
}

#define ORVENDA_EXPRESSIONS(bench)            \
    BENCHMARK_CAPTURE(bench, square, kSquare); \
    BENCHMARK_CAPTURE(bench, trig, kTrig);     \
    BENCHMARK_CAPTURE(bench, gauss, kGauss);   \
    BENCHMARK_CAPTURE(bench, polynomial, kPolynomial)

ORVENDA_EXPRESSIONS(BM_QuickProgram);
ORVENDA_EXPRESSIONS(BM_QuickRecords);
ORVENDA_EXPRESSIONS(BM_FullEvaluator);
#ifdef ORVENDA_BENCH_MUPARSER
ORVENDA_EXPRESSIONS(BM_MuParser);
#endif
ORVENDA_EXPRESSIONS(BM_Lambda);

} // namespace
} // namespace orvenda
