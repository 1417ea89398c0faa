// Damaged state files for the start-up: raw bytes, the saved state of a session with
// bytes overwritten or cut short, and that state with its entry line, its history or one of
// the numbers that lay out the screens replaced by any value. Whatever the file holds, the app starts as it does from the file: bytes
// that hold no archive give the factory state; an archive gives an entry line and a history
// whose cursor, indices and totals are valid, that can be edited and walked, and whose saved
// state restores to the same state.

#include "app/AppDelegate.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "core/MemoryArchive.h"
#include "core/NotificationCenter.h"
#include "core/Operand.h"
#include "platform/StateFile.h"

#include "DamagedArchive.h"
#include "GuiFuzzerInit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <span>

using namespace orvenda;

namespace {

using fuzz::Bytes;
using Ops = std::vector<std::uint32_t>;

const LocaleFormats kLocale{"h a", "MMMM d, y"};

void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

EntryModel& entryOf(Calculator& calc) { return static_cast<EntryModel&>(*calc.entryManager); }
HistoryModel& historyOf(Calculator& calc) { return static_cast<HistoryModel&>(*calc.historyManager); }

// A session worth damaging: earlier entries, a MathPrint line, and results of every shape.
const Bytes& sessionArchive()
{
    static const Bytes bytes = [] {
        NotificationCenter bus;
        Calculator calc(kLocale, bus);
        AppDelegate::installManagers(calc);
        EntryModel& entry = entryOf(calc);
        const std::pair<Ops, std::pair<const char*, int>> results[] = {
            {{0x32, 0x70, 0x33}, {"5", KindReal}},
            {{0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011}, {"3/4", KindReal}},
            {{0x08, 0x31, 0x2B, 0xB0, 0x32, 0x09}, {"{1 -2}", KindRealList}},
            {{0x06, 0x06, 0x31, 0x07, 0x07}, {"[[1]]", KindMatrix}},
            {{0x2A, 0x41, 0x2A}, {"A", KindString}},
        };
        for (const auto& [ops, result] : results) {
            entry.forceOps(ops);
            Operand record;
            record.kind = result.second;
            historyOf(calc).addEntry(ops, result.first, 0, record);
            entry.startNewEntry();
        }
        entry.forceOps({0x32, 0x10020, 0x31, 0x10021});
        historyOf(calc).setSelectedEntry(1);
        return MemoryArchive::save(calc);
    }();
    return bytes;
}

void checkValid(Calculator& calc)
{
    // The numbers the screens lay out and index with are within their ranges.
    check(calc.entrySplit >= 0 && calc.entrySplit <= 10000);
    check(calc.baseFontSize >= 10 && calc.baseFontSize <= 72);
    check(calc.keyboardColorSet >= 0 && calc.keyboardColorSet < 6 && calc.lcdColorSet >= 0 && calc.lcdColorSet < 6);
    check(calc.polyState >= 0 && calc.polyState <= 3 && calc.simulEqState >= 0 && calc.simulEqState <= 2);
    check(calc.sessions >= 0 && calc.sessions < std::numeric_limits<std::int64_t>::max());
    const double red = calc.locked()->backgroundColor.r();
    check(red >= 0 && red <= 1);
    EntryModel& entry = entryOf(calc);
    const int entries = static_cast<int>(entry.entries().size());
    check(entries >= 1 && entries <= EntryModel::kMaxEntries);
    check(entry.entryCursor() >= 0 && entry.entryCursor() <= static_cast<int>(entry.entryOps().size()));
    check(entry.prevEntry() >= -1 && entry.prevEntry() <= entries - 2);
    HistoryModel& history = historyOf(calc);
    const int items = static_cast<int>(history.history().size());
    check(items <= HistoryModel::kMaxItems);
    check(history.selectedEntry() >= -1 && history.selectedEntry() < items);
    int lines = 0;
    for (const HistoryEntry& item : history.history())
        lines += item.numLines;
    check(history.numLines() == lines);
}

// What a user does after the launch: walk and edit the line, walk the history, delete.
void exercise(Calculator& calc)
{
    EntryModel& entry = entryOf(calc);
    (void)entry.text();
    entry.cursorUp();
    entry.cursorDown();
    entry.cursorLeft();
    entry.getPreviousEntry();
    entry.getPreviousEntry();
    entry.addOpcode(0x31, false);
    entry.undo();
    entry.deleteOpcode();
    (void)entry.parenContextStartForLocation(entry.entryCursor());
    HistoryModel& history = historyOf(calc);
    history.cursorUp();
    history.cursorUp();
    (void)history.selectedOps();
    history.deleteEntry();
    history.cursorDown();
    checkValid(calc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    Bytes file;
    switch (data[0] % 3) {
    case 0:
        file.assign(input.begin(), input.end());
        break;
    case 1:
        file = fuzz::overwritten(sessionArchive(), input);
        break;
    default:
        if (auto archive = fuzz::replaced(sessionArchive(), {"entry", "history", "split", "baseFont", "kbdCo", "lcdCo", "txtClr",
                                                             "tMode", "polyState", "simulEqState", "sessions", "rBck"},
                                          input))
            file = nlohmann::json::to_cbor(*archive);
        break;
    }

    NotificationCenter bus;
    Calculator calc(kLocale, bus);
    AppDelegate::installManagers(calc);
    // As the start-up does: what holds no archive is set aside for the factory state.
    if (StateFile::isArchive(file))
        calc.initMemory({file});
    checkValid(calc);
    exercise(calc);

    // What is saved comes back: the lines, the cursor and the calculations. (Undo is
    // archived but never restored; sizes archived as 0 are measured again.)
    entryOf(calc).clearUndo();
    const Bytes saved = MemoryArchive::save(calc);
    check(StateFile::isArchive(saved));
    NotificationCenter otherBus;
    Calculator again(kLocale, otherBus);
    AppDelegate::installManagers(again);
    again.initMemory({saved});
    check(entryOf(again).entries() == entryOf(calc).entries());
    check(entryOf(again).entryCursor() == entryOf(calc).entryCursor());
    const auto& items = historyOf(calc).history();
    const auto& restored = historyOf(again).history();
    check(restored.size() == items.size());
    for (std::size_t k = 0; k < items.size(); ++k)
        check(restored[k].result == items[k].result && restored[k].resultType == items[k].resultType);
    // Once restored, saving and restoring changes nothing.
    const Bytes resaved = MemoryArchive::save(again);
    Calculator third(kLocale, otherBus);
    AppDelegate::installManagers(third);
    third.initMemory({resaved});
    check(MemoryArchive::save(third) == resaved);
    return 0;
}
