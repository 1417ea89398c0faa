// Figures for the distribution functions: the cost of one density point (the graph
// evaluates one per pixel column) and of the largest binomial cdf sum.

#include "numeric/Densities.h"
#include "numeric/Distributions.h"

#include <benchmark/benchmark.h>

namespace orvenda {
namespace {

// One point per iteration, x sweeping 0..8 as across a graph window.
template <class F>
void sweep(benchmark::State& state, F density)
{
    double x = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(density(x));
        x = x < 8.0 ? x + 0.01 : 0.0;
    }
}

void BM_NormalPdf(benchmark::State& state)
{
    sweep(state, [](double x) { return Densities::normalPdf(x - 4.0, 0.0, 1.0); });
}
BENCHMARK(BM_NormalPdf);

void BM_StudentTPdf(benchmark::State& state)
{
    sweep(state, [](double x) { return Densities::studentTPdf(x - 4.0, 5.0); });
}
BENCHMARK(BM_StudentTPdf);

void BM_ChiSquarePdf(benchmark::State& state)
{
    sweep(state, [](double x) { return Densities::chiSquarePdf(x, 3.0); });
}
BENCHMARK(BM_ChiSquarePdf);

void BM_FisherFPdf(benchmark::State& state)
{
    sweep(state, [](double x) { return Densities::fisherFPdf(x, 5.0, 7.0); });
}
BENCHMARK(BM_FisherFPdf);

void BM_BinomcdfMillionTrials(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Distributions::binomcdf(999999, 0.5, 499999));
}
BENCHMARK(BM_BinomcdfMillionTrials)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
