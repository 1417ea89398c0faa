// The panels installed on the graph screen as the app installs them: picking a plot shows
// its variables, the calculate item opens the keyboard sheet on the plot, and a program's
// controls come and go with the screen.

#include "GraphPanelsTestSupport.h"
#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "YEqScreenSupport.h"
#include "app/NamedColors.h"
#include "app/StatusLine.h"
#include "core/DrawObject.h"
#include "core/NotificationNames.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphPanels.h"
#include "graphui/GraphProgramControls.h"
#include "graphui/GraphScreenController.h"
#include "graphui/GraphVarsView.h"
#include "graphui/VQTemplateView.h"
#include "launcher/ControlReach.h"

#include <QComboBox>
#include <QTransform>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

// A plot of a type, at a point, for the items that go by the selected plot's type.
class StandInPlot : public PlotObject {
public:
    StandInPlot(Calculator& calc, int type) : PlotObject(calc) { plotType = type; }
    double XAtT(double t) override { return t; }
    double YAtT(double t) override { return t; }
};

class GraphScreenPanels : public YEqScreens {
protected:
    GraphScreenPanels() { registerGraph(); }
    void registerGraph()
    {
        root->screens().set(screens::Graph, [this](QWidget* p) {
            auto* graph = new GraphScreenController(calc, shell, p);
            panels = GraphPanels::install(calc, shell, *graph);
            return graph;
        });
    }
    void registerScreens(RootController& /*window*/) override
    {
        panels = nullptr;
        registerYEqScreens();
        registerGraph();
    }
    QToolButton* calculateButton(GraphScreenController& graph)
    {
        for (QToolButton* button : graph.toolbar().findChildren<QToolButton*>())
            if (button->text() == "Calc")
                return button;
        return nullptr;
    }
    // The sheet's slide played to its end, in one step.
    void settleSheet()
    {
        animations().step(GraphKeyboardView::kSlideMs);
        animations().finish();
    }
    GraphScreenController& showGraph()
    {
        root->showGraph(true);
        return *static_cast<GraphScreenController*>(root->fullScreen(screens::Graph));
    }
    // Y₁ of that text graphed and picked at x, and Calc clicked where it is drawn; the sheet
    // has slid in.
    GraphScreenController& calculateOn(const std::string& text, double x)
    {
        EXPECT_EQ(eq->setYEqFunc(kY1, ops(text)), 0);
        GraphScreenController& graph = showGraph();
        graph.graphView().updateDisplay();
        graph.graphView().selectEqNum(kY1, x);
        if (QToolButton* calculate = calculateButton(graph))
            clickAt(*root, centreIn(*root, *calculate));
        settleSheet();
        return graph;
    }
    GraphPanels* panels = nullptr;
};

// Share appears only with a worksheet maker and a sharer, and hands the worksheet (upright
// for a graph taller than wide), the screen's picture without the toolbar and the subject.
TEST_F(GraphScreenPanels, TheShareButtonHandsTheWorksheetAndAPictureToTheSharer)
{
    GraphScreenController& graph = showGraph();
    EXPECT_TRUE(graph.shareButton().isHidden());
    bool landscape = true;
    QByteArray pdf;
    QImage picture;
    QString subject;
    graph.makeWorksheet = [&](GraphView& view, bool turned) {
        EXPECT_EQ(&view, &graph.graphView());
        landscape = turned;
        return QByteArray("%PDF-sheet");
    };
    graph.updateShareButton();
    EXPECT_TRUE(graph.shareButton().isHidden());
    graph.shareWorksheet = [&](const QByteArray& sheet, const QImage& shot, const QString& title) {
        pdf = sheet;
        picture = shot;
        subject = title;
    };
    graph.updateShareButton();
    ASSERT_FALSE(graph.shareButton().isHidden());
    graph.shareButton().click();
    EXPECT_EQ(pdf, QByteArray("%PDF-sheet"));
    EXPECT_EQ(subject, QStringLiteral("Lumbrix Graph"));
    EXPECT_FALSE(landscape);
    EXPECT_EQ(picture.height(), graph.height() - GraphScreenController::kToolbarHeight);
}

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

