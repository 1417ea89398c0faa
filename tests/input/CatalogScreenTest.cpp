// The catalogue: its table and sort keys, search by typed letters, picking, test mode;
// and the character table.

#include "InputTestSupport.h"

#include "input/CatalogScreen.h"
#include "input/CharTable.h"

#include <set>

#include <QTreeWidget>

namespace orvenda::test {
namespace {

class CatalogTest : public ScreensTest {
protected:
    CatalogTest()
    {
        catalog = std::make_unique<CatalogScreen>(calc, shell);
        catalog->resize(390, 700);
        catalog->picked = [this](std::uint32_t code) { picked.push_back(code); };
        catalog->closed = [this] { ++closings; };
        catalog->show();
    }
    // The section a code is listed in.
    QString sectionOf(std::uint32_t code) const
    {
        for (const auto& s : catalog->index().sections())
            for (const auto& e : s.entries)
                if (e.code == code)
                    return s.title;
        return {};
    }
    void key(int qtKey, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(catalog.get(), &press);
    }
    const CatalogIndex::Entry* selected() const { return catalog->index().entry(catalog->selection()); }

    std::unique_ptr<CatalogScreen> catalog;
    std::vector<std::uint32_t> picked;
    int closings = 0;
};

TEST_F(CatalogTest, SortKeysPlaceSymbolNamesUnderWords)
{
    const std::vector<std::pair<QString, QString>> keys = {
        {"³√(", "root3"}, {"³", "cube"}, {"²", "square"}, {"√(", "root"}, {"π", "P"}, {"Σprn(", "Sumprn("},
        {"χ²cdf(", "Chicdf("}, {"ΔList(", "DList("}, {"▸Frac", "Frac"}, {" or ", "or "}, {"1-Var Stats ", "Var Stats "},
        {"*row(", "row("}, {"*", "*"}, {"ʳ", "R"}, {"∑(", "Sume("}, {"ᵀ", "T"}, {"≤", "≤"},
    };
    for (const auto& [name, key] : keys)
        EXPECT_EQ(CatalogIndex::sortKey(name), key) << name.toStdString();
}

TEST_F(CatalogTest, SectionsOfTheExamples)
{
    const std::vector<std::pair<std::uint32_t, QString>> cases = {
        {0xBD, "R"}, {0x0F, "C"}, {0x0D, "S"}, {0xAC, "P"}, {0xBB03, "S"}, {0xBB13, "C"}, {0xBB2C, "D"},
        {0x03, "F"}, {0x3C, "O"}, {0xF2, "V"}, {0xF3, "V"}, {0x6D, "zOps"}, {0x10, "zOps"}, {0xEF38, "N"},
    };
    for (const auto& [code, section] : cases)
        EXPECT_EQ(sectionOf(code), section) << std::hex << code;
    EXPECT_EQ(catalog->index().sections().back().title, "zOps");
}

TEST_F(CatalogTest, EveryTokenKeepsItsOwnRow)
{
    EXPECT_EQ(CatalogIndex::codes().size(), 398u);
    std::multiset<std::uint32_t> listed;
    for (const auto& s : catalog->index().sections())
        for (const auto& e : s.entries)
            listed.insert(e.code);
    for (const std::uint32_t code : CatalogIndex::codes())
        if (!calc.nameForOpcode(code).empty()) {
            EXPECT_EQ(listed.count(code), 1u) << std::hex << code;
        }
}

// Rows line up: an operator named with blanks around it (" and ") starts where the others
// start, with no blank before its name.
TEST_F(CatalogTest, NamesWithALeadingBlankLineUpWithTheOthers)
{
    bool blankNamed = false;
    for (const auto& s : catalog->index().sections())
        for (const auto& e : s.entries)
            blankNamed = blankNamed || e.name.startsWith(QLatin1Char(' '));
    ASSERT_TRUE(blankNamed);
    auto* table = catalog->findChild<QTreeWidget*>();
    ASSERT_TRUE(table);
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        EXPECT_FALSE(table->topLevelItem(i)->text(0).startsWith(QLatin1Char(' '))) << table->topLevelItem(i)->text(0).toStdString();
}

TEST_F(CatalogTest, TypedLettersSearch)
{
    key(Qt::Key_L, "l");
    key(Qt::Key_N, "n");
    EXPECT_EQ(catalog->searchText(), "ln");
    ASSERT_TRUE(selected());
    const auto& lSection = catalog->index().sections()[static_cast<std::size_t>(catalog->selection().section)];
    EXPECT_EQ(lSection.title, "L");
    EXPECT_GE(selected()->key.compare("LN"), 0);
    if (catalog->selection().row > 0) {
        EXPECT_LT(lSection.entries[static_cast<std::size_t>(catalog->selection().row) - 1].key.compare("LN"), 0);
    }

    catalog->searchForString("");
    catalog->selectString("ZZZ");
    const auto& z = catalog->index().sections()[static_cast<std::size_t>(catalog->selection().section)];
    EXPECT_EQ(z.title, "Z");
    EXPECT_EQ(catalog->selection().row, static_cast<int>(z.entries.size()) - 1);
    EXPECT_EQ(catalog->index().sectionForIndexTitle("zOps"), static_cast<int>(catalog->index().sections().size()) - 1);
}

TEST_F(CatalogTest, ReturnPicksTheFirstRowWithoutASelection)
{
    key(Qt::Key_Return);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], catalog->index().sections()[0].entries[0].code);
    EXPECT_FALSE(catalog->isVisible());
}

TEST_F(CatalogTest, TestModeStrikesRefusedTokensAndOnlyCloses)
{
    calc.testMode = 1;
    catalog->updateDisplay();
    catalog->selectString("PRGM");
    ASSERT_EQ(selected()->code, 0x5Fu);
    EXPECT_TRUE(catalog->struck(catalog->selection()));
    catalog->pick(catalog->selection());
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(closings, 1);
    calc.testMode = 0;
    catalog->show();
    EXPECT_FALSE(catalog->struck(catalog->selection()));
    catalog->pick(catalog->selection());
    EXPECT_EQ(picked, std::vector<std::uint32_t>{0x5F});
}

TEST_F(CatalogTest, HelpPageGoesByTheVocabularyName)
{
    catalog->selectString("N/D");
    ASSERT_EQ(selected()->name, "n/d");
    catalog->openHelp(catalog->selection());
    EXPECT_EQ(catalog->help().functionName().toStdString(), calc.nameForOpcode(0xEF38));
    key(Qt::Key_Escape);
    EXPECT_FALSE(catalog->helpShown());
    key(Qt::Key_Escape);
    EXPECT_EQ(closings, 1);
}

TEST(CharTableTest, TheExtendedCharacters)
{
    Calculator calc;
    CharTable table(calc);
    table.doInit();
    const auto& codes = table.characters();
    ASSERT_EQ(table.count(), 105);
    EXPECT_EQ(codes.front(), 0xBB6Eu);
    EXPECT_EQ(codes.back(), 0xBBF5u);
    for (const std::uint32_t absent : {0xBB7Eu, 0xBBB0u, 0xBBCAu, 0xBBCEu, 0xBBD0u, 0xBBEFu})
        EXPECT_EQ(std::count(codes.begin(), codes.end(), absent), 0) << std::hex << absent;
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(table.item(104)->text().toStdString(), calc.nameForOpcode(0xBBF5));
}

} // namespace
} // namespace orvenda::test
