// The graph view's plot list built from the Y= equations, the equation solver and the
// drawing list, and the trace on it: selecting an equation, tracing by value, taps, sliders
// and leaving the graph.

#include "graph/GraphView.h"

#include "GraphTestSupport.h"
#include "app/YEqModel.h"
#include "core/DrawObject.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/GraphViewDelegate.h"
#include "graph/PlotFn.h"
#include "graph/PlotLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvenda {
namespace {

using testing::ops;
using testing::StubPlot;

constexpr int kY1 = 0x5E10, kY2 = 0x5E11, kSolver = 0x5E1A, kX1T = 0x5E20, kY1T = 0x5E21;
constexpr int kX2T = 0x5E22;
constexpr int kSlotT = 19, kSlotX = 23;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Recorder : public GraphViewDelegate {
public:
    void windowChanged() override {}
    void selectPlot(PlotObject* plot, const PlotPoint&) override { selections.push_back(plot); }
    void trackObj(PlotObject*, const PlotPoint&) override {}
    std::vector<PlotObject*> selections;
};

// A parametric stand-in whose x is a tenth of its parameter.
class TenthPlot : public StubPlot {
public:
    explicit TenthPlot(Calculator& calc) : StubPlot(calc, PlotParametric) {}
    double XAtT(double t) override { return noX ? kNaN : t / 10; }
    double YAtT(double) override { return 1; }
    bool noX = false;
};

// The graph view with parametric equations made into stand-ins.
class StandInView : public GraphView {
public:
    using GraphView::GraphView;

protected:
    std::shared_ptr<PlotObject> makeEquationPlot(int functionType, int token) override
    {
        if (functionType == 1)
            return std::make_shared<TenthPlot>(calc);
        return GraphView::makeEquationPlot(functionType, token);
    }
};

class GraphViewTraceTest : public ::testing::Test {
protected:
    GraphViewTraceTest()
    {
        calc.yEqManager = eq;
        view.delegate = &delegate;
        view.resize(320, 320);
        setWindow(-10, 10);
    }
    ~GraphViewTraceTest() override { calc.yEqManager.reset(); }

    void setWindow(double xMin, double xMax)
    {
        view.zoom({xMin, xMax, -10, 10});
        view.updateWindowVars();
    }
    void equation(int token, const std::string& text) { ASSERT_EQ(eq->setYEqFunc(token, ops(text)), 0); }
    Calculator::Bounds window() const { return view.graphBounds(); }
    PlotFn& fn(std::size_t i) { return dynamic_cast<PlotFn&>(*view.plotObjects().at(i)); }

    Calculator calc;
    std::shared_ptr<YEqModel> eq = std::make_shared<YEqModel>(calc);
    StandInView view{calc};
    Recorder delegate;
};

// ---- The plot list ----

TEST_F(GraphViewTraceTest, SelectedEquationsComeFirstThenTheDrawings)
{
    equation(kY1, "X²");
    equation(kY2, "X+2");
    eq->setFunction(kY2, false);
    auto curve = std::make_shared<DrawFunc>();
    PlotObject::Ops x = ops("X");
    curve->fn = std::make_shared<VQStack>(calc.parser().getRPNfor(x));
    curve->lineWidth = 4;
    calc.drawing.push_back(curve);
    auto line = std::make_shared<DrawLine>();
    line->p2 = {1, 1};
    calc.drawing.push_back(line);
    calc.lockFunction = kY1;

    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 3u);
    EXPECT_EQ(fn(0).eqNum, kY1);
    EXPECT_EQ(fn(0).varNum, kSlotX);
    EXPECT_EQ(fn(0).lineWidth, 2);
    EXPECT_TRUE(fn(0).selected());  // the trace was locked on it
    EXPECT_EQ(fn(1).eqNum, -1);
    EXPECT_EQ(fn(1).lineWidth, 4);
    EXPECT_EQ(fn(1).drawFunc, curve);
    EXPECT_EQ(view.plotObjects()[2]->plotType, PlotObject::PlotLine);
}

TEST_F(GraphViewTraceTest, ParametricModeWalksThePairs)
{
    equation(kX1T, "cos(T)");
    equation(kY1T, "sin(T)");
    equation(kX2T, "T");  // its Y half is empty
    calc.setGraphMode(1);
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 1u);
    EXPECT_EQ(view.plotObjects()[0]->eqNum, kX1T);
    EXPECT_EQ(view.plotObjects()[0]->varNum, kSlotT);
}

TEST_F(GraphViewTraceTest, TheSolverPlotIsShownAloneAndLeavingKeepsItsTracedX)
{
    equation(kY1, "X");
    equation(kSolver, "X²-4");
    calc.drawing.push_back(std::make_shared<DrawLine>());
    calc.locked()->vars[kSlotX] = {2, 0};
    calc.locked()->graphDisplayMode = 3;
    view.updateDisplay();
    ASSERT_EQ(view.plotObjects().size(), 1u);
    EXPECT_EQ(fn(0).eqNum, kSolver);
    EXPECT_TRUE(fn(0).selected());
    EXPECT_TRUE(calc.lockMagnifier);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureZero);
    EXPECT_EQ(calc.pTrackPoint.x, 2);
    EXPECT_EQ(calc.pTrackPoint.y, 0);

    view.trace(3, 0.5);
    view.done();
    EXPECT_EQ(calc.locked()->vars[kSlotX], std::complex<double>(3, 0));
    EXPECT_EQ(calc.locked()->graphDisplayMode, 0);
    EXPECT_FALSE(calc.lockMagnifier);
    EXPECT_TRUE(view.plotObjects().empty());
}

