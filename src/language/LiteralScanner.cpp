#include "language/LiteralScanner.h"

#include "language/ErrorNumbers.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace orvenda {

namespace {

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

// The mantissa of a decimal literal, kept on the stack as its significant digits and a
// power of ten. Past kKeptDigits only whether a non-zero digit followed matters (a sticky
// "1"), which still rounds exactly like the full text: a double's halfway points have
// fewer significant digits than that.
class DecimalText {
public:
    void addDigit(int d, bool fraction)
    {
        anyDigit_ = true;
        if (count_ == 0 && d == 0) {
            if (fraction)
                --scale_;
            return;
        }
        if (count_ < kKeptDigits) {
            digits_[count_++] = static_cast<char>('0' + d);
            if (fraction)
                --scale_;
        } else {
            sticky_ = sticky_ || d != 0;
            if (!fraction)
                ++scale_;
        }
    }

    // The correctly rounded double; a value too large for a double is infinite, one too
    // small is 0 (whether many zeros after the point or a negative exponent made it so).
    // A point with no digit and no exponent reads as 0, an exponent with no digit before it
    // as a mantissa of 1.
    double value(bool point, bool exponentMark, int exponent) const
    {
        if (!anyDigit_ && (point || !exponentMark))
            return 0.0;
        char text[kKeptDigits + 24];
        int n = 0;
        long long power = static_cast<long long>(scale_) + exponent;
        if (!anyDigit_) {
            text[n++] = '1';
        } else if (count_ == 0) {
            return 0.0;
        } else {
            std::memcpy(text, digits_, static_cast<std::size_t>(count_));
            n = count_;
            if (sticky_) {
                text[n++] = '1';
                --power;
            }
        }
        text[n++] = 'e';
        const auto written = std::to_chars(text + n, text + sizeof text, power);
        double result = 0;
        const auto [ptr, ec] = std::from_chars(text, written.ptr, result);
        if (ec == std::errc::result_out_of_range)
            return n - 1 + power < 0 ? 0.0 : std::numeric_limits<double>::infinity();
        return result;
    }

private:
    static constexpr int kKeptDigits = 800;
    char digits_[kKeptDigits];
    int count_ = 0;
    long long scale_ = 0;
    bool sticky_ = false;
    bool anyDigit_ = false;
};

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
            fail(cursor, ErrArgument, cursor.next);
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
    DecimalText text;
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
                    fail(cursor, ErrSyntax, i);
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
            if (!inExponent)
                text.addDigit(d, afterPoint);
        } else if (t == kPoint) {
            if (afterPoint || inExponent) {
                fail(cursor, ErrSyntax, i);
                return out;
            }
            afterPoint = true;
            out.hasDecimal = true;
            sig += pendingZeros;
            pos = 0;
            pendingZeros = 0;
        } else if (t == kExponent) {
            if (inExponent) {
                fail(cursor, ErrSyntax, i);
                return out;
            }
            sig += pendingZeros;
            pendingZeros = 0;
            inExponent = true;
            exponentSignAllowed = true;
        } else if (t == kNegate && exponentSignAllowed) {
            // Only as the exponent's sign: a negation after exponent digits starts a new
            // operand instead of vanishing into the literal.
            exponentSignAllowed = false;
            exponentSign = -1;
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
            fail(cursor, ErrSyntax, i);
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
    out.value = text.value(afterPoint, inExponent, exponentSign * exponent);
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
            fail(cursor, ErrSyntax, scan.next);
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
