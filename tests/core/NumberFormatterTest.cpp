#include "core/NumberFormatter.h"

#include "core/Calculator.h"
#include "core/VQNumber.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <numbers>

namespace orvenda {
namespace {

using Settings = NumberFormatter::Settings;

const std::string kE = "\xE1\xB4\xB1";       // ᴱ
const std::string kI = "\xC9\xA9\xCC\x87";   // ɩ̇
const std::string kMark = "\xCC\xB2";        // combining low line

NumberFormatter fmt(int numFormat, int numDigits, char16_t grouping = u' ', int maxWidth = 15)
{
    Settings s;
    s.numFormat = numFormat;
    s.numDigits = numDigits;
    s.thousandSeperator = grouping;
    s.maxWidth = maxWidth;
    return NumberFormatter(s);
}

// ---- formatReal ----

TEST(NumberFormatterReal, FactorySettings)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatReal(2.0 / 3), ".6666666667");
    EXPECT_EQ(f.formatReal(123456789012.0), "1.23456789" + kE + "11");
    EXPECT_EQ(f.formatReal(0.0001234), "1.234" + kE + "-4");
    EXPECT_EQ(f.formatReal(-0.5), "-.5");
    EXPECT_EQ(f.formatReal(-0.25), "-.25");
    EXPECT_EQ(f.formatReal(0.0), "0");
    EXPECT_EQ(f.formatReal(-0.0), "0");
    EXPECT_EQ(f.formatReal(1234567890.0), "1234567890");
    EXPECT_EQ(f.formatReal(12345678901.0), "1.23456789" + kE + "10");
    EXPECT_EQ(f.formatReal(0.001), ".001");
    EXPECT_EQ(f.formatReal(0.000999), "9.99" + kE + "-4");
    EXPECT_EQ(f.formatReal(1e10), "1" + kE + "10");
    EXPECT_EQ(f.formatReal(1e100), "1" + kE + "100");
    EXPECT_EQ(f.formatReal(-1.5e-100), "-1.5" + kE + "-100");
    EXPECT_EQ(f.formatReal(-2.0 / 3), "-.6666666667");
    // A negative number shows the digits of its magnitude.
    EXPECT_EQ(f.formatReal(123.4567891234), "123.4567891");
    EXPECT_EQ(f.formatReal(-123.4567891234), "-123.4567891");
    EXPECT_EQ(f.formatReal(0.0012345678912), ".0012345679");
    EXPECT_EQ(f.formatReal(100.0), "100");
    EXPECT_EQ(f.formatReal(12.5), "12.5");
}

TEST(NumberFormatterReal, FixedDigits)
{
    EXPECT_EQ(fmt(0, 2).formatReal(0.0), ".00");
    EXPECT_EQ(fmt(0, 2).formatReal(1.0 / 3), ".33");
    EXPECT_EQ(fmt(0, 2).formatReal(-1.0 / 3), "-.33");
    EXPECT_EQ(fmt(0, 0).formatReal(2.6), "3");
    EXPECT_EQ(fmt(0, 4).formatReal(1.5), "1.5000");
    // Too wide for the decimals: fewer decimals first, then the exponent form.
    EXPECT_EQ(fmt(0, 9).formatReal(123456.0), "123456.00000000");
    EXPECT_EQ(fmt(0, 2).formatReal(1e20), "1.00" + kE + "20");
    // Below 0.001 Normal goes straight to the exponent form.
    EXPECT_EQ(fmt(0, 2).formatReal(0.0001234), "1.23" + kE + "-4");
}

TEST(NumberFormatterReal, RoundedNegativeZeroHasNoSign)
{
    EXPECT_EQ(fmt(0, 0).formatReal(-0.3), "0");
    EXPECT_EQ(fmt(0, 2).formatReal(-0.001), ".00");
    EXPECT_EQ(fmt(1, -1).formatReal(-0.0), "0" + kE + "0");
}