// Calc is on only while a plot it works on is selected, and drawn dim while off: off with
// nothing selected and with an implicit relation, a line, a circle or a shading selected,
// on for a function, whose sheet it opens.
TEST_F(GraphScreenPanels, CalcIsOnOnlyForASelectedPlotItWorksOn)
{
    ASSERT_EQ(eq->setYEqFunc(kY1, ops("X²")), 0);
    GraphScreenController& graph = showGraph();
    ASSERT_TRUE(panels);
    graph.graphView().updateDisplay();
    QToolButton* calculate = calculateButton(graph);
    ASSERT_TRUE(calculate);
    // The title's light pixels: white when on, none when dimmed.
    const auto lightPixels = [calculate] {
        const QImage shown = calculate->grab().toImage();
        int light = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                light += QColor(shown.pixel(x, y)).lightness() > 200;
        return light;
    };
    ASSERT_EQ(graph.graphView().selectedPlotObj(), nullptr);
    EXPECT_FALSE(calculate->isEnabled());
    EXPECT_EQ(lightPixels(), 0);
    clickAt(*root, centreIn(*root, *calculate));
    EXPECT_TRUE(panels->keyboard()->isHidden());
    EXPECT_EQ(openAlert(), nullptr);

    for (const int type : {PlotObject::PlotImplicit, PlotObject::PlotLine, PlotObject::PlotCircle, PlotObject::PlotShadeFn}) {
        auto plot = std::make_shared<StandInPlot>(calc, type);
        plot->setSelected(true);
        graph.graphView().plotObjects() = {plot};
        graph.selectPlot(plot.get(), {1, 1, 1});
        EXPECT_FALSE(calculate->isEnabled()) << type;
        EXPECT_EQ(lightPixels(), 0) << type;
        clickAt(*root, centreIn(*root, *calculate));
        EXPECT_TRUE(panels->keyboard()->isHidden()) << type;
    }

    graph.graphView().updateDisplay();
    graph.graphView().selectEqNum(kY1, 1);
    EXPECT_TRUE(calculate->isEnabled());
    EXPECT_GT(lightPixels(), 20);
    clickAt(*root, centreIn(*root, *calculate));
    EXPECT_FALSE(panels->keyboard()->isHidden());
    EXPECT_EQ(openAlert(), nullptr);
    // Closing the sheet turns the toolbar on again, Calc with it.
    panels->keyboard()->gkDone();
    EXPECT_TRUE(calculate->isEnabled());
}

// Calc ▸ zero of X² − 2 on [−2, 0]: "zero=-1.414213562" reads whole inside the sheet, on the
// phone and the tablet (the text is made smaller rather than cut at the edge).
TEST_F(GraphScreenPanels, TheCalculatedZeroReadsWholeInTheSheet)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const std::string device = tablet ? "tablet" : "phone";
        GraphScreenController& graph = calculateOn("X²—2", -1);
        ASSERT_TRUE(panels && !panels->keyboard()->isHidden()) << device;
        panels->lower = -2;
        panels->upper = 0;
        panels->keyboard()->valueIntegral(GraphPanels::Zero);
        GraphKeyboardView& sheet = *panels->keyboard();
        VQTemplateView& form = sheet.form();
        int zeroField = -1;
        for (int i = 0; i < static_cast<int>(form.fields().size()); ++i)
            if (form.fields()[static_cast<std::size_t>(i)].label == "zero=")
                zeroField = i;
        ASSERT_GE(zeroField, 0) << device;
        EXPECT_EQ(form.shownText(zeroField), "-1.414213562") << device;
        // The row's ink ends inside the form, a few points before its right edge.
        // (The form's own size() is the size its fields need.)
        const QRect area(form.mapTo(&sheet, QPoint()), form.geometry().size());
        const QImage shown = sheet.grab(area).toImage();
        const qreal ratio = shown.devicePixelRatio();
        const int top = static_cast<int>(form.titleHeight() * ratio), bottom = static_cast<int>((form.titleHeight() + form.rowHeight()) * ratio);
        const QColor ground = backgroundIn(shown, QRect(0, top, shown.width(), bottom - top));
        int right = -1;
        for (int x = 0; x < shown.width(); ++x)
            for (int y = top; y < bottom; ++y)
                if (contrastRatio(QColor(shown.pixel(x, y)), ground) > 3)
                    right = x;
        EXPECT_GT(right, shown.width() / 2) << device;
        EXPECT_LT(right, shown.width() - 2 * ratio) << device;
        EXPECT_GT(form.textScale(), 0.8 * form.scale()) << device;
        sheet.gkDone();
        graph.done();
    }
}

