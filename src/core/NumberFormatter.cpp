#include "core/NumberFormatter.h"

#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "language/Utf8.h"
#include "numeric/AngleConversion.h"
#include "numeric/ElementaryFunctions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace orvenda {

namespace {

constexpr std::string_view kExponentMark = "\xE1\xB4\xB1"; // ᴱ
constexpr std::string_view kImaginary = "\xC9\xA9\xCC\x87"; // ɩ̇
constexpr std::string_view kSigFigMark = "\xCC\xB2";        // combining low line
constexpr std::string_view kLongDash = "\xE2\x80\x94";      // —
constexpr std::string_view kOpenBox = "\xE2\x90\xA3";       // ␣
constexpr std::string_view kDegree = "\xC2\xB0";            // °
// How close a fraction must come to the fractional part it stands for.
constexpr double kFractionPrecision = 1e-9;

constexpr std::string_view kSuperscript[10] = {
    "\xE2\x81\xB0", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3", "\xE2\x81\xB4",
    "\xE2\x81\xB5", "\xE2\x81\xB6", "\xE2\x81\xB7", "\xE2\x81\xB8", "\xE2\x81\xB9",
};
constexpr std::string_view kSubscript[10] = {
    "\xE2\x82\x80", "\xE2\x82\x81", "\xE2\x82\x82", "\xE2\x82\x83", "\xE2\x82\x84",
    "\xE2\x82\x85", "\xE2\x82\x86", "\xE2\x82\x87", "\xE2\x82\x88", "\xE2\x82\x89",
};

// Parts of a complex number smaller than this are noise of the arithmetic.
constexpr double kComplexNoise = 1e-15;

// A number text under construction, on the stack: formatting a list or a matrix then
// allocates only the result.
class Text {
public:
    static constexpr int kCapacity = 1024;

    int size() const { return n_; }
    char operator[](int i) const { return d_[i]; }
    char& operator[](int i) { return d_[i]; }
    const char* data() const { return d_; }
    char* buffer() { return d_; }
    void setSize(int n) { n_ = std::clamp(n, 0, kCapacity); }
    void clear() { n_ = 0; }
    std::string_view view() const { return {d_, std::size_t(n_)}; }

    int find(char c, int from = 0) const
    {
        for (int i = from; i < n_; ++i)
            if (d_[i] == c)
                return i;
        return -1;
    }
    void erase(int pos, int count = 1)
    {
        if (pos < 0 || pos >= n_)
            return;
        count = std::min(count, n_ - pos);
        std::memmove(d_ + pos, d_ + pos + count, std::size_t(n_ - pos - count));
        n_ -= count;
    }
    void insert(int pos, std::string_view s)
    {
        const int len = int(s.size());
        if (pos < 0 || pos > n_ || n_ + len > kCapacity)
            return;
        std::memmove(d_ + pos + len, d_ + pos, std::size_t(n_ - pos));
        std::memcpy(d_ + pos, s.data(), s.size());
        n_ += len;
    }
    void insert(int pos, char c) { insert(pos, std::string_view(&c, 1)); }
    void append(std::string_view s) { insert(n_, s); }
    void appendInt(long long v)
    {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        append(std::string_view(buf, std::size_t(r.ptr - buf)));
    }

private:
    char d_[kCapacity];
    int n_ = 0;
};

// The exponent of a number written in scientific notation ("1.5e+07" is 7; 0 without one).
int scientificExponent(const char* begin, const char* end)
{
    const char* mark = std::find(begin, end, 'e');
    int exponent = 0;
    if (mark != end)
        std::from_chars(mark + (mark[1] == '+' ? 2 : 1), end, exponent);
    return exponent;
}

// The decimal exponent of x's first significant digit, read off its exact text (a logarithm
// can land on the wrong side of a power of ten).
int decimalExponent(double x)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 16);
    return scientificExponent(buf, r.ptr);
}

// printf's "%.*f", "%.*E" and "%.*G", without the locale, and rounding the number's decimal
// value half away from zero at the last digit shown, as round( does, where printf rounds the
// binary value with ties to even (Fix 2 showed 2.675 as 2.67 and Fix 0 2.5 as 2).
void printNumber(Text& t, double x, std::chars_format format, int precision, bool upper)
{
    precision = std::clamp(precision, 0, 60);
    if (std::isfinite(x) && x != 0) {
        int places = precision;
        if (format == std::chars_format::scientific)
            places = precision - decimalExponent(x);
        else if (format == std::chars_format::general)
            places = std::max(precision, 1) - 1 - decimalExponent(x);
        x = NumberFormatter::roundDecimal(x, places);
    }
    auto r = std::to_chars(t.buffer(), t.buffer() + Text::kCapacity, x, format, precision);
    t.setSize(r.ec == std::errc() ? int(r.ptr - t.buffer()) : 0);
    if (upper)
        for (int i = 0; i < t.size(); ++i)
            if (t[i] >= 'a' && t[i] <= 'z')
                t[i] = char(t[i] - 'a' + 'A');
}
void printFixed(Text& t, double x, int decimals) { printNumber(t, x, std::chars_format::fixed, decimals, false); }
void printScientific(Text& t, double x, int precision) { printNumber(t, x, std::chars_format::scientific, precision, true); }
void printGeneral(Text& t, double x, int precision) { printNumber(t, x, std::chars_format::general, precision, true); }

