#include "language/UnitNames.h"

#include <gtest/gtest.h>

using orvenda::UnitNames;

namespace {

constexpr uint32_t conversion(uint32_t c, uint32_t f, uint32_t t)
{
    return 0xBB5D + (c << 26) + (f << 21) + (t << 16);
}

constexpr uint32_t constant(uint32_t i) { return 0xBB5E + (i << 16); }

} // namespace

TEST(UnitNames, ClassTables)
{
    ASSERT_EQ(UnitNames::conversionType().size(), 12u);
    ASSERT_EQ(UnitNames::conversionList().size(), 12u);
    ASSERT_EQ(UnitNames::conversionFList().size(), 12u);
    EXPECT_EQ(UnitNames::conversionType()[0], "Area");
    EXPECT_EQ(UnitNames::conversionType()[7], "Temp");
    EXPECT_EQ(UnitNames::conversionType()[11], "SI Prefix");

    const std::size_t counts[12] = {11, 10, 8, 20, 12, 7, 11, 4, 21, 10, 18, 21};
    for (uint32_t c = 0; c < 12; ++c) {
        EXPECT_EQ(UnitNames::unitCount(c), counts[c]) << c;
        EXPECT_EQ(UnitNames::conversionList()[c].size(), counts[c]) << c;
        EXPECT_EQ(UnitNames::conversionFList()[c].size(), counts[c]) << c;
        for (auto name : UnitNames::conversionList()[c])
            EXPECT_FALSE(name.empty());
    }
    EXPECT_EQ(UnitNames::unitCount(12), 0u);
    EXPECT_EQ(UnitNames::unitCount(0xFFFFFFFF), 0u);

    // Same text in both lists where the unit has no longer name.
    EXPECT_EQ(UnitNames::conversionList()[11][10], "one");
    EXPECT_EQ(UnitNames::conversionFList()[11][10], "one");
    EXPECT_EQ(UnitNames::conversionList()[0][10], "亩,畝,mǔ");
    EXPECT_EQ(UnitNames::conversionFList()[0][10], "亩,畝,mǔ");
    EXPECT_EQ(UnitNames::conversionList()[3][11], "Å");
    EXPECT_EQ(UnitNames::conversionFList()[3][9], "mircometer");
    EXPECT_EQ(UnitNames::conversionFList()[7][0], "degrees Farenheight");
    EXPECT_EQ(UnitNames::conversionList()[10][17], "bbl beer");
    EXPECT_EQ(UnitNames::conversionFList()[10][17], "barel beer");
}

TEST(UnitNames, ConstantTables)
{
    ASSERT_EQ(UnitNames::constNames().size(), 20u);
    ASSERT_EQ(UnitNames::constFullNames().size(), 20u);
    ASSERT_EQ(UnitNames::constDescription().size(), 20u);
    EXPECT_EQ(UnitNames::constNames()[3], "Na");
    EXPECT_EQ(UnitNames::constFullNames()[3], "NA Avogadro's number");
    EXPECT_EQ(UnitNames::constNames()[14], "e⁻");
    EXPECT_EQ(UnitNames::constNames()[19], "Cc");
    EXPECT_EQ(UnitNames::constDescription()[0], "299792458 m/s");
    EXPECT_EQ(UnitNames::constDescription()[19], "8.987551787368×10⁹ meters/farad");
    // Every full name starts with the short name, but for Avogadro's spelling.
    for (std::size_t i = 0; i < 20; ++i)
        if (i != 3) {
            EXPECT_EQ(UnitNames::constFullNames()[i].substr(0, UnitNames::constNames()[i].size()),
                      UnitNames::constNames()[i]) << i;
        }
}

