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
    VQNumber d;
    EXPECT_EQ(d.c(), std::complex<double>(0, 0));
    EXPECT_EQ(d.sigFig(), 0);
    EXPECT_EQ(d.sigDec(), 0);

    VQNumber c = VQNumber::numberWithComplex({1.5, -2});
    EXPECT_EQ(c.c(), std::complex<double>(1.5, -2));
    EXPECT_EQ(c.sigFig(), 0);  // not the full-precision pair
    EXPECT_EQ(c.sigDec(), 0);

    VQNumber r = real(3.25, 3, -2);
    EXPECT_EQ(r.c(), std::complex<double>(3.25, 0));
    EXPECT_EQ(r.sigFig(), 3);
    EXPECT_EQ(r.sigDec(), -2);

    VQNumber copy = VQNumber::numberWithNumber(r);
    EXPECT_EQ(copy.c(), r.c());
    EXPECT_EQ(copy.sigFig(), 3);
    EXPECT_EQ(copy.sigDec(), -2);

    VQNumber target = VQNumber::numberWithComplex({9, 9});
    target.setTo(r);
    EXPECT_EQ(target.c(), r.c());
    EXPECT_EQ(target.sigFig(), 3);
    EXPECT_EQ(target.sigDec(), -2);
}

TEST(VQNumber, PartAccessorsKeepTheOtherPart) {
    VQNumber n = VQNumber::numberWithComplex({1, 2});
    n.setR(5);
    EXPECT_EQ(n.c(), std::complex<double>(5, 2));
    n.setI(-7);
    EXPECT_EQ(n.c(), std::complex<double>(5, -7));
    EXPECT_EQ(n.r(), 5);
    EXPECT_EQ(n.i(), -7);
}

TEST(VQNumber, AdjustSigDec) {
    VQNumber a = real(123.4, 4, 0);
    a.adjustSigDec();
    EXPECT_EQ(a.sigDec(), -1);

    VQNumber b = real(0.0123, 3, 0);
    b.adjustSigDec();
    EXPECT_EQ(b.sigDec(), -4);

    // An exact power of ten below 1 lands one place lower.
    VQNumber c = real(0.01, 1, 0);
    c.adjustSigDec();
    EXPECT_EQ(c.sigDec(), -3);

    VQNumber neg = real(-123.4, 4, 0);
    neg.adjustSigDec();
    EXPECT_EQ(neg.sigDec(), -1);

    // Only the real part counts.
    VQNumber cx({123.4, 1e9}, 4, 0);
    cx.adjustSigDec();
    EXPECT_EQ(cx.sigDec(), -1);
}

TEST(VQNumber, AdjustSigDecOfZeroIsDefined) {
    VQNumber z = real(0, 3, 99);
    z.adjustSigDec();
    EXPECT_EQ(z.sigDec(), -2);
    z.adjustSigFig();  // and converts back to the same count
    EXPECT_EQ(z.sigFig(), 3);

    VQNumber full = real(0, 15, 0);
    full.adjustSigDec();
    EXPECT_EQ(full.sigDec(), -14);

    VQNumber none = real(0, 0, 7);
    none.adjustSigDec();
    EXPECT_EQ(none.sigDec(), 1);
}

TEST(VQNumber, AdjustSigFig) {
    VQNumber a = real(123.4, 0, -1);
    a.adjustSigFig();
    EXPECT_EQ(a.sigFig(), 4);

    // No correction for negative logarithms here.
    VQNumber b = real(0.5, 0, -1);
    b.adjustSigFig();
    EXPECT_EQ(b.sigFig(), 2);

    VQNumber z = real(0, 9, -2);
    z.adjustSigFig();
    EXPECT_EQ(z.sigFig(), 3);
    z.setSigDec(0);
    z.adjustSigFig();
    EXPECT_EQ(z.sigFig(), 0);
    z.setSigFig(9);
    z.setSigDec(4);
    z.adjustSigFig();
    EXPECT_EQ(z.sigFig(), 0);
}

TEST(VQNumber, NonFiniteRealPartKeepsThePair) {
    for (double x : {kInf, -kInf, kNaN}) {
        VQNumber n = real(x, 7, -3);
        n.adjustSigDec();
        n.adjustSigFig();
        EXPECT_EQ(n.sigFig(), 7);
        EXPECT_EQ(n.sigDec(), -3);
    }
}

TEST(VQNumber, HugePairsDoNotOverflow) {
    VQNumber n = real(1e300, std::numeric_limits<int>::min(), 0);
    n.adjustSigDec();
    EXPECT_EQ(n.sigDec(), std::numeric_limits<int>::max());
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
    const auto [sf, sd] = VQNumber::derivedPair(1200.0);
    EXPECT_EQ(n.r(), 1200.0);
    EXPECT_EQ(n.sigFig(), sf);
    EXPECT_EQ(n.sigDec(), sd);
}

TEST(VQNumber, DamagedArchivesFallBackToDefaults) {
    for (const char* text : {"null", "[]", "3", "\"x\"", "{}", R"({"r":"a","i":[1],"sf":"b","sd":{}})",
                             R"({"r":true,"sf":1e300,"sd":-1e300})", R"({"sf":99999999999})"}) {
        SCOPED_TRACE(text);
        VQNumber n = VQNumber::decode(nlohmann::json::parse(text));
        EXPECT_TRUE(std::isfinite(n.r()) || std::isnan(n.r()));
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
