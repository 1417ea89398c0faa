#include "apps/CSVImport.h"

#include "TestSupport.h"
#include "apps/CSVText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace orvenda::test {
namespace {

TEST(CSVImport, NumbersAndTheirSignificance)
{
    struct Case {
        const char* text;
        double value;
        int sigFig, sigDec, error;
    };
    const Case cases[] = {
        {"1.50", 1.5, 3, -2, 0},
        {"1200", 1200, 2, 2, 0},
        {"1200.", 1200, 4, 0, 0},
        {"2.5E3", 2500, 2, 2, 0},
        {"0.05", 0.05, 1, -2, 0},
        {"1E-5", 1e-5, 1, -5, 0},
        {"1.2ᴱ5", 1.2e5, 2, 4, 0},
        {"7x", 7, 15, -15, 0},
        {"3 apples", 3, 1, 0, 0},
        {"-5", -5, 1, 0, 0},
        {"-1.50E-3", -1.5e-3, 3, -5, 0},
        {"--5", 0, 15, -15, 1},
        {"1.2.3", 0, 15, -15, 1},
        {"1E", 0, 15, -15, 1},
        {"1E400", 0, 15, -15, 1},
        {"9E308", 0, 15, -15, 1},
        {"L₁", 0, 15, -15, 1},
        {"", 0, 0, 0, 20},
    };
    for (const Case& c : cases) {
        int sigFig = -1, sigDec = -1, error = -1;
        const double value = CSVImport::parseNumString(c.text, sigFig, sigDec, error);
        std::size_t read = 99;
        CSVImport::parseNumString(c.text, sigFig, sigDec, error, &read);
        if (c.error == 0) {
            EXPECT_EQ(read, std::string_view(c.text) == "3 apples" ? 1u : std::strlen(c.text)) << c.text;
        }
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        EXPECT_EQ(sigFig, c.sigFig) << c.text;
        EXPECT_EQ(sigDec, c.sigDec) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

// The lists in the calculator by name, with their elements.
std::map<std::string, std::vector<double>> listsOf(const Calculator& calc)
{
    std::map<std::string, std::vector<double>> out;
    for (const auto& [name, list] : calc.locked()->lists)
        out.emplace(name, list.realList());
    return out;
}

// Text of one row: the first field, then n numbers.
std::string rowOf(const std::string& first, int n)
{
    std::string row = first;
    for (int k = 0; k < n; ++k)
        row += (row.empty() ? "" : ",") + std::to_string(k % 10);
    return row;
}

TEST(CSVImport, EachRowBecomesAList)
{
    Calculator calc(kUS);
    EXPECT_EQ(CSVImport::loadCSV(calc, "1,2,3\n4,5"), 0);
    EXPECT_EQ(calc.locked()->lists.at("L1").realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(calc.locked()->lists.at("L2").realList(), (std::vector<double>{4, 5}));
    EXPECT_EQ(calc.locked()->lists.at("L1").sigFigAtIndex(0), 1);

    // Trailing empty fields and rows of empty fields (as spreadsheets write ragged rows)
    // hold nothing; a row of names only gives no list.
    calc.locked()->lists.clear();
    EXPECT_EQ(CSVImport::loadCSV(calc, "TIME,HEAT\nA,1.5, 2,,\n,,\nB,7, \nNAMES"), 0);
    EXPECT_EQ(listsOf(calc), (std::map<std::string, std::vector<double>>{{"A", {1.5, 2}}, {"B", {7}}}));
}

TEST(CSVImport, NamesFollowTheListNameRules)
{
    // A–Z, 0–9 and θ, a letter first, cut to 5 characters, or the built-in names; any
    // other first field names its list "L" and a number, as a number does.
    Calculator calc(kUS);
    calc.locked()->lists.clear();
    const std::string text = std::string("DISTANCES,1\nθ2,2\nX,3\nL₁,4\nL#weight,5\n#weight,6\n(,7\nAns,8\nab,9\n")
        + std::string("A\0B", 3) + ",10\nA B,11\nL1,12\n13,14";
    EXPECT_EQ(CSVImport::loadCSV(calc, text), 0);
    const std::map<std::string, std::vector<double>> expected{
        {"DISTA", {1}}, {"θ2", {2}}, {"X", {3}}, {"L₁", {4}}, {"L1", {12}}, {"L2", {5}}, {"L3", {6}},
        {"L4", {7}}, {"L5", {8}}, {"L6", {9}}, {"L7", {10}}, {"L8", {11}}, {"L9", {13, 14}}};
    EXPECT_EQ(listsOf(calc), expected);

    // Every built-in name, the last as much as the first; a field that starts with a digit
    // and is still no number ("1E400": above the doubles) is no name either.
    calc.locked()->lists.clear();
    EXPECT_EQ(CSVImport::loadCSV(calc, "L₆,1\nL₁,2\n1E400,3\n1.2.3,4"), 0);
    EXPECT_EQ(listsOf(calc),
        (std::map<std::string, std::vector<double>>{{"L₆", {1}}, {"L₁", {2}}, {"L1", {3}}, {"L2", {4}}}));

    // Two rows whose names meet (cut to the same 5 characters) both stay.
    calc.locked()->lists.clear();
    EXPECT_EQ(CSVImport::loadCSV(calc, "HEIGHT1,1\nHEIGHT2,2\nHEIGH,3"), 0);
    EXPECT_EQ(listsOf(calc), (std::map<std::string, std::vector<double>>{{"HEIGH", {1}}, {"L1", {2}}, {"L2", {3}}}));
}

TEST(CSVImport, MalformedTextIsRefusedWhole)
{
    struct Case {
        std::string text;
        int result;
    };
    const Case cases[] = {
        {"", 85},
        {"NAME,x,y", 85},
        {",3", 85},
        {"\"open,1", 85},
        // A quote left open, or text after a quoted field, ends the rows early.
        {"1,2\n\"open,3\n4,5", 86},
        {"1,2\n3,\"4\"x\n5", 86},
        {"1,2\n,3\n4", 86},
        {"A,1,oops,2", 86},
        {"A,1,,2", 86},
        {"A,1\nB,2\n,3", 86},
        // A number with anything after it is no number of this file: other separators,
        // units, fractions; the whole file is refused, never its beginnings.
        {"1;2;3\n4;5;6", 86},
        {"12abc,3%,1/2", 86},
        {"1,2,3%", 86},
        {"B,1\t2,3", 86},
        {"7 apples,1", 86},
    };
    for (const Case& c : cases) {
        Calculator calc(kUS);
        calc.locked()->lists.clear();
        calc.locked()->lists.insert_or_assign("A", reals({9}));
        EXPECT_EQ(CSVImport::loadCSV(calc, c.text), c.result) << c.text;
        EXPECT_EQ(listsOf(calc), (std::map<std::string, std::vector<double>>{{"A", {9}}})) << c.text;
    }
}

TEST(CSVImport, RefusesWhatTheCalculatorCannotHold)
{
    // A list holds at most 999 numbers, a file at most 999 lists.
    std::string full;
    for (int k = 0; k < CSVImport::kMaxLists; ++k)
        full += rowOf("", 3) + "\n";
    const std::string longest = rowOf("", CSVImport::kMaxElements);
    for (const std::string& text : {longest, rowOf("NAME", CSVImport::kMaxElements), full}) {
        Calculator calc(kUS);
        EXPECT_EQ(CSVImport::loadCSV(calc, text), 0);
    }
    const std::string refused[] = {
        rowOf("", CSVImport::kMaxElements + 1),
        rowOf("NAME", CSVImport::kMaxElements + 1),
        "A,1\n" + rowOf("", 1'000'000),
        full + "5,6",
        full + "\"open",
        std::string(CSVImport::kMaxTextBytes + 1, ' '),
    };
    for (const std::string& text : refused) {
        Calculator calc(kUS);
        calc.locked()->lists.clear();
        EXPECT_EQ(CSVImport::loadCSV(calc, text), 86) << text.substr(0, 40);
        EXPECT_TRUE(calc.locked()->lists.empty()) << text.substr(0, 40);
    }
}

// Imports one after another: the lists together hold at most kMaxHeldNumbers; beyond,
// the memory error and nothing of the file stored, nothing held before lost.
TEST(CSVImport, TheListsTogetherHoldABoundedTotal)
{
    Calculator calc(kUS);
    calc.locked()->lists.clear();
    const std::size_t rows = CSVImport::kMaxHeldNumbers / CSVImport::kMaxElements;
    std::string file;
    for (std::size_t k = 0; k < rows / 2; ++k)
        file += rowOf("", CSVImport::kMaxElements) + "\n";
    ASSERT_EQ(CSVImport::loadCSV(calc, file), 0);
    // The same lists again replace themselves: the total stays.
    ASSERT_EQ(CSVImport::loadCSV(calc, file), 0);
    std::string named;
    for (std::size_t k = 0; k < rows / 2; ++k)
        named += rowOf("B" + std::to_string(k), CSVImport::kMaxElements) + "\n";
    ASSERT_EQ(CSVImport::loadCSV(calc, named), 0);
    const auto before = listsOf(calc);
    std::size_t held = 0;
    for (const auto& [name, list] : before)
        held += list.size();
    ASSERT_LE(held, CSVImport::kMaxHeldNumbers);
    const std::size_t room = CSVImport::kMaxHeldNumbers - held;
    EXPECT_EQ(CSVImport::loadCSV(calc, rowOf("EXTRA", static_cast<int>(room) + 1)), room + 1 > 999 ? 86 : 26);
    EXPECT_EQ(CSVImport::loadCSV(calc, "NEW," + rowOf("", static_cast<int>(room)) + "\nNEW2,1"), room >= 999 ? 86 : 26);
    EXPECT_EQ(listsOf(calc), before);
    ASSERT_GT(room, 0u);
    EXPECT_EQ(CSVImport::loadCSV(calc, rowOf("LAST", static_cast<int>(room))), 0);
}

TEST(CSVText, ListsAndMatricesAsTextThatImportsBack)
{
    Calculator calc(kUS);
    calc.locked()->lists.insert_or_assign("L₁", reals({1.5, -2e30}));
    calc.locked()->lists.insert_or_assign("SPEED", reals({3}));
    const std::string lists = CSVText::listsText(calc, {"L₁", "SPEED", "NONE"});
    EXPECT_EQ(lists, "L₁,1.5,-2ᴱ30\nSPEED,3");
    EXPECT_EQ(CSVText::listsFileName({"L₁", "SPEED"}), "L₁SPEED.csv");
    // Names are added while the stem is under 80 characters: 16 of 5.
    std::string stem;
    for (int k = 0; k < 16; ++k)
        stem += "ABCDE";
    EXPECT_EQ(CSVText::listsFileName(std::vector<std::string>(30, "ABCDE")), stem + ".csv");

    Calculator other(kUS);
    EXPECT_EQ(CSVImport::loadCSV(other, lists), 0);
    EXPECT_EQ(other.locked()->lists.at("L₁").realList(), (std::vector<double>{1.5, -2e30}));
    EXPECT_EQ(other.locked()->lists.at("SPEED").realList(), (std::vector<double>{3}));

    calc.locked()->matrices[0] = matrixOf({{1, 2}, {3, 4}});
    calc.locked()->matrices[2] = matrixOf({{5}});
    EXPECT_EQ(CSVText::matricesText(calc, {0, 2}), "1,2\n3,4\n5");
    EXPECT_EQ(CSVText::matricesFileName({0, 2}), "MatrixAC.csv");
}

// Whatever the mode, every value the export writes (real, negative, in E notation, complex
// as a+bɩ̇, in lists and in matrices) reads back whole under its name, the matrices' rows as
// numbered lists; other text after a number is still refused.
TEST(CSVText, EveryValueTheExportWritesReadsBackWholeUnderItsName)
{
    using Z = std::complex<double>;
    using Lists = std::map<std::string, std::vector<Z>>;
    const Z i(0, 1);
    const auto complexLists = [](const Calculator& calc) {
        Lists out;
        for (const auto& [name, list] : calc.locked()->lists)
            for (int k = 0; k < list.count(); ++k)
                out[name].push_back(list.complexAtIndex(k));
        return out;
    };
    const auto listOf = [](const std::vector<Z>& values) {
        VQList list;
        for (const Z& z : values)
            z.imag() == 0 ? list.addReal(z.real(), 15, -15) : list.addComplex(z);
        return list;
    };
    struct Mode {
        const char* what;
        void (*set)(Calculator&);
    };
    const Mode modes[] = {
        {"Normal", [](Calculator&) {}},
        {"Sci", [](Calculator& c) { c.locked()->numFormat = 1; }},
        {"Eng", [](Calculator& c) { c.locked()->numFormat = 2; }},
        {"Fix 2", [](Calculator& c) { c.locked()->numDigits = 2; }},
        {"grouped by commas", [](Calculator& c) { c.locked()->thousandSeperator = u','; }},
        {"decimal comma", [](Calculator& c) { c.locked()->thousandSeperator = u'.'; }},
        {"grouped by blanks", [](Calculator& c) { c.locked()->thousandSeperator = u'+'; }},
        {"hexadecimal", [](Calculator& c) { c.locked()->numBase = 2; }},
        {"polar", [](Calculator& c) { c.setRealCplxMode(2); }},
    };
    // Values of at most two decimals and ten figures, so that Fix 2 shows them whole.
    const Lists lists = {
        {"L₁", {1, 2.5, 3. + 4. * i}},
        {"L₆", {-1, -2.5, -3. - 4. * i, -4. * i, i, -i, 4. * i, 2.25 - i, -7.5 + i}},
        {"BIG", {1234567, -9876543.21, 1e99, -2e30, 1e15 + 2e20 * i, -3e40 - 5e-2 * i}},
        {"C", {1.5e200 - 2e100 * i, 0.25 + 1e-2 * i}},
        {"R", {0, 100, -0.05}},
    };
    for (const Mode& mode : modes) {
        Calculator calc(kUS);
        mode.set(calc);
        std::vector<std::string> names;
        for (const auto& [name, values] : lists) {
            calc.locked()->lists.insert_or_assign(name, listOf(values));
            names.push_back(name);
        }
        calc.locked()->matrices[0] = matrixOf({{1, -2.5}, {1234567, -1e20}});
        calc.locked()->matrices[3] = matrixOf({{1e-2, 5e30, -7}});
        Calculator other(kUS);
        other.locked()->lists.clear();
        const std::string text = CSVText::listsText(calc, names);
        EXPECT_EQ(CSVImport::loadCSV(other, text), 0) << mode.what << "\n" << text;
        EXPECT_EQ(complexLists(other), lists) << mode.what << "\n" << text;

        other.locked()->lists.clear();
        const std::string matrices = CSVText::matricesText(calc, {0, 3});
        EXPECT_EQ(CSVImport::loadCSV(other, matrices), 0) << mode.what << "\n" << matrices;
        EXPECT_EQ(complexLists(other), (Lists{{"L1", {1, -2.5}}, {"L2", {1234567, -1e20}}, {"L3", {1e-2, 5e30, -7}}}))
            << mode.what << "\n" << matrices;
    }

    // A complex value is read only whole, as the export writes it.
    for (const char* field : {"3+4", "3+4ɩ̇x", "3++4ɩ̇", "3+-4ɩ̇", "3-+4ɩ̇", "ɩ̇ɩ̇", "3ɩ̇4", "+4ɩ̇", "1ᴱ-ɩ̇", "3+4i", "4ɩ̇+3",
             "3+4ɩ̇ɩ̇", "1.2.3+4ɩ̇", "3+4.5.6ɩ̇", "3 +4ɩ̇", "--4ɩ̇"}) {
        Calculator calc(kUS);
        calc.locked()->lists.clear();
        const std::string text = std::string("A,1,") + field;
        EXPECT_EQ(CSVImport::loadCSV(calc, text), 86) << text;
        EXPECT_TRUE(calc.locked()->lists.empty()) << text;
    }
}

} // namespace
} // namespace orvenda::test