TEST_F(GraphViewTraceTest, MovedTilesAreNotSampledAgain)
{
    equation(kY1, "X²");
    view.updateDisplay();
    // The tiles of a column show the same x: one sampling a column.
    view.displayTiles();
    EXPECT_EQ(fn(0).samplings(), 3);
    view.pan2Dx(70, -30);
    view.displayTiles();
    EXPECT_EQ(fn(0).samplings(), 3);
    view.pan2Dx(10, 0);  // a column wraps to the other side
    view.displayTiles();
    EXPECT_EQ(fn(0).samplings(), 4);
}

// ---- Trace ----

TEST_F(GraphViewTraceTest, SelectingAnEquationTracesItAndScrollsToTheValue)
{
    equation(kY1, "X²");
    view.updateDisplay();
    view.selectEqNum(kY1, 5);
    EXPECT_TRUE(fn(0).selected());
    EXPECT_TRUE(calc.lockMagnifier);
    EXPECT_EQ(calc.lockFunction, kY1);
    EXPECT_EQ(calc.pTrackPoint.x, 5);
    EXPECT_EQ(calc.pTrackPoint.y, 25);
    EXPECT_EQ(calc.pTrackPoint.t, 5);
    EXPECT_NEAR(calc.pTrackSlope, 10, 1e-6);
    EXPECT_EQ(window().xMin, -10);
    ASSERT_EQ(delegate.selections.size(), 1u);
    EXPECT_EQ(delegate.selections[0], &fn(0));

    // Beyond the window, the value becomes its right or left edge.
    view.selectEqNum(kY1, 15);
    EXPECT_NEAR(window().xMin, -5, 1e-9);
    EXPECT_NEAR(window().xMax, 15, 1e-9);
    EXPECT_NEAR(window().yMin, -10, 1e-9);
    view.selectEqNum(kY1, -12);
    EXPECT_NEAR(window().xMin, -12, 1e-9);
    EXPECT_NEAR(window().xMax, 8, 1e-9);
}

// A rebuild of the plots makes the traced equation's plot anew: the delegate is told the new
// object (still selected), never left with the freed one; with nothing selected it is told
// nothing.
TEST_F(GraphViewTraceTest, ARebuildHandsTheDelegateTheSelectedPlotsNewObject)
{
    equation(kY1, "X²");
    view.updateDisplay();
    EXPECT_TRUE(delegate.selections.empty());
    view.selectEqNum(kY1, 2);
    view.updateDisplay();
    ASSERT_EQ(delegate.selections.size(), 2u);
    EXPECT_EQ(delegate.selections[1], view.selectedPlotObj());
    EXPECT_EQ(delegate.selections[1], &fn(0));
}

TEST_F(GraphViewTraceTest, TheWindowFollowsTheTracedXNotTheParameter)
{
    equation(kX1T, "T");
    equation(kY1T, "1");
    calc.setGraphMode(1);
    view.updateDisplay();
    auto& plot = dynamic_cast<TenthPlot&>(*view.plotObjects().at(0));
    view.selectEqNum(kX1T, 50);  // x = 5
    EXPECT_EQ(calc.pTrackPoint.x, 5);
    EXPECT_EQ(window().xMin, -10);
    view.selectEqNum(kX1T, 150);  // x = 15
    EXPECT_NEAR(window().xMax, 15, 1e-9);
    plot.noX = true;
    view.selectEqNum(kX1T, 400);
    EXPECT_NEAR(window().xMax, 15, 1e-9);
}

TEST_F(GraphViewTraceTest, PlotsWithoutATraceByValueKeepTheTracePoint)
{
    for (int type : {PlotObject::PlotImplicit, PlotObject::PlotBox, PlotObject::PlotCircle, PlotObject::PlotPolyline}) {
        view.plotObjects().clear();
        auto plot = std::make_shared<StubPlot>(calc, type);
        plot->setSelected(true);
        view.plotObjects().push_back(plot);
        calc.pTrackPoint = {1, 2, 3};
        view.trace(4, 0.5);
        EXPECT_EQ(calc.pTrackPoint.x, 1) << type;
        EXPECT_EQ(calc.pTrackPoint.y, 2) << type;
        view.valueChanged();
        EXPECT_EQ(calc.pTrackPoint.x, 1) << type;
        EXPECT_EQ(calc.pTrackPoint.y, 2) << type;
    }
}

TEST_F(GraphViewTraceTest, TapsLockOnTheCurveOrUnlockEverything)
{
    equation(kY1, "X²");
    view.updateDisplay();
    // A tap 6 points right of (1, 1): the trace locks on the curve there.
    view.singleTap(QPointF(160 + 16 + 6, 160 - 16));
    EXPECT_TRUE(fn(0).selected());
    EXPECT_EQ(calc.lockFunction, kY1);
    EXPECT_NEAR(calc.pTrackPoint.y, calc.pTrackPoint.x * calc.pTrackPoint.x, 1e-9);

    // More than 20 points from the curve.
    view.singleTap(QPointF(160 + 16 * 3 + 25, 160 - 16 * 9));
    EXPECT_FALSE(calc.lockMagnifier);
    EXPECT_EQ(calc.lockFunction, -1);
    EXPECT_EQ(calc.featureLock, PlotObject::FeatureNone);
    EXPECT_EQ(view.selectedPlotObj(), nullptr);
}

} // namespace
} // namespace orvenda
