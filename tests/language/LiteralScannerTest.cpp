#include "language/LiteralScanner.h"

#include "eval/TestTokens.h"

#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using orvenda::LiteralScanner;
using orvenda::testing::toks;

namespace {

constexpr std::uint32_t E = 0x3B;     // "ᴱ"
constexpr std::uint32_t NEG = 0xB0;   // negation
constexpr std::uint32_t PT = 0x3A;    // "."
constexpr std::uint32_t MIN = 0xAE;   // "'"
constexpr std::uint32_t QUOTE = 0x2A;
constexpr std::uint32_t PLUS = 0x70;

std::vector<std::uint32_t> ops(const std::string& text)
{
    std::vector<std::uint32_t> out;
    for (char c : text) {
        switch (c) {
        case '.': out.push_back(PT); break;
        case 'E': out.push_back(E); break;
        case '~': out.push_back(NEG); break;
        case 'x': out.push_back(0xBBC8); break;
        case '+': out.push_back(PLUS); break;
        case '\'': out.push_back(MIN); break;
        case '"': out.push_back(QUOTE); break;
        default: out.push_back(static_cast<std::uint32_t>(c)); break;
        }
    }
    return out;
}

struct Scan {
    LiteralScanner::Decimal d;
    LiteralScanner::Cursor c;
};

Scan number(const std::string& text, int start = 0)
{
    const auto o = ops(text);
    Scan s;
    s.c.next = start;
    s.d = LiteralScanner::parseNumber(o, s.c);
    return s;
}

void expectNumber(const std::string& text, double value, int sigFig, int digDec, bool decimal)
{
    const Scan s = number(text);
    SCOPED_TRACE(text);
    EXPECT_EQ(s.c.error, 0);
    EXPECT_EQ(s.d.value, value);
    EXPECT_EQ(s.d.sigFig, sigFig);
    EXPECT_EQ(s.d.digDec, digDec);
    EXPECT_EQ(s.d.hasDecimal, decimal);
    EXPECT_EQ(s.c.next, static_cast<int>(ops(text).size()));
}

} // namespace

TEST(LiteralScanner, DecimalSignificance)
{
    expectNumber("1200", 1200, 2, 2, false);
    expectNumber("12.50", 12.5, 4, -2, true);
    expectNumber("0.05", 0.05, 1, -2, true);
    expectNumber("100.", 100, 3, 0, true);
    expectNumber("1.20E3", 1200, 3, 1, true);
    expectNumber("007", 7, 1, 0, false);
    expectNumber("0.0", 0, 0, -1, true);
    expectNumber("1020", 1020, 3, 1, false);
    expectNumber("1.5x", 1.5, 15, -15, true);
}

TEST(LiteralScanner, ExponentKeepsTheLastSignificantDigit)
{
    // The pair must satisfy sigDec = E + 1 - sigFig for the value's leading exponent E.
    expectNumber("12E3", 12000, 2, 3, false);
    expectNumber("0.05E3", 50, 1, 1, true);
    expectNumber("1.20E~3", 0.0012, 3, -5, true);
    expectNumber("1200E3", 1200000, 4, 3, false);
}

TEST(LiteralScanner, ExponentForms)
{
    EXPECT_EQ(number("E5").d.value, 100000);
    EXPECT_EQ(number("1E308").d.value, 1e308);
    EXPECT_EQ(number("1E308").c.error, 0);
    EXPECT_EQ(number("2E~3").d.value, 0.002);
    EXPECT_TRUE(std::isinf(number("9E308").d.value));
    EXPECT_EQ(number("0.00000000000000000001E~308").d.value, 0.0);
    // The correctly rounded double of the typed text.
    EXPECT_EQ(number("0.1").d.value, 0.1);
    EXPECT_EQ(number("123456789012345678901234567890").d.value, 123456789012345678901234567890.0);
}

TEST(LiteralScanner, DecimalErrors)
{
    struct Case {
        const char* text;
        int token;
    } cases[] = {
        {"1E309", 4},  // exponent too large, at its last digit
        {"1..2", 2},   // second point
        {"1E3.5", 3},  // point in the exponent
        {"1E3E4", 3},  // second exponent mark
        {"1E", 2},     // no exponent digits
        {"1E~", 3},
    };
    for (const auto& c : cases) {
        const Scan s = number(c.text);
        EXPECT_EQ(s.c.error, 1) << c.text;
        EXPECT_EQ(s.c.errorToken, c.token) << c.text;
    }
}

