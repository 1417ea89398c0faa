// Figures for the list editor on the phone's display: the grid redrawn with three lists of
// 10 000 elements, scrolled to their middle, drawing only the rows in view.

#include "app/AppShell.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "stats/StatEditScreen.h"
#include "stats/StatEditView.h"
#include "app/VQTableScrollView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>

namespace orvenda {
namespace {

void BM_ListEditorRedrawThreeLongLists(benchmark::State& state)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    VQList list;
    for (int i = 0; i < 10000; ++i)
        list.addReal(i * 1.25 - 4000, 15, -15);
    const std::string names[] = {"L\xE2\x82\x81", "L\xE2\x82\x82", "L\xE2\x82\x83"};
    for (const std::string& name : names)
        calc.locked()->lists[name] = list;
    calc.locked()->statEditList.assign(std::begin(names), std::end(names));
    AppShell shell(calc);
    StatEditScreen screen(calc, shell);
    screen.resize(390, 560);
    screen.focus(true);
    screen.show();
    QApplication::processEvents();
    StatEditView& grid = screen.grid();
    screen.scroller().setContentOffset(QPointF(0, 5000 * grid.rowHeight()));
    const QRectF rect = grid.bounds();
    // At the phone's double pixel density.
    QImage image(rect.size().toSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        grid.paintContent(painter, rect);
    }
    state.counters["rows"] = grid.rowsDrawn();
}
BENCHMARK(BM_ListEditorRedrawThreeLongLists)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
