// Any bytes as a program file and as a sample program's JSON. Reading never fails loudly:
// what is read writes back as the same dictionary; a file opened in the editor lays out,
// answers the cursor's reads and saves as it was read (one longer than a program may be
// opens empty and read-only).

#include "FuzzCheck.h"

#include "core/Calculator.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

using namespace orvenda;

namespace {

using fuzz::check;

void checkDict(const std::optional<ProgramFiles::Dict>& dict, bool json)
{
    if (!dict)
        return;
    const auto again = json ? ProgramFiles::dictFromJson(ProgramFiles::jsonFor(*dict))
                            : ProgramFiles::dictFromPlist(ProgramFiles::plistFor(*dict));
    check(again.has_value());
    // Texts with bytes that are no UTF-8 may be written differently; the opcodes stay.
    check(again->prgm == dict->prgm);
    check(again->flags == dict->flags);
}

struct Editor {
    QTemporaryDir folder;
    Calculator calc{LocaleFormats{"h a", "MMMM d, y"}};
    std::shared_ptr<ProgramFiles> files = std::make_shared<ProgramFiles>(folder.path());
    std::shared_ptr<ProgramModel> model = std::make_shared<ProgramModel>(calc, files);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    const auto dict = ProgramFiles::dictFromPlist(bytes);
    checkDict(dict, false);
    const auto array = ProgramFiles::opsFromPlistArray(bytes);
    checkDict(ProgramFiles::dictFromJson(std::string_view(bytes.data(), bytes.size())), true);

    if (!dict && !array)
        return 0;
    static Editor editor;
    QFile file(editor.folder.path() + "/F");
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()));
    file.close();
    ProgramModel& model = *editor.model;
    model.loadProgram("F");
    const int length = model.program().length();
    const std::size_t read = dict ? dict->prgm.value_or(ProgramFiles::Ops{}).size() : array->size();
    check(model.tooLarge() ? length == 0 && read > ProgramFiles::kMaxOps : length == static_cast<int>(read));
    check(model.program().opcodeAtIndex(length) == 0);
    for (int line = 0; line < model.numLines(); ++line)
        check(model.screenLine(line).has_value());
    model.cursorBottom();
    model.cursorUp();
    model.cursorEnd();
    check(model.prgmEditCursor() >= 0 && model.prgmEditCursor() <= length);
    // An older array was written in today's form when opened.
    check(editor.files->opsFor("F").value_or(ProgramFiles::Ops{}) == model.program().array());
    model.loadProgram("");
    return 0;
}
