#include "numeric/ElementDatabase.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>

namespace orvenda {

// The table in resources/Elements.txt, compiled in by the build.
extern const char kElementsResource[];
extern const std::size_t kElementsResource_SIZE;

namespace {

// Counts are 32-bit: a formula asking for more atoms cannot be read.
constexpr long long kMaxCount = std::numeric_limits<std::int32_t>::max();

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + separator.size();
    }
}

// The whole text as a number, or nothing.
std::optional<double> parseReal(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

ElementDatabase::Cell parseCell(std::string_view field, int type)
{
    switch (type) {
    case ElementDatabase::TypeText:
        return std::string(field);
    case ElementDatabase::TypeReal:
        return parseReal(field).value_or(std::numeric_limits<double>::quiet_NaN());
    default: {
        long long value = 0;
        const char* end = field.data() + field.size();
        const auto [ptr, ec] = std::from_chars(field.data(), end, value);
        return ec == std::errc() && ptr == end ? value : 0LL;
    }
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A run of digits at i as a count (none, or 0, count 1); false when it passes the limit,
// with the index of the digit that did.
bool readCount(std::string_view f, std::size_t& i, long long& count, int& errLocation)
{
    count = 0;
    for (; i < f.size() && isDigit(f[i]); ++i) {
        count = count * 10 + (f[i] - '0');
        if (count > kMaxCount) {
            errLocation = static_cast<int>(i);
            return false;
        }
    }
    if (count == 0)
        count = 1;
    return true;
}

constexpr const char* kSuperscripts[] = {"\u2070", "\u00B9", "\u00B2", "\u00B3", "\u2074",
                                         "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};

} // namespace

const ElementDatabase& ElementDatabase::elementDatabase()
{
    static const ElementDatabase database(std::string_view(kElementsResource, kElementsResource_SIZE));
    return database;
}

ElementDatabase::ElementDatabase(std::string_view text)
{
    for (std::string_view line : split(text, "\r\n")) {
        if (line.empty())
            continue;
        const auto fields = split(line, ",");
        if (headings_.empty()) {
            for (std::string_view spec : fields) {
                const std::size_t dot = spec.find('.');
                headings_.emplace_back(spec.substr(0, dot));
                const std::string_view type = dot == std::string_view::npos ? "" : spec.substr(dot + 1);
                types_.push_back(type == "s" ? TypeText : type == "d" ? TypeReal : TypeInteger);
            }
            continue;
        }
        if (count() == kMaxElements)
            break;
        std::vector<Cell> record;
        for (std::size_t c = 0; c < fields.size() && c < types_.size(); ++c)
            record.push_back(parseCell(fields[c], types_[c]));
        elements_.push_back(std::move(record));
    }
}

ElementDatabase::Cell ElementDatabase::col(int column, int element) const
{
    if (element < 1 || element > count() || column < 0)
        return {};
    const auto& record = elements_[static_cast<std::size_t>(element - 1)];
    if (static_cast<std::size_t>(column) >= record.size())
        return {};
    return record[static_cast<std::size_t>(column)];
}

std::vector<ElementDatabase::Cell> ElementDatabase::getColumn(int column) const
{
    std::vector<Cell> cells;
    for (int n = 1; n <= count(); ++n)
        cells.push_back(col(column, n));
    return cells;
}

const std::string* ElementDatabase::text(int column, int element) const
{
    if (element < 1 || element > count() || column < 0)
        return nullptr;
    const auto& record = elements_[static_cast<std::size_t>(element - 1)];
    if (static_cast<std::size_t>(column) >= record.size())
        return nullptr;
    return std::get_if<std::string>(&record[static_cast<std::size_t>(column)]);
}

double ElementDatabase::doubleValueCol(int column, int element) const
{
    const Cell cell = col(column, element);
    if (const double* x = std::get_if<double>(&cell))
        return *x;
    if (const long long* n = std::get_if<long long>(&cell))
        return static_cast<double>(*n);
    if (const std::string* s = std::get_if<std::string>(&cell))
        return parseReal(*s).value_or(0.0);
    return 0;
}

double ElementDatabase::intValueCol(int column, int element) const
{
    const double x = doubleValueCol(column, element);
    return std::isfinite(x) ? std::trunc(x) : 0.0;
}

std::vector<double> ElementDatabase::getIonizations(int level) const
{
    std::vector<double> values;
    for (int n = 1; n <= count(); ++n) {
        const std::string* s = text(ColIonization, n);
        double value = 0;
        if (s && level >= 0) {
            const auto parts = split(*s, " ");
            if (static_cast<std::size_t>(level) < parts.size())
                value = parseReal(parts[static_cast<std::size_t>(level)]).value_or(0.0);
        }
        values.push_back(value);
    }
    return values;
}

std::string ElementDatabase::name(int element) const
{
    const std::string* s = text(ColName, element);
    return s ? *s : std::string();
}

std::string ElementDatabase::symbol(int element) const
{
    const std::string* s = text(ColSymbol, element);
    return s ? *s : std::string();
}

int ElementDatabase::series(int element) const
{
    static constexpr std::string_view kSeries[] = {"Alkali",  "Akaline",     "Metalloid",        "Nonmetal",
                                                   "Halogen", "Nobel",       "Trans metal",      "Post-trans metal",
                                                   "Lanthanide", "Actinoid"};
    if (const std::string* s = text(ColSeries, element))
        for (int i = 0; i < static_cast<int>(std::size(kSeries)); ++i)
            if (*s == kSeries[i])
                return i;
    return 0;
}

std::vector<std::string> ElementDatabase::parts(int column, int element, std::string_view separator) const
{
    std::vector<std::string> values;
    if (const std::string* s = text(column, element))
        for (std::string_view part : split(*s, separator))
            values.emplace_back(part);
    return values;
}

std::string ElementDatabase::orbitals(int element) const
{
    std::string out;
    const std::string* s = text(ColConfiguration, element);
    if (!s)
        return out;
    for (std::string_view part : split(*s, " ")) {
        if (part.starts_with("[")) {
            out += part;
            continue;
        }
        bool raised = false;
        for (char c : part) {
            if (c == 's' || c == 'p' || c == 'd' || c == 'f') {
                out += c;
                raised = true;
            } else if (isDigit(c) && raised) {
                out += kSuperscripts[c - '0'];
            } else {
                out += c;
            }
        }
    }
    return out;
}

int ElementDatabase::lewisDot(int element) const
{
    const int group = static_cast<int>(intValueCol(ColGroup, element));
    const int period = static_cast<int>(intValueCol(ColPeriod, element));
    if (group >= 13 && group <= 18) {
        if (element == 2)
            return 2;
        return period < 7 ? group - 10 : 0;
    }
    return group == 1 || group == 2 ? group : 0;
}

int ElementDatabase::numForSymbol(std::string_view symbol) const
{
    for (int n = 1; n <= count(); ++n) {
        const std::string* s = text(ColSymbol, n);
        if (s && *s == symbol)
            return n;
    }
    return 0;
}

void ElementDatabase::mergeCompound(const Counts& group, long long multiplier, Counts& target)
{
    for (const auto& [element, atoms] : group)
        target[element] += atoms * multiplier;
}

std::optional<ElementDatabase::Counts> ElementDatabase::atomCount(std::string_view f, int& errLocation) const
{
    std::vector<Counts> open;
    Counts current;
    // Adds a group into the one below it; false when a count would pass the limit.
    auto close = [&](long long multiplier) {
        Counts below = std::move(open.back());
        open.pop_back();
        for (const auto& [element, atoms] : current) {
            const auto it = below.find(element);
            if (atoms > (kMaxCount - (it == below.end() ? 0 : it->second)) / multiplier)
                return false;
        }
        mergeCompound(current, multiplier, below);
        current = std::move(below);
        return true;
    };
    auto fail = [&](std::size_t at) {
        errLocation = static_cast<int>(at);
        return std::nullopt;
    };

    std::size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        if (c >= 'A' && c <= 'Z') {
            const std::size_t start = i++;
            if (i < f.size() && f[i] >= 'a' && f[i] <= 'z')
                ++i;
            const int element = numForSymbol(f.substr(start, i - start));
            if (element == 0)
                return fail(i - 1);
            long long count = 0;
            const std::size_t digits = i;
            if (!readCount(f, i, count, errLocation))
                return std::nullopt;
            long long& atoms = current[element];
            if (atoms > kMaxCount - count)
                return fail(digits);
            atoms += count;
        } else if (c == '(') {
            open.push_back(std::move(current));
            current.clear();
            ++i;
        } else if (c == ')') {
            if (open.empty())
                return fail(i);
            const std::size_t at = i++;
            long long multiplier = 0;
            if (!readCount(f, i, multiplier, errLocation))
                return std::nullopt;
            if (!close(multiplier))
                return fail(at);
        } else {
            return fail(i);
        }
    }
    while (!open.empty())
        if (!close(1))
            return fail(f.size());
    return current;
}

double ElementDatabase::weight(std::string_view formula, int& errLocation) const
{
    const auto counts = atomCount(formula, errLocation);
    if (!counts)
        return -1.0;
    double total = 0;
    for (const auto& [element, atoms] : *counts)
        total += mass(element) * static_cast<double>(atoms);
    return total;
}

std::optional<std::vector<ElementDatabase::Share>> ElementDatabase::analyzeCompound(std::string_view formula,
                                                                                    double& total,
                                                                                    int& errLocation) const
{
    const auto counts = atomCount(formula, errLocation);
    if (!counts)
        return std::nullopt;
    std::vector<Share> shares;
    double sum = 0;
    for (const auto& [element, atoms] : *counts) {
        Share s;
        s.num = element;
        s.atoms = atoms;
        s.weight = mass(element);
        s.mass = s.weight * static_cast<double>(atoms);
        s.symbol = symbol(element);
        sum += s.mass;
        shares.push_back(std::move(s));
    }
    for (Share& s : shares)
        s.percent = s.mass / sum;
    total = sum;
    return shares;
}

} // namespace orvenda
