#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/services/StatGraphManager.h"
#include "language/ErrorNumbers.h"
#include "language/TokenText.h"
#include "language/VariableSlots.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include "EvalTestSupport.h"
#include "TestSupport.h"
#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <tuple>

// What the statistics, stat plot, editor and shading commands do to the calculator and
// its managers; their answers and refusals are in tests/cases/statistics.cases and
// tests/cases/stat-commands.cases.

namespace orvenda {
namespace {

using testing::ProgramHarness;

// Six plots whose settings are kept as the commands set them.
class RecordingPlots : public StatGraphManager {
public:
    struct Plot {
        int type = -1, mark = -1, axis = -1;
        bool visible = false;
        std::array<double, 4> color{};
    };
    std::array<Plot, 6> plots;
    std::vector<std::shared_ptr<VQStatistics>> info;
    int calls = 0;

    RecordingPlots()
    {
        for (int i = 0; i < 6; ++i)
            info.push_back(std::make_shared<VQStatistics>());
    }
    void clearAll() override {}
    std::vector<std::shared_ptr<VQStatistics>> statInfo() const override { return info; }
    void setPlotAxis(int n, int axis) override { ++calls, plots[std::size_t(n)].axis = axis; }
    void setPlotMark(int n, int mark) override { ++calls, plots[std::size_t(n)].mark = mark; }
    void setPlotType(int n, int type) override { ++calls, plots[std::size_t(n)].type = type; }
    void setPlotVisible(int n, bool on) override { ++calls, plots[std::size_t(n)].visible = on; }
    void setPlotColor(int n, const VQColor& c) override { ++calls, plots[std::size_t(n)].color = {c.r(), c.g(), c.b(), c.a()}; }
    double histogramXOrigin() const override { return 0; }
    void setHistogramXOrigin(double) override {}
    void setHistogramBarOffset(double) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

// Equations that also keep their styles and deletions.
class StyledYEq : public testing::RecordingYEq {
public:
    std::map<int, std::pair<int, std::array<double, 3>>> styles;
    std::vector<int> deleted;
    void setStyle(int word, const VQColor& c, int token) override { styles[token] = {word, {c.r(), c.g(), c.b()}}; }
    void deleteEquation(int token) override { deleted.push_back(token); }
};

class StatisticsCommandsTest : public ::testing::Test {
protected:
    StatisticsCommandsTest()
    {
        h.calc.statGraphManager = plots;
        h.calc.yEqManager = equations;
    }
    int enter(const std::string& line) { return h.enter(line).error; }
    double slot(int n) const { return h.calc.locked()->vars[std::size_t(n)].real(); }

