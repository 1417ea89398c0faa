// The panels installed on the graph screen as the app installs them: picking a plot shows
// its variables, the calculate item opens the keyboard sheet on the plot, and a program's
// controls come and go with the screen.

#include "GraphPanelsTestSupport.h"
#include "YEqScreenSupport.h"
#include "core/DrawObject.h"
#include "core/NotificationNames.h"
#include "graph/GraphView.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphPanels.h"
#include "graphui/GraphProgramControls.h"
#include "graphui/GraphScreenController.h"
#include "graphui/GraphVarsView.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

class GraphScreenPanels : public YEqScreens {
protected:
    GraphScreenPanels()
    {
        root->screens().set(screens::Graph, [this](QWidget* p) {
            auto* graph = new GraphScreenController(calc, shell, p);
            panels = GraphPanels::install(calc, shell, *graph);
            return graph;
        });
    }
    GraphScreenController& showGraph()
    {
        root->showGraph(true);
        return *static_cast<GraphScreenController*>(root->fullScreen(screens::Graph));
    }
    GraphPanels* panels = nullptr;
};

TEST_F(GraphScreenPanels, APickedPlotShowsItsVariablesAndCalculateOpensTheSheet)
{
    ASSERT_EQ(eq->setYEqFunc(kY1, ops("AX²")), 0);
    GraphScreenController& graph = showGraph();
    ASSERT_TRUE(panels);
    graph.graphView().updateDisplay();
    graph.graphView().selectEqNum(kY1, 1);
    GraphVarsView& vars = *panels->varsView();
    EXPECT_FALSE(vars.isHidden());
    ASSERT_EQ(vars.buttonCount(), 2u);
    EXPECT_EQ(vars.buttonTitle(1), "A");
    // The strip sits 44 points above the graph's bottom, across its width.
    EXPECT_EQ(vars.geometry().bottom() + 1, graph.graphView().geometry().bottom() + 1 - 44);
    // A new window rebuilds the strip: the open slider of X closes and opens on the new range.
    vars.showSlider(0);
    ASSERT_EQ(vars.editVar(), 23);
    graph.graphView().zoomOp(0x86);  // ZStandard
    EXPECT_EQ(vars.editVar(), -1);
    vars.showSlider(0);
    EXPECT_EQ(vars.record(0).max, 10);

    QToolButton* calculate = nullptr;
    for (QToolButton* button : graph.toolbar().findChildren<QToolButton*>())
        if (button->text() == "Calc")
            calculate = button;
    ASSERT_TRUE(calculate);
    EXPECT_TRUE(calculate->isEnabled());
    calculate->click();
    EXPECT_FALSE(panels->keyboard()->isHidden());
    EXPECT_FALSE(graph.toolbar().isEnabled());
    EXPECT_EQ(panels->keyboard()->form().fields().at(0).label, "X=");
    // 2 ENTER on the keypad traces the plot at X = 2: A is 0, so Y = 0.
    for (int tag : {17, 24}) {
        panels->keyboard()->keypad().keyDown(tag);
        panels->keyboard()->keypad().keyUp();
    }
    shell.settle(std::chrono::seconds(30));
    EXPECT_EQ(panels->varIndependent, 2);
    EXPECT_EQ(calc.pTrackPoint.x, 2);
    panels->keyboard()->gkDone();
    EXPECT_TRUE(graph.toolbar().isEnabled());
    animations().finish();
    EXPECT_TRUE(panels->keyboard()->isHidden());
}

TEST_F(GraphScreenPanels, AProgramsControlsComeWithShowControlsAndGoWithDone)
{
    GraphScreenController& graph = showGraph();
    auto button = std::make_shared<DrawButton>();
    button->x = -100, button->y = 10, button->width = 90, button->buttonName = "Go";
    calc.ioControls.push_back(button);
    calc.notificationCenter().post(VQShowControls);
    ASSERT_EQ(panels->programControls().ioControls().size(), 1u);
    EXPECT_EQ(panels->programControls().ioControls()[0]->geometry().right() + 1,
              graph.graphView().width() - 10);
    graph.done();
    EXPECT_TRUE(panels->programControls().ioControls().empty());
}

} // namespace
} // namespace orvenda::test