// The exponent written after an "E" at pos.
int readExponent(const Text& t, int pos)
{
    int i = pos + 1;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    int e = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        e = e * 10 + (t[i] - '0');
    return negative ? -e : e;
}

// Drops trailing zeros of a mantissa that holds a point, then a point left at its end.
void trimMantissa(Text& t, int end)
{
    const int point = t.find('.');
    if (point < 0 || point >= end)
        return;
    while (end > point + 1 && t[end - 1] == '0')
        t.erase(--end);
    if (end == point + 1)
        t.erase(point);
}

// A rounded negative value whose digits are all zero shows without its sign.
void dropSignOfZero(Text& t)
{
    if (t.size() < 2 || t[0] != '-')
        return;
    for (int i = 1; i < t.size(); ++i)
        if (t[i] != '0' && t[i] != '.')
            return;
    t.erase(0);
}

// The exponent split of the engineering form: the point moves `shift` places right and
// the exponent becomes a multiple of 3.
void engineeringSplit(int e, int& shift, int& exponent)
{
    const int r = e % 3;
    if (r == 0) {
        shift = 0;
        exponent = e;
    } else if (e > 0) {
        shift = r;
        exponent = e - r;
    } else {
        shift = r + 3;
        exponent = e - r - 3;
    }
}

void engineering(Text& t, double x, int p, int numDigits, bool isFloat)
{
    const int q = std::min(p, 9);
    printScientific(t, x, q);
    int mark = t.find('E');
    if (mark < 0)
        return;
    const int e = readExponent(t, mark);
    int shift = 0, exponent = 0;
    engineeringSplit(e, shift, exponent);
    printScientific(t, x, std::min(q + shift, 9));
    mark = t.find('E');
    if (mark < 0)
        return;
    const int printed = readExponent(t, mark);
    if (printed != e)
        engineeringSplit(printed, shift, exponent);
    t.setSize(mark + 1);
    t.appendInt(exponent);
    const int point = t.find('.');
    if (point >= 0 && point < mark) {
        t.erase(point);
        --mark;
        if (numDigits != 0)
            t.insert(std::min(point + shift, mark), '.');
    }
    if (isFloat)
        trimMantissa(t, t.find('E'));
}

void appendUtf8(Text& t, char32_t c)
{
    char buf[4];
    t.append(std::string_view(buf, std::size_t(Utf8::encode(c, buf))));
}

void group(Text& t, char16_t separator)
{
    if (separator == u' ' || t.find('E') >= 0)
        return;
    const int point = t.find('.');
    if (separator == u'.' && point >= 0)
        t[point] = ',';
    if (separator == u'+' && point >= 0)
        for (int i = point + 4; i < t.size(); i += 4)
            t.insert(i, ' ');
    Text mark;
    if (separator == u'+')
        mark.append(" ");
    else
        appendUtf8(mark, separator);
    const int intEnd = point >= 0 ? point : t.size();
    const int start = t.size() > 0 && t[0] == '-' ? 1 : 0;
    for (int i = intEnd - 3; i > start; i -= 3)
        t.insert(i, mark.view());
}

// How many characters group() adds to the text: a number's grouped text must fit the width
// it is given, marks and all.
int groupMarks(const Text& t, char16_t separator)
{
    if (separator == u' ' || t.find('E') >= 0)
        return 0;
    char buf[4];
    const int mark = separator == u'+' ? 1 : Utf8::encode(separator, buf);
    const int point = t.find('.');
    const int intEnd = point >= 0 ? point : t.size();
    const int start = t.size() > 0 && t[0] == '-' ? 1 : 0;
    int marks = std::max(intEnd - start - 1, 0) / 3 * mark;
    if (separator == u'+' && point >= 0)
        marks += std::max(t.size() - point - 2, 0) / 3;
    return marks;
}

std::uint32_t toUnsigned32(double x)
{
    if (!(x > 0))
        return 0;
    if (x >= 4294967295.0)
        return 0xFFFFFFFFu;
    return std::uint32_t(x);
}

void baseText(Text& t, double x, bool hex)
{
    const std::uint32_t v = toUnsigned32(x);
    t.clear();
    t.append(hex ? "0h" : "0b");
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v, hex ? 16 : 2);
    for (char* c = buf; c < r.ptr; ++c)
        if (*c >= 'a' && *c <= 'f')
            *c = char(*c - 'a' + 'A');
    t.append(std::string_view(buf, std::size_t(r.ptr - buf)));
}

