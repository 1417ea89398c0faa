#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/services/StatGraphManager.h"
#include "language/ErrorNumbers.h"
#include "language/TokenText.h"
#include "language/VariableSlots.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include "EvalTestSupport.h"
#include "cases/EquationSupport.h"
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

// The fitted equation keeps the fit's own values, in the display's form where that form is
// the value (1.85, 1.850 in Fix 3) and with the figures the value needs where it is not
// (a fitted as 0.040000000000000015, never .04): in Y=, in RegEQ's listing and in the fit the
// statistics screens read, whichever command fits it.
TEST_F(StatisticsCommandsTest, TheRegressionEquationSpellsTheFitsValuesInTheDisplaysForm)
{
    h.calc.locked()->lists["L₁"] = test::reals({1, 2, 3, 4});
    h.calc.locked()->lists["L₂"] = test::reals({2.6, 1.3, 1.1, 2.8});
    struct Case {
        const char* command;
        int equation;
        int numDigits, numFormat;
        std::string text;
    };
    const Case cases[] = {
        {"LinReg(ax+b) L₁,L₂,Y₁", 0x5E10, -1, 0, ".040000000000000015X+1.85"},
        {"LinReg(a+bx) L₁,L₂,Y₂", 0x5E11, -1, 0, "1.85+.040000000000000015X"},
        {"LinRegTTest L₁,L₂,1,0,Y₃", 0x5E12, -1, 0, "1.85+.040000000000000015X"},
        {"LinReg(ax+b) L₁,L₂,Y₄", 0x5E13, 3, 0, ".040000000000000015X+1.850"},
        {"LinReg(ax+b) L₁,L₂,Y₅", 0x5E14, -1, 1, "4.0000000000000015" + test::kE + "-2X+1.85" + test::kE + "0"},
        {"QuadReg L₁,L₂,Y₆", 0x5E15, 2, 0, ".7499999999999999X²—3.7099999999999995X+5.60"},
        {"LinReg(ax+b) L₁,L₂,Y₇", 0x5E16, -1, 2, "40.000000000000015" + test::kE + "-3X+1.85" + test::kE + "0"},
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
        EXPECT_TRUE(h.calc.getVariable(0x6201).ends_with(c.text)) << h.calc.getVariable(0x6201);
        // The same values as the fit: a stays whole in its variable.
        const double a = c.equation == 0x5E11 || c.equation == 0x5E12 ? 1.85 : c.equation == 0x5E15 ? 0.75 : 0.04;
        EXPECT_NEAR(slot(SlotA), a, 1e-12) << c.command;
    }
}

