// The stored programs as the program menu and the editor reach them: listing a folder of
// 500 program files (the names alone, and with each one's tags and description as the
// library shows them), and opening a program of 10 000 opcodes in the editor (reading the
// file, laying out its screen lines). Both should stay well under 50 ms.

#include "core/Calculator.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace orvenda {
namespace {

using Ops = ProgramFiles::Ops;

// A program line as programs are written: a store, a Disp, an If.
Ops someLines(int opcodes)
{
    const Ops lines[] = {
        {'A', 0x70, 'B', 0x82, 0x31, 0x30, 0x04, 'C', 0x3F},
        {0xDE, 0x2A, 'S', 'U', 'M', 0x2A, 0x2B, 0xB6, 0x10, 0x5D00, 0x11, 0x3F},
        {0xCE, 'A', 0x6C, 0x30, 0x3E, 0xBB0A | (2u << 16), 0x31, 0x2B, 0x36, 0x11, 0x04, 'D', 0x3F},
    };
    Ops ops;
    for (std::size_t i = 0; static_cast<int>(ops.size()) < opcodes; ++i)
        ops.insert(ops.end(), lines[i % 3].begin(), lines[i % 3].end());
    ops.resize(static_cast<std::size_t>(opcodes));
    return ops;
}

void BM_ListProgramFiles(benchmark::State& state)
{
    QTemporaryDir folder;
    Calculator calc(LocaleFormats{"h a", "MMMM d, y"});
    const auto stored = std::make_shared<ProgramFiles>(folder.path());
    const ProgramFiles& files = *stored;
    const ProgramModel model(calc, stored);
    for (int i = 0; i < 500; ++i)
        files.write("P" + std::to_string(i), {someLines(60), std::vector<std::string>{"Tag" + std::to_string(i % 7)},
                                                "Program " + std::to_string(i), "", 0u});
    const bool details = state.range(0) != 0;
    for (auto _ : state) {
        std::size_t listed = 0;
        for (const std::string& name : files.programListOf(0)) {
            if (details)
                benchmark::DoNotOptimize(model.libraryEntry(name));
            ++listed;
        }
        if (listed != 529)
            state.SkipWithError("not every program listed");
    }
}
BENCHMARK(BM_ListProgramFiles)->ArgName("withTagsAndDescriptions")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenLongProgram(benchmark::State& state)
{
    QTemporaryDir folder;
    Calculator calc(LocaleFormats{"h a", "MMMM d, y"});
    auto files = std::make_shared<ProgramFiles>(folder.path());
    files->addProgram("LONG", someLines(10000));
    ProgramModel model(calc, files);
    for (auto _ : state) {
        model.loadProgram("LONG");
        if (model.program().length() != 10000)
            state.SkipWithError("not opened whole");
        benchmark::DoNotOptimize(model.numLines());
        // Opened afresh each time.
        model.loadProgram("");
    }
}
BENCHMARK(BM_OpenLongProgram)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