void formatRealText(Text& t, double x, const NumberFormatter::Settings& s)
{
    const double x0 = x == 0 ? 0.0 : x;
    t.clear();
    // An infinity or a NaN reads the same in every format (Fix's "%f" would write "inf"): the
    // history tells an overflow and a value without a number by these words, and a NaN's
    // sign means nothing.
    if (!std::isfinite(x0)) {
        t.append(std::isnan(x0) ? "NAN" : x0 < 0 ? "-INF" : "INF");
        return;
    }
    if (s.numBase == 1 || s.numBase == 2) {
        double whole;
        if (std::modf(x0, &whole) == 0) {
            baseText(t, x0, s.numBase == 2);
            return;
        }
    }
    const bool isFloat = s.numDigits < 0;
    const int digits = std::min(s.numDigits, 9);
    const double magnitude = std::fabs(x0);
    // The width the text takes once grouped.
    const auto shown = [&] { return t.size() + groupMarks(t, s.thousandSeperator); };

    bool done = false;
    if (s.numFormat == 0 && (magnitude >= 0.001 || x0 == 0)) {
        if (!isFloat) {
            printFixed(t, x0, digits);
            if (shown() >= s.maxWidth)
                printFixed(t, x0, std::max(digits + s.maxWidth - shown(), 0));
        } else {
            printGeneral(t, x0, 10);
            // At most ten decimals, but a text in exponent form keeps that form. The sign
            // does not count, so that x and -x show the same digits.
            const int sign = t.size() > 0 && t[0] == '-' ? 1 : 0;
            if (t.size() - sign >= 12 && t.find('E') < 0)
                printFixed(t, x0, 10);
        }
        if (t.find('E') < 0) {
            dropSignOfZero(t);
            const int lead = t.size() > 0 && t[0] == '-' ? 1 : 0;
            if (t.size() >= 2 && t[lead] == '0' && lead + 1 < t.size() && t[lead + 1] == '.')
                t.erase(lead);
            if (isFloat)
                trimMantissa(t, t.size());
            done = shown() <= s.maxWidth;
        }
    }

    if (!done) {
        int p = isFloat ? 10 : digits;
        for (;;) {
            if (isFloat && x0 != 0 && magnitude >= 0.001 && s.numFormat == 0)
                printGeneral(t, x0, p);
            else
                printScientific(t, x0, std::min(p, 9));
            if (s.numFormat == 2) {
                engineering(t, x0, p, s.numDigits, isFloat);
            } else {
                const int mark = t.find('E');
                if (mark >= 0) {
                    if (mark + 1 < t.size() && t[mark + 1] == '+')
                        t.erase(mark + 1);
                    int k = mark + 1;
                    if (k < t.size() && t[k] == '-')
                        ++k;
                    if (k + 1 < t.size() && t[k] == '0')
                        t.erase(k);
                }
                if (isFloat)
                    trimMantissa(t, mark >= 0 ? mark : t.size());
            }
            if (x0 < 0 && t.size() > 1 && t[1] == '0')
                t.erase(1);
            if (shown() > s.maxWidth && p >= 1) {
                p = std::max(p - (shown() - s.maxWidth), 0);
                continue;
            }
            break;
        }
    }
    group(t, s.thousandSeperator);
}

// Appends the text with the exponent mark in place of "E".
void appendText(std::string& out, const Text& t)
{
    for (int i = 0; i < t.size(); ++i) {
        if (t[i] == 'E')
            out += kExponentMark;
        else
            out += t[i];
    }
}

void appendWhole(std::string& out, double w)
{
    char buf[400];
    std::to_chars_result r;
    if (std::fabs(w) < 9.0e18)
        r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(w));
    else
        r = std::to_chars(buf, buf + sizeof buf, w, std::chars_format::fixed, 0);
    out.append(buf, r.ptr);
}

void appendDigits(std::string& out, long long v, const std::string_view (&table)[10])
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    for (char* c = buf; c < r.ptr; ++c)
        out += (*c >= '0' && *c <= '9') ? table[*c - '0'] : std::string_view(c, 1);
}

char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i++]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3 ? (b & 0x07) : extra == 2 ? (b & 0x0F) : extra == 1 ? (b & 0x1F) : b;
    for (; extra > 0 && i < s.size(); --extra) {
        const auto n = static_cast<unsigned char>(s[i]);
        if ((n & 0xC0) != 0x80)
            break;
        c = (c << 6) | (n & 0x3F);
        ++i;
    }
    return c;
}

int codePointCount(std::string_view s) { return static_cast<int>(Utf8::codePointCount(s)); }

// Reads the significant figures off a number text; a leading minus is read past so that
// a negative number counts the figures of its magnitude.
int readSignificance(std::string_view text, int& sigDec)
{
    int count = 0, position = 0, held = 0, exponent = 0;
    bool nonZero = false, fraction = false, inExponent = false, exponentNegative = false;
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    while (i < text.size()) {
        const char32_t c = nextCodePoint(text, i);
        if (inExponent) {
            if (c >= '0' && c <= '9') {
                exponent = exponent * 10 + int(c - '0');
                if (exponent > 308)
                    break;
            } else if (c == '-' && !exponentNegative) {
                exponentNegative = true;
            } else {
                break;
            }
            continue;
        }
        if (c >= '0' && c <= '9') {
            if (fraction) {
                --position;
                if (c != '0' || nonZero)
                    ++count;
            } else if (c != '0') {
                count += held + 1;
                held = 0;
                position = 0;
            } else if (nonZero) {
                ++held;
                ++position;
            }
            nonZero = nonZero || c != '0';
        } else if (c == '.' && !fraction) {
            count += held;
            held = 0;
            position = 0;
            fraction = true;
        } else if (c == 'E' || c == 'e' || c == 0x1D31) {
            count += held;
            held = 0;
            position = 0;
            inExponent = true;
        } else {
            break;
        }
    }
    if (inExponent)
        sigDec = (exponentNegative ? -exponent : exponent) - count + 1;
    else
        sigDec = position;
    return count;
}

} // namespace

