// Figures for the graph's sampling of an equation: samples per second through the
// calculator's sampler, the variable set and put back around each call.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"
#include "eval/GraphSampler.h"
#include "eval/Parser.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace orvenda {
namespace {

constexpr int kSlotX = 23;
// One tile's worth of samples.
constexpr std::size_t kSamples = 320;

void BM_SampleFunction(benchmark::State& state, const char* entry)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    calc.setAngleFormat(1);
    static const cases::EntryText text;
    std::string bad;
    auto ops = text.toOps(entry, bad).value_or(std::vector<std::uint32_t>{});
    const VQStack rpn = calc.parser().getRPNfor(ops);
    GraphSampler sampler(calc);
    std::vector<GraphSampler::XY> samples(kSamples);
    for (auto _ : state) {
        sampler.plotFn(rpn, kSlotX, -3, 6.0 / kSamples, samples);
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kSamples));
}

// Through the fast evaluator.
BENCHMARK_CAPTURE(BM_SampleFunction, polynomial, "3X³-2X²+5X-7");
BENCHMARK_CAPTURE(BM_SampleFunction, trig, "sin(X)+cos(2X)");
// randInt( is not for the fast evaluator: the full one, for scale.
BENCHMARK_CAPTURE(BM_SampleFunction, full, "3X³-2X²+5X-7+0randInt(1,2)");

} // namespace
} // namespace orvenda