    ProgramHarness h;
    std::shared_ptr<RecordingPlots> plots = std::make_shared<RecordingPlots>();
    std::shared_ptr<StyledYEq> equations = std::make_shared<StyledYEq>();
};

// ---- Stat plots ----

TEST_F(StatisticsCommandsTest, PlotDefinitionSetsThePlotAndItsLists)
{
    ASSERT_EQ(enter("Plot1(Scatter,L₁,L₂)"), 0);
    const RecordingPlots::Plot& p = plots->plots[0];
    EXPECT_EQ(std::tie(p.type, p.mark, p.visible), std::make_tuple(0, 0, true));
    EXPECT_EQ(p.color, (std::array<double, 4>{0, 1, 0, 1}));
    EXPECT_EQ(plots->info[0]->listXName, "L₁");
    EXPECT_EQ(plots->info[0]->listYName, "L₂");
    EXPECT_FALSE(plots->info[0]->freqName);

    ASSERT_EQ(enter("Plot3(Histogram,L₁,L₃,ᐩ)"), 0);
    EXPECT_EQ(plots->plots[2].type, 2);
    EXPECT_EQ(plots->plots[2].mark, 1);
    EXPECT_EQ(plots->info[2]->freqName, "L₃");
    EXPECT_FALSE(plots->info[2]->listYName);

    ASSERT_EQ(enter("Plot6(NormProbPlot,L₄,Y,{1,0,0})"), 0);
    EXPECT_EQ(plots->plots[5].type, 5);
    EXPECT_EQ(plots->plots[5].axis, 1);
    EXPECT_EQ(plots->plots[5].color, (std::array<double, 4>{1, 0, 0, 1}));
}

TEST_F(StatisticsCommandsTest, RefusedPlotDefinitionChangesNothing)
{
    // A colour number far beyond int reach is no colour (nor a frequency).
    for (const char* line : {"Plot1(Scatter,L₁,{1,2})", "Plot1(Scatter,L₁,L₂,☐,{1,2})", "Plot2(Histogram,L₁,2,☐)",
                             "Plot3(Boxplot,L₁,L₂,L₃)", "Plot1(Scatter,L₁,L₂,1ᴱ99)", "Plot1(Scatter,L₁,L₂,-1ᴱ12)",
                             "Plot2(Histogram,L₁,1ᴱ99,☐)"}) {
        EXPECT_EQ(enter(line), ErrArgument) << line;
        EXPECT_EQ(plots->calls, 0) << line;
    }
}

TEST_F(StatisticsCommandsTest, PlotSwitchesStopAtTheFirstBadNumber)
{
    ASSERT_EQ(enter("PlotsOn"), 0);
    ASSERT_EQ(enter("PlotsOff 2,5"), 0);
    EXPECT_FALSE(plots->plots[1].visible);
    EXPECT_FALSE(plots->plots[4].visible);
    EXPECT_TRUE(plots->plots[5].visible);
    // The numbers are taken last first: 2 is switched before 7 is refused.
    EXPECT_EQ(enter("PlotsOn 7,2"), ErrDomain);
    EXPECT_TRUE(plots->plots[1].visible);
    EXPECT_FALSE(plots->plots[4].visible);
}

TEST_F(StatisticsCommandsTest, FunctionSwitchesNameTheModesEquations)
{
    ASSERT_EQ(enter("FnOff"), 0);
    for (int token = 0x5E10; token <= 0x5E19; ++token)
        EXPECT_FALSE(equations->visible.at(token)) << std::hex << token;
    ASSERT_EQ(enter("FnOn 0"), 0);
    EXPECT_TRUE(equations->visible.at(0x5E19));
    h.calc.setGraphMode(1);
    ASSERT_EQ(enter("FnOn 2"), 0);
    EXPECT_TRUE(equations->visible.at(0x5E22));
    equations->visible.clear();
    ASSERT_EQ(enter("FnOff"), 0);
    EXPECT_EQ(equations->visible.size(), 6u);
    EXPECT_FALSE(equations->visible.at(0x5E2A));
}

// ---- Editor, styles and variables ----

TEST_F(StatisticsCommandsTest, GraphStyleSetsTheStyleWordAndColour)
{
    ASSERT_EQ(enter("GraphStyle(0,1)"), 0);
    EXPECT_EQ(equations->styles.at(0x5E19), (std::pair<int, std::array<double, 3>>{2 | 1, {0, 1, 0}}));
    ASSERT_EQ(enter("GraphStyle(2,6,{1,0,0})"), 0);
    EXPECT_EQ(equations->styles.at(0x5E11), (std::pair<int, std::array<double, 3>>{18 | 1, {1, 0, 0}}));
    EXPECT_EQ(enter("GraphStyle(3,7)"), ErrArgument);
    EXPECT_EQ(equations->styles.count(0x5E12), 0u);
}

TEST_F(StatisticsCommandsTest, SetUpEditorKeepsTheOrderGiven)
{
    ASSERT_EQ(enter("SetUpEditor L₃,L₁"), 0);
    EXPECT_EQ(h.calc.locked()->statEditList, (std::vector<std::string>{"L₃", "L₁"}));
    EXPECT_EQ(enter("SetUpEditor L₂,5"), ErrSyntax);
    EXPECT_EQ(h.calc.locked()->statEditList, (std::vector<std::string>{"L₃", "L₁"}));
    ASSERT_EQ(enter("SetUpEditor"), 0);
    EXPECT_EQ(h.calc.locked()->statEditList, (std::vector<std::string>{"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"}));
}

TEST_F(StatisticsCommandsTest, DelVarEmptiesMatricesStringsAndEquations)
{
    h.calc.locked()->matrices[0] = test::matrixOf({{1, 2}});
    h.calc.locked()->strings[0] = {0x41};
    ASSERT_EQ(enter("DelVar [A]"), 0);
    ASSERT_EQ(enter("DelVar Str1"), 0);
    ASSERT_EQ(enter("DelVar Y₁"), 0);
    EXPECT_EQ(h.calc.locked()->matrices[0].dimRow(), 0u);
    EXPECT_TRUE(h.calc.locked()->strings[0].empty());
    EXPECT_EQ(equations->deleted, (std::vector<int>{0x5E10}));
}

// ---- Shading ----

struct ShadeCase {
    const char* line;
    double area;
    std::array<double, 4> window;  // Xmin, Xmax, Ymin, Ymax
};

TEST_F(StatisticsCommandsTest, ShadingDrawsTheAreaAndProposesAWindow)
{
    const double chi4 = 0.26 * std::pow(2, -0.462264);
    const double f510 = 0.6876070027706233;  // the F(5, 10) density at its mode 0.5
    const ShadeCase cases[] = {
        {"ShadeNorm(-1,1)", 0.6826894921370859, {-3.125, 3.125, -0.1, 0.44}},
        {"ShadeNorm(0,1ᴱ99,10,2)", 0.99999971334842808, {3.75, 16.25, -0.05, 0.22}},
        {"Shade_t(-2,2,5)", 0.8980605211701416, {-4, 4, -0.1, 0.45}},
        {"Shadeχ²(0,3,4)", 0.44217459962892536, {0, 24.28, -chi4 / 6, chi4}},
        // At 2 degrees of freedom and below the curve's top is held at 0.6.
        {"Shadeχ²(0,3,1)", 0.9167354833364496, {0, 20.77, -0.1, 0.6}},
        {"ShadeF(0,1,1,5)", 0.6367825323508773, {0, 4, -2.5 / 6, 2.75}},
        {"ShadeF(0,1,5,10)", 0.5348805734621996, {0, 4, -f510 / 6, 1.1 * f510}},
    };
    for (const ShadeCase& c : cases) {
        SCOPED_TRACE(c.line);
        h.calc.drawing.clear();
        ASSERT_EQ(enter(c.line), 0);
        ASSERT_EQ(h.calc.drawing.size(), 1u);
        const auto* d = dynamic_cast<const DrawDistribution*>(h.calc.drawing[0].get());
        ASSERT_TRUE(d);
        EXPECT_NEAR(d->area, c.area, 1e-12);
        EXPECT_EQ(std::make_tuple(d->r, d->g, d->b), std::make_tuple(0.f, 1.f, 0.f));
        const int slots[] = {kSlotXmin, kSlotXmax, kSlotYmin, kSlotYmax};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(slot(slots[i]), c.window[std::size_t(i)], 1e-12) << i;
    }
    h.calc.drawing.clear();
    ASSERT_EQ(enter("ShadeNorm(-1,1,0,1,3)"), 0);
    const std::array<double, 3> three{1, 0x6F / 255.0, 0xCF / 255.0}; // standard colour 3, FF6FCF
    EXPECT_FLOAT_EQ(h.calc.drawing[0]->r, float(three[0]));
    EXPECT_FLOAT_EQ(h.calc.drawing[0]->g, float(three[1]));
    EXPECT_FLOAT_EQ(h.calc.drawing[0]->b, float(three[2]));
}

// ---- Statistics results in the variables ----

TEST_F(StatisticsCommandsTest, RegressionKeepsItsFitEquationAndResiduals)
{
    h.calc.locked()->lists["L₁"] = test::reals({1, 2, 3, 4});
    h.calc.locked()->lists["L₂"] = test::reals({3, 5, 8, 9});
    ASSERT_EQ(enter("LinReg(ax+b) L₁,L₂,Y₁"), 0);
    ASSERT_TRUE(h.calc.locked()->statistics);
    EXPECT_DOUBLE_EQ(slot(SlotA), 2.1);
    EXPECT_DOUBLE_EQ(slot(SlotA + 1), 1);
    EXPECT_EQ(equations->equations.at(0x5E10), h.calc.locked()->statistics->regEqu);
    EXPECT_TRUE(h.calc.getVariable(0x6201).ends_with(" 2.1X+1")) << h.calc.getVariable(0x6201);
    const std::vector<double> resid = h.calc.locked()->lists["RESID"].realList();
    ASSERT_EQ(resid.size(), 4u);
    EXPECT_NEAR(resid[2], 8 - (2.1 * 3 + 1), 1e-14);

    // A fit that fails changes neither the fit nor the variables.
    const auto kept = h.calc.locked()->statistics;
    h.calc.locked()->lists["L₂"] = test::reals({3, 0, 8, 9});
    EXPECT_EQ(enter("ExpReg"), ErrDomain);
    EXPECT_EQ(h.calc.locked()->statistics, kept);
    EXPECT_DOUBLE_EQ(slot(SlotA), 2.1);
}

TEST_F(StatisticsCommandsTest, SummariesFillTheirVariables)
{
    ASSERT_EQ(enter("1-Var Stats {7,1,3,5}"), 0);
    const std::pair<int, double> want[] = {{SlotN, 4},      {SlotXMean, 4}, {SlotXSum, 16}, {SlotX2Sum, 84},
                                           {SlotMinX, 1},   {SlotMaxX, 7},  {SlotQ1, 2},    {SlotMedian, 4},
                                           {SlotQ3, 6}};
    for (auto [s, v] : want)
        EXPECT_DOUBLE_EQ(slot(s), v) << s;
}

TEST_F(StatisticsCommandsTest, TestThatFailsLeavesTheVariablesAlone)
{
    h.calc.locked()->vars[SlotSigma] = 7;
    h.calc.locked()->vars[SlotXMean] = 7;
    EXPECT_EQ(enter("Z-Test(100,0,105,36)"), ErrDomain);
    EXPECT_EQ(slot(SlotSigma), 7);
    EXPECT_EQ(slot(SlotXMean), 7);
}

TEST_F(StatisticsCommandsTest, SlopeTestStoresTheFittedLine)
{
    h.calc.locked()->lists["L₁"] = test::reals({1, 2, 3, 4});
    h.calc.locked()->lists["L₂"] = test::reals({3, 5, 8, 9});
    ASSERT_EQ(enter("LinRegTTest L₁,L₂,1,0,Y₂"), 0);
    EXPECT_EQ(equations->equations.at(0x5E11), h.calc.locked()->statistics->regEqu);
    EXPECT_EQ(h.calc.locked()->statistics->model, VQStatistics::LinRegABX);
}

// The fitted equation spells its coefficients as the display shows them (the same values,
// in the mode's form, never the 17 digits that read back as the double): in Y=, in RegEQ's
// listing and in the fit the statistics screens read, whichever command fits it.
TEST_F(StatisticsCommandsTest, TheRegressionEquationSpellsItsNumbersAsTheDisplayShowsThem)
{
    // a = .04 and b = 1.85 as shown; a fitted as 0.040000000000000015.
    h.calc.locked()->lists["L₁"] = test::reals({1, 2, 3, 4});
    h.calc.locked()->lists["L₂"] = test::reals({2.6, 1.3, 1.1, 2.8});
    struct Case {
        const char* command;
        int equation;
        int numDigits, numFormat;
        std::string text;
    };
    const Case cases[] = {
        {"LinReg(ax+b) L₁,L₂,Y₁", 0x5E10, -1, 0, ".04X+1.85"},
        {"LinReg(a+bx) L₁,L₂,Y₂", 0x5E11, -1, 0, "1.85+.04X"},
        {"LinRegTTest L₁,L₂,1,0,Y₃", 0x5E12, -1, 0, "1.85+.04X"},
        {"LinReg(ax+b) L₁,L₂,Y₄", 0x5E13, 3, 0, ".040X+1.850"},
        {"LinReg(ax+b) L₁,L₂,Y₅", 0x5E14, -1, 1, "4" + test::kE + "-2X+1.85" + test::kE + "0"},
        {"QuadReg L₁,L₂,Y₆", 0x5E15, 2, 0, ".75X²—3.71X+5.60"},
    };
    for (const Case& c : cases) {
        {
            auto state = h.calc.locked();
            state->numDigits = c.numDigits;
            state->numFormat = c.numFormat;
        }
        ASSERT_EQ(enter(c.command), 0) << c.command;
        EXPECT_EQ(TokenText::stringFromOps(equations->equations.at(c.equation)), c.text) << c.command;
        EXPECT_EQ(TokenText::stringFromOps(h.calc.regressionEquation()), c.text) << c.command;
        EXPECT_TRUE(h.calc.getVariable(0x6201).ends_with(" " + c.text)) << h.calc.getVariable(0x6201);
        // The same values as the fit: a stays whole in its variable.
        const double a = c.equation == 0x5E10 || c.equation == 0x5E13 || c.equation == 0x5E14 ? 0.04
                       : c.equation == 0x5E15                                                 ? 0.75
                                                                                              : 1.85;
        EXPECT_NEAR(slot(SlotA), a, 1e-12) << c.command;
    }
}

} // namespace
} // namespace orvenda
