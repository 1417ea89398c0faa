// Every way a list, string or matrix is made or grows is refused with the Memory error once
// a save could no longer keep the state whole, and never before.

#include "ProgramTestSupport.h"
#include "core/MemoryArchive.h"
#include "eval/StatementInterpreter.h"
#include "language/ErrorNumbers.h"

#include <gtest/gtest.h>

#include <string>

namespace orvenda {
namespace {

using testing::ProgramHarness;
using Ops = std::vector<std::uint32_t>;

void countArchive(const nlohmann::json& v, MemoryArchive::Bounds& into)
{
    ++into.values;
    if (v.is_structured()) {
        ++into.containers;
        for (const nlohmann::json& child : v)
            countArchive(child, into);
    }
}

// What a save of the state holds now, as its bounds count it.
MemoryArchive::Bounds archiveNow(Calculator& calc)
{
    const Calculator::Archive bytes = MemoryArchive::save(calc);
    MemoryArchive::Bounds now{bytes.size(), 0, 0, 0};
    countArchive(*MemoryArchive::parse(bytes), now);
    return now;
}

// Each door from the state it starts from, with room for 1000 more values (lists, strings)
// or 15000 more bytes (matrices): the smaller value goes in, the larger is then refused, and
// what went in is saved whole. "Input" is an answer typed at a program's prompt.
TEST(ArchiveRoom, EveryWayAValueIsMadeIsRefusedPastWhatASaveKeeps)
{
    const std::string str640 = "\"ABCDEFGHIJ\"->Str1:For(I,1,6):Str1+Str1->Str1:End";
    const struct {
        std::string setup, fits, refused;
        bool bytes = false;
    } doors[] = {
        {"", "seq(I,I,1,100)->L₂", "seq(I,I,1,300)->L₂"},
        {"", "seq(I,I,1,100)->ʟABC", "seq(I,I,1,300)->ʟABC"},
        {"", "seq(I,I,1,100)->B", "seq(I,I,1,300)->B"},
        {"", "100->dim(L₂)", "300->dim(L₂)"},
        {"seq(I,I,1,150)->L₁", "augment(L₁,{1})->L₂", "augment(L₁,L₁)->L₂"},
        {"", "For(I,1,100):I->L₂(I):End", "For(I,1,300):I->L₂(I):End"},
        {"{0}->L₂", "For(I,1,100):augment(L₂,{I})->L₂:End", "For(I,1,300):augment(L₂,{I})->L₂:End"},
        {"randM(99,3)->[A]:randM(50,2)->[B]", "Matr▸list([B],L₂,L₃)", "Matr▸list([A],L₂,L₃,L₄)"},
        {"", "seq(I,I,1,100)->TblInput", "seq(I,I,1,300)->TblInput"},
        {"", "Input 100", "Input 300"},
        {str640, "Str1->Str2", "Str1+Str1->Str2"},
        {str640, "Str1+\"A\"->Str1", "For(I,1,2):Str1+Str1->Str1:End"},
        {str640, "Str1+Str1", "Str1+Str1+Str1"},
        {"", "randM(10,10)->[A]", "randM(50,50)->[A]", true},
        {"", "{10,10}->dim([A])", "{50,50}->dim([A])", true},
        {"seq(I,I,1,999)->L₁", "List▸matr({1,2},{3,4},[A])", "List▸matr(L₁,L₁,[A])", true},
    };
    const auto enter = [](ProgramHarness& h, const std::string& line) {
        if (!line.starts_with("Input "))
            return h.run(line).error;
        Operand answer, target;
        answer.kind = KindRealList;
        answer.list = std::make_shared<VQList>(VQList::listSeqStart(1, std::stoi(line.substr(6))));
        target.kind = KindVariable;
        target.var.subKind = VarList;
        target.var.name = "L₂";
        const auto hold = h.calc.lockState();
        h.parser().setError(0);
        StatementInterpreter::storeAnswer(h.parser(), answer, target);
        return h.parser().error();
    };
    for (const auto& door : doors) {
        SCOPED_TRACE(door.refused);
        ProgramHarness h;
        if (!door.setup.empty()) {
            ASSERT_EQ(h.run(door.setup).error, 0);
        }
        h.enter("0");
        const MemoryArchive::Bounds now = archiveNow(h.calc);
        MemoryArchive::Bounds room;
        (door.bytes ? room.bytes : room.values) = door.bytes ? now.bytes + 15000 : now.values + 1000;
        {
            const auto hold = h.calc.lockState();
            h.calc.setArchiveBounds(room);
        }
        EXPECT_EQ(enter(h, door.fits), 0);
        EXPECT_EQ(enter(h, door.refused), ErrMemory);
        h.enter("0");
        MemoryArchive::LeftOut leftOut;
        MemoryArchive::save(h.calc, &leftOut);
        EXPECT_FALSE(leftOut.any());
    }
}

// At the archive's own bounds: a string filling the values a save holds leaves room for no
// store of any kind, nor for a longer string; once it is gone, lists of 999 numbers go in
// until they fill the lists and maps a save holds (each takes 1001): some thousand, never
// the 2000 that would hold a gigabyte.
TEST(ArchiveRoom, TheMemoryErrorComesAtTheArchivesOwnBounds)
{
    ProgramHarness h;
    h.enter("0");
    const std::size_t room = MemoryArchive::kMaxValues - archiveNow(h.calc).values;
    {
        const auto hold = h.calc.lockState();
        ASSERT_TRUE(h.calc.storeString(0, Ops(room, 0x41)));
        EXPECT_FALSE(h.calc.storeString(1, Ops(1, 0x41)));
    }
    for (const char* line : {"\"A\"->Str2", "{1}->L₁", "[[1]]->[A]", "Str1+Str1", "1->dim(L₁)"})
        EXPECT_EQ(h.enter(line).error, ErrMemory) << line;
    ASSERT_EQ(h.enter("\"\"->Str1").error, 0);
    EXPECT_EQ(h.enter("[[1]]->[A]").error, 0);

    h.enter("0");
    const std::size_t containers = archiveNow(h.calc).containers;
    const VQList numbers = VQList::listSeqStart(1, 999);
    int stored = 0;
    const auto hold = h.calc.lockState();
    while (stored < 2000 && h.calc.storeList("N" + std::to_string(stored), numbers))
        ++stored;
    EXPECT_EQ(stored, static_cast<int>((MemoryArchive::kMaxContainers - containers) / 1001));
}

} // namespace
} // namespace orvenda
