#include "apps/CSVImport.h"

#include "apps/CSVParser.h"
#include "core/Calculator.h"
#include "core/VQList.h"
#include "language/ErrorNumbers.h"
#include "language/Vocabulary.h"
#include "language/Utf8.h"

#include <charconv>
#include <cmath>
#include <complex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvenda {

namespace {

constexpr int kNotANumber = 1;
constexpr int kEmptyText = 20;
constexpr int kMaxExponent = 308;
constexpr std::size_t kNameLength = 5;
// The built-in lists L₁ to L₆.
constexpr std::uint32_t kFirstList = 0x5D00;
constexpr std::uint32_t kLastList = 0x5D05;

// The first n code points of s.
std::string prefix(std::string_view s, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < s.size(); ++k)
        Utf8::next(s, i);
    return std::string(s.substr(0, i));
}

// The field as a list name when it is one: the built-in names, or A–Z, 0–9 and θ with a
// letter first, cut to 5 characters as the name line cuts them; else "".
std::string listName(std::string_view field)
{
    for (std::uint32_t list = kFirstList; list <= kLastList; ++list)
        if (field == Vocabulary::shared().nameForOpcode(list))
            return std::string(field);
    const std::string name = prefix(field, kNameLength);
    std::size_t i = 0;
    for (bool first = true; i < name.size(); first = false) {
        const char32_t c = Utf8::next(name, i);
        const bool letter = (c >= U'A' && c <= U'Z') || c == U'θ';
        if (!letter && (first || c < U'0' || c > U'9'))
            return {};
    }
    return name;
}

constexpr std::string_view kImaginary = "\xC9\xA9\xCC\x87"; // ɩ̇

// A number that fills the whole text.
bool wholeNumber(std::string_view text, double& x)
{
    int sigFig = 0, sigDec = 0, error = 0;
    std::size_t read = 0;
    x = CSVImport::parseNumString(text, sigFig, sigDec, error, &read);
    return error == 0 && read == text.size();
}

// A complex number as the export writes it: a+bɩ̇, a-bɩ̇, bɩ̇, ɩ̇ or -ɩ̇, each part a whole
// number; nothing for any other text.
std::optional<std::complex<double>> complexField(std::string_view field)
{
    if (!field.ends_with(kImaginary))
        return std::nullopt;
    const std::string_view body = field.substr(0, field.size() - kImaginary.size());
    // The imaginary part's sign: the last sign past the first character that opens no exponent.
    std::size_t split = std::string_view::npos;
    for (std::size_t i = body.size(); split == std::string_view::npos && i-- > 1;) {
        const std::string_view before = body.substr(0, i);
        if ((body[i] == '+' || body[i] == '-') && !before.ends_with('E') && !before.ends_with('e')
            && !before.ends_with("\xE1\xB4\xB1")) // ᴱ
            split = i;
    }
    // The imaginary part's number: none for 1, as the export writes ɩ̇ alone.
    const auto coefficient = [](std::string_view text, double& x) {
        x = 1;
        return text.empty() || wholeNumber(text, x);
    };
    double re = 0, im = 0;
    if (split == std::string_view::npos) {
        const bool minus = body == "-";
        if (!coefficient(minus ? std::string_view() : body, im))
            return std::nullopt;
        return std::complex<double>(0, minus ? -im : im);
    }
    const std::string_view magnitude = body.substr(split + 1);
    if (!wholeNumber(body.substr(0, split), re) || magnitude.starts_with('-') || magnitude.starts_with('+')
        || !coefficient(magnitude, im))
        return std::nullopt;
    return std::complex<double>(re, body[split] == '-' ? -im : im);
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

double CSVImport::parseNumString(std::string_view text, int& sigFig, int& sigDec, int& error, std::size_t* read)
{
    const std::size_t length = text.size();
    if (read)
        *read = 0;
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
    std::size_t stop = text.size();
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
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
            stop = at;
            break;
        }
    }
    const bool digits = mantissa.find_first_of("0123456789") != std::string::npos;
    if ((!digits && !exponentDigit) || (inExponent && !exponentDigit))
        return fail();
    if (point)
        sigFig += pendingZeros;
    auto convert = [](const std::string& s, double& x) {
        return std::from_chars(s.data(), s.data() + s.size(), x).ec == std::errc();
    };
    double value = 0;
    if (digits && !convert(mantissa, value))
        return fail();
    if (inExponent) {
        const int e = negativeExponent ? -exponent : exponent;
        // Beyond the doubles (1E308 of a mantissa above 1.8) is no number either. An
        // exponent alone counts from 1; a zero written with one ("0ᴱ0", as Sci shows 0)
        // stays 0.
        if (!convert((digits ? mantissa : std::string("1")) + "e" + std::to_string(e), value))
            return fail();
        sigDec = e - sigFig + 1;
    }
    if (exact) {
        sigFig = 15;
        sigDec = -15;
    }
    if (read)
        *read = length - text.size() + stop;
    return negative ? -value : value;
}

