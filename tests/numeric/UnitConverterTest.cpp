#include "numeric/UnitConverter.h"

#include "language/UnitNames.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvenda;

namespace {

double convert(double x, std::uint32_t unitClass, std::uint32_t from, std::uint32_t to)
{
    const auto y = UnitConverter::convert(x, unitClass, from, to);
    EXPECT_TRUE(y) << unitClass << ' ' << from << ' ' << to;
    return y.value_or(NAN);
}

} // namespace

TEST(UnitConverter, EveryUnitHasAFactorAndAName)
{
    for (std::uint32_t c = 0; c < UnitConverter::kClassCount; ++c)
        EXPECT_EQ(UnitConverter::unitCount(c), UnitNames::unitCount(c)) << "class " << c;
    EXPECT_EQ(UnitConverter::unitCount(12), 0u);
}

TEST(UnitConverter, FactorsAndTemperatures)
{
    EXPECT_EQ(convert(1, 3, 0, 6), 1609.344);                 // mi ▸ m
    EXPECT_NEAR(convert(5, 3, 5, 0), 3.1068559611866697, 1e-15); // km ▸ mi
    EXPECT_DOUBLE_EQ(convert(100, 7, 1, 0), 212);             // °C ▸ °F
    EXPECT_DOUBLE_EQ(convert(0, 7, 2, 1), -273.15);           // K ▸ °C
    EXPECT_DOUBLE_EQ(convert(-40, 7, 0, 1), -40);             // °F ▸ °C
    EXPECT_DOUBLE_EQ(convert(0, 7, 2, 3), 0);                 // K ▸ °R
    EXPECT_DOUBLE_EQ(convert(32, 7, 0, 3), 491.67);           // °F ▸ °R
    EXPECT_DOUBLE_EQ(convert(1, 10, 4, 14), 3.785411784);     // gal(US) ▸ liter
    EXPECT_DOUBLE_EQ(convert(1, 11, 7, 10), 1000);            // k ▸ one
    EXPECT_DOUBLE_EQ(convert(2000, 0, 7, 10), 3);             // m² ▸ 亩
    // The packed form: class in bits 10-14, from in 5-9, to in 0-4.
    EXPECT_EQ(UnitConverter::convert(1, 3078).value_or(0), 1609.344);
}

TEST(UnitConverter, FootPoundAMinuteIsASixtiethOfASecond)
{
    EXPECT_DOUBLE_EQ(convert(1, 5, 3, 2), 60);     // ft-lb/s ▸ ft-lb/min
    EXPECT_DOUBLE_EQ(convert(60, 5, 2, 6), 1.3558179);  // ft-lb/min ▸ W
    EXPECT_DOUBLE_EQ(convert(1, 5, 4, 6), 745.699872);  // hp ▸ W
}

TEST(UnitConverter, EveryClassConvertsBothWays)
{
    for (std::uint32_t c = 0; c < UnitConverter::kClassCount; ++c) {
        const std::uint32_t units = static_cast<std::uint32_t>(UnitConverter::unitCount(c));
        for (std::uint32_t from = 0; from < units; ++from)
            for (std::uint32_t to = 0; to < units; ++to)
                for (double x : {1.0, -40.0, 123.456, 6.02e23}) {
                    const double there = convert(x, c, from, to);
                    const double back = convert(there, c, to, from);
                    EXPECT_LE(std::abs(back - x), 1e-12 * std::abs(x))
                        << "class " << c << " units " << from << ' ' << to << " x " << x;
                }
    }
}

TEST(UnitConverter, IndicesOutsideTheTablesHaveNoValue)
{
    EXPECT_FALSE(UnitConverter::convert(1, 12, 0, 0));
    EXPECT_FALSE(UnitConverter::convert(1, 3, 20, 0));  // Length has 20 units
    EXPECT_FALSE(UnitConverter::convert(1, 3, 0, 20));
    EXPECT_FALSE(UnitConverter::convert(1, 7, 4, 0));   // Temp has 4
    EXPECT_FALSE(UnitConverter::convert(1, (31u << 10)));
    EXPECT_TRUE(UnitConverter::convert(1, 11, 20, 20));
    EXPECT_FALSE(UnitConverter::constant(20));
    EXPECT_FALSE(UnitConverter::constant(0xFFFF));
}

TEST(UnitConverter, ConstantsAgreeWithTheirDescriptions)
{
    EXPECT_EQ(UnitConverter::constant(0).value_or(0), 299792458);
    EXPECT_EQ(UnitConverter::constant(5).value_or(0), 9.10938215e-31);
    EXPECT_EQ(UnitConverter::constant(19).value_or(0), 8987551787.368);
    // Each description starts with the value's digits, written "d.ddd×10⁻ⁿ unit".
    const auto descriptions = UnitNames::constDescription();
    ASSERT_EQ(descriptions.size(), UnitConverter::kConstantCount);
    const std::string_view superscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    for (std::uint32_t i = 0; i < UnitConverter::kConstantCount; ++i) {
        std::string text(descriptions[i]);
        std::string plain;
        for (std::size_t k = 0; k < text.size();) {
            bool matched = false;
            for (int d = 0; d < 10 && !matched; ++d)
                if (text.compare(k, superscripts[d].size(), superscripts[d]) == 0) {
                    plain += char('0' + d);
                    k += superscripts[d].size();
                    matched = true;
                }
            if (matched)
                continue;
            constexpr std::string_view kNegative = "×10⁻", kPositive = "×10";
            if (text.compare(k, kNegative.size(), kNegative) == 0) {
                plain += "e-";
                k += kNegative.size();
            } else if (text.compare(k, kPositive.size(), kPositive) == 0) {
                plain += "e";
                k += kPositive.size();
            } else if (text[k] == ' ') {
                break;
            } else {
                plain += text[k++];
            }
        }
        EXPECT_DOUBLE_EQ(std::stod(plain), UnitConverter::constant(i).value_or(0)) << descriptions[i];
    }
}