// Every model's equation stored in Y= computes the fit: Y₁(x) is the equation's formula with
// the fit's own coefficients to the last digit, at and beyond the data, for data far from
// the origin, whatever the number format (2u²-3u+5 with u = x-10⁶ gives 175 at 1000010,
// where the coefficients as Float shows them give 170).
TEST_F(StatisticsCommandsTest, EveryModelsStoredEquationComputesTheFitInEveryFormat)
{
    const auto realList = [](const std::vector<double>& values) {
        VQList list;
        for (const double v : values)
            list.addReal(v, 15, -15);
        return list;
    };
    // Equations compiled as the Y= screens compile them, so that Y₁(x) evaluates.
    const auto compiling = std::make_shared<testing::CompilingYEq>(h.calc.parser());
    h.calc.yEqManager = compiling;
    const std::vector<double> far = {999997, 999998, 999999, 1000000, 1000001, 1000002, 1000003};
    const std::vector<double> near = {101, 102, 103, 104, 105, 106, 107};
    const std::vector<double> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    using Formula = double (*)(const VQStatistics&, double);
    struct Model {
        const char* command;
        const std::vector<double>* x;
        std::vector<double> y;
        Formula formula;
    };
    const Model models[] = {
        {"LinReg(ax+b)", &far, {3.1, 5.3, 6.8, 9.2, 11.1, 12.7, 15.4}, [](const VQStatistics& f, double x) { return f.a * x + f.b; }},
        {"LinReg(a+bx)", &far, {3.1, 5.3, 6.8, 9.2, 11.1, 12.7, 15.4}, [](const VQStatistics& f, double x) { return f.a + f.b * x; }},
        {"Med-Med", &far, {3.1, 5.3, 6.8, 9.2, 11.1, 12.7, 15.4}, [](const VQStatistics& f, double x) { return f.a * x + f.b; }},
        {"QuadReg", &far, {32, 19, 10, 5, 4, 7, 14},
         [](const VQStatistics& f, double x) { return f.a * (x * x) + f.b * x + f.c; }},
        {"CubicReg", &far, {32.5, 19.25, 10, 5.5, 4, 7.75, 14.5},
         [](const VQStatistics& f, double x) { return f.a * std::pow(x, 3.0) + f.b * (x * x) + f.c * x + f.d; }},
        {"QuartReg", &far, {32.5, 19.25, 10, 5.5, 4, 7.75, 14.5},
         [](const VQStatistics& f, double x) {
             return f.a * std::pow(x, 4.0) + f.b * std::pow(x, 3.0) + f.c * (x * x) + f.d * x + f.e;
         }},
        {"ExpReg", &near, {1.2, 1.9, 3.2, 3.8, 5.1, 6.3, 8.9}, [](const VQStatistics& f, double x) { return f.a * std::pow(f.b, x); }},
        {"LnReg", &far, {1.2, 1.9, 3.2, 3.8, 5.1, 6.3, 8.9}, [](const VQStatistics& f, double x) { return f.a + f.b * std::log(x); }},
        {"PwrReg", &near, {1.2, 1.9, 3.2, 3.8, 5.1, 6.3, 8.9}, [](const VQStatistics& f, double x) { return f.a * std::pow(x, f.b); }},
        {"Logistic", &near, {1.2, 1.9, 3.2, 3.8, 5.1, 6.3, 6.6},
         [](const VQStatistics& f, double x) { return f.c / (1 + f.a * std::exp(-f.b * x)); }},
        {"SinReg", &ten, {3.33, 3.158, 1.353, -.719, -1.49, -.377, 1.779, 3.345, 3.136, 1.311},
         [](const VQStatistics& f, double x) { return f.a * std::sin(f.b * x + f.c) + f.d; }},
    };
    struct Format {
        const char* name;
        int numDigits, numFormat;
    };
    const Format formats[] = {{"Float", -1, 0}, {"Fix 0", 0, 0}, {"Fix 2", 2, 0}, {"Sci", -1, 1}, {"Eng Fix 3", 3, 2}};
    ASSERT_EQ(enter("Radian"), 0);
    for (const Model& m : models) {
        h.calc.locked()->lists["L₄"] = realList(*m.x);
        h.calc.locked()->lists["L₅"] = realList(m.y);
        for (const Format& format : formats) {
            const std::string where = std::string(m.command) + " in " + format.name;
            {
                auto state = h.calc.locked();
                state->numDigits = format.numDigits;
                state->numFormat = format.numFormat;
            }
            ASSERT_EQ(enter(std::string(m.command) + (m.x == &ten ? " 16,L₄,L₅,7,Y₁" : " L₄,L₅,Y₁")), 0) << where;
            const std::shared_ptr<VQStatistics> fit = h.calc.locked()->statistics;
            ASSERT_TRUE(fit) << where;
            const double first = m.x->front(), last = m.x->back();
            for (const double x : {first, (first + last) / 2, last + 7, first - 3}) {
                const Operand y = h.enter("Y₁(" + h.calc.formatReal(x, -1, 0) + ")");
                ASSERT_EQ(y.error, 0) << where << " at " << x;
                EXPECT_EQ(y.re(), m.formula(*fit, x)) << where << " at " << x << ": Y₁ is "
                                                      << TokenText::stringFromOps(compiling->equations.at(0x5E10));
            }
        }
    }
    // The case of the far quadratic, read as the user reads it.
    h.calc.locked()->lists["L₄"] = realList(far);
    h.calc.locked()->lists["L₅"] = test::reals({32, 19, 10, 5, 4, 7, 14});
    for (const Format& format : formats) {
        {
            auto state = h.calc.locked();
            state->numDigits = format.numDigits;
            state->numFormat = format.numFormat;
        }
        ASSERT_EQ(enter("QuadReg L₄,L₅,Y₂"), 0);
        EXPECT_EQ(h.enter("round(Y₂(1000010),6)").re(), 175) << format.name;
        EXPECT_EQ(h.enter("Y₂(999990)").re(), 235) << format.name;
    }
}

} // namespace
} // namespace orvenda
