#include "apps/CSVImport.h"

#include "apps/CSVParser.h"
#include "core/Calculator.h"
#include "core/VQList.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"

#include <charconv>
#include <cmath>
#include <string>

namespace orvenda {

namespace {

constexpr int kNotANumber = 1;
constexpr int kEmptyText = 20;
constexpr int kMaxExponent = 308;
constexpr std::size_t kNameLength = 5;

// The first n code points of s.
std::string prefix(std::string_view s, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < s.size(); ++k)
        Utf8::next(s, i);
    return std::string(s.substr(0, i));
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

double CSVImport::parseNumString(std::string_view text, int& sigFig, int& sigDec, int& error)
{
    sigFig = 0;
    sigDec = 0;
    error = kEmptyText;
    if (text.empty())
        return 0;
    error = 0;
    auto fail = [&] {
        sigFig = 15;
        sigDec = -15;
        error = kNotANumber;
        return 0.0;
    };
    // A letter first is a name (as the export writes them), not a number.
    if (const char c = text.front(); (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return fail();

    // A leading minus (as the export writes negative values) negates the number, so that
    // exported lists and data with negative readings import whole.
    bool negative = false;
    {
        std::size_t i = 0;
        const char32_t c = Utf8::next(text, i);
        if (c == U'-' || c == U'−' || c == U'⁻') {
            negative = true;
            text.remove_prefix(i);
        }
    }

    // The digits read, as plain text for a correctly rounded conversion.
    std::string mantissa;
    bool point = false, inExponent = false, exponentStart = false, exponentDigit = false;
    bool negativeExponent = false, exact = false;
    int exponent = 0;
    int pendingZeros = 0;
    bool nonzero = false;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = Utf8::next(text, i);
        if (c >= U'0' && c <= U'9') {
            const int digit = static_cast<int>(c - U'0');
            if (inExponent) {
                exponent = exponent * 10 + digit;
                exponentStart = false;
                exponentDigit = true;
                if (exponent > kMaxExponent)
                    return fail();
                continue;
            }
            mantissa += static_cast<char>(c);
            if (point)
                --sigDec;
            if (digit != 0) {
                sigFig += 1 + pendingZeros;
                pendingZeros = 0;
                if (!point)
                    sigDec = 0;
                nonzero = true;
            } else if (nonzero) {
                ++pendingZeros;
                if (!point)
                    ++sigDec;
            }
        } else if (c == U'.') {
            if (point || inExponent)
                return fail();
            mantissa += '.';
            sigFig += pendingZeros;
            pendingZeros = 0;
            sigDec = 0;
            point = true;
        } else if (c == U'E' || c == U'e' || c == U'ᴱ') {
            if (inExponent)
                return fail();
            sigFig += pendingZeros;
            pendingZeros = 0;
            inExponent = exponentStart = true;
        } else if (c == U'+' || c == U'-') {
            if (!exponentStart)
                return fail();
            negativeExponent = c == U'-';
            exponentStart = false;
        } else if (c == U'x') {
            exact = true;
        } else {
            break;
        }
    }
    const bool digits = mantissa.find_first_of("0123456789") != std::string::npos;
    if ((!digits && !exponentDigit) || (inExponent && !exponentDigit))
        return fail();
    if (point)
        sigFig += pendingZeros;
    auto read = [](const std::string& s, double& x) {
        return std::from_chars(s.data(), s.data() + s.size(), x).ec == std::errc();
    };
    double value = 0;
    if (digits && !read(mantissa, value))
        return fail();
    if (inExponent) {
        const int e = negativeExponent ? -exponent : exponent;
        // Beyond the doubles (1E308 of a mantissa above 1.8) is no number either.
        if (!read((value == 0 ? std::string("1") : mantissa) + "e" + std::to_string(e), value))
            return fail();
        sigDec = e - sigFig + 1;
    }
    if (exact) {
        sigFig = 15;
        sigDec = -15;
    }
    return negative ? -value : value;
}

int CSVImport::loadCSV(Calculator& calc, std::string_view text)
{
    CSVParser parser(std::string(text), ",", false);
    const auto rows = parser.parse();
    bool stored = false;
    bool bad = false;
    int counter = 1;
    int lastError = 0;
    for (const CSVParser::Row& row : rows.value_or(std::vector<CSVParser::Row>())) {
        if (row.empty())
            continue;
        std::string name;
        VQList list;
        for (std::size_t k = 0; k < row.size(); ++k) {
            const std::string_view field = trimmed(row[k]);
            int sigFig = 0, sigDec = 0;
            const double value = parseNumString(field, sigFig, sigDec, lastError);
            if (k == 0) {
                if (field.empty()) {
                    bad = true;
                    break;
                }
                if (lastError != 0) {
                    const char c = field.front();
                    name = c >= 'A' && c <= 'Z' ? prefix(field, kNameLength) : "L" + prefix(field, kNameLength - 1);
                    continue;
                }
                name = "L" + std::to_string(counter++);
            } else if (lastError != 0) {
                bad = bad || list.count() > 0;
                continue;
            }
            list.addReal(value, sigFig, sigDec);
        }
        if (list.count() > 0) {
            calc.lists.insert_or_assign(name, std::move(list));
            stored = true;
        }
    }
    if (!stored)
        return ErrCsvBad;
    // A last row that gave no list is a bad row too, never error 1's unrelated text.
    return bad || lastError != 0 ? ErrCsvBadRow : 0;
}

} // namespace orvenda