// ---- Reals ----

std::string NumberFormatter::formatReal(double x) const
{
    Text t;
    formatRealText(t, x, settings);
    std::string out;
    out.reserve(std::size_t(t.size()) + 4);
    appendText(out, t);
    return out;
}

std::string NumberFormatter::formatReal(double x, int format) const
{
    switch (format) {
    case 1:
        return formatFraction(x);
    case 2:
        return formatABC(x);
    case 4:
        return formatBinary(x);
    case 5:
        return formatHex(x);
    case 6:
        return formatComplex(x, 0.0, true);
    case 7:
        return formatComplex(x, 0.0, false);
    case 8:
        return formatDMS(x);
    case 9:
        return formatSigFig(x, 10);
    default:
        return formatReal(x);
    }
}

std::string NumberFormatter::formatReal(double x, int digits, int format) const
{
    Settings once = settings;
    once.numDigits = digits;
    once.numFormat = format;
    return NumberFormatter(once).formatReal(x);
}

std::string NumberFormatter::formatTable(double x) const { return formatReal(x); }

std::string NumberFormatter::formatSigFig(double x, int sigFig) const
{
    if (sigFig < 1)
        return "0";
    // No figures to count or mark.
    if (!std::isfinite(x))
        return formatReal(x);
    double rounded = x;
    if (x != 0) {
        const double l = std::log10(std::fabs(x));
        const int e = int(std::trunc(l > 0 ? l + 1 : l));
        const double scale = std::pow(10.0, sigFig - e);
        double y = std::fabs(x) * scale;
        if (std::isfinite(y) && std::isfinite(scale) && scale != 0) {
            const double whole = std::trunc(y);
            const double part = y - whole;
            if (std::fabs(part - 0.5) < 1e-13) {
                if (std::fmod(whole, 2.0) != 0)
                    y += 0.5;
            } else if (part >= 0.5) {
                y += 0.5;
            }
            rounded = std::copysign(std::trunc(y), x) / scale;
        }
    }

    std::string s = formatReal(rounded);
    const char point = settings.thousandSeperator == u'.' ? ',' : '.';
    std::size_t mantissaEnd = std::min(s.find(kExponentMark), s.size());
    const bool negative = !s.empty() && s[0] == '-';
    const std::size_t body = negative ? 1 : 0;

    int need = sigFig;
    if (s.size() >= body + 2 && s[body] == point)
        for (std::size_t i = body + 1; i < mantissaEnd && s[i] == '0'; ++i)
            ++need;
    if (negative)
        ++need;

    // Figures shown so far: the digits and the sign (grouping marks are not figures).
    int shown = 0;
    bool hasPoint = false;
    for (std::size_t i = 0; i < mantissaEnd; ++i) {
        if ((s[i] >= '0' && s[i] <= '9') || s[i] == '-')
            ++shown;
        else if (s[i] == point)
            hasPoint = true;
    }
    if (need <= 14 && shown < need) {
        std::string tail;
        if (!hasPoint)
            tail += point;
        tail.append(std::size_t(need - shown), '0');
        s.insert(mantissaEnd, tail);
        mantissaEnd += tail.size();
        hasPoint = true;
    }
    if (need > 14)
        return s;

    if (hasPoint) {
        std::size_t at = mantissaEnd;
        if (at > 0 && s[at - 1] == point)
            --at;
        s.insert(at, kSigFigMark);
    } else {
        int seen = 0;
        for (std::size_t i = 0; i < mantissaEnd; ++i) {
            if ((s[i] >= '0' && s[i] <= '9') || s[i] == '-') {
                if (++seen == need) {
                    s.insert(i + 1, kSigFigMark);
                    break;
                }
            }
        }
    }
    return s;
}

double NumberFormatter::convertToFraction2(double x, long long& numerator, long long& denominator) const
{
    numerator = 0;
    denominator = 0;
    const double magnitude = std::fabs(x);
    if (!std::isfinite(magnitude))
        return magnitude;
    const double whole = std::trunc(magnitude);
    double f = magnitude - whole;
    if (f < 0.0001 || settings.fixDenominator)
        return whole;
    // A fraction is trusted only as far as the conversion's own precision: where the
    // spacing of doubles at x is coarser than that, the fractional part is the rounding
    // of the value (73/512 near 1.2·10¹³), not a fraction of it.
    if (std::nextafter(magnitude, HUGE_VAL) - magnitude > kFractionPrecision)
        return whole;

    const double f0 = f;
    double terms[16];
    double n = 0, d = 0;
    for (int k = 0; k < 16; ++k) {
        const double inverse = 1 / f;
        terms[k] = std::floor(inverse);
        f = inverse - terms[k];
        makeFraction(terms, k + 1, n, d);
        if (std::fabs(f0 - n / d) <= kFractionPrecision || d >= settings.maxDenominator || !(f > 0))
            break;
    }
    if (!(d <= settings.maxDenominator) || d < 1)
        return whole;
    if (n == d)
        return whole + 1;
    numerator = static_cast<long long>(n);
    denominator = static_cast<long long>(d);
    return whole;
}