TEST(NumberFormatterReal, SciAndEng)
{
    EXPECT_EQ(fmt(1, -1).formatReal(0.0), "0" + kE + "0");
    EXPECT_EQ(fmt(1, 3).formatReal(1234.0), "1.234" + kE + "3");
    EXPECT_EQ(fmt(1, -1).formatReal(100.0), "1" + kE + "2");
    EXPECT_EQ(fmt(1, -1).formatReal(-0.5), "-5" + kE + "-1");
    EXPECT_EQ(fmt(1, 0).formatReal(1234.0), "1" + kE + "3");
    EXPECT_EQ(fmt(2, 2).formatReal(12346.0), "12.35" + kE + "3");
    EXPECT_EQ(fmt(2, -1).formatReal(0.00123), "1.23" + kE + "-3");
    EXPECT_EQ(fmt(2, -1).formatReal(12300.0), "12.3" + kE + "3");
    EXPECT_EQ(fmt(2, -1).formatReal(999999999999.0), "1" + kE + "12");
    EXPECT_EQ(fmt(2, -1).formatReal(0.0123), "12.3" + kE + "-3");
    EXPECT_EQ(fmt(2, -1).formatReal(-123456.0), "-123.456" + kE + "3");
    EXPECT_EQ(fmt(2, -1).formatReal(1.0), "1" + kE + "0");
    EXPECT_EQ(fmt(2, 0).formatReal(12345.0), "12" + kE + "3");
    EXPECT_EQ(fmt(2, 3).formatReal(0.000123), "123.000" + kE + "-6");
}

TEST(NumberFormatterReal, Width)
{
    // The decimal form is too wide; the exponent step keeps cutting the precision.
    EXPECT_EQ(fmt(0, -1, u' ', 5).formatReal(2.0 / 3), "0.667");
    EXPECT_EQ(fmt(1, -1, u' ', 6).formatReal(2.0 / 3), "6.7" + kE + "-1");
    // At precision 0 a text still too long stands.
    EXPECT_EQ(fmt(1, -1, u' ', 2).formatReal(-123.0), "-1" + kE + "2");
}

TEST(NumberFormatterReal, Grouping)
{
    EXPECT_EQ(fmt(0, -1, u',').formatReal(1234567.0), "1,234,567");
    EXPECT_EQ(fmt(0, -1, u',').formatReal(-123456.0), "-123,456");
    EXPECT_EQ(fmt(0, -1, u',').formatReal(123.0), "123");
    EXPECT_EQ(fmt(0, -1, u'.').formatReal(1234.5), "1.234,5");
    EXPECT_EQ(fmt(0, 6, u'+').formatReal(1234.123456), "1 234.123 456");
    EXPECT_EQ(fmt(0, -1, u'+').formatReal(0.1234), ".123 4");
    // No grouping in the exponent form.
    EXPECT_EQ(fmt(0, -1, u',').formatReal(123456789012.0), "1.23456789" + kE + "11");
}

TEST(NumberFormatterReal, Bases)
{
    Settings s;
    s.numBase = 1;
    EXPECT_EQ(NumberFormatter(s).formatReal(10.0), "0b1010");
    EXPECT_EQ(NumberFormatter(s).formatReal(10.5), "10.5");
    s.numBase = 2;
    EXPECT_EQ(NumberFormatter(s).formatReal(255.0), "0hFF");
    EXPECT_EQ(NumberFormatter::formatBinary(0.0), "0b0");
    EXPECT_EQ(NumberFormatter::formatBinary(-5.0), "0b0");
    EXPECT_EQ(NumberFormatter::formatHex(1e12), "0hFFFFFFFF");
    EXPECT_EQ(NumberFormatter::formatHex(std::numeric_limits<double>::quiet_NaN()), "0h0");
    EXPECT_EQ(NumberFormatter::formatHex(3000000000.0), "0hB2D05E00");
}

TEST(NumberFormatterReal, NonFinite)
{
    NumberFormatter f;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(f.formatReal(inf), "INF");
    EXPECT_EQ(f.formatReal(-inf), "-INF");
    EXPECT_EQ(f.formatReal(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(fmt(2, 3).formatReal(inf), "INF");
    EXPECT_EQ(f.formatFraction(inf), "INF");
    EXPECT_EQ(f.formatSigFig(std::numeric_limits<double>::quiet_NaN(), 3).substr(0, 3), "NAN");
}

TEST(NumberFormatterReal, ByDisplayMode)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatReal(1.25, 0), "1.25");
    EXPECT_EQ(f.formatReal(1.25, 1), "5/4");
    EXPECT_EQ(f.formatReal(1.75, 2), "1\xC2\xB3/\xE2\x82\x84");
    EXPECT_EQ(f.formatReal(1.25, 3), "1.25");
    EXPECT_EQ(f.formatReal(10.0, 4), "0b1010");
    EXPECT_EQ(f.formatReal(255.0, 5), "0hFF");
    EXPECT_EQ(f.formatReal(-5.0, 6), "5e^(180" + kI + ")");
    EXPECT_EQ(f.formatReal(-5.0, 7), "-5");
    EXPECT_EQ(f.formatReal(30.5, 8), "30\xC2\xB0" "30'0\"");
    EXPECT_EQ(f.formatReal(2.0 / 3, 9), ".6666666667" + kMark);
    EXPECT_EQ(f.formatReal(1.25, 42), "1.25");
}

