#include "language/VariableSlots.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <set>

using orvenda::VariableSlots;

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// Stands in for the vocabulary: names a token by its hexadecimal code, so a test sees
// exactly which token a slot was named through.
std::string hexName(uint32_t op)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "op(%X)", op & 0xFFFF);
    return buf;
}

} // namespace

TEST(VariableSlots, SlotsAndTokensBothWays)
{
    // Letters, θ, η, the window and finance page, statistics.
    const std::pair<int32_t, uint32_t> both[] = {
        {0, 0x41}, {25, 0x5A}, {26, 0x5B}, {27, 0xBBAA}, {28, 0x6300}, {38, 0x630A},
        {41, 0x630D}, {71, 0x632B}, {86, 0x633A}, {89, 0x6200}, {91, 0x6202}, {149, 0x623C},
    };
    for (const auto& [slot, token] : both) {
        EXPECT_EQ(VariableSlots::opcodeFromVarNum(slot), token) << slot;
        EXPECT_EQ(VariableSlots::varNumFromOpcode(token), slot) << slot;
    }
    // The screen size slots are reached but give no token.
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633B), 87);
    EXPECT_EQ(VariableSlots::varNumFromOpcode(0x633C), 88);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(87), kNone);
    EXPECT_EQ(VariableSlots::opcodeFromVarNum(88), kNone);
    // σ .. C-Level give their tokens, but no token leads back to them.
    for (int32_t slot = 150; slot <= 158; ++slot) {
        const uint32_t token = VariableSlots::opcodeFromVarNum(slot);
        EXPECT_EQ(token, 0x623Du + static_cast<uint32_t>(slot - 150));
        EXPECT_EQ(VariableSlots::varNumFromOpcode(token), -1) << slot;
    }
    for (int32_t slot : {-1, -1000, 159, 200, 217, 218, 100000})
        EXPECT_EQ(VariableSlots::opcodeFromVarNum(slot), kNone) << slot;
    for (uint32_t token : {0x40u, 0x5Cu, 0xBBA9u, 0x633Du, 0x62FFu, 0x6245u, kNone, 0x5E10u})
        EXPECT_EQ(VariableSlots::varNumFromOpcode(token), -1) << std::hex << token;
    // The template half of an op is ignored.
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
    const std::pair<int32_t, const char*> names[] = {
        {159, "hypothesis"}, {198, "GEOM_ECCENTRICY"}, {211, "GEOM_COS_A"}, {212, "u1"}, {217, "w2"},
        // Below the internal slots the name is that of the slot's token...
        {26, "op(5B)"}, {27, "op(BBAA)"}, {158, "op(6245)"},
        // ...and a slot without a token is named through the lookup's fallback.
        {87, "op(FFFF)"}, {-1, "op(FFFF)"},
    };
    for (const auto& [slot, name] : names)
        EXPECT_EQ(VariableSlots::nameForVariable(slot, hexName), name) << slot;
    EXPECT_EQ(VariableSlots::nameForVariable(218, hexName), std::nullopt);
    EXPECT_EQ(VariableSlots::nameForVariable(100000, hexName), std::nullopt);
}
