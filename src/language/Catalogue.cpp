#include "language/Catalogue.h"

#include "language/Utf8.h"
#include "language/Vocabulary.h"

#include <algorithm>
#include <utility>

namespace orvenda {

namespace {

// The catalogue's tokens in their listed order, as ranges. Six tokens are listed twice.
constexpr std::pair<std::uint32_t, std::uint32_t> kCatalogueCodes[] = {
    {0x01, 0x01}, {0x02, 0x02}, {0x5C63, 0x5C63}, {0x03, 0x25}, {0x27, 0x27}, {0x28, 0x28},
    {0x2A, 0x2A}, {0x2C, 0x2F}, {0x3C, 0x3E}, {0x40, 0x40}, {0x5F, 0x5F}, {0x64, 0x73},
    {0x75, 0x79}, {0x5C5F, 0x5C62}, {0x7A, 0x7D}, {0x7F, 0x87}, {0x89, 0x90}, {0x92, 0x97},
    {0x9A, 0xA9}, {0xAB, 0xAE}, {0xB0, 0xBA}, {0xBC, 0xD7}, {0x5C35, 0x5C35}, {0xD8, 0xE6},
    {0xE9, 0xEE}, {0xF0, 0xFF}, {0xBB00, 0xBB16}, {0xEF95, 0xEF95}, {0xBB17, 0xBB52},
    {0xBB54, 0xBB57}, {0xBB59, 0xBB5C}, {0xBB64, 0xBB67}, {0xBBDA, 0xBBDA}, {0xBBEF, 0xBBEF},
    {0xBBF6, 0xBBFF}, {0x5C34, 0x5C34}, {0xEF32, 0xEF35}, {0x5C50, 0x5C50}, {0x5C53, 0x5C57},
    {0x7E02, 0x7E02}, {0x7E03, 0x7E03}, {0x7E08, 0x7E12}, {0xEF02, 0xEF0D}, {0xEF13, 0xEF15},
    {0xEF32, 0xEF34}, {0x5C50, 0x5C50}, {0x5C36, 0x5C36}, {0x5C37, 0x5C37}, {0x5C39, 0x5C39},
    {0x5C38, 0x5C38}, {0x5C3A, 0x5C46}, {0xEF30, 0xEF30}, {0xEF31, 0xEF31}, {0xEF38, 0xEF3C},
    {0x5C66, 0x5C66}, {0xEF37, 0xEF37}, {0xEF36, 0xEF36}, {0xEF41, 0xEF4F}, {0xEF65, 0xEF65},
    {0xEF67, 0xEF67}, {0xEF5B, 0xEF5B}, {0xEF64, 0xEF64}, {0xEF97, 0xEF97}, {0xEF98, 0xEF98},
    {0xBB2A, 0xBB2A}, {0xEF92, 0xEF95},
};

// Simple case mapping of the scripts token names use: Latin, Latin-1 letters and Greek.
char32_t lower(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2))
        return c + 0x20;
    return c;
}

char32_t upper(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2))
        return c - 0x20;
    return c;
}

std::u32string upperCase(std::u32string s)
{
    for (char32_t& c : s)
        c = upper(c);
    return s;
}

