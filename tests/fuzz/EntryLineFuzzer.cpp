// Entry lines and programs through the home screen's ENTER: the statement parser, the
// evaluator, the program queue and the result handling the case runner drives. An input is
//   - text (a first byte from the tab up): entry lines, one a line, written as the case
//     files write them, so that every case file is a seed: "#" lines are skipped, what
//     follows "=>" is the answer and is dropped, and "@program NAME" ... "@end" stores a
//     program that a later line runs by "prgmNAME";
//   - a first byte below 0x08: the rest as tokens of one entry line, one byte each or two
//     after a page byte (new lines, 0x3F, split its statements as typed ones do);
//   - a first byte 0x0E to 0x1F: the rest as the text of a program, run by prgmF.
// A run stops, as ON stops it, at its step limit (ORVENDA_FUZZ_STEPS statements and
// evaluations within them, 2000 by default): an endless loop costs the same few
// milliseconds on every machine, and an input does the same work on every replay. A run
// still going long after that is stopped with a note, and one that then ignores ON is a
// finding and aborts. Afterwards whatever the lines left must be saved and restored. One
// calculator serves every input, reset to the factory state before each (making one costs
// far more than most inputs).

#include "app/AppDelegate.h"
#include "core/MemoryArchive.h"
#include "core/VQList.h"
#include "language/EntryText.h"

#include "cases/Home.h"
#include "GuiFuzzerInit.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace orvenda;

namespace {

using Ops = std::vector<std::uint32_t>;

// Enough lines to set something up and use it; each costs up to the step limit.
constexpr int kMaxLines = 24;
// How long a run may go on, and then how long it may take to notice ON, before it counts as
// escaping both its step limit and the stop (no step takes nearly as long).
constexpr std::chrono::seconds kStopLimit{20};

std::uint64_t stepLimit()
{
    const char* text = std::getenv("ORVENDA_FUZZ_STEPS");
    const long long steps = text ? std::atoll(text) : 0;
    return steps > 0 ? static_cast<std::uint64_t>(steps) : 2000;
}

const EntryText& entryText()
{
    static const EntryText text;
    return text;
}

// The second byte of a two-byte token follows these.
bool isPage(std::uint8_t b)
{
    switch (b) {
    case 0x5C: case 0x5D: case 0x5E: case 0x60: case 0x61: case 0x62: case 0x63: case 0x7E: case 0xAA: case 0xBB:
    case 0xEF:
        return true;
    default:
        return false;
    }
}

Ops rawTokens(std::string_view bytes)
{
    Ops ops;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (isPage(b) && i + 1 < bytes.size())
            ops.push_back(std::uint32_t(b) << 8 | static_cast<std::uint8_t>(bytes[++i]));
        else
            ops.push_back(b);
    }
    return ops;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// ENTER on the line; the run stops at its step limit.
void enter(cases::Home& home, const Ops& ops)
{
    if (!home.entry->entryOps().empty())
        home.keys.processKeyOp(KeyRouter::kClear);
    home.entry->forceOps(ops);
    home.keys.processKeyOp(KeyRouter::kEnter);
    if (home.settle(kStopLimit))
        return;
    std::fprintf(stderr, "a run goes on %lld s after ENTER, past its step limit\n",
                 static_cast<long long>(kStopLimit.count()));
    home.calc.parser().programQueue().stopProgramThread();
    if (!home.settle(kStopLimit)) {
        std::fprintf(stderr, "a run goes on %lld s after ON\n", static_cast<long long>(kStopLimit.count()));
        std::abort();
    }
}

void runText(cases::Home& home, std::string_view text)
{
    int lines = 0;
    std::string program;
    std::string source;
    bool inProgram = false;
    while (!text.empty() && lines < kMaxLines) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (inProgram) {
            if (line == "@end") {
                inProgram = false;
                std::string bad;
                if (const auto ops = entryText().toOps(source, bad))
                    home.programs->store(program, *ops);
            } else {
                source += source.empty() ? "" : "\n";
                source += line;
            }
            continue;
        }
        if (line.starts_with("@program ")) {
            inProgram = true;
            program = std::string(trimmed(line.substr(9)));
            source.clear();
            continue;
        }
        if (line.empty() || line.starts_with('#') || line.starts_with('@'))
            continue;
        if (const std::size_t arrow = line.rfind("=>"); arrow != std::string_view::npos)
            line = trimmed(line.substr(0, arrow));
        std::string bad;
        const auto ops = line == "<empty>" ? Ops{} : entryText().toOps(line, bad);
        if (!ops)
            continue;
        ++lines;
        enter(home, *ops);
    }
}

// The calculators every input reuses.
struct Reused {
    Reused()
    {
        AppDelegate::installManagers(again);
        ProgramQueue& queue = home.calc.parser().programQueue();
        queue.setStepLimit(stepLimit());
        // The end of the last run wakes the main thread at once, which would otherwise look
        // again only some milliseconds later: most lines take less.
        queue.setIdleHandler([&main = home.main] { main.post([] {}); });
    }
    ~Reused() { home.calc.parser().programQueue().setIdleHandler(nullptr); }

    cases::Home home{false};
    // What each input starts from, read once.
    const nlohmann::json factory = *MemoryArchive::parse(MemoryArchive::save(home.calc));
    NotificationCenter bus;
    Calculator again{test::kUS, bus};
};

// The home calculator as a fresh one: the factory state, no programs, no equations and no
// output.
cases::Home& freshHome(Reused& reused)
{
    cases::Home& home = reused.home;
    MemoryArchive::apply(home.calc, reused.factory);
    home.programs->clear();
    home.output->clear();
    home.calc.yEqManager = std::make_shared<testing::CompilingYEq>(home.calc.parser());
    return home;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto first = static_cast<std::uint8_t>(input[0]);
    static Reused reused;
    cases::Home& home = freshHome(reused);
    if (first < 0x08) {
        enter(home, rawTokens(input.substr(1)));
    } else if (first >= 0x0E && first < 0x20) {
        std::string bad;
        if (const auto ops = entryText().toOps(input.substr(1), bad)) {
            home.programs->store("F", *ops);
            enter(home, *entryText().toOps("prgmF", bad));
        }
    } else {
        runText(home, input);
    }

    // Whatever the lines left is saved, and what is saved restores.
    const auto saved = MemoryArchive::save(home.calc);
    Calculator& again = reused.again;
    again.initMemory({saved});
    (void)again.getAns();
    const auto state = again.locked();
    for (const auto& [name, list] : state->lists)
        (void)again.formatList(&list);
    return 0;
}
