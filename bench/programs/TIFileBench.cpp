// Importing a calculator variable file of 100 programs and 50 lists of 999 elements (a
// class's worth of handouts): reading and checking the file, storing the lists, writing the
// 100 program files. It should stay well under 100 ms. Also the export of the same.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/TIFileReader.h"
#include "programs/TIFileWriter.h"
#include "programs/TIVarFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <numeric>
#include <string>

namespace orvenda {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Ops = ProgramFiles::Ops;

struct Source {
    QTemporaryDir folder;
    Calculator calc{LocaleFormats{"h a", "MMMM d, y"}};
    std::shared_ptr<YEqModel> equations = std::make_shared<YEqModel>(calc);
    std::shared_ptr<ProgramFiles> files = std::make_shared<ProgramFiles>(folder.path() + "/programs");
    std::shared_ptr<ProgramModel> programs = std::make_shared<ProgramModel>(calc, files);
};

// The entries of the writers' files in one file.
Bytes oneFile(const std::vector<Bytes>& files)
{
    Bytes entries;
    for (const Bytes& f : files)
        entries.insert(entries.end(), f.begin() + TIVarFile::kDataOffset, f.end() - 2);
    Bytes file(TIVarFile::exportSignature().begin(), TIVarFile::exportSignature().end());
    file.resize(TIVarFile::kFraming - 2 + entries.size(), 0);
    if (entries.size() >= TIVarFile::kLengthEscape) {
        TIVarFile::putWord(&file[TIVarFile::kLengthOffset], TIVarFile::kLengthEscape);
        TIVarFile::putWord(&file[TIVarFile::kLongLengthOffset], entries.size());
        file[TIVarFile::kLongLengthOffset + 2] = static_cast<std::uint8_t>(entries.size() >> 16);
    } else {
        TIVarFile::putWord(&file[TIVarFile::kLengthOffset], entries.size());
    }
    std::copy(entries.begin(), entries.end(), file.begin() + TIVarFile::kDataOffset);
    file.resize(file.size() + 2);
    TIVarFile::putWord(&file[file.size() - 2], TIVarFile::checksum(entries));
    return file;
}

// 100 programs of about 300 opcodes with their metadata, 50 lists of 999 elements.
Bytes handouts(Source& s)
{
    const Ops line{0xCE, 'A', 0x6C, 0x30, 0x3F, 0xDE, 0x2A, 0xBBB7, 0xBBB8, 0x2A, 0x3F, 'A', 0x70, '1', 0x04, 'A', 0x3F};
    std::vector<std::string> names, lists;
    for (int p = 0; p < 100; ++p) {
        Ops ops;
        while (ops.size() < 300)
            ops.insert(ops.end(), line.begin(), line.end());
        names.push_back("P" + std::to_string(p));
        s.files->write(names.back(), {ops, std::vector<std::string>{"handout"}, "Exercise " + std::to_string(p), "", 0u});
    }
    {
        const auto state = s.calc.locked();
        for (int l = 0; l < 50; ++l) {
            VQList list;
            for (int k = 0; k < 999; ++k)
                list.addReal(k * 0.125 - l, 15, -15);
            lists.push_back("L" + std::string(1, static_cast<char>('A' + l % 26)) + std::to_string(l / 26));
            state->lists[lists.back()] = list;
        }
    }
    int error = 0;
    return oneFile({*TIFileWriter::dataWithPrograms(*s.programs, names, true, error),
        *TIFileWriter::dataWithLists(s.calc, lists, error)});
}

// With the programs, and the lists alone (which writes no file).
void BM_ImportHandouts(benchmark::State& state)
{
    Source source;
    Bytes file = handouts(source);
    if (state.range(0) == 0) {
        int error = 0;
        std::vector<std::string> lists;
        for (const auto& [name, list] : source.calc.locked()->lists)
            if (list.count() == 999)
                lists.push_back(name);
        file = *TIFileWriter::dataWithLists(source.calc, lists, error);
    }
    Source target;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(target.files->folder()).removeRecursively();
        state.ResumeTiming();
        auto reader = TIFileReader::tiFileIOWithData(file, {target.calc, *target.equations, *target.programs});
        if (!reader || reader->loadVars() != 0)
            state.SkipWithError("the file did not import");
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_ImportHandouts)->ArgName("withPrograms")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ExportHandouts(benchmark::State& state)
{
    Source source;
    handouts(source);
    const std::vector<std::string> names = source.files->programListOf(1);
    for (auto _ : state) {
        int error = 0;
        benchmark::DoNotOptimize(TIFileWriter::dataWithPrograms(*source.programs, names, true, error));
    }
}
BENCHMARK(BM_ExportHandouts)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