// Negative, zero or positive as a sorts before, with or after b, ignoring case.
int compareIgnoringCase(std::u32string_view a, std::u32string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t x = lower(a[i]);
        const char32_t y = lower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void clean(std::u32string& s)
{
    if (s.empty())
        return;
    switch (s[0]) {
    case U' ':
    case U'*':
        if (s.size() >= 2)
            s.erase(0, 1);
        break;
    case U'1':
    case U'2':
        if (s.size() >= 3 && s[1] == U'-')
            s.erase(0, 2);
        break;
    case U'\u00A9': s.replace(0, 1, U"C"); break;
    case U'\u00B2': s = U"square"; break;
    case U'\u00B3': s = s.size() == 1 ? U"cube" : U"root3"; break;
    case U'\u0269': s = U"I"; break;
    case U'\u029F': s.replace(0, 1, U"l"); break;
    case U'\u02B3': s.replace(0, 1, U"R"); break;
    case U'\u02E3': s = U"rootx"; break;
    case U'\u0394': s.replace(0, 1, U"D"); break;
    case U'\u03A3': s.replace(0, 1, U"Sum"); break;
    case U'\u03C0': s.replace(0, 1, U"P"); break;
    case U'\u03C7': s.replace(0, std::min<std::size_t>(2, s.size()), U"Chi"); break;
    case U'\u1D40': s.replace(0, 1, U"T"); break;
    case U'\u2211': s.replace(0, 1, U"Sume"); break;
    case U'\u221A': s = U"root"; break;
    case U'\u25B8': s.erase(0, 1); break;
    default: break;
    }
}

std::u32string sortForm(std::string_view name)
{
    std::u32string s = Utf8::decode(name);
    clean(s);
    return s;
}

} // namespace

const Catalogue& Catalogue::shared()
{
    static const Catalogue instance;
    return instance;
}

std::string Catalogue::catalogueName(std::uint32_t token)
{
    switch (token) {
    case 0xEF38: return "n/d";
    case 0xEF39: return "Un/d";
    default: return Vocabulary::shared().nameForOpcode(token);
    }
}

void Catalogue::cleanOpName(std::string& name)
{
    if (!name.empty())
        name = Utf8::encode(sortForm(name));
}

Catalogue::Catalogue()
{
    dictionary_.reserve(403);
    for (auto [first, last] : kCatalogueCodes) {
        for (std::uint32_t token = first; token <= last; ++token) {
            std::string name = catalogueName(token);
            if (!name.empty())
                dictionary_.insert_or_assign(std::move(name), token);
        }
    }

    struct Entry {
        std::u32string sortForm;
        const std::string* name;
        std::uint32_t token;
    };
    std::vector<Entry> entries;
    entries.reserve(dictionary_.size());
    for (const auto& [name, token] : dictionary_)
        entries.push_back({sortForm(name), &name, token});
    // Names whose sort forms differ only in case keep a fixed order between them.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int order = compareIgnoringCase(a.sortForm, b.sortForm);
        return order != 0 ? order < 0 : *a.name < *b.name;
    });

    keys_.reserve(entries.size());
    upperSortForms_.reserve(entries.size());
    tokens_.reserve(entries.size());
    for (Entry& e : entries) {
        keys_.push_back(*e.name);
        upperSortForms_.push_back(upperCase(std::move(e.sortForm)));
        tokens_.push_back(e.token);
    }
}

std::uint32_t Catalogue::lookupCatalogName(std::string_view name, char32_t terminal, bool& usedTerminal) const
{
    if (name.empty())
        return kNoToken;
    usedTerminal = false;
    const std::u32string typed = Utf8::decode(name);
    const std::size_t n = typed.size();

    const auto at = std::find_if(upperSortForms_.begin(), upperSortForms_.end(),
        [&](const std::u32string& s) { return compareIgnoringCase(typed, s) <= 0; });
    if (at == upperSortForms_.end())
        return kNoToken;
    const std::size_t p = static_cast<std::size_t>(at - upperSortForms_.begin());

    std::u32string typedUpper = upperCase(typed);
    if (terminal != 0) {
        typedUpper += terminal;
        if (compareIgnoringCase(typedUpper, *at) == 0) {
            usedTerminal = true;
            return tokens_[p];
        }
    }
    if (p + 1 == upperSortForms_.size())
        return kNoToken;
    const std::u32string& next = upperSortForms_[p + 1];
    if (next.size() < n)
        return kNoToken;
    if (!std::equal(typedUpper.begin(), typedUpper.begin() + static_cast<std::ptrdiff_t>(n), next.begin()))
        return tokens_[p];
    // The name begins the next entry too: only a terminal that the next entry does not
    // continue with settles it.
    if (terminal == 0 || next.size() == n || next[n] == terminal)
        return kNoToken;
    return tokens_[p];
}

} // namespace orvenda