void NumberFormatter::makeFraction(const double* terms, int depth, double& numerator, double& denominator)
{
    if (depth < 1) {
        numerator = 0;
        denominator = 1;
        return;
    }
    double p = terms[depth - 1], q = 1;
    for (int i = depth - 2; i >= 0; --i) {
        const double next = q + terms[i] * p;
        q = p;
        p = next;
    }
    numerator = q;
    denominator = p;
}

std::string NumberFormatter::formatFraction(double x) const
{
    long long n = 0, d = 0;
    const double whole = convertToFraction2(x, n, d);
    if (d == 0 || whole * double(d) > 9.0e18)
        return formatReal(x);
    std::string out;
    if (x < 0)
        out += '-';
    char buf[48];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(whole) * d + n);
    *r.ptr++ = '/';
    r = std::to_chars(r.ptr, buf + sizeof buf, d);
    out.append(buf, r.ptr);
    return out;
}

std::string NumberFormatter::formatABC(double x) const
{
    long long n = 0, d = 0;
    const double whole = convertToFraction2(x, n, d);
    if (d == 0) {
        Settings normal = settings;
        normal.numFormat = 0;
        return NumberFormatter(normal).formatReal(x);
    }
    std::string out;
    if (x < 0)
        out += '-';
    if (whole != 0)
        appendWhole(out, whole);
    appendDigits(out, n, kSuperscript);
    out += '/';
    appendDigits(out, d, kSubscript);
    return out;
}

std::string NumberFormatter::format84ABC(double x) const
{
    long long n = 0, d = 0;
    const double whole = convertToFraction2(x, n, d);
    if (d == 0)
        return formatABC(x);
    std::string out;
    if (x < 0)
        out += '-';
    if (whole != 0) {
        appendWhole(out, whole);
        out += kOpenBox;
    }
    char buf[48];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    *r.ptr++ = '/';
    r = std::to_chars(r.ptr, buf + sizeof buf, d);
    out.append(buf, r.ptr);
    return out;
}

std::string NumberFormatter::formatDMS(double x) const
{
    // No degrees, minutes or seconds to split off.
    if (!std::isfinite(x))
        return formatReal(x);
    double degrees = std::trunc(x);
    const double minutesExact = (x - degrees) * 60;
    double minutes = std::trunc(minutesExact);
    double seconds = roundPrecision((minutesExact - minutes) * 60, 3);
    const double away = x < 0 ? -1 : 1;
    if (std::fabs(seconds) == 60) {
        seconds = 0;
        minutes += away;
        if (std::fabs(minutes) == 60) {
            minutes = 0;
            degrees += away;
        }
    }
    std::string out;
    appendWhole(out, degrees == 0 ? 0.0 : degrees);
    out += kDegree;
    appendWhole(out, minutes == 0 ? 0.0 : minutes);
    out += '\'';
    out += formatReal(seconds);
    out += '"';
    return out;
}

std::string NumberFormatter::printText(double x, std::chars_format format, int precision)
{
    Text t;
    printNumber(t, x, format, precision, false);
    return std::string(t.view());
}

std::string NumberFormatter::formatBinary(double x)
{
    Text t;
    baseText(t, x, false);
    return std::string(t.view());
}

std::string NumberFormatter::formatHex(double x)
{
    Text t;
    baseText(t, x, true);
    return std::string(t.view());
}

double NumberFormatter::roundSigFigures(double x, int figures)
{
    if (x == 0)
        return 0;
    if (!std::isfinite(x))
        return x;
    const int p = figures - int(std::floor(std::log10(std::fabs(x)))) - 1;
    if (p < 1 || p > 14)
        return x;
    const double scale = std::pow(10.0, p);
    return std::round(x * scale) / scale;
}

double NumberFormatter::roundDecimal(double x, int places)
{
    if (!std::isfinite(x) || x == 0)
        return x;
    if (places >= 0 && places <= 9)
        return ElementaryFunctions::round(x, places);
    // The value to 15 significant figures, as round( takes it, then half away from zero
    // at the place.
    char digits[40];
    const auto r = std::to_chars(digits, digits + sizeof digits, std::fabs(x), std::chars_format::scientific, 14);
    const int exponent = scientificExponent(digits, r.ptr);
    // The significant figures kept: digits[0] and digits[2..16] hold the fifteen.
    const int kept = exponent + 1 + places;
    if (kept >= 15)
        return x;
    char text[48];
    int n = 0;
    if (kept <= 0) {
        if (kept < 0 || digits[0] < '5')
            return std::copysign(0.0, x);
        text[n++] = '1';
    } else {
        const auto figure = [&](int k) { return digits[k == 0 ? 0 : k + 1]; };
        for (int k = 0; k < kept; ++k)
            text[n++] = figure(k);
        if (figure(kept) >= '5') {
            int k = n - 1;
            for (; k >= 0 && text[k] == '9'; --k)
                text[k] = '0';
            if (k >= 0) {
                ++text[k];
            } else {
                std::memmove(text + 1, text, std::size_t(n));
                text[0] = '1';
                ++n;
            }
        }
    }
    // text holds the figures of units 10^-places.
    text[n++] = 'e';
    const auto end = std::to_chars(text + n, text + sizeof text, -places).ptr;
    double rounded = 0;
    std::from_chars(text, end, rounded);
    return std::copysign(rounded, x);
}

