// The graph screen's calculate form, slider-value form and statistics fields over a real
// graph view and Y= model.

#include "GraphPanelsTestSupport.h"
#include "app/YEqTestSupport.h"
#include "graph/GraphView.h"
#include "graphui/GraphPanels.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <cmath>
#include <limits>

namespace orvenda::test {
namespace {

constexpr int kXmin = 38, kXmax = 39, kYmin = 40;

// A stat plot stand-in: the point of index t is (t, 2t).
class IndexPlot : public PlotObject {
public:
    IndexPlot(Calculator& calc, int type) : PlotObject(calc) { plotType = type; }
    double XAtT(double t) override { return t; }
    double YAtT(double t) override { return 2 * t; }
};

class GraphPanelsTest : public ::testing::Test, public YEqCalc {
protected:
    GraphPanelsTest()
    {
        host.resize(320, 480);
        graph.resize(320, 320);
        graph.zoom({-10, 10, -10, 10});
        graph.updateWindowVars();
    }
    // The equation plotted and selected with the trace at x.
    void select(const std::string& text, double x)
    {
        ASSERT_EQ(eq->setYEqFunc(kY1, ops(text)), 0);
        graph.updateDisplay();
        graph.selectEqNum(kY1, x);
    }
    // A stand-in plot of a type as the only, selected, plot.
    void selectStandIn(int type, int varNum, int eqNum = 0)
    {
        auto plot = std::make_shared<IndexPlot>(calc, type);
        plot->varNum = varNum;
        plot->eqNum = eqNum;
        plot->setSelected(true);
        graph.plotObjects() = {plot};
    }
    std::vector<std::string> labels()
    {
        std::vector<std::string> out;
        for (const VQTemplateField& f : panels.getFields())
            out.push_back(f.label);
        return out;
    }
    double var(int slot) const { return calc.getVar(slot).value.real(); }

    QWidget host;
    GraphView graph{calc, &host};
    GraphPanels panels{calc, graph, &host, nullptr};
};

// ---- Calculate ----

TEST_F(GraphPanelsTest, ZeroMinimumAndIntegralOfAFunction)
{
    select("X²-4", 1);
    panels.doCalculation();
    ASSERT_EQ(panels.keyboardMode, 1);
    EXPECT_TRUE(panels.showIntegral());
    panels.lower = 0;
    panels.upper = 5;
    panels.valueIntegralChange(GraphPanels::Zero);
    EXPECT_NEAR(panels.zero, 2, 1e-6);
    EXPECT_EQ(calc.featureLock, 1);
    EXPECT_NEAR(calc.pTrackPoint.x, 2, 1e-6);
    EXPECT_EQ(panels.title(), "Calculate:zero");

    panels.lower = -1;
    panels.upper = 2;
    panels.valueIntegralChange(GraphPanels::Minimum);
    EXPECT_NEAR(panels.min, 0, 1e-4);
    EXPECT_NEAR(panels.varY, -4, 1e-6);
    EXPECT_EQ(calc.featureLock, 3);

    // Reversed bounds integrate from the smaller: ∫₀³ (x² − 4) dx = 9 − 12.
    panels.lower = 3;
    panels.upper = 0;
    panels.valueIntegralChange(GraphPanels::Integral);
    EXPECT_NEAR(panels.area, -3, 1e-6);
    auto rec = eq->integrationLimitsForFunction(kY1);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->lower, 0);
    EXPECT_EQ(rec->upper, 3);
    // Equal bounds clear the shading.
    VQTemplateField upper = VQTemplateField::fieldValue(3, 0, 1, 0, 1, "upr=", GraphPanels::TagUpper);
    panels.fieldDidChange(upper);
    EXPECT_EQ(panels.area, 0);
    rec = eq->integrationLimitsForFunction(kY1);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->upper, 0);
    EXPECT_TRUE(view->errors.empty());
}

TEST_F(GraphPanelsTest, AZeroWithoutASignChangeShowsItsErrorAndStillMoves)
{
    select("X²+1", 1);
    panels.doCalculation();
    panels.lower = 0;
    panels.upper = 5;
    panels.valueIntegralChange(GraphPanels::Zero);
    EXPECT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors.at(0), 61);  // "Bad guess": no sign change anywhere
    EXPECT_TRUE(std::isnan(panels.zero) || (panels.zero >= 0 && panels.zero <= 5));
}

TEST_F(GraphPanelsTest, FormsByGraphModeAndComputeMode)
{
    select("X²", 1);
    panels.showKeyboardMode(1);
    EXPECT_EQ(labels(), (std::vector<std::string>{"X=", "Y=", "dy/dx="}));
    panels.computeMode = GraphPanels::Maximum;
    EXPECT_EQ(labels(), (std::vector<std::string>{"left=", "right=", "tol=", "x=", "y="}));
    panels.computeMode = GraphPanels::Integral;
    EXPECT_EQ(labels(), (std::vector<std::string>{"lwr=", "upr=", "tol=", "∫="}));
    panels.computeMode = 7;
    EXPECT_TRUE(labels().empty());
    panels.computeMode = GraphPanels::Value;
    calc.setGraphMode(1);
    calc.locked()->graphCoordFormat = 1;
    EXPECT_EQ(labels(), (std::vector<std::string>{"T=", "r=", "θ=", "dy/dx=", "dx/dt=", "dy/dt="}));
    // Read-outs are read-only in column 17; the independent field is the one to type.
    const auto fields = panels.getFields();
    EXPECT_EQ(fields[0].order, 0);
    EXPECT_EQ(fields[1].order, -1);
    EXPECT_EQ(fields[1].col, 17);
}

