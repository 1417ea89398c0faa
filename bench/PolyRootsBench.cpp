// Figures for the polynomial root finder: every zero of a degree-30 polynomial (the
// companion matrix's eigenvalues, each polished), with real and complex zeros mixed.

#include "numeric/PolynomialRoots.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace orvenda {
namespace {

void BM_PolynomialRootsDegree30(benchmark::State& state)
{
    // Coefficients of mixed sizes and signs, none zero.
    std::vector<double> a(31);
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] = std::sin(1.7 * static_cast<double>(i) + 0.3) * (1 + static_cast<double>(i % 5));
    a[0] = 1;
    std::size_t found = 0;
    for (auto _ : state) {
        const auto zeros = PolynomialRoots::roots(a);
        found = zeros.size();
        benchmark::DoNotOptimize(zeros.data());
    }
    state.counters["zeros"] = static_cast<double>(found);
}
BENCHMARK(BM_PolynomialRootsDegree30)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
