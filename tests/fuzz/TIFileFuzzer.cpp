// Any bytes as a calculator variable file, and the same bytes as the entries of an intact
// file of each signature (so the length and checksum do not stop the reader at the door).
// The reader answers 1 or an error of the import, reads nothing past the data (the
// sanitizers watch), and what it stored is what the calculator can hold: lists of 1 to 999
// elements, matrices of 1 to 99 rows and columns, programs under program names within the
// program limit. What arrived goes out through the writers and comes back the same.

#include "FuzzCheck.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/GDBManager.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/TIFileReader.h"
#include "programs/TIFileWriter.h"
#include "programs/TIVarFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

using namespace orvenda;

namespace {

using fuzz::check;
using Bytes = std::vector<std::uint8_t>;

// Graph databases kept in memory.
class MemoryGDBs : public GDBManager {
public:
    std::map<std::string, Bytes> bodies;

protected:
    bool isSaved(const std::string& name) override { return bodies.contains(name); }
    bool save(const std::string&) override { return false; }
    void remove(const std::string& name) override { bodies.erase(name); }
    bool saveData(const std::string& name, std::span<const std::uint8_t> data) override
    {
        bodies[name].assign(data.begin(), data.end());
        return true;
    }
    std::optional<Bytes> storedData(const std::string& name) const override
    {
        const auto found = bodies.find(name);
        return found == bodies.end() ? std::nullopt : std::optional(found->second);
    }
};

// A calculator with its equations and programs, made once; each run starts it empty.
struct Side {
    QTemporaryDir folder;
    Calculator calc{LocaleFormats{"h a", "MMMM d, y"}};
    std::shared_ptr<YEqModel> equations = std::make_shared<YEqModel>(calc);
    std::shared_ptr<ProgramFiles> files = std::make_shared<ProgramFiles>(folder.path() + "/programs");
    std::shared_ptr<ProgramModel> programs = std::make_shared<ProgramModel>(calc, files);
    std::set<std::string> lists;

    void reset()
    {
        QDir(files->folder()).removeRecursively();
        const auto state = calc.locked();
        state->lists.clear();
        for (VQMatrix& m : state->matrices)
            m = VQMatrix();
        for (auto& s : state->strings)
            s.clear();
        lists.clear();
    }
    int load(const Bytes& data)
    {
        auto reader = TIFileReader::tiFileIOWithData(data, {calc, *equations, *programs});
        if (!reader)
            return 1;
        reader->stored = [this](const std::string& item) {
            if (item.starts_with("list "))
                lists.insert(item.substr(5));
        };
        return reader->loadVars();
    }
};

Bytes framed(const std::uint8_t* data, std::size_t size, const char* signature)
{
    Bytes file(signature, signature + 8);
    file.insert(file.end(), {0x1A, 0x0A, 0x00});
    file.resize(TIVarFile::kLengthOffset, 0);
    file.push_back(static_cast<std::uint8_t>(size & 0xFF));
    file.push_back(static_cast<std::uint8_t>(size >> 8));
    file.insert(file.end(), data, data + size);
    const std::uint16_t sum = TIVarFile::checksum(std::span(data, size));
    file.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    file.push_back(static_cast<std::uint8_t>(sum >> 8));
    return file;
}

bool importError(int result)
{
    return result == 0 || result == 1 || result == 29 || result == 74 || (result >= 76 && result <= 79);
}

// What one side holds is what the calculator can hold, and goes out and comes back.
void checkStored(Side& from, Side& to)
{
    std::vector<std::string> names;
    {
        const auto state = from.calc.locked();
        for (const auto& [name, list] : state->lists) {
            check(list.count() >= 1 && list.count() <= TIVarFile::kMaxListCount);
            names.push_back(name);
        }
        for (const VQMatrix& m : state->matrices)
            check(m.dimRow() <= 99 && m.dimCol() <= 99 && (m.dimRow() == 0) == (m.dimCol() == 0));
    }
    const std::vector<std::string> programs = from.files->programListOf(1);
    for (const std::string& name : programs) {
        check(ProgramFiles::isProgramName(name));
        check(from.files->opsFor(name).value_or(ProgramFiles::Ops{}).size() <= 0xFFFF);
    }

    int error = -1;
    to.reset();
    if (!programs.empty()) {
        const auto out = TIFileWriter::dataWithPrograms(*from.programs, programs, true, error);
        check(out.has_value() || error == 70);
        if (out) {
            check(to.load(*out) == 0);
            for (const std::string& name : programs)
                check(to.files->opsFor(name) == from.files->opsFor(name));
        }
    }
    std::vector<std::string> listNames(from.lists.begin(), from.lists.end());
    if (!listNames.empty()) {
        const auto out = TIFileWriter::dataWithLists(from.calc, listNames, error);
        check(out.has_value() || error == 70);
        if (out)
            check(to.load(*out) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto gdbs = [] {
        auto manager = std::make_shared<MemoryGDBs>();
        GDBManager::setShared(manager);
        return manager;
    }();
    static Side side, other;

    side.reset();
    gdbs->bodies.clear();
    const Bytes whole(data, data + size);
    check(importError(side.load(whole)));
    checkStored(side, other);

    if (size > TIVarFile::kMaxEntryData)
        return 0;
    for (const char* signature : {"**TI83F*", "**TI83**", "**TI82**"}) {
        side.reset();
        const int result = side.load(framed(data, size, signature));
        check(result != 1 && importError(result));
        checkStored(side, other);
    }
    for (const auto& [name, body] : gdbs->bodies)
        check(body.size() >= 2 && TIVarFile::word(body.data()) == body.size());
    return 0;
}