// Calc over an equation without a value on [0, 1] (overflowing up or down, not real,
// dividing by 0), at every door of a calculation: the sheet opened on the value form, X=
// typed on its keypad, each kind picked. Each shows the error the home line gives for the
// equation there and no number among its answers (an overflowing Y reads INF as the home
// line's list does, never NAN); the trace stays where it was.
TEST_F(GraphScreenPanels, ACalculationWithoutAValueShowsItsErrorAndNoNumber)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"e^(1000+X)", "Overflow"},
        {"-e^(1000+X)", "Overflow"},
        {"ln(X—5)", "Nonreal answer"},
        {"1/(X—X)", "Divide by 0"},
    };
    for (const Case& c : cases) {
        calculateOn(c.text, .5);
        ASSERT_TRUE(panels && !panels->keyboard()->isHidden()) << c.text;
        GraphKeyboardView& sheet = *panels->keyboard();
        // What the sheet shows after a door: its error, no number among the read-outs, the
        // trace at t.
        const auto expectShown = [&](const std::string& door, double t) {
            EXPECT_EQ(describe(openAlert()), (std::vector<std::string>{"Calc Error", c.error, "OK"})) << c.text << door;
            press("OK");
            VQTemplateView& form = sheet.form();
            for (int i = 0; i < static_cast<int>(form.fields().size()); ++i) {
                const VQTemplateField& field = form.fields()[static_cast<std::size_t>(i)];
                if (field.order >= 0)
                    continue;
                const QString shown = form.shownText(i);
                EXPECT_TRUE(shown.isEmpty() || shown.endsWith("INF")) << c.text << door << field.label;
            }
            EXPECT_EQ(calc.pTrackPoint.t, t) << c.text << door;
        };
        expectShown(" opened", .5);
        SmallCalcView& keypad = sheet.keypad();
        for (const int tag : {21, 24})  // 0 ENTER: X = 0
            clickAt(*root, keypad.mapTo(root.get(), keypad.keyRect(tag).center().toPoint()));
        shell.settle(std::chrono::seconds(30));
        expectShown(" X=0", 0);
        panels->lower = 0;
        panels->upper = 1;
        for (const int kind : {GraphPanels::Zero, GraphPanels::Minimum, GraphPanels::Maximum, GraphPanels::Integral}) {
            sheet.valueIntegral(kind);
            expectShown(" " + panels->title(), 0);
        }
        sheet.valueIntegral(GraphPanels::Value);
        expectShown(" value again", 0);
        sheet.gkDone();
        settleSheet();
    }
}

