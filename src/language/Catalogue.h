#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

// The catalogue: every token a user can pick by name, in alphabetical order, and the
// lookup that turns letters typed one by one back into a token. Built on first use and
// never changed afterwards, so any thread may read it.
class Catalogue {
public:
    static constexpr std::uint32_t kNoToken = 0xFFFFFFFFu;

    static const Catalogue& shared();

    // Catalogue name → token (a name held by two tokens keeps the later one).
    const std::unordered_map<std::string, std::uint32_t>& dictionary() const { return dictionary_; }
    // The names in catalogue order: by sort form, ignoring case.
    const std::vector<std::string>& keys() const { return keys_; }

    // The display name, except "n/d" and "Un/d" for the two fraction templates.
    static std::string catalogueName(std::uint32_t token);
    // Rewrites a name into the form it sorts by ("√(" sorts as "root", "1-Var Stats " as
    // "Var Stats ").
    static void cleanOpName(std::string& name);

    // The token a typed name decides: the first entry not smaller than the name, unless the
    // entry after it also begins with the name and the terminal character (0 for none) does
    // not tell them apart. usedTerminal is set when the terminal completed the entry's name;
    // it is left alone for an empty name.
    std::uint32_t lookupCatalogName(std::string_view name, char32_t terminal, bool& usedTerminal) const;

    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

private:
    Catalogue();

    std::unordered_map<std::string, std::uint32_t> dictionary_;
    std::vector<std::string> keys_;
    // Per key, in key order: the sort form in upper case, and the token.
    std::vector<std::u32string> upperSortForms_;
    std::vector<std::uint32_t> tokens_;
};

} // namespace orvenda
