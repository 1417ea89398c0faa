#include "core/VQColor.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using orvenda::VQColor;

namespace {

void expectRGB(const VQColor& c, double r, double g, double b, double tolerance = 1e-12)
{
    EXPECT_NEAR(c.r(), r, tolerance);
    EXPECT_NEAR(c.g(), g, tolerance);
    EXPECT_NEAR(c.b(), b, tolerance);
}

VQColor picked(VQColor c)
{
    c.setPalletName("Basic");
    c.setPalletIndex(7);
    return c;
}

} // namespace

TEST(VQColor, RGBAssignmentComputesHSVAndGray)
{
    // {r, g, b} in; {h, s, v} out: each branch of the hue (red maximum below and above
    // blue, green, blue maximum), black, and a saturation below one.
    const std::pair<std::array<double, 3>, std::array<double, 3>> cases[] = {
        {{1, 0, 0}, {0, 1, 1}},        {{0, 0, 0}, {0, 0, 0}},          {{1, 0.5, 0}, {1.0 / 12, 1, 1}},
        {{1, 0, 0.5}, {11.0 / 12, 1, 1}}, {{0, 1, 0}, {1.0 / 3, 1, 1}},  {{0, 0, 1}, {2.0 / 3, 1, 1}},
        {{0.2, 0.4, 0.8}, {0.6111111111111112, 0.75, 0.8}},
    };
    for (const auto& [rgb, hsv] : cases) {
        const VQColor c = VQColor::colorR(rgb[0], rgb[1], rgb[2], 1);
        EXPECT_NEAR(c.h(), hsv[0], 1e-15) << rgb[0] << "," << rgb[1] << "," << rgb[2];
        EXPECT_NEAR(c.s(), hsv[1], 1e-15);
        EXPECT_NEAR(c.v(), hsv[2], 1e-15);
        EXPECT_EQ(c.gray(), c.v());
    }
}

TEST(VQColor, HSVAssignmentWrapsHueAndClamps)
{
    VQColor c = VQColor::colorH(1.25, 1, 1, 1);
    EXPECT_DOUBLE_EQ(c.h(), 0.25);
    c.setH(-0.25, 1, 1, 1);
    EXPECT_DOUBLE_EQ(c.h(), 0.75);
    c.setH(0.5, 1.5, -2, 0.5);
    EXPECT_EQ(c.s(), 1);
    EXPECT_EQ(c.v(), 0);
    EXPECT_EQ(c.a(), 0.5);
    EXPECT_EQ(c.gray(), 0);

    // A whole turn stays a whole turn and is red.
    c.setH(1, 1, 1, 1);
    EXPECT_EQ(c.h(), 1);
    expectRGB(c, 1, 0, 0);

    // Hues several turns away, or not numbers at all, still land on a sector.
    c.setH(-2.75, 1, 1, 1);
    EXPECT_DOUBLE_EQ(c.h(), 0.25);
    c.setH(std::numeric_limits<double>::quiet_NaN(), 1, 1, 1);
    EXPECT_EQ(c.h(), 0);
    expectRGB(c, 1, 0, 0);
}

TEST(VQColor, HSVAndRGBRoundTrip)
{
    // One colour in each of the six hue sectors, plus greys and black.
    const double samples[][3] = {{0.9, 0.3, 0.1}, {0.6, 0.8, 0.2}, {0.1, 0.7, 0.4},
        {0.2, 0.5, 0.9}, {0.5, 0.1, 0.8}, {0.95, 0.05, 0.6}, {0.4, 0.4, 0.4}, {0, 0, 0},
        {1, 1, 1}};
    for (const auto& rgb : samples) {
        VQColor c = VQColor::colorR(rgb[0], rgb[1], rgb[2], 1);
        VQColor back = VQColor::colorH(c.h(), c.s(), c.v(), 1);
        expectRGB(back, rgb[0], rgb[1], rgb[2]);
    }
    for (int i = 0; i < 24; ++i) {
        double h = i / 24.0;
        VQColor c = VQColor::colorH(h, 0.6, 0.7, 1);
        VQColor back = VQColor::colorR(c.r(), c.g(), c.b(), 1);
        EXPECT_NEAR(back.h(), h, 1e-12) << i;
        EXPECT_NEAR(back.s(), 0.6, 1e-12);
        EXPECT_NEAR(back.v(), 0.7, 1e-12);
    }
}

