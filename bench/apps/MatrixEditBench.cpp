// Figures for the matrix editor on the phone's display: the grid of a 99 × 99 matrix
// redrawn as it scrolls (one frame each), drawing only the cells in view.

#include "app/AppShell.h"
#include "app/VQTableScrollView.h"
#include "apps/MatrixEditScreen.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

namespace orvenda {
namespace {

void BM_MatrixEditorRedraw99x99(benchmark::State& state)
{
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    VQMatrix big = *VQMatrix::matrixWithRow(99, 99);
    for (std::size_t r = 0; r < 99; ++r)
        for (std::size_t c = 0; c < 99; ++c)
            big.set(std::sin(static_cast<double>(r * 99 + c)) * 1000, r, c);
    calc.locked()->matrices[0] = big;
    AppShell shell(calc);
    MatrixEditScreen screen(calc, shell);
    screen.resize(390, 560);
    screen.focus(true);
    screen.show();
    screen.shown({0, {}});
    QApplication::processEvents();
    MatrixEditView& editor = screen.editor();
    MatrixView& grid = editor.grid();
    // At the phone's double pixel density.
    QImage image(grid.bounds().size().toSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    int frame = 0;
    for (auto _ : state) {
        // A frame of a diagonal scroll through the whole matrix.
        const double step = (frame++ % 60) / 59.0;
        editor.scroller().setContentOffset(QPointF(step * grid.size().width(), step * grid.size().height()));
        const QRectF rect = grid.bounds();
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        grid.paintContent(painter, rect);
    }
    state.counters["cells"] = grid.cellsDrawn();
}
BENCHMARK(BM_MatrixEditorRedraw99x99)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
