#include "core/VQNumber.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using orvenda::VQNumber;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

VQNumber real(double r, int sf, int sd) { return VQNumber::numberWithReal(r, sf, sd); }

} // namespace

TEST(VQNumber, ConstructorsCarryTheirPairs) {
    auto expectNumber = [](const VQNumber& n, std::complex<double> c, int sf, int sd) {
        EXPECT_EQ(n.c(), c);
        EXPECT_EQ(n.sigFig(), sf);
        EXPECT_EQ(n.sigDec(), sd);
    };
    expectNumber(VQNumber(), 0, 0, 0);
    expectNumber(VQNumber::numberWithComplex({1.5, -2}), {1.5, -2}, 0, 0); // not the full pair
    VQNumber r = real(3.25, 3, -2);
    expectNumber(r, 3.25, 3, -2);
    expectNumber(VQNumber::numberWithNumber(r), 3.25, 3, -2);
    VQNumber target = VQNumber::numberWithComplex({9, 9});
    target.setTo(r);
    expectNumber(target, 3.25, 3, -2);

    VQNumber n = VQNumber::numberWithComplex({1, 2});
    n.setR(5);
    EXPECT_EQ(n.c(), std::complex<double>(5, 2));
    n.setI(-7);
    EXPECT_EQ(n.r(), 5);
    EXPECT_EQ(n.i(), -7);
}

TEST(VQNumber, AdjustSigDecAndSigFig) {
    // {value, sigFig, sigDec} in; the place adjustSigDec gives, and the count adjustSigFig
    // then gives back.
    const struct {
        std::complex<double> value;
        int sigFig, sigDec, place;
    } places[] = {
        {123.4, 4, 0, -1},
        {0.0123, 3, 0, -4},
        {0.01, 1, 0, -3},          // an exact power of ten below 1 lands one place lower
        {-123.4, 4, 0, -1},
        {{123.4, 1e9}, 4, 0, -1},  // only the real part counts
        {0, 3, 99, -2},            // zero counts from the units place
        {0, 15, 0, -14},
        {0, 0, 7, 1},
    };
    for (const auto& c : places) {
        VQNumber n(c.value, c.sigFig, c.sigDec);
        n.adjustSigDec();
        EXPECT_EQ(n.sigDec(), c.place) << c.value;
    }
    VQNumber z = real(0, 3, 99);
    z.adjustSigDec();
    z.adjustSigFig(); // and converts back to the same count
    EXPECT_EQ(z.sigFig(), 3);

    const struct {
        double value;
        int sigFig, sigDec, count;
    } counts[] = {
        {123.4, 0, -1, 4},
        {0.5, 0, -1, 2}, // no correction for negative logarithms here
        {0, 9, -2, 3},   {0, 9, 0, 0}, {0, 9, 4, 0},
    };
    for (const auto& c : counts) {
        VQNumber n = real(c.value, c.sigFig, c.sigDec);
        n.adjustSigFig();
        EXPECT_EQ(n.sigFig(), c.count) << c.value << " " << c.sigDec;
    }

    // A non-finite real part keeps the pair; a huge one does not overflow.
    for (double x : {kInf, -kInf, kNaN}) {
        VQNumber n = real(x, 7, -3);
        n.adjustSigDec();
        n.adjustSigFig();
        EXPECT_EQ(n.sigFig(), 7);
        EXPECT_EQ(n.sigDec(), -3);
    }
    VQNumber huge = real(1e300, std::numeric_limits<int>::min(), 0);
    huge.adjustSigDec();
    EXPECT_EQ(huge.sigDec(), std::numeric_limits<int>::max());
}

TEST(VQNumber, Description) {
    EXPECT_EQ(real(12.6, 3, -1).description(), "13+0i [3:-1]");
    EXPECT_EQ(VQNumber({-2, -3}, 15, -15).description(), "-2+-3i [15:-15]");
}

TEST(VQNumber, ArchiveRoundTrip) {
    VQNumber n({-1.25e-7, 3.5}, 4, -10);
    nlohmann::json j = n.encode();
    EXPECT_EQ(j["r"], -1.25e-7);
    EXPECT_EQ(j["i"], 3.5);
    EXPECT_EQ(j["sf"], 4);
    EXPECT_EQ(j["sd"], -10);

    VQNumber back = VQNumber::decode(nlohmann::json::parse(j.dump()));
    EXPECT_EQ(back.c(), n.c());
    EXPECT_EQ(back.sigFig(), 4);
    EXPECT_EQ(back.sigDec(), -10);
}

TEST(VQNumber, ArchiveKeepsNonFiniteAsNaNThroughText) {
    VQNumber n = real(kNaN, 1, 2);
    VQNumber back = VQNumber::decode(nlohmann::json::parse(n.encode().dump()));
    EXPECT_TRUE(std::isnan(back.r()));
    EXPECT_EQ(back.i(), 0);
}

TEST(VQNumber, ArchiveWithoutSigFigDerivesThePair) {
    VQNumber n = VQNumber::decode(nlohmann::json{{"r", 1200.0}, {"i", 0.0}});
    // 1200: two figures, the last in the hundreds.
    EXPECT_EQ(n.r(), 1200.0);
    EXPECT_EQ(n.sigFig(), 2);
    EXPECT_EQ(n.sigDec(), 2);
}

TEST(VQNumber, DamagedArchivesFallBackToDefaults) {
    for (const char* text : {"null", "[]", "3", "\"x\"", "{}", R"({"r":"a","i":[1],"sf":"b","sd":{}})",
                             R"({"r":true,"sf":1e300,"sd":-1e300})", R"({"sf":99999999999})"}) {
        SCOPED_TRACE(text);
        VQNumber n = VQNumber::decode(nlohmann::json::parse(text));
        EXPECT_EQ(n.c(), std::complex<double>(0, 0));
    }
    VQNumber n = VQNumber::decode(nlohmann::json::parse(R"({"r":2,"i":"bad","sf":3.9,"sd":null})"));
    EXPECT_EQ(n.c(), std::complex<double>(2, 0));
    EXPECT_EQ(n.sigFig(), 3);
    EXPECT_EQ(n.sigDec(), 0);

    VQNumber big = VQNumber::decode(nlohmann::json::parse(R"({"sf":99999999999,"sd":-99999999999})"));
    EXPECT_EQ(big.sigFig(), std::numeric_limits<int>::max());
    EXPECT_EQ(big.sigDec(), std::numeric_limits<int>::min());

    VQNumber empty = VQNumber::decode(nlohmann::json::parse("[]"));
    EXPECT_EQ(empty.c(), std::complex<double>(0, 0));
    EXPECT_EQ(empty.sigFig(), 0);
}