// At a vertical tangent (X=cos(T), Y=2sin(T) at T=0; r=1 at θ=0) the sheet's dy/dx gives
// the home line's answer for dy/dt ÷ dx/dt there, Divide by 0, never a number; a point where
// the tangent is not vertical shows its slope with no alert.
TEST_F(GraphScreenPanels, AVerticalTangentsSlopeIsTheHomeLinesDivideBy0)
{
    struct Case { int mode, token, second; const char *text, *secondText; };
    const Case cases[] = {{1, kX1T, kY1T, "cos(T)", "2sin(T)"}, {2, kR1, 0, "1", ""}};
    for (const Case& c : cases) {
        calc.setGraphMode(c.mode);
        ASSERT_EQ(eq->setYEqFunc(c.token, ops(c.text)), 0);
        ASSERT_TRUE(!c.second || eq->setYEqFunc(c.second, ops(c.secondText)) == 0);
        GraphScreenController& graph = showGraph();
        graph.graphView().updateDisplay();
        graph.graphView().selectEqNum(c.token, 1);
        clickAt(*root, centreIn(*root, *calculateButton(graph)));
        settleSheet();
        ASSERT_TRUE(panels && panels->keyboard()->isOpen()) << c.text;
        EXPECT_EQ(openAlert(), nullptr) << c.text;
        EXPECT_TRUE(std::isfinite(panels->dydx)) << c.text;
        SmallCalcView& keypad = panels->keyboard()->keypad();
        for (const int tag : {21, 24})  // 0 ENTER
            clickAt(*root, keypad.mapTo(root.get(), keypad.keyRect(tag).center().toPoint()));
        shell.settle(std::chrono::seconds(30));
        EXPECT_EQ(describe(openAlert()), (std::vector<std::string>{"Calc Error", "Divide by 0", "OK"})) << c.text;
        press("OK");
        // The slope is left blank beside its error: no ±INF.
        VQTemplateView& form = panels->keyboard()->form();
        for (int i = 0; i < static_cast<int>(form.fields().size()); ++i) {
            if (form.fields()[static_cast<std::size_t>(i)].label == "dy/dx=") {
                EXPECT_EQ(form.shownText(i), QString()) << c.text;
            }
        }
        panels->keyboard()->gkDone();
        settleSheet();
        graph.done();
    }
}

// A kind picked from the sheet's list leaves the keys with the keypad and the form on its
// first field, wherever the cursor stood before; neither the list nor Done takes the focus.
TEST_F(GraphScreenPanels, APickedKindIsTypedFromItsFirstField)
{
    calculateOn("X²—4", 1);
    ASSERT_TRUE(panels && !panels->keyboard()->isHidden());
    GraphKeyboardView& sheet = *panels->keyboard();
    EXPECT_EQ(sheet.valueIntegralSeg().focusPolicy(), Qt::NoFocus);
    sheet.valueIntegral(GraphPanels::Zero);
    sheet.form().setCurrentField(1);
    ASSERT_EQ(sheet.form().currentField(), 1);
    sheet.valueIntegralSeg().setFocus();
    sheet.valueIntegral(GraphPanels::Minimum);
    EXPECT_EQ(sheet.form().currentField(), 0);
    EXPECT_EQ(sheet.form().fields()[0].label, "left=");
    EXPECT_EQ(root->focusWidget(), &sheet.keypad());
    sheet.gkDone();
}

// The calculate sheet's keypad lies whole inside the window, above the status line, on the
// phone and the tablet; its 0 and ENTER, clicked where they are drawn, trace to X = 0.
TEST_F(GraphScreenPanels, TheCalculateKeypadIsWholeOnScreenAndTakesClicks)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        const std::string device = tablet ? "tablet" : "phone";
        calculateOn("X²—4", 1);
        ASSERT_TRUE(panels && !panels->keyboard()->isHidden()) << device;
        SmallCalcView& keypad = panels->keyboard()->keypad();
        const QRect window = root->rect();
        const int floor = root->statusLine().isVisible() ? root->statusLine().mapTo(root.get(), QPoint()).y()
                                                          : window.bottom() + 1;
        for (int tag = 0; tag < 25; ++tag) {
            const QRect key = keypad.keyRect(tag).toAlignedRect().translated(keypad.mapTo(root.get(), QPoint()));
            EXPECT_TRUE(window.contains(key)) << device << " key " << tag;
            EXPECT_LE(key.bottom(), floor) << device << " key " << tag;
        }
        for (const int tag : {21, 24})
            clickAt(*root, keypad.mapTo(root.get(), keypad.keyRect(tag).center().toPoint()));
        shell.settle(std::chrono::seconds(30));
        EXPECT_EQ(panels->varIndependent, 0) << device;
        EXPECT_EQ(calc.pTrackPoint.x, 0) << device;
        EXPECT_EQ(calc.pTrackPoint.y, -4) << device;
        panels->keyboard()->gkDone();
    }
}