// ---- Slider values ----

TEST_F(GraphPanelsTest, TheEditedRecordIsPutInOrder)
{
    struct Case {
        double min, max, step, value;
        double wantMin, wantMax, wantStep, wantValue;
    } cases[] = {
        {5, 1, 0.5, 3, 1, 5, 0.5, 3},
        {2, 2, 0, 2, 2, 3, 0, 2},
        {0, 1, -1, 0.5, 0, 1, 0, 0.5},
        {1, 5, 0, 9, 1, 5, 0, 5},
        {1, 5, 0, -9, 1, 5, 0, 1},
    };
    for (const Case& c : cases) {
        YEqVarInfo r;
        r.min = c.min, r.max = c.max, r.step = c.step, r.value = c.value;
        GraphPanels::orderRecord(r);
        EXPECT_EQ(r.min, c.wantMin);
        EXPECT_EQ(r.max, c.wantMax);
        EXPECT_EQ(r.step, c.wantStep);
        EXPECT_EQ(r.value, c.wantValue);
    }
    EXPECT_DOUBLE_EQ(GraphPanels::adjustStep(0, 10, 1), 0.05);
    EXPECT_DOUBLE_EQ(GraphPanels::adjustStep(0, 10, 0.001), 0.005);
    EXPECT_DOUBLE_EQ(GraphPanels::adjustStep(0, 10, 0.01), 0.01);
    EXPECT_DOUBLE_EQ(GraphPanels::adjustStep(0, 10, 0), 0.05);
}

TEST_F(GraphPanelsTest, EditingTheTraceVariableSetsTheWindowAndRecentresY)
{
    select("20X", 0);
    YEqVarInfo x;
    x.varNum = 23, x.name = "X", x.min = -2, x.max = 2, x.value = 0.25;
    panels.editVar(x, -1);
    EXPECT_EQ(panels.title(), "Slider Values");
    EXPECT_EQ(labels(), (std::vector<std::string>{"X=", "Min=", "Max=", "Step="}));
    panels.graphKeyboardDone();
    EXPECT_EQ(var(kXmin), -2);
    EXPECT_EQ(var(kXmax), 2);
    EXPECT_EQ(var(kYmin), -10);  // y = 5 lies inside
    EXPECT_EQ(calc.pTrackPoint.y, 5);

    x.value = 1;  // y = 20 lies above
    panels.editVar(x, -1);
    panels.graphKeyboardDone();
    EXPECT_NEAR(graph.graphBounds().yMin, 10, 1e-9);
    EXPECT_NEAR(graph.graphBounds().yMax, 30, 1e-9);
}

TEST_F(GraphPanelsTest, APointIndexIsRoundedAndKeptInRange)
{
    selectStandIn(PlotObject::PlotScatter, -3);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double typed, want;
    } cases[] = {{3.5, 4}, {-1, 0}, {7.2, 5}, {nan, 0}, {1e300, 5}};
    for (const Case& c : cases) {
        YEqVarInfo i;
        i.varNum = -3, i.name = "i", i.min = 0, i.max = 5, i.value = c.typed;
        panels.editVar(i, -1);
        // The index's range is the plot's own: read-only, no step.
        EXPECT_EQ(labels(), (std::vector<std::string>{"i=", "Min=", "Max="}));
        panels.graphKeyboardDone();
        EXPECT_EQ(calc.pTrackPoint.t, c.want) << c.typed;
        EXPECT_EQ(calc.pTrackPoint.y, 2 * c.want);
    }
}

// ---- Statistics ----

TEST_F(GraphPanelsTest, StatisticsOfAScatterAndAHistogram)
{
    auto plots = std::make_shared<StatPlots>();
    calc.statGraphManager = plots;
    calc.locked()->lists["L₁"] = reals({1, 2, 3, 4});
    calc.locked()->lists["L₂"] = reals({3, 5, 8, 9});
    auto names = std::make_shared<VQStatistics>();
    names->listXName = "L₁";
    names->listYName = "L₂";
    plots->info[0] = names;
    selectStandIn(PlotObject::PlotScatter, -3);
    EXPECT_EQ(panels.getStatTitle(), "2-Variable Statistics");
    auto fields = panels.getStatFields();
    ASSERT_EQ(fields.size(), 16u);
    EXPECT_EQ(fields[13].label, "∑xy=");
    EXPECT_EQ(fields[13].value, 3 + 10 + 24 + 36);
    EXPECT_EQ(fields[13].col, 16);
    EXPECT_EQ(fields[0].value, 2.5);

    int error = 0;
    plots->info[0] = VQStatistics::oneVarName(calc, "L₂", "1", error);
    selectStandIn(PlotObject::PlotHistogram, -2);
    EXPECT_EQ(panels.getStatTitle(), "1-Variable Statistics");
    fields = panels.getStatFields();
    ASSERT_EQ(fields.size(), 11u);
    EXPECT_EQ(fields.front().label, "x̅=");
    EXPECT_EQ(fields.front().value, 25.0 / 4);
    EXPECT_EQ(fields.back().label, "maxX=");
    EXPECT_EQ(fields.back().value, 9);
    calc.statGraphManager.reset();
}

} // namespace
} // namespace orvenda::test
