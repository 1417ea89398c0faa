#include "core/ColorTables.h"

#include <cstdint>

namespace orvenda {

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

// Interface colour sets; set 0 is the default, 1..5 follow the keyboard colour setting.
constexpr Rgba interfaceSets[ColorTables::interfaceSetCount][ColorTables::interfaceColorCount] = {
    {{38, 38, 38, 255}, {13, 13, 13, 255}, {31, 23, 110, 255}, {61, 110, 201, 255},
        {255, 255, 255, 26}, {255, 255, 255, 102}, {167, 167, 141, 255}, {0, 0, 128, 255}},
    {{64, 0, 128, 255}, {41, 0, 96, 255}, {255, 102, 255, 255}, {207, 50, 210, 255},
        {255, 102, 255, 255}, {207, 50, 210, 255}, {135, 236, 238, 255}, {70, 0, 78, 255}},
    {{0, 80, 27, 255}, {0, 53, 27, 255}, {37, 176, 64, 255}, {74, 164, 86, 255},
        {255, 255, 255, 26}, {255, 255, 255, 102}, {134, 181, 147, 255}, {10, 77, 1, 255}},
    {{38, 38, 38, 255}, {13, 13, 13, 255}, {99, 44, 0, 255}, {134, 58, 0, 255},
        {255, 255, 255, 26}, {255, 255, 255, 102}, {227, 218, 189, 255}, {62, 30, 1, 255}},
    {{38, 38, 38, 255}, {13, 13, 13, 255}, {92, 92, 92, 255}, {110, 110, 110, 255},
        {255, 255, 255, 26}, {255, 255, 255, 102}, {147, 176, 181, 255}, {28, 28, 28, 255}},
    {{64, 0, 128, 255}, {41, 0, 96, 255}, {0, 128, 255, 255}, {0, 72, 255, 255},
        {255, 255, 255, 26}, {255, 255, 255, 102}, {189, 204, 212, 255}, {58, 0, 132, 255}},
};

// Standard palette, colour numbers 1..48, as 0xRRGGBB; six rows of eight.
constexpr std::uint32_t standardColors[ColorTables::standardColorCount] = {
    0x000000, 0xFFFFFF, 0xFF6FCF, 0xCC66CC, 0x66CCFF, 0x66FFCC, 0xCCFF66, 0xFFCC66,
    0x191919, 0xE6E6E6, 0xFF66FF, 0x6666FF, 0x66FFFF, 0x66FF66, 0xFFFF66, 0xFF6666,
    0x333333, 0xCCCCCC, 0xFF0080, 0x8000FF, 0x0080FF, 0x00FF80, 0x80FF00, 0xFF8000,
    0x4C4C4C, 0xB3B3B3, 0xFF00FF, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000,
    0x666666, 0x999999, 0x800040, 0x400080, 0x004080, 0x008040, 0x408000, 0x804000,
    0x7F7F7F, 0x808080, 0x800080, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000,
};

// Colour-command colours, numbers 10..24, named as their colour tokens.
constexpr std::uint32_t tiColors[ColorTables::lastTIColor - ColorTables::firstTIColor + 1] = {
    0x0000FF, // 10 BLUE
    0xFF0000, // 11 RED
    0x000000, // 12 BLACK
    0xFF00FF, // 13 MAGENTA
    0x00FF00, // 14 GREEN
    0xFF8000, // 15 ORANGE
    0x9A6633, // 16 BROWN
    0x0000AB, // 17 NAVY
    0x0080FF, // 18 LTBLUE
    0xFFFF00, // 19 YELLOW
    0xFFFFFF, // 20 WHITE
    0xABABAB, // 21 LTGREY
    0x949494, // 22 MEDGREY
    0x808080, // 23 GREY
    0x555555, // 24 DARKGREY
};

constexpr int white = 2;
constexpr int black = 12;

std::array<double, 3> components(std::uint32_t rgb)
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

VQList asList(const std::array<double, 3>& rgb)
{
    VQList list;
    for (double x : rgb)
        list.addReal(x, 15, -15);
    return list;
}

} // namespace

VColor ColorTables::interfaceColor(int set, int n)
{
    if (set < 1 || set >= interfaceSetCount)
        set = 0;
    if (n < 0 || n >= interfaceColorCount)
        n = 0;
    const Rgba& c = interfaceSets[set][n];
    return VColor::vColorR(c.r, c.g, c.b, c.a);
}

std::array<double, 3> ColorTables::standardComponents(int n)
{
    if (n < 1 || n > standardColorCount)
        n = white;
    return components(standardColors[n - 1]);
}

VQList ColorTables::standardColor(int n)
{
    return asList(standardComponents(n));
}

VQColor ColorTables::stdVQColor(int i)
{
    auto c = standardComponents(i >= 0 && i < standardColorCount ? i + 1 : white);
    return VQColor::colorR(c[0], c[1], c[2], 1);
}

std::array<double, 3> ColorTables::tiComponents(int n)
{
    if (n < firstTIColor || n > lastTIColor)
        n = black;
    return components(tiColors[n - firstTIColor]);
}

VQList ColorTables::tiColor(int n)
{
    return asList(tiComponents(n));
}

} // namespace orvenda
