// Each kind of plot traced, then changed (by command, on Y=, WINDOW, FORMAT or a stat plot's
// set-up sheet while the graph is away; by a zoom on it) and shown again by its key: the
// trace reads the plot as it is drawn now, or is off when its plot is gone or draws nothing.

#include "YEqScreenSupport.h"
#include "WidgetEvents.h"
#include "graph/GraphText.h"
#include "graph/GraphView.h"
#include "graphui/FormatScreen.h"
#include "graphui/GraphScreenController.h"
#include "graphui/WindowScreen.h"
#include "graphui/ZoomMenu.h"
#include "input/KeyTables.h"
#include "input/KeyboardRouterLink.h"
#include "input/KeyboardView.h"
#include "numeric/Distributions.h"
#include "stats/StatPlotModel.h"
#include "stats/StatPlotSetup.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace orvenda::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where the change is made: home lines, the Y= row, WINDOW's second field, FORMAT's Time,
// the sheet's type; on the graph the + key and the zoom menu's ZStandard.
enum class Door { Home, YEq, Window, Format, Sheet, Plus, ZStandard };

struct Row {
    const char* name;
    std::string setUp;
    int token;     // the equation traced at value a; 0: the plot tapped at (a, b), b NaN on a box's line
    double a, b;
    Door door;
    std::string typed;
    std::optional<std::array<double, 3>> expected;  // x, y (NaN: a box's line), t (NaN: any); none: off
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class GraphTrace : public YEqScreens, public ::testing::WithParamInterface<Row> {
protected:
    GraphTrace()
    {
        calc.statGraphManager = model;
        root->screens().set(screens::Graph, [this](QWidget* p) { return new GraphScreenController(calc, shell, p); });
        root->screens().set(screens::Window, [this](QWidget* p) { return new WindowScreen(calc, shell, p); });
        root->screens().set(screens::Format, [this](QWidget* p) { return new FormatScreen(calc, shell, p); });
        root->screens().set(screens::StatPlotColor, [this](QWidget* p) { return new StatPlotSetup(calc, shell, router(), p); });
        link_ = std::make_unique<KeyboardRouterLink>(router());
        keyboard_ = new KeyboardView(calc, shell.keys());
        keyboard_->setDelegate(link_.get());
        router().setKeyboard(keyboard_);
    }
    ~GraphTrace() override { calc.statGraphManager.reset(); }

    void key(std::uint32_t op) { shell.keys().processKeyOp(op); }
    void press(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&target, &event);
    }
    template <class Screen>
    Screen& screen(int id)
    {
        return *static_cast<Screen*>(router().controller(id));
    }
    void enter(const std::string& lines)
    {
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);) {
            typeKeys(line);
            key(KeyTables::kEnter);
            ASSERT_TRUE(shell.settle(std::chrono::seconds(30))) << line;
        }
    }
    GraphScreenController& graph() const { return *static_cast<GraphScreenController*>(root->fullScreen(screens::Graph)); }
    GraphView& view() const { return graph().graphView(); }
    // The one box plot's line, 50 points above the x axis.
    double boxLine() const { return -50 / view().t().d; }
    void showGraph()
    {
        keyboard_->doOp(KeyTables::kGraph);
        ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
        ASSERT_EQ(calc.currentScreen(), screens::Graph);
    }
    void change(const Row& row)
    {
        if (row.door == Door::Plus || row.door == Door::ZStandard) {
            row.door == Door::Plus ? press(graph(), Qt::Key_Plus) : press(graph(), Qt::Key_Z, Qt::ControlModifier);
            if (row.door == Door::ZStandard)
                press(*graph().zoomMenu(), Qt::Key_Return);
            return;
        }
        keyboard_->doOp(KeyTables::kQuit);
        switch (row.door) {
        case Door::YEq:
            keyboard_->doOp(KeyTables::kYEq);
            key(KeyTables::kClear);
            typeKeys(row.typed);
            break;
        case Door::Window:
            keyboard_->doOp(KeyTables::kWindow);
            screen<WindowScreen>(screens::Window).form().cursorDown();
            typeKeys(row.typed);
            key(KeyTables::kEnter);
            ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
            break;
        case Door::Format:
            keyboard_->doOp(KeyTables::kFormat);
            screen<FormatScreen>(screens::Format).sequence(0);
            break;
        case Door::Sheet: {
            router().showOverlay(screens::StatPlotColor, 0);
            auto& sheet = screen<StatPlotSetup>(screens::StatPlotColor);
            sheet.pick(StatPlotSetup::TypeColumn, std::stoi(row.typed));
            sheet.pick(StatPlotSetup::FourthColumn, 0);
            sheet.done();
            break;
        }
        default:
            enter(row.typed);
        }
        keyboard_->doOp(KeyTables::kQuit);
        showGraph();
    }

    std::shared_ptr<StatPlotModel> model = std::make_shared<StatPlotModel>(calc);
    std::unique_ptr<KeyboardRouterLink> link_;
    KeyboardView* keyboard_ = nullptr;
};