TEST(VQColor, SingleComponentSettersClampAndKeepGray)
{
    VQColor c = picked(VQColor::colorR(0.2, 0.4, 0.6, 1));
    c.setR(2);
    EXPECT_EQ(c.r(), 1);
    EXPECT_EQ(c.v(), 1);
    EXPECT_DOUBLE_EQ(c.gray(), 0.6); // the grey level is not recomputed
    EXPECT_TRUE(c.palletName().empty());

    c.setR(-1);
    EXPECT_EQ(c.r(), 0);
    c.setG(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(c.g(), 0);

    c = picked(VQColor::colorR(1, 0, 0, 1));
    c.setH(1.0 / 3);
    expectRGB(c, 0, 1, 0);
    EXPECT_TRUE(c.palletName().empty());
    c.setS(0);
    expectRGB(c, 1, 1, 1);
    c.setV(0.5);
    expectRGB(c, 0.5, 0.5, 0.5);
    c.setH(5);
    EXPECT_EQ(c.h(), 1);
}

TEST(VQColor, PaletteChoiceForgottenOnAssignmentOnly)
{
    VQColor c = picked(VQColor::colorR(0.1, 0.2, 0.3, 1));
    c.setA(0.5);
    c.setGray(0.9);
    c.setPh(0.3);
    EXPECT_EQ(c.palletName(), "Basic");
    EXPECT_EQ(c.gray(), 0.9);
    EXPECT_DOUBLE_EQ(c.v(), 0.3);

    VQColor copy = VQColor::colorWithColor(c);
    EXPECT_EQ(copy.palletName(), "Basic");
    EXPECT_EQ(copy.palletIndex(), 7);
    EXPECT_EQ(copy.ph(), 0.3);

    c.setR(0.1, 0.2, 0.3, 1);
    EXPECT_TRUE(c.palletName().empty());
    EXPECT_EQ(c.palletIndex(), 7);
    c = picked(c);
    c.setH(0.1, 0.2, 0.3, 1);
    EXPECT_TRUE(c.palletName().empty());
}

TEST(VQColor, GrayAndIntFactories)
{
    VQColor g = VQColor::gray(0.25, 0.5);
    expectRGB(g, 0.25, 0.25, 0.25);
    EXPECT_EQ(g.h(), 0);
    EXPECT_EQ(g.s(), 0);
    EXPECT_EQ(g.v(), 0.25);
    EXPECT_EQ(g.gray(), 0.25);
    EXPECT_EQ(g.a(), 0.5);

    VQColor c = VQColor::colorIntR(255, 51, 0, 0.75);
    expectRGB(c, 1, 0.2, 0);
    EXPECT_EQ(c.a(), 0.75);
}

TEST(VQColor, ContrastColor)
{
    VQColor onWhite = VQColor::colorR(1, 1, 1, 1).contrastColor();
    expectRGB(onWhite, 0, 0, 0);
    VQColor onRed = VQColor::colorR(1, 0, 0, 1).contrastColor();
    EXPECT_DOUBLE_EQ(onRed.h(), 0.5);
    expectRGB(onRed, 0, 1, 1);
    // Dark grey gets a light contrast, a dark saturated colour too.
    expectRGB(VQColor::gray(0.2, 1).contrastColor(), 1, 1, 1);
    EXPECT_EQ(VQColor::colorR(0, 0, 0.4, 1).contrastColor().v(), 1);
    // Past half a turn the hue wraps back.
    EXPECT_NEAR(VQColor::colorH(0.75, 1, 1, 1).contrastColor().h(), 0.25, 1e-12);
}

TEST(VQColor, ArchiveRoundTripAtFloatPrecision)
{
    VQColor c = VQColor::colorR(0.1, 0.2, 0.3, 0.4);
    c.setPalletName("Crayons");
    c.setPalletIndex(12);
    c.setPh(0.7);
    c.setPs(0.8);
    c.setPv(0.9);
    nlohmann::json archive = c.encode();
    for (const char* key : {"r", "g", "b", "a", "pName", "pIndex", "ph", "ps", "pv"})
        EXPECT_TRUE(archive.contains(key)) << key;
    EXPECT_EQ(archive.size(), 9u);

    // Through text, as the archive is stored.
    VQColor d = VQColor::decode(nlohmann::json::parse(archive.dump()));
    EXPECT_EQ(d.r(), static_cast<double>(0.1f));
    EXPECT_EQ(d.g(), static_cast<double>(0.2f));
    EXPECT_EQ(d.b(), static_cast<double>(0.3f));
    EXPECT_EQ(d.a(), static_cast<double>(0.4f));
    EXPECT_EQ(d.v(), d.b());
    EXPECT_EQ(d.gray(), d.v());
    EXPECT_NEAR(d.h(), c.h(), 1e-6);
    EXPECT_EQ(d.palletName(), "Crayons");
    EXPECT_EQ(d.palletIndex(), 12);
    EXPECT_EQ(d.ph(), static_cast<double>(0.7f));
    EXPECT_EQ(d.ps(), static_cast<double>(0.8f));
    EXPECT_EQ(d.pv(), static_cast<double>(0.9f));

    // Without a palette name the key holds nothing, and reads back as none.
    nlohmann::json plain = VQColor::colorR(1, 0, 0, 1).encode();
    EXPECT_TRUE(plain["pName"].is_null());
    EXPECT_TRUE(VQColor::decode(plain).palletName().empty());
}

TEST(VQColor, DamagedArchiveGivesDefaults)
{
    VQColor empty = VQColor::decode(nlohmann::json());
    expectRGB(empty, 0, 0, 0);
    EXPECT_EQ(empty.a(), 0);
    EXPECT_TRUE(VQColor::decode(nlohmann::json::array({1, 2})).palletName().empty());

    nlohmann::json damaged = {{"r", "red"}, {"g", 0.5}, {"b", nullptr}, {"pName", 42},
        {"pIndex", 1e300}, {"ph", true}, {"pv", -1e300}};
    VQColor d = VQColor::decode(damaged);
    expectRGB(d, 0, 0.5, 0);
    EXPECT_EQ(d.a(), 0);
    EXPECT_TRUE(d.palletName().empty());
    EXPECT_EQ(d.palletIndex(), 0);
    EXPECT_EQ(d.ph(), 0);
    EXPECT_TRUE(std::isfinite(d.pv()));

    EXPECT_EQ(VQColor::decode({{"pIndex", 18446744073709551615ull}}).palletIndex(), 0);
    EXPECT_EQ(VQColor::decode({{"pIndex", -3}}).palletIndex(), -3);
    EXPECT_EQ(VQColor::decode({{"pIndex", 4.0}}).palletIndex(), 4);
}
