#include "language/VariableSlots.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <set>

using orvenda::VariableSlots;

namespace {

// Stands in for the vocabulary: names a token by its hexadecimal code, so a test sees
// exactly which token a slot was named through.
std::string hexName(uint32_t op)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "op(%X)", op & 0xFFFF);
    return buf;
}

} // namespace

TEST(VariableSlots, LettersThetaAndEta)
{
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(0), 0x41u);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(25), 0x5Au);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(26), 0x5Bu);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(27), 0xBBAAu);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x41), 0);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x5A), 25);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x5B), 26);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0xBBAA), 27);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x40), -1);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x5C), -1);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0xBBA9), -1);
}

TEST(VariableSlots, WindowAndFinancePage)
{
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(28), 0x6300u);  // ZXscl
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(38), 0x630Au);  // Xmin
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(71), 0x632Bu);  // ɴ
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(86), 0x633Au);  // begin/end
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x6300), 28);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x630D), 41);    // Ymax
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633A), 86);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633D), -1);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x62FF), -1);
}

TEST(VariableSlots, ScreenSizeSlotsAreReachedButGiveNoToken)
{
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633B), 87);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633C), 88);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(87), 0xFFFFFFFFu);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(88), 0xFFFFFFFFu);
}

TEST(VariableSlots, StatisticsPageAndItsOneWayTail)
{
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(89), 0x6200u);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(91), 0x6202u);  // n
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(149), 0x623Cu);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x6200), 89);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x623C), 149);
    // σ .. C-Level give their tokens, but no token leads back to them.
    for (int32_t slot = 150; slot <= 158; ++slot) {
        const uint32_t token = VariableSlots::opcodeFromVarNum(slot);
        EXPECT_EQ(token, 0x623Du + static_cast<uint32_t>(slot - 150));
        EXPECT_EQ(VariableSlots::varNumFromOpcode(token), -1) << slot;
    }
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(158), 0x6245u);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x6245), -1);
}

TEST(VariableSlots, SlotsWithoutToken)
{
    for (int32_t slot : {-1, -1000, 159, 200, 217, 218, 100000})
        EXPECT_EQ(VariableSlots::opcodeFromVarNum(slot), 0xFFFFFFFFu) << slot;
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0xFFFFFFFF), -1);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x5E10), -1);
}

TEST(VariableSlots, TemplateHalfOfAnOpIsIgnored)
{
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x00050041), 0);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x1234630A), 38);
}

TEST(VariableSlots, RoundTripWhereBothDirectionsExist)
{
    std::set<uint32_t> tokens;
    for (int32_t slot = 0; slot < VariableSlots::kSlotCount; ++slot) {
        const uint32_t token = VariableSlots::opcodeFromVarNum(slot);
        if (token == VariableSlots::kNoToken)
            continue;
        EXPECT_TRUE(tokens.insert(token).second) << "two slots share token " << token;
        if (slot < 150) {
            EXPECT_EQ(VariableSlots::varNumFromOpcode(token), slot);
        }
    }
    EXPECT_EQ(tokens.size(), 27u + 1u + 59u + 70u);
}

TEST(VariableSlots, Names)
{
    ASSERT_EQ(VariableSlots::variableNames().size(), 59u);
    EXPECT_EQ(VariableSlots::variableNames().front(), "hypothesis");
    EXPECT_EQ(VariableSlots::nameForVariable(159, hexName), "hypothesis");
    EXPECT_EQ(VariableSlots::nameForVariable(198, hexName), "GEOM_ECCENTRICY");
    EXPECT_EQ(VariableSlots::nameForVariable(211, hexName), "GEOM_COS_A");
    EXPECT_EQ(VariableSlots::nameForVariable(212, hexName), "u1");
    EXPECT_EQ(VariableSlots::nameForVariable(217, hexName), "w2");
    EXPECT_EQ(VariableSlots::nameForVariable(218, hexName), std::nullopt);
    EXPECT_EQ(VariableSlots::nameForVariable(100000, hexName), std::nullopt);
    // Below the internal slots the name is that of the slot's token.
    EXPECT_EQ(VariableSlots::nameForVariable(26, hexName), "op(5B)");
    EXPECT_EQ(VariableSlots::nameForVariable(27, hexName), "op(BBAA)");
    EXPECT_EQ(VariableSlots::nameForVariable(158, hexName), "op(6245)");
    // A slot without a token is named through the lookup's fallback.
    EXPECT_EQ(VariableSlots::nameForVariable(87, hexName), "op(FFFF)");
    EXPECT_EQ(VariableSlots::nameForVariable(-1, hexName), "op(FFFF)");
}

TEST(VariableSlots, NamesThroughTheVocabulary)
{
    const auto& vocabulary = orvenda::Vocabulary::shared();
    const auto name = [&](uint32_t op) { return vocabulary.nameForOpcode(op); };
    EXPECT_EQ(VariableSlots::nameForVariable(0, name), "A");
    EXPECT_EQ(VariableSlots::nameForVariable(26, name), "θ");
    EXPECT_EQ(VariableSlots::nameForVariable(27, name), "η");
    EXPECT_EQ(VariableSlots::nameForVariable(38, name), "Xmin");
    EXPECT_EQ(VariableSlots::nameForVariable(71, name), "ɴ");
    EXPECT_EQ(VariableSlots::nameForVariable(86, name), "begin/end");
    EXPECT_EQ(VariableSlots::nameForVariable(87, name), "op(FFFF)");
    EXPECT_EQ(VariableSlots::nameForVariable(91, name), "n");
    EXPECT_EQ(VariableSlots::nameForVariable(158, name), "C-Level");
    EXPECT_EQ(VariableSlots::nameForVariable(212, name), "u1");
}
