#include "language/LiteralScanner.h"

#include <charconv>
#include <limits>
#include <string>

namespace orvenda {

namespace {

constexpr int kErrSyntax = 1;
constexpr int kErrArgument = 27;

constexpr std::uint32_t kPoint = 0x3A;
constexpr std::uint32_t kExponent = 0x3B;  // "ᴱ"
constexpr std::uint32_t kNegate = 0xB0;
constexpr std::uint32_t kExact = 0xBBC8;   // lower-case "x"
constexpr std::uint32_t kMinuteMark = 0xAE; // "'"
constexpr std::uint32_t kQuote = 0x2A;      // closes the seconds
constexpr int kMaxExponent = 308;
constexpr int kMaxBinaryDigits = 32;
constexpr int kMaxHexDigits = 8;

std::uint32_t tokenAt(LiteralScanner::OpSpan ops, int i)
{
    return (i >= 0 && static_cast<std::size_t>(i) < ops.size()) ? (ops[static_cast<std::size_t>(i)] & 0xFFFFu) : 0xFFFFFFFFu;
}

bool fail(LiteralScanner::Cursor& cursor, int error, int token)
{
    cursor.error = error;
    cursor.errorToken = token;
    return false;
}

// The correctly rounded double of the collected text; a value too large for a double is
// infinite, one too small is 0.
double convert(const std::string& text, bool negativeExponent)
{
    const char* first = text.data();
    const char* last = first + text.size();
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range)
        return negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    if (ec != std::errc())
        return 0.0;  // "." alone
    return value;
}

// The value of a 0-9 or A-F token; -1 for any other token.
int digitValue(std::uint32_t t)
{
    if (LiteralScanner::isDigit(t))
        return static_cast<int>(t - 0x30);
    if (t >= 0x41 && t <= 0x46)
        return static_cast<int>(t - 0x41) + 10;
    return -1;
}

// Digits of a base up to 16; one more than maxDigits is an argument error at the token
// after it.
double parseDigits(LiteralScanner::OpSpan ops, LiteralScanner::Cursor& cursor, int base, int maxDigits)
{
    double value = 0;
    int digits = 0;
    for (;; ++cursor.next) {
        const int d = digitValue(tokenAt(ops, cursor.next));
        if (d < 0 || d >= base)
            break;
        if (++digits > maxDigits) {
            ++cursor.next;
            fail(cursor, kErrArgument, cursor.next);
            return value;
        }
        value = base * value + d;
    }
    return value;
}

} // namespace

LiteralScanner::Decimal LiteralScanner::parseNumber(OpSpan ops, Cursor& cursor)
{
    Decimal out;
    std::string text;
    text.reserve(24);
    int pendingZeros = 0;
    bool nonZeroSeen = false;
    bool afterPoint = false;
    bool inExponent = false;
    bool exponentDigits = false;
    bool exponentSignAllowed = false;
    bool exact = false;
    int exponent = 0;
    int exponentSign = 1;
    int sig = 0;
    int pos = 0;

    int& i = cursor.next;
    for (;; ++i) {
        const std::uint32_t t = tokenAt(ops, i);
        if (isDigit(t)) {
            const int d = static_cast<int>(t - 0x30);
            exponentSignAllowed = false;
            if (inExponent) {
                exponent = exponent * 10 + d;
                exponentDigits = true;
                if (exponent > kMaxExponent) {
                    fail(cursor, kErrSyntax, i);
                    return out;
                }
            } else if (!afterPoint) {
                if (d == 0) {
                    if (nonZeroSeen) {
                        ++pos;
                        ++pendingZeros;
                    }
                } else {
                    nonZeroSeen = true;
                    sig += pendingZeros + 1;
                    pos = 0;
                    pendingZeros = 0;
                }
            } else {
                --pos;
                if (d == 0) {
                    if (nonZeroSeen)
                        ++pendingZeros;
                } else {
                    nonZeroSeen = true;
                    sig += pendingZeros + 1;
                    pendingZeros = 0;
                }
            }
            text += static_cast<char>('0' + d);
        } else if (t == kPoint) {
            if (afterPoint || inExponent) {
                fail(cursor, kErrSyntax, i);
                return out;
            }
            afterPoint = true;
            out.hasDecimal = true;
            sig += pendingZeros;
            pos = 0;
            pendingZeros = 0;
            text += '.';
        } else if (t == kExponent) {
            if (inExponent) {
                fail(cursor, kErrSyntax, i);
                return out;
            }
            sig += pendingZeros;
            pendingZeros = 0;
            if (text.empty())
                text += '1';
            text += 'E';
            inExponent = true;
            exponentSignAllowed = true;
        } else if (t == kNegate && exponentSignAllowed) {
            // Only as the exponent's sign: a negation after exponent digits starts a new
            // operand instead of vanishing into the literal.
            exponentSignAllowed = false;
            exponentSign = -1;
            text += '-';
        } else if (t == kExact) {
            exact = true;
            exponentSignAllowed = false;
        } else {
            break;
        }
    }

    if (afterPoint)
        sig += pendingZeros;
    if (inExponent) {
        if (!exponentDigits) {
            fail(cursor, kErrSyntax, i);
            return out;
        }
        // The last significant digit moves with the exponent from where it stood in the
        // mantissa (units when no point was typed).
        pos = (afterPoint ? pos : 0) + exponentSign * exponent;
    }
    if (exact) {
        sig = 15;
        pos = -15;
    }
    out.sigFig = sig;
    out.digDec = pos;
    out.value = convert(text, exponentSign < 0);
    return out;
}

double LiteralScanner::parseBinary(OpSpan ops, Cursor& cursor)
{
    return parseDigits(ops, cursor, 2, kMaxBinaryDigits);
}

double LiteralScanner::parseHex(OpSpan ops, Cursor& cursor)
{
    return parseDigits(ops, cursor, 16, kMaxHexDigits);
}

bool LiteralScanner::parseDMS(OpSpan ops, Cursor& cursor, double& degrees, bool& hasDecimal)
{
    auto startsNumber = [&](int i) {
        const std::uint32_t t = tokenAt(ops, i);
        return isDigit(t) || t == kPoint;
    };
    const int start = cursor.next;
    if (!startsNumber(start))
        return false;

    Cursor scan = cursor;
    const Decimal minutes = parseNumber(ops, scan);
    if (scan.error) {
        cursor = scan;
        return false;
    }
    if (tokenAt(ops, scan.next) != kMinuteMark)
        return false;  // cursor untouched: the minutes are read again as an operand
    ++scan.next;

    const double sign = degrees < 0 ? -1.0 : 1.0;
    double angle = degrees + sign * minutes.value / 60.0;
    bool decimal = minutes.hasDecimal;

    if (startsNumber(scan.next)) {
        const Decimal seconds = parseNumber(ops, scan);
        if (scan.error) {
            cursor = scan;
            return false;
        }
        if (tokenAt(ops, scan.next) != kQuote) {
            cursor = scan;
            fail(cursor, kErrSyntax, scan.next);
            return false;
        }
        ++scan.next;
        angle += sign * seconds.value / 3600.0;
        decimal = decimal || seconds.hasDecimal;
    }
    cursor = scan;
    degrees = angle;
    hasDecimal = decimal;
    return true;
}

} // namespace orvenda
