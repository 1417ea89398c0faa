#include "apps/CSVImport.h"

#include "TestSupport.h"
#include "apps/CSVText.h"

#include <gtest/gtest.h>

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
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        EXPECT_EQ(sigFig, c.sigFig) << c.text;
        EXPECT_EQ(sigDec, c.sigDec) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(CSVImport, EachRowBecomesAList)
{
    Calculator calc(kUS);
    EXPECT_EQ(CSVImport::loadCSV(calc, "1,2,3\n4,5"), 0);
    EXPECT_EQ(calc.lists.at("L1").realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(calc.lists.at("L2").realList(), (std::vector<double>{4, 5}));
    EXPECT_EQ(calc.lists.at("L1").sigFigAtIndex(0), 1);

    EXPECT_EQ(CSVImport::loadCSV(calc, "DISTANCES,1.5, 2\nab,7\nL₁,9"), 0);
    EXPECT_EQ(calc.lists.at("DISTA").realList(), (std::vector<double>{1.5, 2}));
    EXPECT_EQ(calc.lists.at("Lab").realList(), (std::vector<double>{7}));
    EXPECT_EQ(calc.lists.at("L₁").realList(), (std::vector<double>{9}));
}

TEST(CSVImport, BadFilesAndRows)
{
    struct Case {
        const char* text;
        int result;
        std::vector<std::string> stored;
    };
    const Case cases[] = {
        {"", 85, {}},
        {"NAME,x,y", 85, {}},
        {"1,2\n,3\n4", 86, {"L1", "L2"}},
        {"A,1,oops,2", 86, {"A"}},
        {"A,1\nNAMES", 86, {"A"}},
    };
    for (const Case& c : cases) {
        Calculator calc(kUS);
        calc.lists.clear();
        EXPECT_EQ(CSVImport::loadCSV(calc, c.text), c.result) << c.text;
        std::vector<std::string> stored;
        for (const auto& [name, list] : calc.lists)
            stored.push_back(name);
        EXPECT_EQ(stored, c.stored) << c.text;
    }
}

TEST(CSVText, ListsAndMatricesAsTextThatImportsBack)
{
    Calculator calc(kUS);
    calc.lists.insert_or_assign("L₁", reals({1.5, -2e30}));
    calc.lists.insert_or_assign("SPEED", reals({3}));
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
    EXPECT_EQ(other.lists.at("L₁").realList(), (std::vector<double>{1.5, -2e30}));
    EXPECT_EQ(other.lists.at("SPEED").realList(), (std::vector<double>{3}));

    calc.matrices[0] = matrixOf({{1, 2}, {3, 4}});
    calc.matrices[2] = matrixOf({{5}});
    EXPECT_EQ(CSVText::matricesText(calc, {0, 2}), "1,2\n3,4\n5");
    EXPECT_EQ(CSVText::matricesFileName({0, 2}), "MatrixAC.csv");
}

} // namespace
} // namespace orvenda::test