TEST(NumberFormatterReal, TemporaryOverride)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatReal(1234.0, 3, 1), "1.234" + kE + "3");
    EXPECT_EQ(f.formatReal(1.0 / 3, 2, 0), ".33");
    // The settings are untouched afterwards.
    EXPECT_EQ(f.formatReal(1234.0), "1234");
    EXPECT_EQ(f.formatTable(1234.0), "1234");
}

// ---- Fractions, mixed numbers, degrees ----

TEST(NumberFormatterFraction, Improper)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatFraction(1.25), "5/4");
    EXPECT_EQ(f.formatFraction(-0.5), "-1/2");
    EXPECT_EQ(f.formatFraction(0.3333333333), "1/3");
    EXPECT_EQ(f.formatFraction(0.00001), "1" + kE + "-5");
    EXPECT_EQ(f.formatFraction(0.99999999999), "1");
    EXPECT_EQ(f.formatFraction(3.0), "3");
    EXPECT_EQ(f.formatFraction(-2.0 / 7), "-2/7");
    EXPECT_EQ(f.formatFraction(355.0 / 113), "355/113");
    EXPECT_EQ(f.formatFraction(std::numbers::pi), "3.141592654");
    // No convergent within the largest denominator: the decimal text.
    EXPECT_EQ(f.formatFraction(0.1234567891), ".1234567891");
    Settings fixed;
    fixed.fixDenominator = true;
    EXPECT_EQ(NumberFormatter(fixed).formatFraction(0.5), ".5");
    Settings small;
    small.maxDenominator = 10;
    EXPECT_EQ(NumberFormatter(small).formatFraction(1.0 / 3), "1/3");
    EXPECT_EQ(NumberFormatter(small).formatFraction(1.0 / 17), ".0588235294");
}

TEST(NumberFormatterFraction, ContinuedFraction)
{
    NumberFormatter f;
    long long n = 0, d = 0;
    EXPECT_EQ(f.convertToFraction2(-2.75, n, d), 2.0);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(d, 4);
    EXPECT_EQ(f.convertToFraction2(4.99999999999, n, d), 5.0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(d, 0);
    EXPECT_TRUE(std::isnan(f.convertToFraction2(std::numeric_limits<double>::quiet_NaN(), n, d)));
    EXPECT_EQ(d, 0);
    const double terms[] = {2, 1, 3};
    double num = 0, den = 0;
    NumberFormatter::makeFraction(terms, 3, num, den);
    // 1 / (2 + 1 / (1 + 1/3)) = 4/11
    EXPECT_EQ(num, 4);
    EXPECT_EQ(den, 11);
}

TEST(NumberFormatterFraction, MixedNumbers)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatABC(1.75), "1\xC2\xB3/\xE2\x82\x84");
    EXPECT_EQ(f.formatABC(-0.5), "-\xC2\xB9/\xE2\x82\x82");
    EXPECT_EQ(f.formatABC(12.0 + 10.0 / 11), "12\xC2\xB9\xE2\x81\xB0/\xE2\x82\x81\xE2\x82\x81");
    EXPECT_EQ(f.format84ABC(1.75), "1\xE2\x90\xA3" "3/4");
    EXPECT_EQ(f.format84ABC(-2.5), "-2\xE2\x90\xA3" "1/2");
    EXPECT_EQ(f.format84ABC(0.25), "1/4");
    // Without a fraction the Normal decimal text, whatever the number format.
    EXPECT_EQ(fmt(1, -1).formatABC(1234.0), "1234");
    EXPECT_EQ(fmt(1, -1).format84ABC(1234.0), "1234");
}

