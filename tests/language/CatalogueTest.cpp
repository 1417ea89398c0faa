#include "language/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace orvenda;

namespace {

const Catalogue& catalogue()
{
    return Catalogue::shared();
}

std::ptrdiff_t position(const std::string& name)
{
    const auto& keys = catalogue().keys();
    const auto it = std::find(keys.begin(), keys.end(), name);
    EXPECT_NE(it, keys.end()) << name;
    return it - keys.begin();
}

} // namespace

TEST(Catalogue, SortForms)
{
    const std::pair<std::string, std::string> cases[] = {
        {"√(", "root"}, {"³√(", "root3"}, {"³", "cube"}, {"²", "square"}, {"ˣ√", "rootx"},
        {"▸DMS", "DMS"}, {"1-Var Stats ", "Var Stats "}, {"2-", "2-"}, {"*row(", "row("}, {"*", "*"},
        {" or ", "or "}, {"χ²cdf(", "Chicdf("}, {"ΣInt(", "SumInt("}, {"∑(", "Sume("}, {"ʟ", "l"},
        {"ɩ̇", "I"}, {"©", "C"}, {"ΔList(", "DList("}, {"πr", "Pr"}, {"ᵀ", "T"}, {"ʳ", "R"}, {"", ""},
        {"sin(", "sin("},
    };
    for (auto [name, form] : cases) {
        Catalogue::cleanOpName(name);
        EXPECT_EQ(name, form);
    }
}

TEST(Catalogue, EntriesInOrderOfTheirSortForms)
{
    const auto& keys = catalogue().keys();
    EXPECT_EQ(keys.size(), catalogue().dictionary().size());
    EXPECT_EQ(keys.size(), 397u);
    EXPECT_EQ(catalogue().dictionary().at("n/d"), 0xEF38u);
    EXPECT_EQ(catalogue().dictionary().at("Un/d"), 0xEF39u);
    EXPECT_EQ(catalogue().dictionary().at("sin("), 0xC2u);
    EXPECT_FALSE(catalogue().dictionary().contains(""));

    const std::pair<std::string, std::string> before[] = {
        {"RecallGDB ", "√("}, {"√(", "round("}, {"1-Var Stats ", "Vertical "}, {"DelVar ", "▸DMS"},
        {"²", "startTmr"}, {"Z-Test(", "ZSquare"}, {"ZSquare", "ZTrig"},
    };
    for (const auto& [first, second] : before)
        EXPECT_LT(position(first), position(second)) << first << " before " << second;
    EXPECT_EQ(position("sinh("), position("sin(") + 1);
}

TEST(Catalogue, TypedNames)
{
    const struct {
        const char* typed;
        char32_t terminal;
        std::uint32_t token;
        bool usedTerminal;
    } cases[] = {
        // "sinh(" after "sin(" also begins with SIN: only the terminal settles it.
        {"SIN", U'(', 0xC2, true},
        {"sin", U'(', 0xC2, true},
        {"SIN", 0, Catalogue::kNoToken, false},
        {"SIN", U'X', 0xC2, false},
        {"SINH", U'(', 0xC8, true},
        {"ABS", 0, 0xB2, false},
        {"DMS", 0, 0x01, false},
        {"ZZZZZZ", 0, Catalogue::kNoToken, false},
    };
    for (const auto& c : cases) {
        bool used = !c.usedTerminal;
        EXPECT_EQ(catalogue().lookupCatalogName(c.typed, c.terminal, used), c.token) << c.typed;
        EXPECT_EQ(used, c.usedTerminal) << c.typed;
    }
    bool untouched = true;
    EXPECT_EQ(catalogue().lookupCatalogName("", U'(', untouched), Catalogue::kNoToken);
    EXPECT_TRUE(untouched);
}