int CSVImport::loadCSV(Calculator& calc, std::string_view text)
{
    if (text.size() > kMaxTextBytes)
        return ErrCsvBadRow;
    struct Staged {
        std::string name; // empty: numbered once every row is read
        VQList list;
    };
    std::vector<Staged> staged;
    std::set<std::string> named;
    bool bad = false;
    // A number with something after it: a bad row even when it is the file's first.
    bool stray = false;
    bool tooLarge = false;
    auto readRow = [&](const CSVParser::Row& row) {
        std::size_t end = row.size();
        while (end > 0 && trimmed(row[end - 1]).empty())
            --end;
        if (end == 0)
            return;
        std::string name;
        VQList list;
        int error = 0;
        for (std::size_t k = 0; k < end; ++k) {
            const std::string_view field = trimmed(row[k]);
            int sigFig = 0, sigDec = 0;
            std::size_t read = 0;
            const double value = parseNumString(field, sigFig, sigDec, error, &read);
            if (k == 0 && field.empty()) {
                bad = true;
                return;
            }
            if (error != 0 || read != field.size()) {
                if (const auto z = complexField(field)) {
                    list.addComplex(*z);
                    error = 0;
                    continue;
                }
            }
            if (error != 0) {
                if (k == 0)
                    name = listName(field);
                else if (list.count() > 0)
                    bad = true;
                continue;
            }
            // A number that does not fill its field ("12abc", "3%", "1;2;3" of another
            // separator) is not what the file means: the file is refused, never cut short.
            if (read != field.size()) {
                bad = stray = true;
                return;
            }
            list.addReal(value, sigFig, sigDec);
        }
        if (list.count() > kMaxElements)
            tooLarge = true;
        if (list.count() == 0)
            return;
        if (!name.empty() && !named.insert(name).second)
            name.clear();
        staged.push_back({std::move(name), std::move(list)});
        if (staged.size() > static_cast<std::size_t>(kMaxLists))
            tooLarge = true;
    };

    CSVParser parser(std::string(text), ",", false);
    // A row longer than any list is refused after its first fields, however long it is.
    parser.setMaxFields(kMaxElements + 1);
    parser.parseRowsForReceiver([&](CSVParser::Row row) {
        if (!bad && !tooLarge)
            readRow(row);
    });
    if (tooLarge || stray)
        return ErrCsvBadRow;
    if (staged.empty())
        return ErrCsvBad;
    if (bad || !parser.readToEnd())
        return ErrCsvBadRow;

    int counter = 1;
    for (Staged& s : staged) {
        while (s.name.empty()) {
            std::string numbered = "L" + std::to_string(counter++);
            if (!named.contains(numbered))
                s.name = std::move(numbered);
        }
    }
    const auto state = calc.locked();
    // What the lists hold afterwards: the lists replaced give their numbers back.
    std::size_t held = 0;
    for (const auto& [name, list] : state->lists)
        held += static_cast<std::size_t>(list.count());
    for (const Staged& s : staged) {
        held += static_cast<std::size_t>(s.list.count());
        if (const auto old = state->lists.find(s.name); old != state->lists.end())
            held -= static_cast<std::size_t>(old->second.count());
    }
    if (held > kMaxHeldNumbers)
        return ErrMemory;
    std::vector<std::pair<std::string, VQList>> lists;
    for (Staged& s : staged)
        lists.emplace_back(std::move(s.name), std::move(s.list));
    return calc.storeLists(std::move(lists)) ? 0 : ErrMemory;
}

} // namespace orvenda
