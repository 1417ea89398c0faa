#include "language/Precedence.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

using orvenda::Precedence;

namespace {

using Range = std::pair<std::int32_t, std::int32_t>; // inclusive

void expectOrder(std::initializer_list<Range> ranges, std::int32_t order)
{
    for (auto [first, last] : ranges)
        for (std::int32_t t = first; t <= last; ++t)
            EXPECT_EQ(Precedence::opOrder(t), order) << std::hex << "token 0x" << t;
}

} // namespace

TEST(Precedence, OperatorLevels)
{
    const std::map<int, std::vector<std::int32_t>> levels = {
        {2, {0x0C, 0x0D, 0x0E, 0x0F, 0x12, 0x1B, 0x1C, 0x1D, 0x1E, 0x5C64, 0xBB39, 0xBB3A, 0xBBDA, 0x1000}},
        {3, {0xBC, 0xBD, 0xF0, 0xF1}},
        {4, {0x94, 0x95, 0xEF38, 0xEF39}},
        {5, {0x0A, 0x0B, 0x82, 0x83, 0xB0, 0x5C47}},
        {6, {0x70, 0x71}},
        {7, {0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F}},
        {8, {0x40, 0x5C40}},
        {9, {0x01, 0x02, 0x03, 0x3C, 0x3D, 0x5C41, 0x5C42, 0x5C63, 0xBB2F, 0xBB30, 0xBBEF, 0xBBF6,
             0xBBF7, 0xEF30, 0xEF31}},
        {10, {0x04, 0x06, 0x08, 0x10, 0xBB5D}},
    };
    for (const auto& [order, tokens] : levels)
        for (std::int32_t t : tokens)
            EXPECT_EQ(Precedence::opOrder(t), order) << std::hex << "token 0x" << t;
}

TEST(Precedence, FunctionLikeTokensHaveOrderOne)
{
    expectOrder({{0x14, 0x1A}, {0x1F, 0x25}, {0x27, 0x28}, {0x2A, 0x2A}, {0x2D, 0x2F}, {0x3B, 0x3B},
                 {0x72, 0x72}, {0xAB, 0xAB}, {0xAE, 0xAE}, {0xB1, 0xBA}, {0xBE, 0xCD}, {0xE2, 0xE4}},
                1);
    expectOrder({{0x1001, 0x1FFF}}, 1);
    expectOrder({{0x5C20, 0x5C3F}, {0x5C43, 0x5C43}, {0x5C4B, 0x5C5E}, {0x5C61, 0x5C62}, {0x5C65, 0x5C68}},
                1);
    expectOrder({{0x5E10, 0x5E45}, {0x7E00, 0x7E12}}, 1);
    expectOrder({{0xBB00, 0xBB2E}, {0xBB31, 0xBB38}, {0xBB3B, 0xBB5C}, {0xBB5E, 0xBBA9}, {0xBBAB, 0xBBD9},
                 {0xBBDB, 0xBBEE}, {0xBBF0, 0xBBF5}, {0xBBF8, 0xBBFF}},
                1);
    expectOrder({{0xEF00, 0xEF1E}, {0xEF32, 0xEF37}, {0xEF3A, 0xEF3D}, {0xEF3F, 0xEF40}, {0xEF95, 0xEF95},
                 {0xEF98, 0xEF98}},
                1);
}

TEST(Precedence, NonOperatorsOnTabledPages)
{
    expectOrder({{0x00, 0x00}, {0x05, 0x05}, {0x07, 0x07}, {0x09, 0x09}, {0x11, 0x11}, {0x13, 0x13},
                 {0x26, 0x26}, {0x29, 0x29}, {0x2B, 0x2C}, {0x30, 0x3A}, {0x3E, 0x3F}, {0x41, 0x69},
                 {0x73, 0x81}, {0x84, 0x93}, {0x96, 0xAA}, {0xAC, 0xAD}, {0xAF, 0xAF}, {0xBB, 0xBB},
                 {0xCE, 0xE1}, {0xE5, 0xEF}, {0xF2, 0xFF}},
                -1);
    expectOrder({{0x5C44, 0x5C46}, {0x5C48, 0x5C4A}, {0x5C5F, 0x5C60}}, -1);
    expectOrder({{0xBBAA, 0xBBAA}}, -1);
    expectOrder({{0xEF1F, 0xEF2F}, {0xEF3E, 0xEF3E}, {0xEF41, 0xEF94}, {0xEF96, 0xEF97}, {0xEF99, 0xEF9F}},
                -1);
}

TEST(Precedence, UntabledPagesAreNotOperators)
{
    // Key operations, matrices, lists, sequence and implicit equations, pictures, graph
    // databases, statistics and window variables, strings, and codes past the tabled pages.
    expectOrder({{0x0100, 0x0FFF}, {0x2000, 0x5C1F}, {0x5C69, 0x5E0F}, {0x5E46, 0x7DFF}, {0x7E13, 0xBAFF},
                 {0xBC00, 0xEEFF}, {0xEFA0, 0xFFFF}},
                -1);
}

TEST(Precedence, NegationHighHalvesAndNegativeTokens)
{
    // Negation binds like * and /, tighter than + and —, looser than ^.
    EXPECT_EQ(Precedence::opOrder(0xB0), Precedence::opOrder(0x82));
    EXPECT_LT(Precedence::opOrder(0xB0), Precedence::opOrder(0x70));
    EXPECT_LT(Precedence::opOrder(0xF0), Precedence::opOrder(0xB0));
    // A template ID in the high half hides the token from every page; a negative token
    // answers -1 instead of indexing before the table.
    for (std::int32_t t : {(5 << 16) | 0x70, (3 << 16) | 0xBB39, (3 << 16) | 0x1000, -1, -256, INT32_MIN,
                           static_cast<std::int32_t>(0x80001000u)})
        EXPECT_EQ(Precedence::opOrder(t), -1) << std::hex << t;
}

TEST(Precedence, DescriptionNamesTheTokenAndItsOrder)
{
    EXPECT_EQ(Precedence::description(0x04, 10), "->,10");
    EXPECT_EQ(Precedence::description(0xB0, 5), "(-),5");
    EXPECT_EQ(Precedence::description(0xBC, 3), "sqrt(,3");
    EXPECT_EQ(Precedence::description(0x70, 6), "+,6");
    EXPECT_EQ(Precedence::description(0xC2, 1), "sin(,1");
    EXPECT_EQ(Precedence::description(0x41, -1), "A,-1");
    EXPECT_EQ(Precedence::description(0xBB00, 1), "npv(,1");
}