TEST_P(GraphTrace, AfterTheChangeTheTraceReadsThePlotAsItIsDrawnNow)
{
    const Row& row = GetParam();
    enter(row.setUp);
    showGraph();
    ASSERT_FALSE(HasFatalFailure());
    if (row.token) {
        // As TRACE and the trace keys put it.
        graph().selectEq(row.token, row.a);
        view().trace(row.a, GraphView::kTraceStepPoints);
    } else {
        const GraphTransform& t = view().t();
        const double y = std::isnan(row.b) ? boxLine() : row.b;
        clickAt(*root, view().mapTo(root.get(), QPointF(t.a * row.a + t.tx, t.d * y + t.ty).toPoint()));
    }
    ASSERT_TRUE(calc.lockMagnifier);
    change(row);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(calc.lockMagnifier, row.expected.has_value());
    ASSERT_EQ(view().selectedPlotObj() != nullptr, row.expected.has_value());
    // The screen reads the point out, or nothing.
    view().graphTextView->grab();
    EXPECT_EQ(static_cast<const GraphText&>(*view().graphTextView).infoLinesRect().isEmpty(), !row.expected);
    if (!row.expected)
        return;
    const auto [x, y, t] = *row.expected;
    EXPECT_NEAR(calc.pTrackPoint.x, x, 1e-9);
    EXPECT_NEAR(calc.pTrackPoint.y, std::isnan(y) ? boxLine() : y, 1e-9);
    if (!std::isnan(t)) {
        EXPECT_NEAR(calc.pTrackPoint.t, t, 1e-9);
    }
}

const std::string kWindow = "0->Xmin:6->Xmax:-3->Ymin:6->Ymax\n";
const std::string kData = "{1,2,3,4,5}->L₁:{2,4,5,4,5}->L₂:{4,4.5,5,5.5,6}->L₃\n" + kWindow;
const std::string kParametric = "Param:\"T\"->Xt₁:\"T²\"->Yt₁:0->Tmin:10->Tmax:0.1->Tstep\n";
const std::string kTime = "Seq:Time:\"2η\"->u:1->ηMin:10->ηMax\n";
// u(n) = u(n−1)/2 + 1 from 0: 0, 1, 1.5, …
const std::string kWeb = "Seq:Web:\"0.5u(η—1)+1\"->u:1->ηMin:10->ηMax:0->u(ηMin)\n";
const std::string kNormProb = "{3,1,2}->L₁:{4}->L₃:-3->Xmin:3->Xmax:-1->Ymin:6->Ymax\n";
const std::string kBars = "{0.5,1.5,1.5,2.5}->L₁:1->Xscl\n" + kWindow + "Plot1(Histogram,L₁)\n";
const double q0 = Distributions::invNorm(0.5 / 3, 0, 1), q3 = Distributions::invNorm(3.5 / 5, 0, 1);
using P = std::array<double, 3>;

