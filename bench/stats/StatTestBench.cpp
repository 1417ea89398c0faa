// Figures for the statistics test screen, which recomputes after every key: one
// recomputation of a two-sample t test and of a quadratic regression on 1 000-element lists.

#include "app/AppShell.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/FixedGraphView.h"
#include "input/SegmentedControl.h"
#include "stats/StatTestScreen.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <string>

namespace orvenda {
namespace {

void recompute(benchmark::State& state, std::uint32_t op)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    VQList x, y;
    for (int i = 0; i < 1000; ++i) {
        x.addReal(i * 0.01, 15, -15);
        y.addReal(std::sin(i * 0.37) + i * 0.002, 15, -15);
    }
    calc.locked()->lists["L\xE2\x82\x81"] = x;
    calc.locked()->lists["L\xE2\x82\x82"] = y;
    AppShell shell(calc);
    StatTestScreen screen(calc, shell);
    screen.resize(390, 760);
    screen.setTestNum(op);
    screen.dataStatsControl().setSelected(0);
    if (op == 0x5C50)
        screen.regressionButton(6);
    screen.show();
    QApplication::processEvents();
    for (auto _ : state)
        screen.computeTest();
}

void BM_StatTestTwoSampleTTestOnThousandElementLists(benchmark::State& state) { recompute(state, 0x5C29); }
BENCHMARK(BM_StatTestTwoSampleTTestOnThousandElementLists)->Unit(benchmark::kMillisecond);

void BM_StatTestQuadRegressionOnThousandElementLists(benchmark::State& state) { recompute(state, 0x5C50); }
BENCHMARK(BM_StatTestQuadRegressionOnThousandElementLists)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