TEST(LiteralScanner, LiteralEndsAtForeignTokens)
{
    Scan s = number("12+3");
    EXPECT_EQ(s.d.value, 12);
    EXPECT_EQ(s.c.next, 2);
    // A negation is the exponent's sign only right after "ᴱ"; elsewhere it ends the literal.
    s = number("12~3");
    EXPECT_EQ(s.d.value, 12);
    EXPECT_EQ(s.c.next, 2);
    s = number("1E5~3");
    EXPECT_EQ(s.d.value, 1e5);
    EXPECT_EQ(s.c.next, 3);
    // Scanning from the middle of an op array.
    s = number("+45.5+", 1);
    EXPECT_EQ(s.d.value, 45.5);
    EXPECT_EQ(s.c.next, 5);
}

TEST(LiteralScanner, SameUnderAnyLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    const Scan s = number("12.50");
    const Scan e = number("2.5E~1");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(s.d.value, 12.5);
    EXPECT_EQ(e.d.value, 0.25);
}

TEST(LiteralScanner, Binary)
{
    LiteralScanner::Cursor c;
    EXPECT_EQ(LiteralScanner::parseBinary(ops("1011+"), c), 11);
    EXPECT_EQ(c.next, 4);

    c = {};
    EXPECT_EQ(LiteralScanner::parseBinary(ops("2"), c), 0);
    EXPECT_EQ(c.next, 0);

    c = {};
    EXPECT_EQ(LiteralScanner::parseBinary(ops(std::string(32, '1')), c), 4294967295.0);
    EXPECT_EQ(c.error, 0);

    c = {};
    LiteralScanner::parseBinary(ops(std::string(33, '1')), c);
    EXPECT_EQ(c.error, 27);
    EXPECT_EQ(c.errorToken, 33);
}

TEST(LiteralScanner, Hexadecimal)
{
    LiteralScanner::Cursor c;
    EXPECT_EQ(LiteralScanner::parseHex(toks({"F", "F", "+"}), c), 255);
    EXPECT_EQ(c.next, 2);

    c = {};
    EXPECT_EQ(LiteralScanner::parseHex(ops("FFFFFFFF"), c), 4294967295.0);
    EXPECT_EQ(c.error, 0);

    c = {};
    EXPECT_EQ(LiteralScanner::parseHex(ops("1AG"), c), 26);
    EXPECT_EQ(c.next, 2);

    c = {};
    LiteralScanner::parseHex(ops("123456789"), c);
    EXPECT_EQ(c.error, 27);
    EXPECT_EQ(c.errorToken, 9);
}

TEST(LiteralScanner, DegreesMinutesSeconds)
{
    // After "30°": 15'30"
    LiteralScanner::Cursor c;
    double deg = 30;
    bool dec = false;
    const auto o = ops("15'30\"+");
    EXPECT_TRUE(LiteralScanner::parseDMS(o, c, deg, dec));
    EXPECT_NEAR(deg, 30 + 15 / 60.0 + 30 / 3600.0, 1e-12);
    EXPECT_EQ(c.next, 6);
    EXPECT_FALSE(dec);

    // Minutes only, with a decimal point.
    c = {};
    deg = 10;
    EXPECT_TRUE(LiteralScanner::parseDMS(ops("7.5'"), c, deg, dec));
    EXPECT_DOUBLE_EQ(deg, 10.125);
    EXPECT_TRUE(dec);

    // Negative degrees take the minutes away.
    c = {};
    deg = -10;
    EXPECT_TRUE(LiteralScanner::parseDMS(ops("30'"), c, deg, dec));
    EXPECT_DOUBLE_EQ(deg, -10.5);
}

TEST(LiteralScanner, DegreesWithoutMinutesLoseNoTokens)
{
    LiteralScanner::Cursor c;
    double deg = 30;
    bool dec = false;
    // Not a number at all.
    EXPECT_FALSE(LiteralScanner::parseDMS(ops("+1"), c, deg, dec));
    EXPECT_EQ(c.next, 0);
    // A number without "'": left in place for the parser.
    EXPECT_FALSE(LiteralScanner::parseDMS(ops("15+"), c, deg, dec));
    EXPECT_EQ(c.next, 0);
    EXPECT_EQ(c.error, 0);
    EXPECT_EQ(deg, 30);
}

TEST(LiteralScanner, SecondsNeedTheirQuote)
{
    LiteralScanner::Cursor c;
    double deg = 30;
    bool dec = false;
    EXPECT_FALSE(LiteralScanner::parseDMS(ops("15'30+"), c, deg, dec));
    EXPECT_EQ(c.error, 1);
    EXPECT_EQ(c.errorToken, 5);
    EXPECT_EQ(deg, 30);
}