TEST(NumberFormatterFraction, DegreesMinutesSeconds)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatDMS(30.5), "30\xC2\xB0" "30'0\"");
    EXPECT_EQ(f.formatDMS(-30.5), "-30\xC2\xB0-30'0\"");
    EXPECT_EQ(f.formatDMS(10.25125), "10\xC2\xB0" "15'4.5\"");
    // Seconds rounding to 60 carry into the minutes, and on into the degrees.
    EXPECT_EQ(f.formatDMS(1.9999999), "2\xC2\xB0" "0'0\"");
    EXPECT_EQ(f.formatDMS(-1.9999999), "-2\xC2\xB0" "0'0\"");
    EXPECT_EQ(f.formatDMS(0.0), "0\xC2\xB0" "0'0\"");
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
    EXPECT_TRUE(std::isinf(NumberFormatter::roundSigFigures(std::numeric_limits<double>::infinity(), 3)));
}

// ---- Significant figures ----

TEST(NumberFormatterSigFig, Marked)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatSigFig(2.5, 1), "2" + kMark);
    EXPECT_EQ(f.formatSigFig(3.5, 1), "4" + kMark);
    EXPECT_EQ(f.formatSigFig(0.0012, 3), ".00120" + kMark);
    EXPECT_EQ(f.formatSigFig(1234.5, 2), "12" + kMark + "00");
    EXPECT_EQ(f.formatSigFig(-2.5, 1), "-2" + kMark);
    EXPECT_EQ(f.formatSigFig(1.5, 3), "1.50" + kMark);
    EXPECT_EQ(f.formatSigFig(0.125, 2), ".12" + kMark);
    EXPECT_EQ(f.formatSigFig(1.5e-5, 2), "1.5" + kMark + kE + "-5");
    EXPECT_EQ(f.formatSigFig(1e12, 3), "1.00" + kMark + kE + "12");
    EXPECT_EQ(f.formatSigFig(5.0, 0), "0");
    // Beyond 14 figures the text is not marked.
    EXPECT_EQ(f.formatSigFig(2.0 / 3, 15), ".6666666667");
}

TEST(NumberFormatterSigFig, NegativeBelowOneKeepsItsZeros)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatSigFig(-0.0012, 3), "-.00120" + kMark);
}

TEST(NumberFormatterSigFig, GroupedText)
{
    EXPECT_EQ(fmt(0, -1, u',').formatSigFig(1234.0, 3), "1,23" + kMark + "0");
    EXPECT_EQ(fmt(0, -1, u'.').formatSigFig(1.5, 3), "1,50" + kMark);
}

TEST(NumberFormatterSigFig, SigFigFor)
{
    NumberFormatter f;
    int sigDec = 99;
    EXPECT_EQ(f.sigFigFor(1200, sigDec), 2);
    EXPECT_EQ(sigDec, 2);
    EXPECT_EQ(f.sigFigFor(1.25, sigDec), 3);
    EXPECT_EQ(sigDec, -2);
    EXPECT_EQ(f.sigFigFor(1.5e-5, sigDec), 2);
    EXPECT_EQ(sigDec, -6);
    EXPECT_EQ(f.sigFigFor(10.5, sigDec), 3);
    EXPECT_EQ(sigDec, -1);
    EXPECT_EQ(f.sigFigFor(0.0123, sigDec), 3);
    EXPECT_EQ(sigDec, -4);
    EXPECT_EQ(f.sigFigFor(123456789012.0, sigDec), 9);
    EXPECT_EQ(sigDec, 3);
    EXPECT_EQ(f.sigFigFor(0, sigDec), 0);
    EXPECT_EQ(sigDec, 0);
    EXPECT_EQ(f.sigFigFor(1e300, sigDec), 1);
    EXPECT_EQ(sigDec, 300);
}

TEST(NumberFormatterSigFig, SigFigForNegativeCountsTheMagnitude)
{
    NumberFormatter f;
    int sigDec = 0;
    EXPECT_EQ(f.sigFigFor(-1200, sigDec), 2);
    EXPECT_EQ(sigDec, 2);
    EXPECT_EQ(f.sigFigFor(-1.5e-5, sigDec), 2);
    EXPECT_EQ(sigDec, -6);
}

