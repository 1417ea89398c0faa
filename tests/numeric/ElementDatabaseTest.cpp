// molarMass( and the chem_ functions as typed lines are in tests/cases/own-page.cases;
// here the formula reader and the table's accessors.
#include "numeric/ElementDatabase.h"

#include <cmath>
#include <map>
#include <string>

#include <gtest/gtest.h>

using orvenda::ElementDatabase;
using Counts = ElementDatabase::Counts;

namespace {

const ElementDatabase& table()
{
    return ElementDatabase::elementDatabase();
}

constexpr int H = 1, C = 6, O = 8, Mg = 12, P = 15, Ca = 20;

} // namespace

TEST(ElementDatabase, FormulasGiveTheirAtomCounts) {
    const struct {
        const char* formula;
        Counts counts;
    } cases[] = {
        {"H2O", {{H, 2}, {O, 1}}},
        {"Ca(OH)2", {{Ca, 1}, {O, 2}, {H, 2}}},
        {"CH3COOH", {{C, 2}, {H, 4}, {O, 2}}},
        {"C12H22O11", {{C, 12}, {H, 22}, {O, 11}}},
        {"C100", {{C, 100}}},
        {"Ca(OH)", {{Ca, 1}, {O, 1}, {H, 1}}},
        {"Mg3(PO4)2", {{Mg, 3}, {P, 2}, {O, 8}}},
        {"Ca(OH", {{Ca, 1}, {O, 1}, {H, 1}}},  // an open group closes at the end
        {"H0", {{H, 1}}},
        {"((H)2)3", {{H, 6}}},
        // An element counted both before and inside a group adds up.
        {"CH3(CH2)2CH3", {{C, 4}, {H, 10}}},
        {"H(OH)2", {{H, 3}, {O, 2}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        int at = -1;
        const auto counts = table().atomCount(c.formula, at);
        ASSERT_TRUE(counts) << c.formula;
        EXPECT_EQ(*counts, c.counts) << c.formula;
    }
}

TEST(ElementDatabase, UnreadableFormulasNameTheFaultyCharacter) {
    const struct {
        const char* formula;
        int at;
    } cases[] = {
        {"Xx", 1}, {"h2o", 0}, {"H2)", 2}, {"2H", 0}, {"H2 O", 2}, {"Na+", 2}, {"H\xC2\xB2", 1},
        // Counts beyond 32 bits.
        {"H2147483648", 10}, {"(H2000000000)2", 12}, {"H2000000000H2000000000", 12},
    };
    for (const auto& c : cases) {
        int at = -1;
        EXPECT_FALSE(table().atomCount(c.formula, at)) << c.formula;
        EXPECT_EQ(at, c.at) << c.formula;
        at = -1;
        EXPECT_EQ(table().weight(c.formula, at), -1.0);
        EXPECT_EQ(at, c.at) << c.formula;
    }
}

TEST(ElementDatabase, WeightsAndSharesFollowTheTable) {
    int at = 0;
    const double water = 2 * 1.008 + 15.999;
    EXPECT_DOUBLE_EQ(table().weight("H2O", at), water);
    EXPECT_EQ(table().weight("", at), 0.0);

    double total = -1;
    const auto shares = table().analyzeCompound("H2O", total, at);
    ASSERT_TRUE(shares);
    ASSERT_EQ(shares->size(), 2u);
    EXPECT_DOUBLE_EQ(total, water);
    EXPECT_EQ((*shares)[0].symbol, "H");
    EXPECT_EQ((*shares)[0].atoms, 2);
    EXPECT_DOUBLE_EQ((*shares)[0].mass, 2 * 1.008);
    EXPECT_DOUBLE_EQ((*shares)[1].percent, 15.999 / water);

    total = 0;
    const auto none = table().analyzeCompound("", total, at);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_EQ(total, 0.0);
    total = 7;
    EXPECT_FALSE(table().analyzeCompound("Q", total, at));
    EXPECT_EQ(total, 7.0);
}

TEST(ElementDatabase, TheBuiltInTableAnswersEveryElement) {
    EXPECT_EQ(table().count(), 118);
    for (int n = 1; n <= 118; ++n) {
        EXPECT_EQ(table().numForSymbol(table().symbol(n)), n);
        EXPECT_EQ(table().intValueCol(ElementDatabase::ColNumber, n), n);
    }
    EXPECT_EQ(table().numForSymbol("he"), 0);
    EXPECT_EQ(table().name(26), "Iron");
    EXPECT_EQ(table().orbitals(16), "[Ne]3s\u00B23p\u2074");
    EXPECT_EQ(table().electronShell(11), (std::vector<std::string>{"2", "8", "1"}));
    EXPECT_EQ(table().series(11), 0);   // Alkali
    EXPECT_EQ(table().series(10), 5);   // Nobel
    EXPECT_EQ(table().series(92), 9);   // Actinoid
    // No data: a real reads NaN, an element outside the table nothing.
    EXPECT_TRUE(std::isnan(table().density(118)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(table().col(ElementDatabase::ColName, 119)));
    EXPECT_EQ(table().doubleValueCol(ElementDatabase::ColWeight, 0), 0.0);
    const std::map<int, int> dots{{1, 1}, {2, 2}, {4, 2}, {6, 4}, {9, 7}, {10, 8}, {26, 0}, {118, 0}};
    for (const auto& [element, count] : dots)
        EXPECT_EQ(table().lewisDot(element), count) << element;
}

// Spot values of the columns made from pymatgen's table, in this table's units: radii
// from angstrom to pm, resistivity in 10^-8 ohm m to conductivity in MS/m, energies from
// eV to kJ/mol; the valence is the largest oxidation state, unknown where none is listed.
TEST(ElementDatabase, TheMechanicalAndElectricColumnsAreFilled) {
    constexpr int Fe = 26, Cu = 29, He = 2, Og = 118;
    const std::map<int, double> iron{{10, 156}, {11, 140}, {14, 490}, {15, 4}, {16, 608}, {17, 170},
        {18, 82}, {19, 211}, {20, 80}, {21, 10}};
    for (const auto& [column, value] : iron)
        EXPECT_DOUBLE_EQ(table().doubleValueCol(column, Fe), value) << column;
    EXPECT_DOUBLE_EQ(table().doubleValueCol(21, Cu), 58.139535);  // 1.72e-8 ohm m
    EXPECT_DOUBLE_EQ(table().doubleValueCol(20, Cu), 400);
    EXPECT_DOUBLE_EQ(table().doubleValueCol(15, C), 0.5);  // graphite
    EXPECT_DOUBLE_EQ(table().doubleValueCol(11, H), 25);
    EXPECT_DOUBLE_EQ(table().doubleValueCol(10, O), 48);
    EXPECT_EQ(table().valence(Fe), 6);
    EXPECT_EQ(table().valence(O), 2);
    EXPECT_EQ(table().valence(He), 0);
    EXPECT_TRUE(std::isnan(table().doubleValueCol(ElementDatabase::ColValence, Og)));
    // Every level an element has: iron 26, the first kept from before.
    EXPECT_EQ(table().ionizations(Fe).size(), 26u);
    EXPECT_DOUBLE_EQ(table().getIonizations(0)[Fe - 1], 762.465689);
    EXPECT_DOUBLE_EQ(table().getIonizations(1)[Fe - 1], 1562.986157);  // 16.19921 eV
    EXPECT_DOUBLE_EQ(table().getIonizations(25)[Fe - 1], 895160.209777);
    EXPECT_EQ(table().getIonizations(26)[Fe - 1], 0);
    EXPECT_DOUBLE_EQ(table().getIonizations(1)[H - 1], 0);
    // Where the source has nothing the cell stays unknown.
    EXPECT_TRUE(std::isnan(table().doubleValueCol(16, Og)));
    EXPECT_TRUE(std::isnan(table().doubleValueCol(22, Fe)));
}

namespace {

// A line of the 33 columns, the given ones filled in.
std::string line(const std::map<int, std::string>& fields)
{
    std::string text;
    for (int c = 0; c < 33; ++c) {
        if (c)
            text += ',';
        if (auto it = fields.find(c); it != fields.end())
            text += it->second;
    }
    return text + "\r\n";
}

} // namespace

TEST(ElementDatabase, ReadsTheTableFormat) {
    std::map<int, std::string> header;
    for (int c = 0; c < 33; ++c)
        header[c] = "c" + std::to_string(c) + (c == 0 || c == 1 || c == 26 || c == 32 ? ".s" : c == 3 ? ".d" : "");
    const ElementDatabase db("\r\n" + line(header) + line({{1, "A"}, {3, "1.5"}, {4, "3"}, {26, "Nobel"}, {32, "100 200"}})
                             + "\r\n" + line({{1, "B"}, {3, ""}, {4, "x"}, {26, "Nowhere"}, {32, "Unknown"}})
                             + "Gamma,G,,Unknown\r\n");
    ASSERT_EQ(db.count(), 3);
    EXPECT_EQ(db.columnHeadings()[26], "c26");
    EXPECT_EQ(db.columnType()[0], ElementDatabase::TypeText);
    EXPECT_EQ(db.columnType()[3], ElementDatabase::TypeReal);
    EXPECT_EQ(db.columnType()[4], ElementDatabase::TypeInteger);
    EXPECT_EQ(db.numForSymbol("B"), 2);
    EXPECT_EQ(db.mass(1), 1.5);
    EXPECT_TRUE(std::isnan(std::get<double>(db.col(3, 2))));  // empty
    EXPECT_TRUE(std::isnan(std::get<double>(db.col(3, 3))));  // "Unknown"
    EXPECT_EQ(std::get<long long>(db.col(4, 1)), 3);
    EXPECT_EQ(std::get<long long>(db.col(4, 2)), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(db.col(4, 3)));  // a short line
    EXPECT_EQ(db.series(1), 5);
    EXPECT_EQ(db.series(2), 0);
    EXPECT_EQ(db.getIonizations(0), (std::vector<double>{100, 0, 0}));
    EXPECT_EQ(db.getIonizations(1), (std::vector<double>{200, 0, 0}));
    EXPECT_EQ(db.getIonizations(2), (std::vector<double>{0, 0, 0}));
}