double NumberFormatter::roundPrecision(double x, int places)
{
    if (x == 0)
        return 0;
    if (!std::isfinite(x))
        return x;
    const double whole = std::fabs(std::trunc(x));
    int p = places;
    if (whole >= 1 && std::trunc(std::log10(whole)) + places >= 11)
        p = places - int(std::floor(std::log10(std::fabs(x)))) - 1;
    const double scale = std::pow(10.0, p);
    const double rounded = std::round(x * scale) / scale;
    return std::isfinite(rounded) ? rounded : x;
}

int NumberFormatter::sigFigFor(double x, int& sigDec) const
{
    // The full decimal text, whatever base or grouping the display uses.
    Settings plain = settings;
    plain.numDigits = -1;
    plain.numFormat = 0;
    plain.numBase = 0;
    plain.thousandSeperator = u' ';
    Text t;
    formatRealText(t, x, plain);
    return readSignificance(t.view(), sigDec);
}

// ---- Complex numbers ----

namespace {

// In a complex number, parts below the noise level are zero; a negative zero is zero.
void cleanComplex(double& re, double& im)
{
    if (im != 0) {
        if (std::fabs(re) < kComplexNoise)
            re = 0;
        if (std::fabs(im) < kComplexNoise)
            im = 0;
    }
    if (re == 0)
        re = 0;
    if (im == 0)
        im = 0;
}

bool startsNegative(std::string_view s) { return s.starts_with('-') || s.starts_with(kLongDash); }

// a+bɩ̇ with each part written by `part`; `minus` stands alone before ɩ̇ for -ɩ̇.
template <typename PartText>
std::string complexWith(double re, double im, std::string_view minus, PartText part)
{
    cleanComplex(re, im);
    if (im == 0)
        return part(re);
    std::string imaginary;
    if (im == 1) {
        imaginary = kImaginary;
    } else if (im == -1) {
        imaginary = minus;
        imaginary += kImaginary;
    } else {
        imaginary = part(im);
        imaginary += kImaginary;
    }
    if (re == 0)
        return imaginary;
    std::string out = part(re);
    if (!startsNegative(imaginary))
        out += '+';
    out += imaginary;
    return out;
}

} // namespace

std::string NumberFormatter::formatComplex(double re, double im, bool polar) const
{
    // No length or angle to show: the parts read as their words.
    if (!polar || !std::isfinite(re) || !std::isfinite(im))
        return complexWith(re, im, "-", [this](double v) { return formatReal(v); });
    cleanComplex(re, im);
    std::string out = formatReal(std::hypot(re, im));
    const double argument = std::atan2(im, re);
    if (argument != 0) {
        out += "e^(";
        out += formatReal(AngleConversion::fromRadians(argument, settings.angleFormat));
        out += kImaginary;
        out += ')';
    }
    return out;
}

std::string NumberFormatter::formatComplex(double re, double im, int format) const
{
    switch (format) {
    case 1:
        return formatCPLXFraction(re, im);
    case 2:
        return formatCPLXABC(re, im);
    case 6:
        return formatComplex(re, im, true);
    case 7:
        return formatComplex(re, im, false);
    default:
        return formatComplex(re, im, settings.realCplxMode == 2);
    }
}

std::string NumberFormatter::formatCPLXFraction(double re, double im) const
{
    return complexWith(re, im, kLongDash, [this](double v) { return formatFraction(v); });
}

std::string NumberFormatter::formatCPLXABC(double re, double im) const
{
    return complexWith(re, im, kLongDash, [this](double v) { return formatABC(v); });
}

// ---- Lists and matrices ----

void NumberFormatter::appendReal(std::string& out, double x) const
{
    Text t;
    formatRealText(t, x, settings);
    appendText(out, t);
}

void NumberFormatter::appendReal(std::string& out, double x, int format) const
{
    switch (format) {
    case 1: case 2: case 4: case 5: case 6: case 7: case 8: case 9:
        out += formatReal(x, format);
        break;
    default:
        appendReal(out, x);
    }
}

namespace {

template <typename Element>
std::string listText(const VQList* list, Element element)
{
    if (!list)
        return {};
    std::string out;
    out.reserve(std::size_t(list->count()) * 8 + 2);
    out += '{';
    bool first = true;
    for (const VQNumber& n : list->v()) {
        if (!first)
            out += ' ';
        first = false;
        element(out, n);
    }
    out += '}';
    return out;
}

template <typename Cell, typename Width>
std::string matrixText(const VQMatrix* matrix, Cell cell, Width width)
{
    if (!matrix || matrix->dimRow() == 0 || matrix->dimCol() == 0)
        return {};
    const std::size_t rows = matrix->dimRow(), cols = matrix->dimCol();
    std::vector<std::string> text(rows);
    std::vector<int> widths(rows, 2);
    for (std::size_t r = 0; r < rows; ++r)
        text[r] = r == 0 ? "[[" : " [";
    std::string cellText;
    for (std::size_t c = 0; c < cols; ++c) {
        int widest = 0;
        for (std::size_t r = 0; r < rows; ++r) {
            cellText.clear();
            cell(cellText, r, c);
            text[r] += cellText;
            widths[r] += width(cellText);
            widest = std::max(widest, widths[r]);
        }
        const int target = widest + (c + 1 < cols ? 1 : 0);
        for (std::size_t r = 0; r < rows; ++r) {
            if (widths[r] < target)
                text[r].append(std::size_t(target - widths[r]), ' ');
            widths[r] = std::max(widths[r], target);
        }
    }
    std::string out = std::move(text[0]);
    for (std::size_t r = 1; r < rows; ++r) {
        out += "] \n";
        out += text[r];
    }
    out += "]]";
    return out;
}

} // namespace