// The slider form of A in Y₁ = AX², its fourth row Step= made current with the keypad's
// DOWN: the row lies whole above the keypad, its highlight drawn to its foot, on the phone
// and the tablet. A histogram traced on bar 1 keeps reading bar 1 after its width form.
TEST_F(GraphScreenPanels, TheSliderFormShowsEveryRowAndTheTraceKeepsItsBar)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        ASSERT_EQ(eq->setYEqFunc(kY1, ops("AX²")), 0);
        GraphScreenController& graph = showGraph();
        graph.graphView().updateDisplay();
        graph.graphView().selectEqNum(kY1, 1);
        panels->varsView()->showSlider(1);
        panels->varsView()->editValue();
        settleSheet();
        VQTemplateView& form = panels->keyboard()->form();
        SmallCalcView& keypad = panels->keyboard()->keypad();
        for (int i = 0; i < 3; ++i)
            clickAt(*root, keypad.mapTo(root.get(), keypad.keyRect(20).center().toPoint()));
        ASSERT_EQ(form.currentField(), 3) << tablet;
        const int foot = static_cast<int>(form.titleHeight() + 4 * form.rowHeight());
        EXPECT_LE(form.mapTo(root.get(), QPoint(0, foot)).y(), keypad.mapTo(root.get(), QPoint()).y()) << tablet;
        const QImage picture = root->grab().toImage();
        const double ratio = picture.devicePixelRatio();
        const QPoint low = form.mapTo(root.get(), QPoint(0, foot - 3 * static_cast<int>(form.scale())));
        int lit = 0;
        for (int x = low.x(); x < low.x() + form.width(); ++x)
            lit += QColor(picture.pixel(static_cast<int>(x * ratio), static_cast<int>(low.y() * ratio))) == namedColor("yellowHilightColor");
        EXPECT_GT(lit, 0) << tablet;
        panels->keyboard()->gkDone();
        settleSheet();
    }
    auto histogram = std::make_shared<StandInHistogram>(calc);
    YEqVarInfo width;
    width.varNum = -4, width.name = "width", width.min = 0.1, width.max = 5, width.value = 1.428585714;
    histogram->varInfoArray = {width};
    histogram->setSelected(true);
    GraphScreenController& graph = showGraph();
    graph.graphView().plotObjects() = {histogram};
    graph.selectPlot(histogram.get(), {1, 1, 1});
    GraphVarsView& vars = *panels->varsView();
    vars.showSlider(1);
    vars.editValue();
    settleSheet();
    panels->keyboard()->gkDone();
    vars.showSlider(0);
    EXPECT_EQ(vars.editVar(), -2);
    EXPECT_EQ(vars.valueTitle(), "1");
}

// The calculate sheet as the window shows it: each field inside the form's part of the
// window, nothing over it, apart from the others; on the picture every ink of its row falls
// inside the row's fields and a result ends before its field does (not cut at the edge).
void expectFieldsWhole(RootController& root, GraphKeyboardView& sheet, const std::string& where)
{
    VQTemplateView& form = sheet.form();
    // (The form's size() is what its fields need.)
    const QRect shown = QRect(form.mapTo(&root, QPoint()), form.geometry().size()) & root.rect()
        & sheet.sheetFrame().translated(sheet.mapTo(&root, QPoint()));
    const QImage picture = root.grab(shown).toImage();
    const QTransform toPicture = QTransform::fromTranslate(-shown.left(), -shown.top()) * QTransform::fromScale(picture.devicePixelRatio(), picture.devicePixelRatio());
    std::vector<QRectF> boxes;
    for (int i = 0; i < static_cast<int>(form.fields().size()); ++i)
        boxes.push_back(form.fieldRect(i).translated(form.mapTo(&root, QPoint())));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const std::string field = where + " " + form.fields()[i].label;
        const QRect box = boxes[i].toAlignedRect(), inner = box.adjusted(2, 2, -2, -2);
        EXPECT_TRUE(shown.contains(box)) << field;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(boxes[j].intersects(boxes[i])) << field;
        for (const QPoint& p : {inner.topLeft(), inner.topRight(), inner.center(), inner.bottomLeft(), inner.bottomRight()})
            EXPECT_EQ(root.childAt(p), &form) << field;
        const QColor ground = backgroundIn(picture, toPicture.mapRect(QRect(shown.left(), box.top(), shown.width(), box.height())));
        int stray = 0, right = -1;
        // (The ground's rim at its edges aside.)
        for (int y = box.top() + 1; y < box.bottom(); ++y)
            for (int x = shown.left() + 4; x <= shown.right() - 4; ++x)
                if (contrastRatio(QColor(picture.pixel(toPicture.map(QPoint(x, y)))), ground) > 3) {
                    stray += std::none_of(boxes.begin(), boxes.end(), [&](const QRectF& b) { return b.adjusted(-1, -1, 1, 1).contains(x, y); });
                    right = box.contains(x, y) ? std::max(right, x) : right;
                }
        EXPECT_EQ(stray, 0) << field;
        EXPECT_GT(right, box.left()) << field;
        EXPECT_TRUE(form.fields()[i].editable() || right < box.right() - 1) << field;
    }
}

