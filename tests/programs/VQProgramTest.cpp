// The program record: its limits, its reads past the end and its ranges.

#include "programs/VQProgram.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using Ops = VQProgram::Ops;

TEST(VQProgramTest, GrowsByStepsAndStopsAtItsLimit)
{
    VQProgram p;
    EXPECT_EQ(p.allocatedSize(), 2000);
    for (int i = 0; i < 2001; ++i)
        p.appendOpcode('A');
    EXPECT_EQ(p.allocatedSize(), 3000);
    p.insertOpcodes(Ops(5000, 'B'), 1);
    EXPECT_EQ(p.length(), 7001);
    EXPECT_GE(p.allocatedSize(), 7001);
    p.clear();
    EXPECT_EQ(p.length(), 0);
    EXPECT_GE(p.allocatedSize(), 7001);

    VQProgram full = VQProgram::programWithOps(Ops(VQProgram::kMaxOps, 'A'));
    ASSERT_EQ(full.length(), 65535);
    full.appendOpcode('B');
    // Inserting stops at the same limit as appending.
    full.insertOpcode('B', 0);
    full.insertOpcodes(Ops{'B'}, 0);
    EXPECT_EQ(full.length(), 65535);
    EXPECT_EQ(full.opcodeAtIndex(0), std::uint32_t{'A'});
}

TEST(VQProgramTest, ReadsAtOrPastTheEndGiveZero)
{
    const VQProgram p = VQProgram::programWithOps(Ops{0x41, 0xBB5D0001u});
    EXPECT_EQ(p.opcodeAtIndex(1), 0xBB5D0001u);
    EXPECT_EQ(p.opcodeAtIndex(2), 0u);
    EXPECT_EQ(p.opcodeAtIndex(70000), 0u);
    EXPECT_EQ(p.opcodeAtIndex(-1), 0u);
    EXPECT_EQ(VQProgram().opcodeAtIndex(0), 0u);
}

TEST(VQProgramTest, InsertingClampsItsIndex)
{
    VQProgram p = VQProgram::programWithOps(Ops{'A', 'B'});
    p.insertOpcode('C', 99);
    p.insertOpcode('D', -5);
    p.insertOpcodes(Ops{'E', 'F'}, 99);
    EXPECT_EQ(p.array(), (Ops{'D', 'A', 'B', 'C', 'E', 'F'}));
}

TEST(VQProgramTest, RangesAreCutAtTheEnd)
{
    VQProgram p = VQProgram::programWithOps(Ops{1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(p.cpyRange(5, 10), (Ops{6, 7, 8}));
    EXPECT_EQ(p.cpyRange(8, 1), std::nullopt);
    EXPECT_EQ(p.cpyRange(0, 0), Ops{});
    // A range reaching past the end removes nothing.
    p.deleteRange(6, 3);
    EXPECT_EQ(p.length(), 8);
    p.deleteRange(6, 2);
    p.deleteOpcodeAt(0);
    p.setOpcode(9, 0);
    p.setOpcode(9, 5);
    EXPECT_EQ(p.array(), (Ops{9, 3, 4, 5, 6}));
}

TEST(VQProgramTest, DescriptionNamesEachOpcode)
{
    EXPECT_EQ(VQProgram().description(), "<empty>");
    EXPECT_EQ(VQProgram::programWithOps(Ops{0x41, 0x3F, 0x29}).description(), "   0¦A\n   1¦newline\n   2¦␠\n");
}

} // namespace
} // namespace orvenda
