// Figures for pretty printing: the one-line layout of a long entry line, building the
// two-dimensional tree of a long MathPrint line, laying out a history of MathPrint entries,
// and one keystroke on a MathPrint entry line.

#include "pretty/FontMap.h"
#include "pretty/LayoutManager.h"
#include "pretty/PrettyPrint.h"
#include "pretty/PrettyTree.h"

#include "pretty/PrettyTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>
#include <vector>

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

// As the history measures its items: each input made pretty and laid out at 20 points.
void History100Entries(benchmark::State& state)
{
    const char* texts[] = {
        "1／2+X^2—√(3)", "2␣1／4*3", "logBASE(8,2)+e^(2)", "∑(X²,X,1,10)", "[[1,2][3,4]]",
        "abs(-3)+³√(27)", "fnInt(X²,X,0,1)", "(1／2)^(3／4)", "sin(π／6)+cos(π／3)", "3ˣ√8+nDeriv(X³,X,2)",
    };
    std::vector<Ops> history;
    for (int i = 0; i < 100; ++i)
        history.push_back(test::ops(texts[i % std::size(texts)]));
    PrettyPrint pp;
    for (auto _ : state) {
        double height = 0;
        for (const Ops& entry : history)
            height += pp.setOps(PrettyPrint::beautifyOps(entry), PrettyPrint::kNoCursor, 0, 20).height();
        benchmark::DoNotOptimize(height);
    }
    state.counters["entries"] = static_cast<double>(history.size());
}
BENCHMARK(History100Entries)->Unit(benchmark::kMillisecond);

// A digit typed into the middle of a 100-op entry: the overwrite check's layout, the key's
// ops, the entry view's layout with the cursor, and drawing it.
void Keystroke100OpEntry(benchmark::State& state)
{
    const Ops entry = PrettyPrint::beautifyOps(repeated("1／2+X^2—√(3)+", 67));
    QImage screen(800, 120, QImage::Format_ARGB32_Premultiplied);
    PrettyPrint pp;
    const int cursor = static_cast<int>(entry.size()) / 2;
    Ops ops;
    for (auto _ : state) {
        ops = entry;
        int at = cursor, adjust = 0, insert = 0, taken = 0;
        pp.setMutableOps(ops, at, insert, 20);
        benchmark::DoNotOptimize(pp.canOverwriteAt(at));
        const Ops add = PrettyPrint::enterOp(0x35, at, ops, adjust, insert, taken);
        ops.insert(ops.begin() + at, add.begin(), add.end());
        pp.setOps(ops, at + 1, insert, 20);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        pp.drawAt(painter, QPointF(4, 4), at + 1, insert, 224, QRectF(screen.rect()));
    }
    state.counters["ops"] = static_cast<double>(entry.size());
}
BENCHMARK(Keystroke100OpEntry)->Unit(benchmark::kMicrosecond);

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
