#include "core/ColorTables.h"

#include <gtest/gtest.h>
#include <limits>

using orvenda::ColorTables;
using orvenda::VQColor;

namespace {

void expectRGB(const VQColor& c, double r, double g, double b)
{
    EXPECT_NEAR(c.r(), r, 1e-12);
    EXPECT_NEAR(c.g(), g, 1e-12);
    EXPECT_NEAR(c.b(), b, 1e-12);
}

} // namespace

TEST(ColorTables, InterfaceSets)
{
    // {set, colour number, which component, its value}: an unknown set is the default set,
    // an unknown colour number is colour 0.
    const struct {
        int set, n;
        double orvenda::VColor::*part;
        double value;
    } cases[] = {
        {0, 0, &orvenda::VColor::r, 38 / 255.0}, {0, 0, &orvenda::VColor::a, 1},
        {0, 4, &orvenda::VColor::r, 1},          {0, 4, &orvenda::VColor::a, 26 / 255.0},
        {5, 7, &orvenda::VColor::r, 58 / 255.0}, {5, 7, &orvenda::VColor::g, 0},
        {5, 7, &orvenda::VColor::b, 132 / 255.0}, {1, 2, &orvenda::VColor::g, 102 / 255.0},
        {-1, 7, &orvenda::VColor::b, 128 / 255.0}, {6, 7, &orvenda::VColor::b, 128 / 255.0},
        {99, 7, &orvenda::VColor::b, 128 / 255.0}, {2, -1, &orvenda::VColor::g, 80 / 255.0},
        {2, 8, &orvenda::VColor::g, 80 / 255.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ColorTables::interfaceColor(c.set, c.n).*c.part, c.value) << c.set << " " << c.n;
}

TEST(ColorTables, StandardColours)
{
    using C = std::array<double, 3>;
    EXPECT_EQ(ColorTables::standardComponents(1), (C{0, 0, 0}));
    EXPECT_EQ(ColorTables::standardComponents(2), (C{1, 1, 1}));
    EXPECT_EQ(ColorTables::standardComponents(3), (C{1, 0x6F / 255.0, 0xCF / 255.0}));
    EXPECT_EQ(ColorTables::standardComponents(41), (C{0x7F / 255.0, 0x7F / 255.0, 0x7F / 255.0}));
    EXPECT_EQ(ColorTables::standardComponents(48), (C{128 / 255.0, 0, 0}));
    for (int n : {0, 49, -5, 1000})
        EXPECT_EQ(ColorTables::standardComponents(n), (C{1, 1, 1})) << n;

    VQColor first = ColorTables::stdVQColor(0);
    expectRGB(first, 0, 0, 0);
    EXPECT_EQ(first.a(), 1);
    expectRGB(ColorTables::stdVQColor(47), 128 / 255.0, 0, 0);
    expectRGB(ColorTables::stdVQColor(48), 1, 1, 1);
    expectRGB(ColorTables::stdVQColor(-1), 1, 1, 1);
    expectRGB(ColorTables::stdVQColor(std::numeric_limits<int>::max()), 1, 1, 1);
}

TEST(ColorTables, CommandColours)
{
    using C = std::array<double, 3>;
    EXPECT_EQ(ColorTables::tiComponents(10), (C{0, 0, 1}));
    EXPECT_EQ(ColorTables::tiComponents(16), (C{0x9A / 255.0, 0x66 / 255.0, 0x33 / 255.0}));
    EXPECT_EQ(ColorTables::tiComponents(20), (C{1, 1, 1}));
    EXPECT_EQ(ColorTables::tiComponents(24), (C{0x55 / 255.0, 0x55 / 255.0, 0x55 / 255.0}));
    for (int n : {9, 25, 0, -12})
        EXPECT_EQ(ColorTables::tiComponents(n), (C{0, 0, 0})) << n;
}

TEST(ColorTables, ColoursAsLists)
{
    auto white = ColorTables::standardColor(0);
    ASSERT_EQ(white.count(), 3);
    EXPECT_EQ(white.type(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(white.realAtIndex(i), 1);
        EXPECT_EQ(white.sigFigAtIndex(i), 15);
        EXPECT_EQ(white.sigDecAtIndex(i), -15);
    }
    EXPECT_EQ(ColorTables::standardColor(49).realAtIndex(0), 1);
    auto pink = ColorTables::standardColor(3);
    EXPECT_DOUBLE_EQ(pink.realAtIndex(1), 0x6F / 255.0);

    auto brown = ColorTables::tiColor(16);
    ASSERT_EQ(brown.count(), 3);
    EXPECT_DOUBLE_EQ(brown.realAtIndex(0), 0x9A / 255.0);
    EXPECT_EQ(brown.sigDecAtIndex(2), -15);
    auto black = ColorTables::tiColor(9);
    EXPECT_EQ(black.realAtIndex(0), 0);
    EXPECT_EQ(black.realAtIndex(2), 0);
}