// The calculate sheet in each graph mode with each calculation that shows values, a long
// line typed in its first field, opened at the least window and turned to every shape of
// the phone and the tablet: every control in reach (inside the window, none covered: the
// sheet's Done, its list, its keypad) and each field whole in its own room (the typed line
// scrolls there, never over the result beside it; no zoom button over the read-outs).
TEST_F(GraphScreenPanels, TheCalculateSheetIsWholeAtEveryWindowShape)
{
    using P = GraphPanels;
    const std::vector<std::vector<QSize>> devices{{{320, 390}, {390, 844}, {844, 390}}, {{1024, 768}, {768, 1024}}};
    struct Mode { int mode, token, second; const char *text, *secondText; double at; std::vector<int> kinds; };
    const Mode modes[] = {{0, kY1, 0, "X³—3X", "", 0.7, {P::Value, P::Zero, P::Minimum, P::Maximum, P::Integral}},
                          {1, kX1T, kY1T, "3cos(T)", "2sin(T)", 1, {P::Value}},
                          {2, kR1, 0, "2+sin(θ)", "", 1, {P::Value}},
                          {3, kU, 0, "η/7", "", 3, {P::Value}}};
    // The bounds each kind searches: a zero of −√3, a minimum at 1, a maximum at −1.
    const std::map<int, std::pair<double, double>> bounds{{P::Zero, {-2, -1}}, {P::Minimum, {0, 2}}, {P::Maximum, {-2, 0}}, {P::Integral, {0, 1.3}}};
    for (const std::vector<QSize>& shapes : devices) {
        if (shapes[0].width() > 800)
            becomeTablet();
        for (const Mode& mode : modes) {
            root->resize(shapes[0]);
            calc.setGraphMode(mode.mode);
            ASSERT_EQ(eq->setYEqFunc(mode.token, ops(mode.text)), 0);
            ASSERT_TRUE(!mode.second || eq->setYEqFunc(mode.second, ops(mode.secondText)) == 0);
            GraphScreenController& graph = showGraph();
            graph.graphView().updateDisplay();
            graph.graphView().selectEqNum(mode.token, mode.at);
            clickAt(*root, centreIn(*root, *calculateButton(graph)));
            settleSheet();
            GraphKeyboardView& sheet = *panels->keyboard();
            for (const QSize& shape : shapes) {
                root->resize(shape);
                for (const int kind : mode.kinds) {
                    const std::string where = std::to_string(shape.width()) + "x" + std::to_string(shape.height()) + " mode "
                        + std::to_string(mode.mode) + " kind " + std::to_string(kind);
                    ASSERT_TRUE(sheet.isOpen()) << where;
                    std::tie(panels->lower, panels->upper) = bounds.contains(kind) ? bounds.at(kind) : std::pair{0.0, 0.0};
                    sheet.valueIntegral(kind);
                    type({0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38});
                    EXPECT_EQ(unreachableWidgets(*root, graph), nlohmann::json::array()) << where;
                    expectFieldsWhole(*root, sheet, where);
                    entry->clear();
                }
            }
            sheet.gkDone();
            settleSheet();
            graph.done();
        }
    }
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
