#include "core/StatisticsText.h"

#include "core/Calculator.h"
#include "core/Operand.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Whole texts of every result kind are in tests/cases/statistics.cases; these are the
// cases an entry line cannot reach.

namespace orvenda {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class StatisticsTextTest : public ::testing::Test {
protected:
    void put(int slot, double v) { calc.locked()->vars[static_cast<std::size_t>(slot)] = {v, 0.0}; }
    std::string firstLine(int kind) const
    {
        const std::string text = StatisticsText(calc).formatFromSlots(kind);
        return text.substr(0, text.find('\n'));
    }

    Calculator calc;
};

TEST_F(StatisticsTextTest, AlternativeIsTheVariableTruncated)
{
    put(SlotMu0, 100);
    const std::pair<double, const char*> cases[] = {
        {0, "Z-Test:μ≠100"},  {3, "Z-Test:μ≠100"},   {-1, "Z-Test:μ≠100"}, {1.9, "Z-Test:μ<100"},
        {-0.5, "Z-Test:μ≠100"}, {2, "Z-Test:μ>100"}, {kNaN, "Z-Test:μ≠100"}, {1e300, "Z-Test:μ≠100"},
    };
    for (auto [alternative, line] : cases) {
        put(SlotAlternative, alternative);
        EXPECT_EQ(firstLine(14), line) << alternative;
    }
    put(SlotAlternative, 2);
    EXPECT_EQ(firstLine(29), "y=a+bx, β>0 and ρ>0, df=0");
}

TEST_F(StatisticsTextTest, MissingDeviationsKeepTheirCells)
{
    VQStatistics s;
    s.n = 1;
    s.Xmean = s.minX = s.maxX = s.Q1 = s.medianX = s.Q3 = 4;
    s.Xsum = 4;
    s.X2sum = 16;
    const std::string one = StatisticsText(calc).format1VarStat(s);
    EXPECT_NE(one.find("\nSx:" + std::string(13, ' ') + "Q3:4\nσx:" + std::string(13, ' ') + "maxX:4\n"), std::string::npos) << one;

    s.Ymean = s.minY = s.maxY = 2;
    s.popStdX = s.popStdY = 0;
    const std::string two = StatisticsText(calc).format2VarStat(s);
    EXPECT_NE(two.find("\nSx:" + std::string(13, ' ') + "Sy:\nσx:0"), std::string::npos) << two;
}

TEST_F(StatisticsTextTest, LongLeftCellIsNotCut)
{
    put(SlotXMean1, -1.234567891e-100);
    put(SlotXMean2, 2);
    const std::string text = StatisticsText(calc).formatFromSlots(17);
    EXPECT_NE(text.find("\nx̅₁=-1.2345679ᴱ-100 x̅₂=2\n"), std::string::npos) << text;
}

TEST_F(StatisticsTextTest, RegressionWithoutAModelHasNoText)
{
    EXPECT_EQ(StatisticsText(calc).formatRegression(), "");
    calc.locked()->statistics = std::make_shared<VQStatistics>();
    calc.locked()->statistics->model = 11;
    calc.locked()->regressionDiagnostic = true;
    EXPECT_EQ(StatisticsText(calc).formatRegression(), "");
}

} // namespace
} // namespace orvenda
