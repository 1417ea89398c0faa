#include "input/CatalogIndex.h"

#include "core/Calculator.h"

#include <algorithm>

namespace orvenda {

namespace {

constexpr std::uint32_t kFraction = 0xEF38;
constexpr std::uint32_t kMixedFraction = 0xEF39;

std::vector<std::uint32_t> buildCodes()
{
    struct Run {
        std::uint32_t first;
        std::uint32_t last;
    };
    static constexpr Run kRuns[] = {
        {0x01, 0x25}, {0x27, 0x28}, {0x2A, 0x2A}, {0x2C, 0x2F}, {0x3C, 0x3E}, {0x40, 0x40}, {0x5F, 0x5F},
        {0x64, 0x73}, {0x75, 0x7D}, {0x7F, 0x87}, {0x89, 0x90}, {0x92, 0x97}, {0x9A, 0xA9}, {0xAB, 0xAE},
        {0xB0, 0xBA}, {0xBC, 0xE6}, {0xE9, 0xEE}, {0xF0, 0xFF},
        {0x5C34, 0x5C46}, {0x5C50, 0x5C50}, {0x5C53, 0x5C57}, {0x5C5F, 0x5C63}, {0x5C66, 0x5C66},
        {0x7E02, 0x7E03}, {0x7E08, 0x7E12},
        {0xBB00, 0xBB52}, {0xBB54, 0xBB57}, {0xBB59, 0xBB5C}, {0xBB64, 0xBB67}, {0xBBDA, 0xBBDA}, {0xBBEF, 0xBBEF},
        {0xBBF6, 0xBBFF},
        {0xEF02, 0xEF0D}, {0xEF13, 0xEF15}, {0xEF30, 0xEF3C}, {0xEF41, 0xEF4F}, {0xEF5A, 0xEF5B}, {0xEF64, 0xEF65},
        {0xEF67, 0xEF67}, {0xEF92, 0xEF95}, {0xEF97, 0xEF98},
    };
    std::vector<std::uint32_t> codes;
    for (const Run& run : kRuns)
        for (std::uint32_t c = run.first; c <= run.last; ++c)
            codes.push_back(c);
    return codes;
}

} // namespace

std::span<const std::uint32_t> CatalogIndex::codes()
{
    static const std::vector<std::uint32_t> kCodes = buildCodes();
    return kCodes;
}

QString CatalogIndex::sortKey(const QString& name)
{
    const std::u32string s = name.toStdU32String();
    if (s.empty())
        return name;
    const char32_t c = s[0];
    const auto rest = [&](std::size_t from) {
        return QString::fromStdU32String(s.substr(std::min(from, s.size())));
    };
    switch (c) {
    case U' ':
    case U'*':
        return s.size() >= 2 ? rest(1) : name;
    case U'1':
    case U'2':
        return s.size() >= 3 && s[1] == U'-' ? rest(2) : name;
    case U'\u00A9': return QStringLiteral("C") + rest(1);
    case U'²': return QStringLiteral("square");
    case U'³': return s.size() == 1 ? QStringLiteral("cube") : QStringLiteral("root3");
    case U'\u0269': return QStringLiteral("I");
    case U'\u02B3': return QStringLiteral("R") + rest(1);
    case U'\u02E3': return QStringLiteral("rootx");
    case U'Δ': return QStringLiteral("D") + rest(1);
    case U'Σ': return QStringLiteral("Sum") + rest(1);
    case U'π': return QStringLiteral("P") + rest(1);
    case U'χ': return QStringLiteral("Chi") + rest(2);
    case U'\u1D40': return QStringLiteral("T") + rest(1);
    case U'∑': return QStringLiteral("Sume") + rest(1);
    case U'√': return QStringLiteral("root");
    case U'▸': return rest(1);
    default: return name;
    }
}

bool CatalogIndex::refusedInTestMode(std::uint32_t code)
{
    return code == 0x5F || code == 0x99 || code == 0x9B || code == 0x0432 || code == 0x1019
        || (code >= 0x5C51 && code <= 0x5C56);
}

QString CatalogIndex::catalogName(const Calculator& calc, std::uint32_t code)
{
    if (code == kFraction)
        return QStringLiteral("n/d");
    if (code == kMixedFraction)
        return QStringLiteral("Un/d");
    return QString::fromStdString(calc.nameForOpcode(code));
}

const QStringList& CatalogIndex::indexTitles()
{
    static const QStringList kTitles = [] {
        QStringList titles;
        for (char c = 'A'; c <= 'Z'; ++c)
            titles << QString(QLatin1Char(c));
        titles << QStringLiteral("zOps");
        return titles;
    }();
    return kTitles;
}

CatalogIndex::CatalogIndex(const Calculator& calc)
{
    std::vector<Entry> entries;
    for (const std::uint32_t code : codes()) {
        const QString name = catalogName(calc, code);
        if (!name.isEmpty())
            entries.push_back({code, name, sortKey(name)});
    }
    std::stable_sort(entries.begin(), entries.end(),
        [](const Entry& a, const Entry& b) { return a.key.compare(b.key, Qt::CaseInsensitive) < 0; });
    std::vector<Section> letters(26);
    Section other{QStringLiteral("zOps"), {}};
    for (Entry& e : entries) {
        e.key = e.key.toUpper();
        const QChar first = e.key.isEmpty() ? QChar() : e.key.at(0);
        if (first >= QLatin1Char('A') && first <= QLatin1Char('Z'))
            letters[static_cast<std::size_t>(first.unicode() - 'A')].entries.push_back(std::move(e));
        else
            other.entries.push_back(std::move(e));
    }
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (letters[i].entries.empty())
            continue;
        letters[i].title = QString(QChar(static_cast<char16_t>('A' + i)));
        sections_.push_back(std::move(letters[i]));
    }
    if (!other.entries.empty())
        sections_.push_back(std::move(other));
}

const CatalogIndex::Entry* CatalogIndex::entry(Place place) const
{
    if (!place.valid() || place.section >= static_cast<int>(sections_.size()))
        return nullptr;
    const auto& entries = sections_[static_cast<std::size_t>(place.section)].entries;
    return place.row < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(place.row)] : nullptr;
}

CatalogIndex::Place CatalogIndex::selectString(const QString& text) const
{
    if (sections_.empty())
        return {};
    const QString wanted = text.toUpper();
    if (wanted.isEmpty())
        return {0, 0};
    const QString first = wanted.left(1);
    auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return s.title == first; });
    if (found == sections_.end())
        found = std::find_if(sections_.begin(), sections_.end(), [](const Section& s) { return s.title == QStringLiteral("zOps"); });
    if (found == sections_.end())
        return {};
    const int section = static_cast<int>(found - sections_.begin());
    const auto& entries = found->entries;
    for (std::size_t r = 0; r < entries.size(); ++r)
        if (entries[r].key.compare(wanted, Qt::CaseInsensitive) >= 0)
            return {section, static_cast<int>(r)};
    return {section, static_cast<int>(entries.size()) - 1};
}

int CatalogIndex::sectionForIndexTitle(const QString& title) const
{
    for (std::size_t s = 0; s < sections_.size(); ++s)
        if (sections_[s].title >= title)
            return static_cast<int>(s);
    return static_cast<int>(sections_.size()) - 1;
}

} // namespace orvenda