std::string NumberFormatter::formatList(const VQList* list, int format) const
{
    if (list && list->type() == 1)
        return listText(list, [&](std::string& out, const VQNumber& n) { out += formatComplex(n.r(), n.i(), format); });
    if (format == 9)
        return listText(list, [&](std::string& out, const VQNumber& n) { out += formatSigFig(n.r(), n.sigFig()); });
    return listText(list, [&](std::string& out, const VQNumber& n) { appendReal(out, n.r(), format); });
}

std::string NumberFormatter::formatList(const VQList* list) const
{
    if (list && list->type() == 1)
        return formatComplexList(list, settings.realCplxMode == 2);
    return listText(list, [&](std::string& out, const VQNumber& n) { appendReal(out, n.r()); });
}

std::string NumberFormatter::formatListFract(const VQList* list) const
{
    if (list && list->type() == 1)
        return formatListCPLXFraction(list);
    return listText(list, [&](std::string& out, const VQNumber& n) { out += formatFraction(n.r()); });
}

std::string NumberFormatter::formatListABC(const VQList* list) const
{
    if (list && list->type() == 1)
        return formatListCPLXABC(list);
    return listText(list, [&](std::string& out, const VQNumber& n) { out += formatABC(n.r()); });
}

std::string NumberFormatter::formatComplexList(const VQList* list, bool polar) const
{
    return listText(list, [&](std::string& out, const VQNumber& n) { out += formatComplex(n.r(), n.i(), polar); });
}

std::string NumberFormatter::formatListCPLXFraction(const VQList* list) const
{
    return listText(list, [&](std::string& out, const VQNumber& n) { out += formatCPLXFraction(n.r(), n.i()); });
}

std::string NumberFormatter::formatListCPLXABC(const VQList* list) const
{
    return listText(list, [&](std::string& out, const VQNumber& n) { out += formatCPLXABC(n.r(), n.i()); });
}

std::string NumberFormatter::formatMatrix(const VQMatrix* matrix, int format) const
{
    return matrixText(
        matrix,
        [&](std::string& out, std::size_t r, std::size_t c) {
            if (format == 9)
                out += formatSigFig(matrix->row(r, c), matrix->rSig(r)[c].sigFig);
            else
                appendReal(out, matrix->row(r, c), format);
        },
        [](const std::string& text) { return strDisplayWidth(text); });
}

std::string NumberFormatter::formatMatrix(const VQMatrix* matrix) const
{
    return matrixText(
        matrix, [&](std::string& out, std::size_t r, std::size_t c) { appendReal(out, matrix->row(r, c)); },
        [](const std::string& text) { return codePointCount(text); });
}

// ---- Padding and tokens ----

int NumberFormatter::strDisplayWidth(std::string_view text)
{
    int marks = 0;
    for (std::size_t at = text.find(kSigFigMark); at != std::string_view::npos;
         at = text.find(kSigFigMark, at + kSigFigMark.size()))
        ++marks;
    return codePointCount(text) - marks;
}

std::string NumberFormatter::padReal(double x, int width) const
{
    std::string s = formatReal(x);
    const int length = codePointCount(s);
    if (length < width)
        s.append(std::size_t(width - length), ' ');
    return s;
}

std::string& NumberFormatter::pad(std::string& text, int width)
{
    const int length = codePointCount(text);
    if (length <= width)
        text.append(std::size_t(width - length + 1), ' ');
    return text;
}

namespace {

// The number tokens of a number text: digits, negation, point and exponent.
NumberFormatter::Ops numberTextToOpcodes(std::string_view text)
{
    NumberFormatter::Ops ops;
    ops.reserve(text.size());
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            ops.push_back(std::uint32_t(c));
        else if (c == '-')
            ops.push_back(0xB0);
        else if (c == '.')
            ops.push_back(0x3A);
        else if (c == 'E' || c == 'e')
            ops.push_back(0x3B);
    }
    return ops;
}

// x with the fewest significant figures that read back as x, in the number format's
// notation: 0 plain decimals (an exponent only far from 1), 1 scientific, 2 engineering.
// No leading zero before the point and no "+" or leading zeros in the exponent.
void shortestText(Text& t, double x, int numFormat)
{
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    const char* mark = std::find(buf, r.ptr, 'e');
    const int exponent = scientificExponent(buf, r.ptr);
    char figures[24];
    int count = 0;
    for (const char* c = buf; c < mark; ++c)
        if (*c != '.')
            figures[count++] = *c;
    const double magnitude = std::fabs(x);
    const bool plain = numFormat == 0 && magnitude >= 0.001 && magnitude < 1e15;
    // Figures before the point.
    int whole = 1;
    if (plain)
        whole = exponent + 1;
    else if (numFormat == 2)
        whole = (exponent % 3 + 3) % 3 + 1;
    t.clear();
    if (std::signbit(x))
        t.append("-");
    if (whole <= 0) {
        t.append(".");
        for (int k = whole; k < 0; ++k)
            t.append("0");
    }
    for (int k = 0; k < std::max(count, whole); ++k) {
        if (k == whole && k > 0)
            t.append(".");
        t.append(std::string_view(k < count ? figures + k : "0", 1));
    }
    if (!plain) {
        t.append("E");
        t.appendInt(exponent - (whole - 1));
    }
}

