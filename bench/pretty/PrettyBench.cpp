// Figures for pretty printing: the one-line layout of a long entry line, and building the
// two-dimensional tree of a long MathPrint line.

#include "pretty/FontMap.h"
#include "pretty/LayoutManager.h"
#include "pretty/PrettyPrint.h"
#include "pretty/PrettyTree.h"

#include "pretty/PrettyTestSupport.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace orvenda {
namespace {

using test::Ops;

// A line of `count` ops or a little more, repeating the text.
Ops repeated(const std::string& text, std::size_t count)
{
    const Ops unit = test::ops(text);
    Ops ops;
    while (ops.size() < count)
        ops.insert(ops.end(), unit.begin(), unit.end());
    return ops;
}

void OneLineLayout200Tokens(benchmark::State& state)
{
    const Ops ops = repeated("sin(2X)+3.5*cos(Y)/4—", 200);
    LayoutManager layout;
    layout.setFont(FontMap::shared().font("CourierNewPS-BoldMT", 16));
    layout.setLeading(17);
    layout.setBounds(QRectF(0, 0, 320, 1000));
    layout.setCursorPosition(static_cast<int>(ops.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(layout.setOps(ops));
    state.counters["ops"] = static_cast<double>(ops.size());
}
BENCHMARK(OneLineLayout200Tokens)->Unit(benchmark::kMicrosecond);

void MathPrintTree200Ops(benchmark::State& state)
{
    const Ops ops = PrettyPrint::beautifyOps(repeated("1／2+X^2—√(3)+2␣1／4+logBASE(8,2)*", 200));
    PrettyTree tree;
    for (auto _ : state) {
        tree.build(ops);
        benchmark::DoNotOptimize(tree.root());
    }
    state.counters["ops"] = static_cast<double>(ops.size());
    state.counters["nodes"] = static_cast<double>(tree.size());
}
BENCHMARK(MathPrintTree200Ops)->Unit(benchmark::kMicrosecond);

void Beautify200Ops(benchmark::State& state)
{
    const Ops ops = repeated("1／2+X^2—√(3)+2␣1／4+logBASE(8,2)*", 200);
    for (auto _ : state)
        benchmark::DoNotOptimize(PrettyPrint::beautifyOps(ops));
    state.counters["ops"] = static_cast<double>(ops.size());
}
BENCHMARK(Beautify200Ops)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvenda

int main(int argc, char** argv)
{
    // Without a display the offscreen platform stands in.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