TEST(NumberFormatterSigFig, SigFigForIgnoresDisplayModes)
{
    Settings s;
    s.numFormat = 2;
    s.numDigits = 3;
    s.numBase = 1;
    s.thousandSeperator = u',';
    int sigDec = 0;
    EXPECT_EQ(NumberFormatter(s).sigFigFor(1200, sigDec), 2);
    EXPECT_EQ(sigDec, 2);
    EXPECT_EQ(NumberFormatter(s).sigFigFor(1234.5, sigDec), 5);
    EXPECT_EQ(sigDec, -1);
}

// ---- Complex numbers ----

TEST(NumberFormatterComplex, Rectangular)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatComplex(3, 4, false), "3+4" + kI);
    EXPECT_EQ(f.formatComplex(3, -4, false), "3-4" + kI);
    EXPECT_EQ(f.formatComplex(0, 1, false), kI);
    EXPECT_EQ(f.formatComplex(0, -1, false), "-" + kI);
    EXPECT_EQ(f.formatComplex(2, 0, false), "2");
    EXPECT_EQ(f.formatComplex(0, 2.5, false), "2.5" + kI);
    EXPECT_EQ(f.formatComplex(-1.5, 1, false), "-1.5+" + kI);
    EXPECT_EQ(f.formatComplex(0.5, -0.25, false), ".5-.25" + kI);
}

TEST(NumberFormatterComplex, Polar)
{
    Settings s;
    s.angleFormat = 1;
    NumberFormatter radian(s);
    EXPECT_EQ(radian.formatComplex(0, 2, true), "2e^(1.570796327" + kI + ")");
    EXPECT_EQ(radian.formatComplex(5, 0, true), "5");
    NumberFormatter degree;
    EXPECT_EQ(degree.formatComplex(0, 2, true), "2e^(90" + kI + ")");
    EXPECT_EQ(degree.formatComplex(3, -4, true), "5e^(-53.13010235" + kI + ")");
    // A negative zero imaginary part is zero: the angle is +180, not -180.
    EXPECT_EQ(degree.formatComplex(-5, -0.0, true), "5e^(180" + kI + ")");
}

TEST(NumberFormatterComplex, NoiseAndNegativeZero)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatComplex(2, 1e-16, 0), "2");
    EXPECT_EQ(f.formatComplex(2, 1e-16, false), "2");
    EXPECT_EQ(f.formatComplex(1e-17, 3, false), "3" + kI);
    EXPECT_EQ(f.formatComplex(-1.0, 1.2246467991473532e-16, 7), "-1");
    EXPECT_EQ(f.formatComplex(-0.0, -0.0, false), "0");
    EXPECT_EQ(f.formatComplex(-0.0, 2.0, false), "2" + kI);
    EXPECT_EQ(f.formatCPLXFraction(0.5, -1e-16), "1/2");
    // A real value keeps a small real part.
    EXPECT_EQ(f.formatComplex(1e-20, 0.0, false), "1" + kE + "-20");
}

TEST(NumberFormatterComplex, ByDisplayMode)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatComplex(0.5, -1, 1), "1/2\xE2\x80\x94" + kI);
    EXPECT_EQ(f.formatCPLXFraction(0.5, -1), "1/2\xE2\x80\x94" + kI);
    EXPECT_EQ(f.formatCPLXFraction(0.5, 1), "1/2+" + kI);
    EXPECT_EQ(f.formatCPLXFraction(1.25, -0.75), "5/4-3/4" + kI);
    EXPECT_EQ(f.formatCPLXFraction(0.25, 0), "1/4");
    EXPECT_EQ(f.formatComplex(1.5, 0.5, 2), "1\xC2\xB9/\xE2\x82\x82+\xC2\xB9/\xE2\x82\x82" + kI);
    EXPECT_EQ(f.formatCPLXABC(0, -1), "\xE2\x80\x94" + kI);
    EXPECT_EQ(f.formatComplex(0, 2, 6), "2e^(90" + kI + ")");
    EXPECT_EQ(f.formatComplex(0, 2, 7), "2" + kI);
    EXPECT_EQ(f.formatComplex(0, 2, 0), "2" + kI);
    Settings s;
    s.realCplxMode = 2;
    EXPECT_EQ(NumberFormatter(s).formatComplex(0, 2, 0), "2e^(90" + kI + ")");
    EXPECT_EQ(NumberFormatter(s).formatComplex(0, 2, 3), "2e^(90" + kI + ")");
}

