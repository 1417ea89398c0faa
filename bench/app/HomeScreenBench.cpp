// Figures for a keystroke on the home screen with a full history (100 items of fractions,
// powers and roots): the key goes through the key routing into the entry line, and the
// screen lays out and redraws what changed, in MathPrint and in the classic form, on the
// phone's display (390 × 400 at twice the pixel density). Then keys inside a template of a
// 2,000-op MathPrint line. A frame is 16 ms.

#include "app/AppShell.h"
#include "app/ClassicHomeScreen.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/KeyRouter.h"
#include "app/MathPrintScreen.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/Operand.h"
#include "language/EntryText.h"
#include "pretty/PrettyPrint.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>

namespace orvenda {
namespace {

constexpr std::uint32_t kDigit = 0x37;
using HomeScreenOps = std::vector<std::uint32_t>;

struct Home {
    explicit Home(bool mathPrint) : calc(LocaleFormats{}, notifications)
    {
        calc.locked()->mathPrint = mathPrint;
        calc.prettyPrint = std::make_shared<PrettyPrint>();
        calc.historyManager = history;
        calc.entryManager = entry;
        // 3/4 + 2^5 + √(7), each with its answer.
        const HistoryModel::Ops input{0x33, 0x83, 0x34, 0x70, 0x32, 0xF0, 0x35, 0x70, 0xBC, 0x37, 0x11};
        for (int i = 0; i < HistoryModel::kMaxItems; ++i) {
            Operand record;
            record.kind = KindReal;
            history->addEntry(input, "35.39575131", 0, record);
        }
        shell = std::make_unique<AppShell>(calc);
        if (mathPrint)
            screen = std::make_unique<MathPrintScreen>(calc, *shell);
        else
            screen = std::make_unique<ClassicHomeScreen>(calc, *shell);
        screen->resize(390, 400);
        screen->focus(true);
        screen->show();
        QApplication::processEvents();
    }

    NotificationCenter notifications;
    Calculator calc;
    std::shared_ptr<HistoryModel> history = std::make_shared<HistoryModel>(calc);
    std::shared_ptr<EntryModel> entry = std::make_shared<EntryModel>(calc);
    std::unique_ptr<AppShell> shell;
    std::unique_ptr<ScreenController> screen;
};

// One digit typed and taken away again, each redrawn at once.
void BM_KeystrokeWithFullHistory(benchmark::State& state)
{
    Home home(state.range(0) != 0);
    for (auto _ : state) {
        home.shell->keys().processKeyOp(kDigit);
        home.screen->repaint();
        home.shell->keys().processKeyOp(KeyRouter::kDel);
        home.screen->repaint();
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_KeystrokeWithFullHistory)->ArgName("mathPrint")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A 2,000-op MathPrint line of fractions, powers and roots, the cursor at the end of a √'s
// part halfway along. Each round: a digit typed there and taken away again (LEFT, DEL), or
// a ")" that goes past the √ and LEFT back into it; redrawn after each key. Per key.
void BM_KeyInsideATemplateOfA2000OpLine(benchmark::State& state)
{
    Home home(true);
    std::string bad;
    const auto unit = EntryText().toOps("1／2+X^2—√(3)+", bad);
    HomeScreenOps typed, line;
    while (unit && line.size() < 2000) {
        typed.insert(typed.end(), unit->begin(), unit->end());
        line = PrettyPrint::beautifyOps(typed);
    }
    int cursor = static_cast<int>(line.size()) / 2;
    // The √'s closer: the end of its part.
    while (cursor < static_cast<int>(line.size()) && !(line[static_cast<std::size_t>(cursor)] > 0xFFFF
                                                       && (line[static_cast<std::size_t>(cursor)] & 0xFFFF) == 0x11
                                                       && line[static_cast<std::size_t>(cursor - 1)] == 0x33))
        ++cursor;
    home.entry->forceOps(line);
    home.entry->cursorSetIndex(cursor);
    KeyRouter& keys = home.shell->keys();
    const bool closer = state.range(0) != 0;
    for (auto _ : state) {
        keys.processKeyOp(closer ? 0x11 : kDigit);
        home.screen->repaint();
        keys.processKeyOp(KeyRouter::kLeft);
        if (!closer)
            keys.processKeyOp(KeyRouter::kDel);
        home.screen->repaint();
    }
    if (home.entry->entryOps() != line || home.entry->entryCursor() != cursor)
        state.SkipWithError("the keys did not give the line back");
    state.counters["ops"] = static_cast<double>(line.size());
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_KeyInsideATemplateOfA2000OpLine)->ArgName("closer")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A paste of n ops on an empty home line, redrawn once: "1+1+…+1", or "1" and n − 1 ")"
// that close nothing (each acts as its key would). Per paste.
void BM_PasteOnTheHomeLine(benchmark::State& state)
{
    Home home(state.range(0) != 0);
    const bool closers = state.range(1) != 0;
    const auto n = static_cast<std::size_t>(state.range(2));
    HomeScreenOps pasted{0x31};
    while (pasted.size() < n)
        closers ? pasted.push_back(0x11) : (pasted.push_back(0x70), pasted.push_back(0x31));
    pasted.resize(n);
    for (auto _ : state) {
        home.entry->clear();
        home.shell->keys().paste(pasted);
        home.screen->repaint();
    }
    if (home.entry->entryOps().size() < n)
        state.SkipWithError("the paste was not taken whole");
    state.SetItemsProcessed(static_cast<std::int64_t>(n) * state.iterations());
}
BENCHMARK(BM_PasteOnTheHomeLine)
    ->ArgNames({"mathPrint", "closers", "n"})
    ->ArgsProduct({{1, 0}, {0, 1}, {2000, 8000, 65535}})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
