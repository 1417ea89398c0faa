// The number forms an entry line shows are in tests/cases/number-text.cases; here what
// only the formatter's settings reach (grouping, width, bases, overrides), the helpers
// and locale independence.
#include "core/NumberFormatter.h"

#include "core/VQNumber.h"
#include "numeric/ElementaryFunctions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>

namespace orvenda {
namespace {

using namespace orvenda::test;
using Settings = NumberFormatter::Settings;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

NumberFormatter fmt(int numFormat, int numDigits, char16_t grouping = u' ', int maxWidth = 15)
{
    Settings s;
    s.numFormat = numFormat;
    s.numDigits = numDigits;
    s.thousandSeperator = grouping;
    s.maxWidth = maxWidth;
    return NumberFormatter(s);
}

struct RealCase {
    NumberFormatter f;
    double x;
    std::string text;
};

void expectReals(std::initializer_list<RealCase> cases)
{
    for (const RealCase& c : cases)
        EXPECT_EQ(c.f.formatReal(c.x), c.text) << c.x;
}

TEST(NumberFormatterReal, WidthGroupingAndBases)
{
    Settings binary, hex;
    binary.numBase = 1;
    hex.numBase = 2;
    expectReals({
        // The decimal form is too wide; the exponent step keeps cutting the precision,
        // and at precision 0 a text still too long stands.
        {fmt(0, -1, u' ', 5), 2.0 / 3, "0.667"},
        {fmt(0, -1, u' ', 5), -2.0 / 3, "-.667"}, // the negative drops its zero here
        {fmt(1, -1, u' ', 6), 2.0 / 3, "6.7" + kE + "-1"},
        {fmt(1, -1, u' ', 2), -123.0, "-1" + kE + "2"},
        {fmt(0, -1, u','), 1234567.0, "1,234,567"},
        {fmt(0, -1, u','), -123456.0, "-123,456"},
        {fmt(0, -1, u','), 123.0, "123"},
        {fmt(0, -1, u'.'), 1234.5, "1.234,5"},
        {fmt(0, 6, u'+'), 1234.123456, "1 234.123 456"},
        {fmt(0, -1, u'+'), 0.1234, ".123 4"},
        {fmt(0, -1, u','), 123456789012.0, "1.23456789" + kE + "11"}, // no grouping
        // Grouping marks take their room in the width too (a table's ten characters).
        {fmt(0, -1, u',', 10), 5150.38074910054, "5,150.3807"},
        {fmt(0, -1, u',', 10), -5150.38074910054, "-5,150.381"},
        {fmt(0, -1, u'+', 10), 1.1234567, "1.123 457"},
        {fmt(0, 4, u',', 10), 123456.5, "123,456.50"},
        {NumberFormatter(binary), 10.0, "0b1010"},
        {NumberFormatter(binary), 10.5, "10.5"},
        {NumberFormatter(hex), 255.0, "0hFF"},
        {NumberFormatter(), kInf, "INF"},
        {NumberFormatter(), -kInf, "-INF"},
        {NumberFormatter(), kNaN, "NAN"},
        {fmt(2, 3), kInf, "INF"},
        // One word in every format and base: Fix would print "inf", a base the saturated
        // integer, and a NaN has no sign.
        {fmt(0, 2), -kInf, "-INF"},
        {fmt(1, 2), kInf, "INF"},
        {fmt(0, -1, u','), -kInf, "-INF"},
        {fmt(0, 2), -kNaN, "NAN"},
        {NumberFormatter(hex), kInf, "INF"},
        {NumberFormatter(binary), -kInf, "-INF"},
    });
    for (int mode = 0; mode <= 9; ++mode) {
        if (mode == 4 || mode == 5) // ▸Bin and ▸Hex saturate to a 32-bit integer
            continue;
        EXPECT_EQ(NumberFormatter().formatReal(-kInf, mode), "-INF") << mode;
        EXPECT_EQ(NumberFormatter().formatReal(-kNaN, mode), "NAN") << mode;
    }
    EXPECT_EQ(NumberFormatter::formatHex(kNaN), "0h0");
    EXPECT_EQ(NumberFormatter().formatFraction(kInf), "INF");
    EXPECT_EQ(NumberFormatter().formatSigFig(kNaN, 3).substr(0, 3), "NAN");
}

TEST(NumberFormatterReal, ByDisplayModeAndTemporaryOverride)
{
    NumberFormatter f;
    const std::pair<int, std::string> modes[] = {
        {0, "1.25"}, {1, "5/4"}, {2, "1\xC2\xB9/\xE2\x82\x84"}, {3, "1.25"}, {42, "1.25"},
    };
    for (const auto& [mode, text] : modes)
        EXPECT_EQ(f.formatReal(1.25, mode), text) << mode;
    EXPECT_EQ(f.formatReal(10.0, 4), "0b1010");
    EXPECT_EQ(f.formatReal(255.0, 5), "0hFF");
    EXPECT_EQ(f.formatReal(-5.0, 6), "5e^(180" + kI + ")");
    EXPECT_EQ(f.formatReal(-5.0, 7), "-5");
    EXPECT_EQ(f.formatReal(30.5, 8), "30\xC2\xB0" "30'0\"");
    EXPECT_EQ(f.formatReal(2.0 / 3, 9), ".6666666667" + kMark);

    EXPECT_EQ(f.formatReal(1234.0, 3, 1), "1.234" + kE + "3");
    EXPECT_EQ(f.formatReal(1.0 / 3, 2, 0), ".33");
    // The settings are untouched afterwards.
    EXPECT_EQ(f.formatReal(1234.0), "1234");
    EXPECT_EQ(f.formatTable(1234.0), "1234");
}

// Fix N shows round(x,N): the decimal value rounded half away from zero, where "%.*f"
// rounded the binary value with ties to even (2.5 showed 2, 2.675 showed 2.67).
TEST(NumberFormatterReal, FixedDecimalsRoundAsRoundDoes)
{
    // From .001 on (below it Fix shows the exponent form).
    const double halves[] = {2.5, .5, 1.5, .35, .125, 1.005, 2.675, 1.0005, .0015, 8.345, 1.45, 0.285,
                             1234.5675, 9.995, 99.5, .0049999, 123456.123456785};
    for (int digits = 0; digits <= 9; ++digits) {
        const NumberFormatter f = fmt(0, digits);
        for (const double magnitude : halves) {
            for (const double x : {magnitude, -magnitude}) {
                const std::string text = f.formatReal(x);
                double shown = 0;
                const auto read = std::from_chars(text.data(), text.data() + text.size(), shown);
                ASSERT_EQ(read.ptr, text.data() + text.size()) << text;
                // A text too wide for the decimals keeps fewer of them.
                const std::size_t point = text.find('.');
                const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
                EXPECT_TRUE(decimals == digits || text.size() == 15) << text;
                const double rounded = ElementaryFunctions::round(x, decimals);
                EXPECT_EQ(shown, rounded) << "Fix " << digits << " of " << x << " shows " << text;
                // The same digits as round(x,N) shown in Float.
                EXPECT_EQ(NumberFormatter().formatReal(shown), NumberFormatter().formatReal(rounded)) << text;
            }
        }
    }
    // The halves on the home line are in number-text.cases.
    expectReals({
        {fmt(0, 2), 0.004, ".00"},
        {fmt(0, 2), -0.004, ".00"},
        // Rounding carries into a new figure.
        {fmt(0, 2), 9.995, "10.00"},
        // The width's fewer decimals round the same way: six figures and Fix 9 leave 8.
        {fmt(0, 9), 123456.123456785, "123456.12345679"},
    });
}

// The significant-figure forms round the decimal value half away from zero too: Float's ten
// figures, Sci and Eng.
TEST(NumberFormatterReal, SignificantFiguresRoundHalfAwayFromZero)
{
    expectReals({
        {fmt(0, -1), 1234567890.5, "1234567891"},
        {fmt(0, -1), -1234567890.5, "-1234567891"},
        {fmt(0, -1), 12345678905.0, "1.234567891" + kE + "10"},
        {fmt(0, -1), 0.12345678905, ".1234567891"},
        {fmt(1, 1), 2650.0, "2.7" + kE + "3"},
        {fmt(1, 2), 2.675, "2.68" + kE + "0"},
        {fmt(1, 2), 1.005, "1.01" + kE + "0"},
        {fmt(1, 0), -2.5e-7, "-3" + kE + "-7"},
        {fmt(1, 1), 9.95e100, "1.0" + kE + "101"},
        {fmt(1, 2), 1.125e-300, "1.13" + kE + "-300"},
        {fmt(2, 1), 26500.0, "26.5" + kE + "3"},
        {fmt(2, 0), 2500.0, "3" + kE + "3"},
        {fmt(2, 1), 2650.0, "2.7" + kE + "3"},
        {fmt(2, -1), 0.001234567890125, "1.23456789" + kE + "-3"},
    });
    EXPECT_EQ(NumberFormatter::roundDecimal(-2650, -2), -2700);
    EXPECT_EQ(NumberFormatter::roundDecimal(0.5e-12, 12), 1e-12);
    EXPECT_EQ(NumberFormatter::roundDecimal(0.05e-12, 12), 0);
    EXPECT_EQ(NumberFormatter::roundDecimal(1.0 / 3, 20), 1.0 / 3);
    EXPECT_EQ(NumberFormatter::printText(0.125, std::chars_format::fixed, 2), "0.13");
    EXPECT_EQ(NumberFormatter::printText(-1250, std::chars_format::scientific, 1), "-1.3e+03");
}

// ---- Fractions, mixed numbers ----

TEST(NumberFormatterFraction, SettingsAndContinuedFractions)
{
    Settings fixed, small;
    fixed.fixDenominator = true;
    small.maxDenominator = 10;
    EXPECT_EQ(NumberFormatter(fixed).formatFraction(0.5), ".5");
    EXPECT_EQ(NumberFormatter(small).formatFraction(1.0 / 3), "1/3");
    EXPECT_EQ(NumberFormatter(small).formatFraction(1.0 / 17), ".0588235294");

    NumberFormatter f;
    long long n = 0, d = 0;
    EXPECT_EQ(f.convertToFraction2(-2.75, n, d), 2.0);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(d, 4);
    EXPECT_EQ(f.convertToFraction2(4.99999999999, n, d), 5.0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(d, 0);
    EXPECT_TRUE(std::isnan(f.convertToFraction2(kNaN, n, d)));
    EXPECT_EQ(d, 0);
    const double terms[] = {2, 1, 3};
    double num = 0, den = 0;
    NumberFormatter::makeFraction(terms, 3, num, den);
    EXPECT_EQ(num, 4); // 1 / (2 + 1 / (1 + 1/3)) = 4/11
    EXPECT_EQ(den, 11);

    EXPECT_EQ(f.format84ABC(1.75), "1\xE2\x90\xA3" "3/4");
    EXPECT_EQ(f.format84ABC(-2.5), "-2\xE2\x90\xA3" "1/2");
    EXPECT_EQ(f.format84ABC(0.25), "1/4");
    // Without a fraction the Normal decimal text, whatever the number format.
    EXPECT_EQ(fmt(1, -1).formatABC(1234.0), "1234");
    EXPECT_EQ(fmt(1, -1).format84ABC(1234.0), "1234");
}

// A fraction is shown only where the value's digits can hold it: near 1.2·10¹³ the spacing
// of doubles is 1/512, so the fractional part is rounding and the decimal is shown.
TEST(NumberFormatterFraction, NoFractionBeyondTheValuesPrecision)
{
    NumberFormatter f;
    long long n = 0, d = 0;
    const double wide = 12191481561856.0 + 73.0 / 512;
    EXPECT_EQ(f.convertToFraction2(wide, n, d), 12191481561856.0);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(f.formatABC(wide), "1.219148156" + kE + "13");
    EXPECT_EQ(f.formatFraction(-wide), "-1.219148156" + kE + "13");
    // Where the spacing is finer than the conversion's precision fractions stay.
    EXPECT_EQ(f.formatABC(1000000 + 1.0 / 3), "1000000¹/₃");
    EXPECT_EQ(f.formatFraction(4194303.5), "8388607/2");
    // Below 2²³ the spacing is 2⁻³⁰ at most; from 2²³ on it is 2⁻²⁹, coarser than 1e-9.
    EXPECT_EQ(f.formatFraction(8388608.5), "8388608.5");
}

TEST(NumberFormatterFraction, Rounding)
{
    EXPECT_EQ(NumberFormatter::roundPrecision(0.0, 3), 0.0);
    EXPECT_EQ(NumberFormatter::roundPrecision(2.5, 0), 3.0);
    EXPECT_EQ(NumberFormatter::roundPrecision(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(NumberFormatter::roundPrecision(1.23456, 3), 1.235);
    // A whole part of 1e8 or more with 3 places rounds to 3 figures instead.
    EXPECT_EQ(NumberFormatter::roundPrecision(123456789.123, 3), 123000000.0);
    EXPECT_DOUBLE_EQ(NumberFormatter::roundPrecision(12345678.1234, 3), 12345678.123);
    EXPECT_EQ(NumberFormatter::roundSigFigures(0.0, 3), 0.0);
    EXPECT_DOUBLE_EQ(NumberFormatter::roundSigFigures(1.23456, 3), 1.23);
    EXPECT_DOUBLE_EQ(NumberFormatter::roundSigFigures(-0.0123456, 2), -0.012);
    // Outside 1..14 decimals: unchanged.
    EXPECT_EQ(NumberFormatter::roundSigFigures(123456.0, 2), 123456.0);
    EXPECT_TRUE(std::isinf(NumberFormatter::roundSigFigures(kInf, 3)));
}

// ---- Significant figures ----

TEST(NumberFormatterSigFig, Marked)
{
    const struct {
        NumberFormatter f;
        double x;
        int figures;
        std::string text;
    } cases[] = {
        {{}, 2.5, 1, "2" + kMark},
        {{}, 3.5, 1, "4" + kMark},
        {{}, 0.0012, 3, ".00120" + kMark},
        {{}, -0.0012, 3, "-.00120" + kMark}, // a negative below one keeps its zeros
        {{}, 1234.5, 2, "12" + kMark + "00"},
        {{}, -2.5, 1, "-2" + kMark},
        {{}, 1.5, 3, "1.50" + kMark},
        {{}, 0.125, 2, ".12" + kMark},
        {{}, 1.5e-5, 2, "1.5" + kMark + kE + "-5"},
        {{}, 1e12, 3, "1.00" + kMark + kE + "12"},
        {{}, 5.0, 0, "0"},
        {{}, 1.25, 14, "1.2500000000000" + kMark}, // 14 figures: padded and marked
        {{}, 1.25, 15, "1.25"},                     // beyond 14 figures not marked
        {{}, 2.0 / 3, 15, ".6666666667"},
        {fmt(0, -1, u','), 1234.0, 3, "1,23" + kMark + "0"},
        {fmt(0, -1, u'.'), 1.5, 3, "1,50" + kMark},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.f.formatSigFig(c.x, c.figures), c.text) << c.x << " to " << c.figures;
}

TEST(NumberFormatterSigFig, SigFigForReadsThePlainDecimalText)
{
    Settings modes; // display modes change nothing
    modes.numFormat = 2;
    modes.numDigits = 3;
    modes.numBase = 1;
    modes.thousandSeperator = u',';
    const struct {
        NumberFormatter f;
        double x;
        int sigFig, sigDec;
    } cases[] = {
        {{}, 1200, 2, 2},       {{}, 1.25, 3, -2},     {{}, 1.5e-5, 2, -6},
        {{}, 10.5, 3, -1},      {{}, 0.0123, 3, -4},   {{}, 123456789012.0, 9, 3},
        {{}, 0, 0, 0},          {{}, 1e300, 1, 300},
        // A negative number counts the figures of its magnitude.
        {{}, -1200, 2, 2},      {{}, -1.5e-5, 2, -6},
        {NumberFormatter(modes), 1200, 2, 2}, {NumberFormatter(modes), 1234.5, 5, -1},
    };
    for (const auto& c : cases) {
        int sigDec = 99;
        EXPECT_EQ(c.f.sigFigFor(c.x, sigDec), c.sigFig) << c.x;
        EXPECT_EQ(sigDec, c.sigDec) << c.x;
    }
    // Archived numbers without a pair read their figures the same way.
    EXPECT_EQ(VQNumber::derivedPair(1200.0), std::make_pair(2, 2));
    EXPECT_EQ(VQNumber::derivedPair(-1.25), std::make_pair(3, -2));
    const VQNumber n = VQNumber::decode(nlohmann::json{{"r", 1.5e-5}, {"i", 0.0}});
    EXPECT_EQ(n.sigFig(), 2);
    EXPECT_EQ(n.sigDec(), -6);
}

// ---- Complex numbers ----

TEST(NumberFormatterComplex, PolarNoiseAndDisplayModes)
{
    NumberFormatter f;
    // A negative zero imaginary part is zero: the angle is +180, not -180.
    EXPECT_EQ(f.formatComplex(-5, -0.0, true), "5e^(180" + kI + ")");
    EXPECT_EQ(f.formatComplex(5, 0, true), "5");
    EXPECT_EQ(f.formatComplex(2, 0, false), "2");
    EXPECT_EQ(f.formatComplex(2, 1e-16, 0), "2");
    EXPECT_EQ(f.formatComplex(1e-17, 3, false), "3" + kI);
    EXPECT_EQ(f.formatComplex(-1.0, 1.2246467991473532e-16, 7), "-1");
    EXPECT_EQ(f.formatComplex(-0.0, -0.0, false), "0");
    EXPECT_EQ(f.formatComplex(-0.0, 2.0, false), "2" + kI);
    EXPECT_EQ(f.formatCPLXFraction(0.5, -1e-16), "1/2");
    EXPECT_EQ(f.formatCPLXFraction(0.25, 0), "1/4");
    // A real value keeps a small real part.
    EXPECT_EQ(f.formatComplex(1e-20, 0.0, false), "1" + kE + "-20");

    EXPECT_EQ(f.formatComplex(0.5, -1, 1), "1/2\xE2\x80\x94" + kI);
    EXPECT_EQ(f.formatComplex(1.5, 0.5, 2), "1\xC2\xB9/\xE2\x82\x82+\xC2\xB9/\xE2\x82\x82" + kI);
    EXPECT_EQ(f.formatCPLXABC(0, -1), "\xE2\x80\x94" + kI);
    EXPECT_EQ(f.formatComplex(0, 2, 6), "2e^(90" + kI + ")");
    EXPECT_EQ(f.formatComplex(0, 2, 7), "2" + kI);
    EXPECT_EQ(f.formatComplex(0, 2, 0), "2" + kI);
    Settings polar;
    polar.realCplxMode = 2;
    EXPECT_EQ(NumberFormatter(polar).formatComplex(0, 2, 0), "2e^(90" + kI + ")");
    EXPECT_EQ(NumberFormatter(polar).formatComplex(0, 2, 3), "2e^(90" + kI + ")");
}

// ---- Lists and matrices ----

TEST(NumberFormatterList, FormsAndMissingObjects)
{
    NumberFormatter f;
    const VQList empty;
    EXPECT_EQ(f.formatList(nullptr), "");
    EXPECT_EQ(f.formatList(&empty), "{}");
    EXPECT_EQ(f.formatList(&empty, 9), "{}");
    const VQList list = reals({1, 2.5});
    EXPECT_EQ(f.formatList(&list, 1), "{1 5/2}");
    EXPECT_EQ(f.formatListABC(&list), "{1 2\xC2\xB9/\xE2\x82\x82}");
    EXPECT_EQ(f.formatList(&list, 5), "{0h1 0h2}");
    // Mode 9 shows each element with its own figures.
    const VQList marked = figures({{2.5, 1, 0}, {0.0012, 3, -5}});
    EXPECT_EQ(f.formatList(&marked, 9), "{2" + kMark + " .00120" + kMark + "}");

    const VQList cpx = complexes({{3, -4}, {0.5, 0}, {0, 2}});
    ASSERT_EQ(cpx.type(), 1);
    const std::string polar = "{5e^(-53.13010235" + kI + ") .5 2e^(90" + kI + ")}";
    EXPECT_EQ(f.formatList(&cpx, 6), polar);
    EXPECT_EQ(f.formatComplexList(&cpx, true), polar);
    EXPECT_EQ(f.formatListCPLXFraction(&cpx), "{3-4" + kI + " 1/2 2" + kI + "}");
    EXPECT_EQ(f.formatListCPLXABC(&cpx), "{3-4" + kI + " \xC2\xB9/\xE2\x82\x82 2" + kI + "}");
    VQList noisy = complexes({{-1, 1.2246467991473532e-16}});
    EXPECT_EQ(f.formatList(&noisy), "{-1}");

    const VQMatrix none;
    EXPECT_EQ(f.formatMatrix(nullptr), "");
    EXPECT_EQ(f.formatMatrix(&none), "");
    EXPECT_EQ(f.formatMatrix(&none, 0), "");
    // The mark takes no column: "2̲" is one wide, "10̲" two.
    VQMatrix m = matrixOf({{2.5, 1}, {10, 2}});
    m.setSNum({1, 0, 2.5}, 0, 0);
    m.setSNum({2, 0, 10}, 1, 0);
    m.setSNum({1, 0, 1}, 0, 1);
    m.setSNum({1, 0, 2}, 1, 1);
    EXPECT_EQ(f.formatMatrix(&m, 9), "[[2" + kMark + "  1" + kMark + "] \n [10" + kMark + " 2" + kMark + "]]");
}

// ---- Padding and tokens ----

TEST(NumberFormatterText, WidthAndPadding)
{
    EXPECT_EQ(NumberFormatter::strDisplayWidth("1.5" + kMark + kE + "-5"), 6);
    EXPECT_EQ(NumberFormatter::strDisplayWidth(kI), 2);
    NumberFormatter f;
    EXPECT_EQ(f.padReal(2.5, 5), "2.5  ");
    EXPECT_EQ(f.padReal(123456.0, 3), "123456");
    std::string text = "abc";
    EXPECT_EQ(&NumberFormatter::pad(text, 5), &text);
    EXPECT_EQ(text, "abc   ");
    text = "abcde";
    EXPECT_EQ(NumberFormatter::pad(text, 5), "abcde ");
    text = "abcdef";
    EXPECT_EQ(NumberFormatter::pad(text, 5), "abcdef");
}

TEST(NumberFormatterText, RealToOpcodes)
{
    using Ops = NumberFormatter::Ops;
    EXPECT_EQ(fmt(0, -1, u',').realToOpcodes(-1234.5), (Ops{0xB0, 0x31, 0x32, 0x33, 0x34, 0x3A, 0x35}));
    NumberFormatter f;
    EXPECT_EQ(f.realToOpcodes(0.000015), (Ops{0x31, 0x3A, 0x35, 0x3B, 0xB0, 0x35}));
    EXPECT_EQ(f.realToOpcodes(0.5), (Ops{0x3A, 0x35}));
    // A decimal comma or a binary display still spells the value itself.
    EXPECT_EQ(fmt(0, -1, u'.').realToOpcodes(1234.5), (Ops{0x31, 0x32, 0x33, 0x34, 0x3A, 0x35}));
    Settings binary;
    binary.numBase = 1;
    EXPECT_EQ(NumberFormatter(binary).realToOpcodes(10), (Ops{0x31, 0x30}));
    // The display precision is what the tokens carry.
    EXPECT_EQ(fmt(0, 2).realToOpcodes(1.0 / 3), (Ops{0x3A, 0x33, 0x33}));
}

TEST(NumberFormatterText, ExactRealToOpcodesKeepsEveryDigit)
{
    using Ops = NumberFormatter::Ops;
    EXPECT_EQ(NumberFormatter::exactRealToOpcodes(2000003000005), (Ops{0x32, 0x30, 0x30, 0x30, 0x30, 0x30, 0x33, 0x30,
                                                                      0x30, 0x30, 0x30, 0x30, 0x35}));
    EXPECT_EQ(NumberFormatter::exactRealToOpcodes(-0.25), (Ops{0xB0, 0x3A, 0x32, 0x35}));
    EXPECT_EQ(NumberFormatter::exactRealToOpcodes(1.5e-20), (Ops{0x31, 0x3A, 0x35, 0x3B, 0xB0, 0x32, 0x30}));
    EXPECT_EQ(NumberFormatter::exactRealToOpcodes(1e22), (Ops{0x31, 0x3B, 0x32, 0x32}));
    // As many figures as the double needs: the point and sixteen threes.
    EXPECT_EQ(NumberFormatter::exactRealToOpcodes(1.0 / 3).size(), 17u);
}

// A value kept as tokens: the display's text where it reads back as the value, else the
// fewest figures that do, in the display's notation.
TEST(NumberFormatterText, ValueToOpcodesKeepsTheValueInTheDisplaysForm)
{
    const double sum = 0.1 + 0.2; // 0.30000000000000004
    const struct {
        NumberFormatter f;
        double x;
        std::string text;
    } cases[] = {
        {fmt(0, -1), 1.878, "1.878"},
        {fmt(0, 2), 2.5, "2.50"},
        {fmt(0, -1), sum, ".30000000000000004"},
        {fmt(0, 0), -sum, "-.30000000000000004"},
        {fmt(1, -1), sum, "3.0000000000000004" + kE + "-1"},
        {fmt(2, -1), sum, "300.00000000000004" + kE + "-3"},
        {fmt(2, 3), 40000.00000000001, "40.00000000000001" + kE + "3"},
        {fmt(0, -1), 2e20 + 65536, "2.0000000000000007" + kE + "20"},
        {fmt(0, 4, u'.'), 1234.5, "1234.5000"},
    };
    for (const auto& c : cases) {
        const NumberFormatter::Ops ops = c.f.valueToOpcodes(c.x);
        std::string text;
        for (const std::uint32_t op : ops)
            text += op == 0xB0 ? std::string("-") : op == 0x3A ? std::string(".") : op == 0x3B ? kE : std::string(1, char(op));
        EXPECT_EQ(text, c.text) << c.x;
    }
}

TEST(NumberFormatterText, OpCodeForChar)
{
    const std::pair<char32_t, std::uint32_t> cases[] = {
        {U'=', 0},         {U'm', 0xBBBD},    {U'a', 0xBBB0},    {U'k', 0xBBBA},
        {U'l', 0xBBBC},    {U'z', 0xBBCA},    {U'A', 0x41},      {U'7', 0x37},
        {U' ', 0x29},      {U'"', 0x2A},      {U'\'', 0xAE},     {U'\u0332', 0x5C65},
        {U'\u1D31', 0x3B}, {U'\uFF0F', 0xEF38}, {U'Í', 0xBBCD},  {U'ñ', 0xBB99},
        {U'Õ', 0},
    };
    for (const auto& [c, op] : cases)
        EXPECT_EQ(NumberFormatter::opCodeForChar(c), op) << static_cast<std::uint32_t>(c);
}

TEST(NumberFormatterCalculator, FollowsTheModeFields)
{
    Calculator calc;
    EXPECT_EQ(calc.formatReal(2.0 / 3), ".6666666667");
    calc.locked()->numDigits = 2;
    calc.locked()->thousandSeperator = u',';
    EXPECT_EQ(calc.formatReal(1234.5), "1,234.50");
    EXPECT_EQ(calc.formatReal(1234.56, 3, 1), "1.235" + kE + "3");
    calc.locked()->numDigits = -1;
    calc.locked()->thousandSeperator = u' ';
    calc.setAngleFormat(1);
    EXPECT_EQ(calc.formatComplex(0, 2, true), "2e^(1.570796327" + kI + ")");
    calc.setRealCplxMode(2);
    EXPECT_EQ(calc.formatComplex(0, 2, 0), "2e^(1.570796327" + kI + ")");
    calc.locked()->maxDenominator = 10;
    EXPECT_EQ(calc.formatFraction(1.0 / 17), ".0588235294");
    int sigDec = 0;
    EXPECT_EQ(calc.sigFigFor(1200, sigDec), 2);
    EXPECT_EQ(sigDec, 2);
}

// ---- Locale independence ----

// A numeric facet with a decimal comma and point grouping, installed as the global
// locale: the texts must not change.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

void expectLocaleFreeTexts()
{
    NumberFormatter f;
    EXPECT_EQ(f.formatReal(2.0 / 3), ".6666666667");
    EXPECT_EQ(f.formatReal(123456789012.0), "1.23456789" + kE + "11");
    EXPECT_EQ(fmt(2, -1).formatReal(999999999999.0), "1" + kE + "12");
    EXPECT_EQ(fmt(0, 6, u'+').formatReal(1234.123456), "1 234.123 456");
    EXPECT_EQ(f.formatFraction(0.00001), "1" + kE + "-5");
    EXPECT_EQ(f.formatComplex(3, -4, false), "3-4" + kI);
    EXPECT_EQ(f.formatSigFig(0.0012, 3), ".00120" + kMark);
    EXPECT_EQ(NumberFormatter::printText(1.005, std::chars_format::fixed, 2), "1.01");
    EXPECT_EQ(fmt(0, 2).formatReal(2.675), "2.68");
    const VQMatrix m = matrixOf({{1, 2}, {3, 4}});
    EXPECT_EQ(f.formatMatrix(&m), "[[1 2] \n [3 4]]");
    const VQList list = reals({1, 2.5});
    EXPECT_EQ(f.formatList(&list), "{1 2.5}");
    int sigDec = 0;
    EXPECT_EQ(f.sigFigFor(1.25, sigDec), 3);
    EXPECT_EQ(sigDec, -2);
}

TEST(NumberFormatterLocale, GlobalCppLocaleWithDecimalComma)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    expectLocaleFreeTexts();
    std::locale::global(previous);
}

TEST(NumberFormatterLocale, GermanCLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    expectLocaleFreeTexts();
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
} // namespace orvenda
