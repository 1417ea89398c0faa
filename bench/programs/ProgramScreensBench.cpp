// Figures for the program screens: one keystroke in the editor on a program of 2 000 lines
// (the key into the model, the line laid out, the view redrawn), the output screen redrawn
// after each Disp of a 10 000-line loop, and a Disp loop run with the output screen
// listening against the same loop with its output discarded. A frame is 16 ms.

#include "core/Calculator.h"
#include "core/Operand.h"
#include "eval/Parser.h"
#include "language/EntryText.h"
#include "programs/ProgramEditView.h"
#include "programs/ProgramEditorScreen.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/ProgramOutputModel.h"
#include "programs/ProgramOutputScreen.h"
#include "programs/ProgramOutputView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace orvenda {
namespace {

std::vector<std::uint32_t> ops(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(std::vector<std::uint32_t>{});
}

void BM_EditorKeystrokeIn2000Lines(benchmark::State& state)
{
    QTemporaryDir folder;
    Calculator calc{LocaleFormats{}};
    auto model = std::make_shared<ProgramModel>(calc, std::make_shared<ProgramFiles>(folder.path()));
    calc.prgmManager = model;
    ProgramOutputModel output(calc);
    std::string text;
    for (int k = 0; k < 2000; ++k)
        text += "Disp " + std::to_string(k) + "\n";
    model->storeProgram("LONG", ops(text));
    model->loadProgram("LONG");
    ProgramEditorScreen screen(calc, *model, output);
    screen.resize(390, 300);
    screen.show();
    screen.focus(true);
    model->setPrgmEditCursor(static_cast<int>(model->program().array().size() / 2));
    screen.editView().makeCursorVisible();
    QApplication::processEvents();
    for (auto _ : state) {
        model->addOpcode('7', true);
        screen.editView().repaint();
        model->deleteOpcode();
        screen.editView().repaint();
    }
    state.SetItemsProcessed(2 * state.iterations());
    screen.focus(false);
    calc.prgmManager = nullptr;
}
BENCHMARK(BM_EditorKeystrokeIn2000Lines)->Unit(benchmark::kMillisecond);

// One Disp written and the full screen redrawn, over a loop of 10 000.
void BM_OutputRedrawPerDisp(benchmark::State& state)
{
    Calculator calc{LocaleFormats{}};
    ProgramOutputModel output(calc);
    ProgramOutputScreen screen(calc, output);
    screen.resize(390, 300);
    screen.show();
    screen.focus(true);
    QApplication::processEvents();
    Operand value;
    value.kind = KindReal;
    int k = 0;
    for (auto _ : state) {
        value.value = ++k % 10000;
        output.displayOp(value);
        screen.view().repaint();
    }
    state.SetItemsProcessed(state.iterations());
    screen.focus(false);
}
BENCHMARK(BM_OutputRedrawPerDisp)->Unit(benchmark::kMicrosecond);

// For(I,1,10000):Disp I:End evaluated at once, its output going to the screen (which
// schedules a redraw per change and paints once per frame) or discarded.
void BM_DispLoop(benchmark::State& state)
{
    const bool shown = state.range(0) != 0;
    Calculator calc{LocaleFormats{}};
    auto output = std::make_shared<ProgramOutputModel>(calc);
    ProgramOutputScreen screen(calc, *output);
    screen.resize(390, 300);
    screen.show();
    screen.focus(true);
    if (shown)
        calc.prgmOutputMgr = output;
    const auto loop = ops("For(I,1,10000):Disp I:End");
    for (auto _ : state) {
        auto run = loop;
        calc.parser().eval(run, false);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(10000 * state.iterations());
    calc.prgmOutputMgr = nullptr;
    screen.focus(false);
}
BENCHMARK(BM_DispLoop)->ArgName("screen")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