// ---- Lists and matrices ----

VQList realList(std::initializer_list<double> values, int sigFig = 15)
{
    VQList list;
    for (double v : values)
        list.addReal(v, sigFig, -15);
    return list;
}

VQMatrix matrixOf(std::initializer_list<std::initializer_list<double>> rows)
{
    VQMatrix m = *VQMatrix::matrixWithRow(rows.size(), rows.begin()->size());
    std::size_t r = 0;
    for (auto row : rows) {
        std::size_t c = 0;
        for (double v : row)
            m.set(v, r, c++);
        ++r;
    }
    return m;
}

TEST(NumberFormatterList, RealLists)
{
    NumberFormatter f;
    const VQList empty;
    EXPECT_EQ(f.formatList(nullptr), "");
    EXPECT_EQ(f.formatList(&empty), "{}");
    EXPECT_EQ(f.formatList(&empty, 9), "{}");
    const VQList list = realList({1, 2.5});
    EXPECT_EQ(f.formatList(&list), "{1 2.5}");
    EXPECT_EQ(f.formatList(&list, 0), "{1 2.5}");
    EXPECT_EQ(f.formatList(&list, 1), "{1 5/2}");
    EXPECT_EQ(f.formatListFract(&list), "{1 5/2}");
    EXPECT_EQ(f.formatListABC(&list), "{1 2\xC2\xB9/\xE2\x82\x82}");
    EXPECT_EQ(f.formatList(&list, 5), "{0h1 0h2}");
    // Mode 9 shows each element with its own figures.
    VQList figures;
    figures.addReal(2.5, 1, 0);
    figures.addReal(0.0012, 3, -5);
    EXPECT_EQ(f.formatList(&figures, 9), "{2" + kMark + " .00120" + kMark + "}");
    EXPECT_EQ(fmt(2, 2).formatList(&list), "{1.00" + kE + "0 2.50" + kE + "0}");
}

TEST(NumberFormatterList, ComplexLists)
{
    NumberFormatter f;
    VQList list;
    list.addComplex({3, -4});
    list.addComplex({0.5, 0});
    list.addComplex({0, 2});
    ASSERT_EQ(list.type(), 1);
    EXPECT_EQ(f.formatList(&list), "{3-4" + kI + " .5 2" + kI + "}");
    EXPECT_EQ(f.formatList(&list, 0), "{3-4" + kI + " .5 2" + kI + "}");
    EXPECT_EQ(f.formatList(&list, 6), "{5e^(-53.13010235" + kI + ") .5 2e^(90" + kI + ")}");
    EXPECT_EQ(f.formatComplexList(&list, true), "{5e^(-53.13010235" + kI + ") .5 2e^(90" + kI + ")}");
    EXPECT_EQ(f.formatListFract(&list), "{3-4" + kI + " 1/2 2" + kI + "}");
    EXPECT_EQ(f.formatListCPLXFraction(&list), "{3-4" + kI + " 1/2 2" + kI + "}");
    EXPECT_EQ(f.formatListCPLXABC(&list), "{3-4" + kI + " \xC2\xB9/\xE2\x82\x82 2" + kI + "}");
    Settings polar;
    polar.realCplxMode = 2;
    EXPECT_EQ(NumberFormatter(polar).formatList(&list), "{5e^(-53.13010235" + kI + ") .5 2e^(90" + kI + ")}");
    // Noise in a part is dropped.
    VQList noisy;
    noisy.addComplex({-1, 1.2246467991473532e-16});
    noisy.setType(1);
    EXPECT_EQ(f.formatList(&noisy), "{-1}");
}