TEST(UnitNames, ConversionAndConstantNames)
{
    const uint32_t ftToM = conversion(3, 3, 6);
    EXPECT_EQ(UnitNames::opcodeForClass(3, 3, 6), ftToM);
    EXPECT_EQ(UnitNames::speakNameForOp(ftToM), " ft to m");
    EXPECT_EQ(UnitNames::expandedNameForOp(ftToM), " foot▸meter");
    EXPECT_EQ(UnitNames::expandedNameForOp(conversion(0, 10, 0)), " 亩,畝,mǔ▸mile²");
    EXPECT_EQ(UnitNames::speakNameForOp(constant(8)), "mμ");
    // The full name of a constant op is still its short name.
    EXPECT_EQ(UnitNames::expandedNameForOp(constant(13)), "k");
    EXPECT_EQ(UnitNames::constantForOp(constant(19)), 19u);
    const auto c = UnitNames::conversionForOp(conversion(10, 17, 4));
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->unitClass, 10u);
    EXPECT_EQ(c->from, 17u);
    EXPECT_EQ(c->to, 4u);

    const std::pair<uint32_t, const char*> names[] = {
        {ftToM, " ft▸m"}, {conversion(7, 0, 2), " °F▸K"}, {conversion(11, 20, 10), " y▸one"},
        {0xBB5D, " mi²▸mi²"},          // class 0, unit 0 to unit 0 is still a conversion
        {ftToM | 0x80000000u, " ft▸m"}, // the top bit lies outside the class field
        {constant(3), "Na"}, {0xBB5E, "c"},
        // Out of range: the fallback, never a read past a table.
        {constant(20), "op(BB5E)"}, {constant(0xFFFF), "op(BB5E)"}, {conversion(12, 0, 0), "op(BB5D)"},
        {conversion(31, 31, 31), "op(BB5D)"}, {conversion(7, 4, 0), "op(BB5D)"}, // Temp has 4 units
        {conversion(7, 0, 4), "op(BB5D)"},
        // Not one of the two parameterised tokens.
        {0xBB5F, "op(BB5F)"}, {0x5C10, "op(5C10)"}, {0x00030041, "op(41)"},
    };
    for (const auto& [op, name] : names)
        EXPECT_EQ(UnitNames::nameForOp(op), name) << std::hex << op;
    EXPECT_EQ(UnitNames::speakNameForOp(constant(20)), "op(BB5E)");
    EXPECT_EQ(UnitNames::expandedNameForOp(constant(20)), "op(BB5E)");
    EXPECT_FALSE(UnitNames::constantForOp(constant(20)).has_value());
    EXPECT_EQ(UnitNames::speakNameForOp(conversion(5, 7, 0)), "op(BB5D)");
    EXPECT_EQ(UnitNames::expandedNameForOp(conversion(2, 0, 8)), "op(BB5D)");
    EXPECT_FALSE(UnitNames::conversionForOp(conversion(12, 0, 0)).has_value());
    EXPECT_EQ(UnitNames::fallbackName(0xFFFFFFFF), "op(FFFF)");
    EXPECT_EQ(UnitNames::fallbackName(0), "op(0)");
}

TEST(UnitNames, EveryPackedConversionIsNamedOrRefused)
{
    // Covers every value the three fields can take, so no combination reads past a table.
    for (uint32_t c = 0; c < 32; ++c)
        for (uint32_t f = 0; f < 32; ++f)
            for (uint32_t t = 0; t < 32; ++t) {
                const uint32_t op = conversion(c, f, t);
                const bool valid = c < 12 && f < UnitNames::unitCount(c) && t < UnitNames::unitCount(c);
                const std::string name = UnitNames::nameForOp(op);
                EXPECT_EQ(name == "op(BB5D)", !valid) << c << ' ' << f << ' ' << t;
                if (valid) {
                    ASSERT_EQ(name, " " + std::string(UnitNames::conversionList()[c][f]) + "▸" +
                                        std::string(UnitNames::conversionList()[c][t]));
                }
            }
}

TEST(UnitNames, ToFromHoldsAPairForEveryClass)
{
    UnitNames::ToFrom memory;
    for (uint32_t c = 0; c < 12; ++c) {
        EXPECT_EQ(memory.from(c), 0u);
        EXPECT_EQ(memory.to(c), 0u);
    }
    // The last class has its own row.
    EXPECT_TRUE(memory.set(11, 20, 10));
    EXPECT_EQ(memory.from(11), 20u);
    EXPECT_EQ(memory.to(11), 10u);
    EXPECT_TRUE(memory.set(3, 3, 6));
    EXPECT_EQ(memory.from(3), 3u);
    EXPECT_EQ(memory.to(3), 6u);
    EXPECT_EQ(memory.from(11), 20u);

    // Out of range: refused and nothing changes.
    EXPECT_FALSE(memory.set(12, 0, 0));
    EXPECT_FALSE(memory.set(7, 4, 0));
    EXPECT_FALSE(memory.set(7, 0, 4));
    EXPECT_EQ(memory.from(7), 0u);
    EXPECT_EQ(memory.from(12), 0u);
    EXPECT_EQ(memory.to(0xFFFFFFFF), 0u);
}