// The text of x by the settings, but decimal and ungrouped, so that tokens spelling it read
// back as the value shown.
void plainText(Text& t, double x, NumberFormatter::Settings settings)
{
    settings.numBase = 0;
    settings.thousandSeperator = u' ';
    formatRealText(t, x, settings);
}

} // namespace

NumberFormatter::Ops NumberFormatter::realToOpcodes(double x) const
{
    Text t;
    plainText(t, x, settings);
    return numberTextToOpcodes(t.view());
}

NumberFormatter::Ops NumberFormatter::valueToOpcodes(double x) const
{
    Text t;
    plainText(t, x, settings);
    double shown = 0;
    const auto read = std::from_chars(t.data(), t.data() + t.size(), shown);
    const bool same = read.ec == std::errc() && read.ptr == t.data() + t.size() && shown == x;
    if (!same && std::isfinite(x))
        shortestText(t, x, settings.numFormat);
    return numberTextToOpcodes(t.view());
}

NumberFormatter::Ops NumberFormatter::exactRealToOpcodes(double x)
{
    Text t;
    shortestText(t, x, 0);
    return numberTextToOpcodes(t.view());
}

std::uint32_t NumberFormatter::opCodeForChar(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return std::uint32_t(c);
    if (c >= 'a' && c <= 'k')
        return 0xBBB0 + std::uint32_t(c - 'a');
    if (c >= 'l' && c <= 'z')
        return 0xBBBC + std::uint32_t(c - 'l');
    struct Entry {
        char32_t c;
        std::uint16_t op;
    };
    static constexpr Entry kTable[] = {
        {U' ', 0x29},     {U'!', 0x2D},     {U'"', 0x2A},     {U'#', 0xBBD2},   {U'$', 0xBBD3},
        {U'%', 0xBBDA},   {U'&', 0xBBD4},   {U'\'', 0xAE},    {U'(', 0x10},     {U')', 0x11},
        {U'*', 0x82},     {U'+', 0x70},     {U',', 0x2B},     {U'-', 0xB0},     {U'.', 0x3A},
        {U'/', 0x83},     {U':', 0x3E},     {U';', 0xBBD6},   {U'<', 0x6B},     {U'>', 0x6C},
        {U'?', 0xAF},     {U'@', 0xBBD1},   {U'[', 0x06},     {U'\\', 0xBBD7},  {U']', 0x07},
        {U'^', 0xF0},     {U'{', 0x08},     {U'|', 0xBBD8},   {U'}', 0x09},     {U'~', 0xBBCF},
        {U'¡', 0xBB9E},   {U'¿', 0xBB9D},   {U'ɩ', 0x2C},     {U'\u0332', 0x5C65},
        {U'ᴱ', 0x3B},     {U'→', 0xBBEC},   {U'␣', 0xEF39},   {U'▸', 0x26},     {U'／', 0xEF38},
        {U'À', 0xBB6F},   {U'Á', 0xBB6E},   {U'Â', 0xBB70},   {U'Ä', 0xBB71},   {U'à', 0xBB73},
        {U'á', 0xBB72},   {U'â', 0xBB74},   {U'ä', 0xBB75},   {U'È', 0xBB77},   {U'É', 0xBB76},
        {U'Ê', 0xBB78},   {U'Ë', 0xBB79},   {U'è', 0xBB7B},   {U'é', 0xBB7A},   {U'ê', 0xBB7C},
        {U'ë', 0xBB7D},   {U'Ì', 0xBB7F},   {U'Í', 0xBBCD},   {U'Î', 0xBB80},   {U'Ï', 0xBB81},
        {U'ì', 0xBB83},   {U'í', 0xBB82},   {U'î', 0xBB84},   {U'ï', 0xBB85},   {U'Ò', 0xBB87},
        {U'Ó', 0xBB86},   {U'Ô', 0xBB88},   {U'Ö', 0xBB89},   {U'ò', 0xBB8B},   {U'ó', 0xBB8A},
        {U'ô', 0xBB8C},   {U'ö', 0xBB8D},   {U'Ù', 0xBB8F},   {U'Ú', 0xBB8E},   {U'Û', 0xBB90},
        {U'Ü', 0xBB91},   {U'ù', 0xBB93},   {U'ú', 0xBB92},   {U'û', 0xBB94},   {U'ü', 0xBB95},
        {U'Ç', 0xBB96},   {U'ç', 0xBB97},   {U'Ñ', 0xBB98},   {U'ñ', 0xBB99},
    };
    for (const Entry& e : kTable)
        if (e.c == c)
            return e.op;
    return 0;
}

} // namespace orvenda