TEST(NumberFormatterMatrix, Layout)
{
    NumberFormatter f;
    EXPECT_EQ(f.formatMatrix(nullptr), "");
    const VQMatrix none;
    EXPECT_EQ(f.formatMatrix(&none), "");
    EXPECT_EQ(f.formatMatrix(&none, 0), "");
    const VQMatrix m = matrixOf({{1, 2}, {3, 4}});
    EXPECT_EQ(f.formatMatrix(&m), "[[1 2] \n [3 4]]");
    EXPECT_EQ(f.formatMatrix(&m, 0), "[[1 2] \n [3 4]]");
    // A wider cell moves the later columns of every row.
    const VQMatrix wide = matrixOf({{1, 2, 3}, {-12.5, 4, 5}});
    EXPECT_EQ(f.formatMatrix(&wide), "[[1     2 3] \n [-12.5 4 5]]");
    const VQMatrix single = matrixOf({{7}});
    EXPECT_EQ(f.formatMatrix(&single), "[[7]]");
    const VQMatrix column = matrixOf({{1}, {22}, {333}});
    // The last column is padded too, so the closing brackets line up.
    EXPECT_EQ(f.formatMatrix(&column), "[[1  ] \n [22 ] \n [333]]");
    EXPECT_EQ(f.formatMatrix(&m, 1), "[[1 2] \n [3 4]]");
    const VQMatrix halves = matrixOf({{0.5, 1}, {1.5, 2}});
    EXPECT_EQ(f.formatMatrix(&halves, 1), "[[1/2 1] \n [3/2 2]]");
}

TEST(NumberFormatterMatrix, SignificantFiguresAlignByDisplayWidth)
{
    NumberFormatter f;
    VQMatrix m = matrixOf({{2.5, 1}, {10, 2}});
    m.setSNum({1, 0, 2.5}, 0, 0);
    m.setSNum({2, 0, 10}, 1, 0);
    m.setSNum({1, 0, 1}, 0, 1);
    m.setSNum({1, 0, 2}, 1, 1);
    // The mark takes no column: "2̲" is one wide, "10̲" two.
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

TEST(NumberFormatterText, OpCodeForChar)
{
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'='), 0u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'm'), 0xBBBDu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'a'), 0xBBB0u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'k'), 0xBBBAu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'l'), 0xBBBCu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'z'), 0xBBCAu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'A'), 0x41u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'7'), 0x37u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U' '), 0x29u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'"'), 0x2Au);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'\''), 0xAEu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'\u0332'), 0x5C65u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'\u1D31'), 0x3Bu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'\uFF0F'), 0xEF38u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'Í'), 0xBBCDu);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'ñ'), 0xBB99u);
    EXPECT_EQ(NumberFormatter::opCodeForChar(U'Õ'), 0u);
}

// ---- The calculator's settings and the archive pair ----

TEST(NumberFormatterCalculator, FollowsTheModeFields)
{
    Calculator calc;
    EXPECT_EQ(calc.formatReal(2.0 / 3), ".6666666667");
    calc.numDigits = 2;
    calc.thousandSeperator = u',';
    EXPECT_EQ(calc.formatReal(1234.5), "1,234.50");
    EXPECT_EQ(calc.formatReal(1234.56, 3, 1), "1.235" + kE + "3");
    calc.numDigits = -1;
    calc.thousandSeperator = u' ';
    calc.setAngleFormat(1);
    EXPECT_EQ(calc.formatComplex(0, 2, true), "2e^(1.570796327" + kI + ")");
    calc.setRealCplxMode(2);
    EXPECT_EQ(calc.formatComplex(0, 2, 0), "2e^(1.570796327" + kI + ")");
    calc.maxDenominator = 10;
    EXPECT_EQ(calc.formatFraction(1.0 / 17), ".0588235294");
    int sigDec = 0;
    EXPECT_EQ(calc.sigFigFor(1200, sigDec), 2);
    EXPECT_EQ(sigDec, 2);
}

TEST(NumberFormatterCalculator, ArchivedNumbersWithoutPairReadTheirFigures)
{
    EXPECT_EQ(VQNumber::derivedPair(1200.0), std::make_pair(2, 2));
    EXPECT_EQ(VQNumber::derivedPair(-1.25), std::make_pair(3, -2));
    const VQNumber n = VQNumber::decode(nlohmann::json{{"r", 1.5e-5}, {"i", 0.0}});
    EXPECT_EQ(n.sigFig(), 2);
    EXPECT_EQ(n.sigDec(), -6);
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
    const VQMatrix m = matrixOf({{1, 2}, {3, 4}});
    EXPECT_EQ(f.formatMatrix(&m), "[[1 2] \n [3 4]]");
    const VQList list = realList({1, 2.5});
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
