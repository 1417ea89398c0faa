// Figures for a keystroke on the home screen with a full history (100 items of fractions,
// powers and roots): the key goes through the key routing into the entry line, and the
// screen lays out and redraws what changed, in MathPrint and in the classic form, on the
// phone's display (390 × 400 at twice the pixel density). A frame is 16 ms.

#include "app/AppShell.h"
#include "app/ClassicHomeScreen.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/KeyRouter.h"
#include "app/MathPrintScreen.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/Operand.h"
#include "pretty/PrettyPrint.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>

namespace orvenda {
namespace {

constexpr std::uint32_t kDigit = 0x37;

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

} // namespace
} // namespace orvenda
