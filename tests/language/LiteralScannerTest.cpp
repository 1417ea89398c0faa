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
    // With an exponent the pair keeps the last significant digit: sigDec = E + 1 - sigFig
    // for the value's leading exponent E.
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

TEST(LiteralScanner, LongMantissas)
{
    // Halfway between two doubles: ties to even, and any later non-zero digit, however far
    // out, rounds up.
    EXPECT_EQ(number("9007199254740993").d.value, 9007199254740992.0);
    EXPECT_EQ(number("9007199254740993." + std::string(900, '0') + "1").d.value, 9007199254740994.0);
    EXPECT_EQ(number("9007199254740993" + std::string(300, '0') + "E~300").d.value, 9007199254740992.0);
    // Leading zeros take no room, wherever they stand.
    EXPECT_EQ(number(std::string(1000, '0') + "25").d.value, 25.0);
    EXPECT_EQ(number("0." + std::string(300, '0') + "15").d.value, 15e-302);
    EXPECT_EQ(number("1" + std::string(300, '0') + "E~300").d.value, 1.0);
    // Too small for a double is 0 even without a negative exponent; too large is infinite.
    EXPECT_EQ(number("0." + std::string(400, '0') + "1").d.value, 0.0);
    EXPECT_EQ(number("0." + std::string(400, '0') + "1E5").d.value, 0.0);
    EXPECT_TRUE(std::isinf(number("1" + std::string(400, '0')).d.value));
    EXPECT_TRUE(std::isinf(number("1" + std::string(900, '0') + "E~300").d.value));
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
    // A negation is the exponent's sign only right after "ᴱ"; elsewhere it ends the literal.
    const struct {
        const char* text;
        int start;
        double value;
        int next;
    } cases[] = {{"12+3", 0, 12, 2}, {"12~3", 0, 12, 2}, {"1E5~3", 0, 1e5, 3}, {"+45.5+", 1, 45.5, 5}};
    for (const auto& c : cases) {
        const Scan s = number(c.text, c.start);
        EXPECT_EQ(s.d.value, c.value) << c.text;
        EXPECT_EQ(s.c.next, c.next) << c.text;
    }
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

TEST(LiteralScanner, BinaryAndHexadecimal)
{
    using Parse = double (*)(LiteralScanner::OpSpan, LiteralScanner::Cursor&);
    const struct {
        Parse parse;
        std::vector<std::uint32_t> ops;
        double value;
        int next, error, errorToken;
    } cases[] = {
        {LiteralScanner::parseBinary, ops("1011+"), 11, 4, 0, 0},
        {LiteralScanner::parseBinary, ops("2"), 0, 0, 0, 0},
        {LiteralScanner::parseBinary, ops(std::string(32, '1')), 4294967295.0, 32, 0, 0},
        {LiteralScanner::parseBinary, ops(std::string(33, '1')), -1, -1, 27, 33},
        {LiteralScanner::parseHex, toks({"F", "F", "+"}), 255, 2, 0, 0},
        {LiteralScanner::parseHex, ops("FFFFFFFF"), 4294967295.0, 8, 0, 0},
        {LiteralScanner::parseHex, ops("1AG"), 26, 2, 0, 0},
        {LiteralScanner::parseHex, ops("123456789"), -1, -1, 27, 9},
    };
    for (const auto& c : cases) {
        LiteralScanner::Cursor cursor;
        const double value = c.parse(c.ops, cursor);
        EXPECT_EQ(cursor.error, c.error) << c.ops.size();
        if (c.error != 0) {
            EXPECT_EQ(cursor.errorToken, c.errorToken);
            continue;
        }
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(cursor.next, c.next);
    }
}

TEST(LiteralScanner, DegreesMinutesSeconds)
{
    // What follows "deg°": minutes and seconds taken, or the tokens left for the parser.
    const struct {
        const char* text;
        double deg;
        bool taken;
        double after;
        int next;
        bool decimal;
        int error, errorToken;
    } cases[] = {
        {"15'30\"+", 30, true, 30 + 15 / 60.0 + 30 / 3600.0, 6, false, 0, 0},
        {"7.5'", 10, true, 10.125, 4, true, 0, 0},
        {"30'", -10, true, -10.5, 3, false, 0, 0}, // negative degrees take the minutes away
        {"+1", 30, false, 30, 0, false, 0, 0},     // not a number at all
        {"15+", 30, false, 30, 0, false, 0, 0},    // a number without "'"
        {"15'30+", 30, false, 30, 5, false, 1, 5}, // seconds need their quote
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LiteralScanner::Cursor cursor;
        double deg = c.deg;
        bool dec = false;
        EXPECT_EQ(LiteralScanner::parseDMS(ops(c.text), cursor, deg, dec), c.taken);
        EXPECT_NEAR(deg, c.after, 1e-12);
        EXPECT_EQ(cursor.error, c.error);
        if (c.error != 0) {
            EXPECT_EQ(cursor.errorToken, c.errorToken);
            continue;
        }
        EXPECT_EQ(cursor.next, c.next);
        EXPECT_EQ(dec, c.decimal);
    }
}