INSTANTIATE_TEST_SUITE_P(EveryPlotKind, GraphTrace, ::testing::Values(
    Row{"function, angle mode", "Degree:\"sin(X)\"->Y₁:ZStandard\n", kY1, 3, 0, Door::Home, "Radian\n", P{3, std::sin(3.0), 3}},
    Row{"function, graph mode", "\"X\"->Y₁\n" + kWindow, kY1, 2, 0, Door::Home, "Param:\"T\"->Xt₁:\"T\"->Yt₁\n", std::nullopt},
    Row{"parametric, Tmax on WINDOW", kParametric + kWindow, kX1T, 5, 0, Door::Window, "3", P{3, 9, 3}},
    Row{"polar, θmax", "Radian:Polar:\"θ\"->r₁:0->θmin:6->θmax\n", kR1, 2, 0, Door::Home, "1->θmax\n", P{std::cos(1.0), std::sin(1.0), 1}},
    Row{"sequence, u on Y=", kTime + kWindow, kU, 5, 0, Door::YEq, "3η", P{5, 15, 5}},
    Row{"sequence, ηMax", kTime + kWindow, kU, 5, 0, Door::Home, "3->ηMax\n", P{3, 6, 3}},
    Row{"sequence, ηMin", kTime + kWindow, kU, 5, 0, Door::Home, ".5->ηMin\n", std::nullopt},
    Row{"sequence, to web", kTime + kWindow, kU, 5, 0, Door::Home, "Web\n", P{10, 10, 5}},
    Row{"web, to time on FORMAT", kWeb + kWindow, kU, 3, 0, Door::Format, "", P{3, 1.5, 3}},
    Row{"web, half step to time", kWeb + kWindow, kU, 2.5, 0, Door::Home, "Time\n", P{2, 1, 2.5}},
    Row{"web, time and ηMin", kWeb + kWindow, kU, 3, 0, Door::Home, "Time:.5->ηMin\n", std::nullopt},
    Row{"web, ηMax", kWeb + kWindow, kU, 3, 0, Door::Home, "2->ηMax\n", P{1, 1, 2}},
    Row{"scatter, normal probability on the sheet", kData + "Plot1(Scatter,L₁,L₂)\n", 0, 4, 4, Door::Sheet, "5", P{4, q3, 3}},
    Row{"xyLine, lists", kData + "Plot1(xyLine,L₁,L₂)\n", 0, 2, 4, Door::Home, "{3,3,3,3,3}->L₂\n", P{2, 3, 1}},
    Row{"histogram, ZStandard", kBars, 0, 1.5, 1, Door::ZStandard, "", P{-8.5, 0, 1}},
    Row{"box plot, lists", kData + "Plot1(Boxplot,L₁)\n", 0, 3, kNaN, Door::Home, "{4,4.5,5,5.5,6}->L₁\n", P{4, kNaN, kNaN}},
    Row{"box plot, zoomed in", kData + "Plot1(Boxplot,L₁)\n", 0, 3, kNaN, Door::Plus, "", P{3, kNaN, kNaN}},
    Row{"modified box plot, redefined", kData + "Plot1(ModBoxplot,L₁)\n", 0, 3, kNaN, Door::Home, "Plot1(ModBoxplot,L₃)\n", P{4, kNaN, kNaN}},
    Row{"normal probability, fewer", kNormProb + "Plot1(NormProbPlot,L₁,Y)\n", 0, 0, 2, Door::Home, "Plot1(NormProbPlot,L₃,Y)\n", P{0, 4, 0}},
    Row{"normal probability, more", kNormProb + "Plot1(NormProbPlot,L₃,Y)\n", 0, 0, 4, Door::Home, "Plot1(NormProbPlot,L₁,Y)\n", P{q0, 1, 0}},
    Row{"stat plot off", kData + "Plot1(Scatter,L₁,L₂)\n", 0, 4, 4, Door::Home, "PlotsOff\n", std::nullopt}));

} // namespace
} // namespace orvenda::test
