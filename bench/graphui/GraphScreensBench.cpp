// Figures for the screens around the graph on the phone's display: the function table
// redrawn with ten equation columns over the rows in view, every cell through the full
// evaluator; and the graph screen shown with ten functions: the screen made, updated and
// its ring of tiles rendered the first time.

#include "app/AppShell.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graphui/GraphScreenController.h"
#include "graphui/TableScreen.h"
#include "graphui/TableView.h"
#include "language/EntryText.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <memory>
#include <string>

namespace orvenda {
namespace {

constexpr QSize kPhone{390, 844};

constexpr std::array<const char*, 10> kTen{
    "X²-4", "X³/10-X", "sin(X)", "2cos(2X)", "e^(X/4)", "1/X", "√(X+5)", "abs(X)-3", "X/2+1", "tan(X)/4",
};

struct Screens {
    Screens() : calc(LocaleFormats{}, notifications), equations(std::make_shared<YEqModel>(calc))
    {
        calc.yEqManager = equations;
        static const EntryText entry;
        for (std::size_t i = 0; i < kTen.size(); ++i) {
            std::string bad;
            equations->setYEqFunc(0x5E10 + int(i), entry.toOps(kTen[i], bad).value_or(std::vector<std::uint32_t>()));
        }
        shell = std::make_unique<AppShell>(calc);
    }
    ~Screens() { calc.yEqManager.reset(); }

    NotificationCenter notifications;
    Calculator calc;
    std::shared_ptr<YEqModel> equations;
    std::unique_ptr<AppShell> shell;
};

// The automatic table from -5 by 0.5, drawn as wide as its eleven columns over the height
// the phone's table shows.
void BM_TableRedrawTenColumns(benchmark::State& state)
{
    Screens s;
    s.calc.locked()->tableMode = 1;
    s.calc.locked()->vars[54] = -5;
    s.calc.locked()->vars[61] = 0.5;
    TableScreen screen(s.calc, *s.shell);
    screen.resize(kPhone.width(), 400);
    screen.focus(true);
    screen.show();
    QApplication::processEvents();
    TableView& table = screen.tableView();
    table.size();
    if (table.numColumns() != 11) {
        state.SkipWithError("the table has not ten equation columns");
        return;
    }
    const QRectF rect(0, TableView::kOrigin - 2 * table.rowHeight(), 11 * table.colWidth(), table.height());
    QImage image(rect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        table.paintContent(painter, rect);
    }
    state.counters["rows"] = table.height() / table.rowHeight();
}
BENCHMARK(BM_TableRedrawTenColumns)->Unit(benchmark::kMillisecond);

// Each time a fresh screen, so every plot samples afresh.
void BM_ShowGraphTenFunctions(benchmark::State& state)
{
    Screens s;
    for (auto _ : state) {
        GraphScreenController graph(s.calc, *s.shell);
        graph.resize(kPhone);
        graph.didShow(true);
        graph.graphView().displayTiles();
        if (graph.graphView().plotObjects().size() != kTen.size()) {
            state.SkipWithError("the graph does not plot the ten functions");
            return;
        }
    }
}
BENCHMARK(BM_ShowGraphTenFunctions)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
