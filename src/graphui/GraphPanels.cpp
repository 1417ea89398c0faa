#include "graphui/GraphPanels.h"

#include "app/AppShell.h"
#include "app/OverlayPlacement.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/services/EntryManager.h"
#include "core/services/StatGraphManager.h"
#include "eval/Significance.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graph/PlotParametric.h"
#include "graph/PlotPolar.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphProgramControls.h"
#include "graphui/GraphScreenController.h"
#include "graphui/GraphStatInfoView.h"
#include "graphui/GraphVarsView.h"
#include "numeric/VQStatistics.h"

#include <QApplication>
#include <QLayout>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace orvenda {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Window variable slots.
constexpr int kXmin = 38, kXmax = 39, kYmin = 40, kYmax = 41, kTmin = 42, kTmax = 43, kThetaMin = 44,
              kThetaMax = 45, kTstep = 62, kThetaStep = 63;
// Graph modes.
constexpr int kFunctionMode = 0, kParametricMode = 1, kPolarMode = 2, kSequenceMode = 3, kImplicitMode = 4;
// The variables panel sits this far above the graph's bottom edge (the toolbar).
constexpr int kToolbarHeight = 44;

bool isStatPlot(int type)
{
    return type == PlotObject::PlotScatter || type == PlotObject::PlotXYLine || type == PlotObject::PlotHistogram ||
           type == PlotObject::PlotBox || type == PlotObject::PlotModBox || type == PlotObject::PlotNormProb;
}

double real(Calculator& calc, int slot) { return calc.getVar(slot).value.real(); }
void store(Calculator& calc, int slot, double v) { calc.setVar(slot, {{v, 0}}); }

// A read-out without a value is left blank, never ±INF: the sheet tells its error instead.
VQTemplateField readOnly(double value, int col, int row, const char* label, int tag)
{
    return VQTemplateField::fieldValue(std::isfinite(value) ? value : std::numeric_limits<double>::quiet_NaN(), 0, -1,
                                       col, row, label, tag);
}
VQTemplateField editable(double value, int row, const char* label, int tag)
{
    return VQTemplateField::fieldValue(value, 0, row, 0, row, label, tag);
}

} // namespace

GraphPanels::GraphPanels(Calculator& calc, GraphView& view, QWidget* host, AppShell* shell)
    : QObject(host), calc_(calc), view_(view), host_(host), shell_(shell),
      programControls_(std::make_unique<GraphProgramControls>(calc, view, host))
{
}

void GraphPanels::makePanels()
{
    if (!host_)
        return;
    if (!varsView_) {
        varsView_ = new GraphVarsView(calc_, *this, host_);
        OverlayPlacement::attach(*varsView_, [this] { placeVarsView(varsView_->panelHeight()); });
    }
    if (!shell_)
        return;
    if (!keyboard_) {
        keyboard_ = new GraphKeyboardView(calc_, *shell_, *this, host_);
        OverlayPlacement::attach(*keyboard_, [this] { keyboard_->setGeometry(host_->rect()); });
    }
    if (!statInfo_) {
        statInfo_ = new GraphStatInfoView(calc_, *shell_, *this, host_);
        OverlayPlacement::attach(*statInfo_, [this] { statInfo_->setGeometry(host_->rect()); });
    }
}

GraphPanels* GraphPanels::install(Calculator& calc, AppShell& shell, GraphScreenController& screen)
{
    auto* panels = new GraphPanels(calc, screen.graphView(), &screen, &shell);
    panels->makePanels();
    panels->enableButtons = [&screen](bool on) { screen.enableButtons(on); };
    panels->cursorBlink = [&shell](bool on) { shell.blink().cursorBlink(on); };
    // Enabled by the screen only while a plot it works on is selected.
    QToolButton* calculate = GraphScreenController::makeBarButton(QStringLiteral("Calc"), &screen.toolbar());
    QObject::connect(calculate, &QToolButton::clicked, panels, [panels] { panels->doCalculation(); });
    if (QLayout* row = screen.toolbar().layout())
        row->addWidget(calculate);
    GraphProgramControls& controls = panels->programControls();
    controls.editField = [panels](int tag) { panels->editInputField(tag); };
    GraphScreenController::Panels hooks;
    hooks.vars = panels->varsView_;
    hooks.keyboard = panels->keyboard_;
    hooks.statInfo = panels->statInfo_;
    hooks.calcButtons = {calculate};
    hooks.updateIOControls = [&controls] { controls.updateIOControllers(); };
    hooks.layoutIOControls = [&controls] { controls.adjustLayout(); };
    hooks.ioControlRects = [&controls] { return controls.controlRects(); };
    hooks.removeIOControls = [&controls] { controls.removeControllers(); };
    hooks.plotSelected = [panels](PlotObject* plot, const PlotPoint& at) { panels->plotSelected(plot, at); };
    hooks.windowChanged = [panels] { panels->windowChanged(); };
    hooks.leaving = [panels] { panels->leaveCalculation(); };
    screen.setPanels(std::move(hooks));
    return panels;
}

GraphPanels::~GraphPanels() = default;

PlotObject* GraphPanels::plot() const { return view_.selectedPlotObj(); }

std::shared_ptr<YEqModel> GraphPanels::yEq() const { return std::dynamic_pointer_cast<YEqModel>(calc_.yEqManager); }

// ---- Calculate ----

void GraphPanels::doCalculation()
{
    PlotObject* p = plot();
    // The items are off for other plots; nothing reaches here for them.
    if (!GraphScreenController::calcEnabledFor(p))
        return;
    if (isStatPlot(p->plotType)) {
        showStats();
        return;
    }
    varIndependent = calc_.pTrackPoint.t;
    updateCalculation();
    setOtherLineAside();
    if (calc_.entryManager)
        calc_.entryManager->clear();
    showKeyboardMode(1);
}

void GraphPanels::leaveCalculation()
{
    if (statInfo_ && statInfo_->shown()) {
        graphStatInfoDone();
        statInfo_->hideNow();
    }
    if (!keyboard_ || !keyboard_->isOpen())
        return;
    if (keyboardMode == InputFieldForm) {
        if (calc_.entryManager)
            calc_.entryManager->clear();
        closeKeyboard();
    } else {
        keyboard_->gkDone();
    }
    // Nothing of the sheet stays over the graph for its next showing.
    keyboard_->hideNow();
}

void GraphPanels::setOtherLineAside()
{
    // Held by the calculator, not here: a save meanwhile keeps it as the home line.
    if (host_ && shell_)
        calc_.setHomeLineAside();
}

void GraphPanels::giveOtherLineBack()
{
    // What the form leaves on its line (a value that failed, told by its error) is its own.
    calc_.giveHomeLineBack();
}

void GraphPanels::showKeyboardMode(int mode)
{
    setOtherLineAside();
    if (calc_.featureLock != 0)
        calc_.saveX(calc_.pTrackPoint.x, calc_.pTrackPoint.y);
    if (enableButtons)
        enableButtons(false);
    keyboardMode = mode;
    varIndependent = calc_.pTrackPoint.t;
    if (mode == 1) {
        updateCalculation();
        std::optional<YEqIntegrate> rec;
        if (PlotObject* p = plot(); p && yEq())
            rec = yEq()->integrationLimitsForFunction(p->eqNum);
        lower = rec ? rec->lower : 0;
        upper = rec ? rec->upper : 0;
        area = rec ? rec->area : 0;
        tol = rec ? rec->tol : YEqIntegrate::kDefaultTolerance;
    }
    if (host_ && shell_) {
        makePanels();
        OverlayPlacement::of(*keyboard_)->place();
        keyboard_->raise();
        keyboard_->show(true);
        keyboard_->updateDisplay();
        keyboard_->focus(true);
    }
    if (cursorBlink)
        cursorBlink(true);
    if (mode == 1)
        showReadOutError();
}

void GraphPanels::updateCalculation()
{
    PlotObject* p = plot();
    if (!p)
        return;
    const double t = varIndependent;
    varX = p->XAtT(t);
    varY = p->YAtT(t);
    varR = p->RAtT(t);
    varTheta = p->ThetaAtT(t);
    if (p->plotType != PlotObject::PlotImplicit)
        dydx = p->slopeAtT(t);
    int feature = PlotObject::FeatureNone;
    if (std::fabs(varY) < 1e-6)
        feature = PlotObject::FeatureZero;
    else if (std::fabs(dydx) < 1e-6)
        feature = p->YAtT(t + 1e-6) > varY ? PlotObject::FeatureMinimum : PlotObject::FeatureMaximum;
    else if (varX == 0)
        feature = PlotObject::FeatureYIntercept;
    calc_.featureLock = 0;
    calc_.setFeatureLock(feature);
    const int mode = calc_.graphMode();
    if (mode == kParametricMode) {
        if (auto* curve = dynamic_cast<PlotParametric*>(p)) {
            dxdt = curve->dxdtAtT(t);
            dydt = curve->dydtAtT(t);
        }
    } else if (mode == kPolarMode) {
        if (auto* curve = dynamic_cast<PlotPolar*>(p))
            drdtheta = curve->dRdThetaAtT(t);
    }
    const bool parametricLike = mode == kParametricMode || mode == kPolarMode || mode == kSequenceMode;
    const PlotPoint at{varX, varY, parametricLike ? t : varX};
    calc_.pTrackPoint = at;
    calc_.pTrackSlope = p->plotType == PlotObject::PlotImplicit ? p->slopeAtPoint(at) : p->slopeAtT(at.t);
    calc_.lockMagnifier = true;
}

void GraphPanels::showReadOutError()
{
    PlotObject* p = plot();
    if (!p || keyboardMode != 1 || (calc_.graphMode() == kFunctionMode && computeMode != Value))
        return;
    for (const VQTemplateField& field : getFields()) {
        if (field.order >= 0 || std::isfinite(field.value))
            continue;
        if (const int error = p->errorAtT(varIndependent))
            calc_.showError({{"errorNum", error}});
        return;
    }
}

std::string GraphPanels::title() const
{
    if (keyboardMode == InputFieldForm) {
        const DrawInputField* field = programControls_->inputField(inputFieldTag);
        return field && !field->lblName.empty() ? field->lblName : "Input";
    }
    if (keyboardMode == 0)
        return "Slider Values";
    if (keyboardMode != 1)
        return {};
    static const char* const names[] = {"value", "zero", "min", "max", "∫f(x)dx"};
    const char* name = computeMode >= Zero && computeMode <= Integral ? names[computeMode] : names[0];
    return std::string("Calculate:") + name;
}

std::vector<VQTemplateField> GraphPanels::getFields()
{
    fields_.clear();
    if (keyboardMode == InputFieldForm) {
        if (const DrawInputField* field = programControls_->inputField(inputFieldTag)) {
            const std::string name = calc_.nameForOpcode(static_cast<std::uint32_t>(field->varNum + 65)) + "=";
            fields_.push_back(editable(inputFieldValue, 0, name.c_str(), TagInputField));
        }
        return fields_;
    }
    if (keyboardMode == 0) {
        fields_.push_back(editable(varInfo.value, 0, (varInfo.name + "=").c_str(), TagVarValue));
        if (varInfo.varNum >= -5 && varInfo.varNum <= -2) {
            fields_.push_back(readOnly(varInfo.min, 17, 0, "Min=", TagVarMin));
            fields_.push_back(readOnly(varInfo.max, 17, 1, "Max=", TagVarMax));
        } else {
            fields_.push_back(editable(varInfo.min, 1, "Min=", TagVarMin));
            fields_.push_back(editable(varInfo.max, 2, "Max=", TagVarMax));
            fields_.push_back(editable(varInfo.step, 3, "Step=", TagVarStep));
        }
        return fields_;
    }
    if (keyboardMode != 1)
        return fields_;
    const int mode = calc_.graphMode();
    if (mode == kFunctionMode && computeMode != Value) {
        if (computeMode < Value || computeMode > Integral)
            return fields_;
        const bool integral = computeMode == Integral;
        fields_.push_back(editable(lower, 0, integral ? "lwr=" : "left=", TagLower));
        fields_.push_back(editable(upper, 1, integral ? "upr=" : "right=", TagUpper));
        fields_.push_back(editable(tol, 2, "tol=", TagTol));
        if (computeMode == Zero)
            fields_.push_back(readOnly(zero, 17, 0, "zero=", TagZero));
        else if (integral)
            fields_.push_back(readOnly(area, 17, 0, "∫=", TagArea));
        else {
            const int tag = computeMode == Minimum ? TagMin : TagMax;
            fields_.push_back(readOnly(computeMode == Minimum ? min : max, 17, 0, "x=", tag));
            fields_.push_back(readOnly(varY, 17, 1, "y=", TagY));
        }
        return fields_;
    }
    const char* independent = mode == kParametricMode ? "T=" : mode == kPolarMode ? "θ=" : mode == kSequenceMode ? "η=" : "X=";
    fields_.push_back(editable(varIndependent, 0, independent, TagIndependent));
    int row = 0;
    auto out = [&](const char* label, int tag) { fields_.push_back(readOnly(fieldValueFor(tag), 17, row++, label, tag)); };
    const bool polarCoords = calc_.locked()->graphCoordFormat == 1;
    switch (mode) {
    case kFunctionMode:
    case kImplicitMode:
        out("Y=", TagY);
        out("dy/dx=", TagDyDx);
        break;
    case kParametricMode:
    case kPolarMode:
        polarCoords ? out("r=", TagR) : out("x=", TagX);
        polarCoords ? out("θ=", TagTheta) : out("y=", TagY);
        out("dy/dx=", TagDyDx);
        if (mode == kParametricMode) {
            out("dx/dt=", TagDxDt);
            out("dy/dt=", TagDyDt);
        } else {
            out("dr/dθ=", TagDrDTheta);
        }
        break;
    case kSequenceMode:
        out("X=", TagX);
        out("Y=", TagY);
        break;
    default:
        break;
    }
    return fields_;
}

bool GraphPanels::showIntegral() const
{
    const PlotObject* p = plot();
    return keyboardMode == 1 && p && (p->plotType == PlotObject::PlotFunction || p->plotType == PlotObject::PlotFn);
}

void GraphPanels::valueIntegralChange(int mode)
{
    computeMode = mode;
    switch (mode) {
    case Zero: clearIntegration(); computeZero(); break;
    case Minimum: clearIntegration(); computeMin(); break;
    case Maximum: clearIntegration(); computeMax(); break;
    case Integral: computeIntegral(); break;
    default: clearIntegration(); updateCalculation(); showReadOutError(); break;
    }
    if (mode >= Zero && mode <= Maximum)
        moveMagnifier();
    updateFieldValues();
    view_.update();
}

void GraphPanels::fieldDidChange(const VQTemplateField& field)
{
    if (keyboardMode == InputFieldForm) {
        inputFieldValue = field.value;
        return;
    }
    if (keyboardMode == 0) {
        switch (field.tag) {
        case TagVarValue: varInfo.value = field.value; break;
        case TagVarMin: varInfo.min = field.value; break;
        case TagVarMax: varInfo.max = field.value; break;
        case TagVarStep: varInfo.step = field.value; break;
        default: break;
        }
        return;
    }
    if (calc_.graphMode() == kFunctionMode && computeMode != Value) {
        if (field.tag == TagLower)
            lower = field.value;
        else if (field.tag == TagUpper)
            upper = field.value;
        else if (field.tag == TagTol)
            tol = field.value;
        if (computeMode >= Zero && computeMode <= Maximum) {
            computeFeature(computeMode);
            moveMagnifier();
        } else if (computeMode == Integral) {
            computeIntegral();
        }
    } else {
        varIndependent = field.value;
        updateCalculation();
        calc_.pTrackPoint = {varX, varY, field.value};
        calc_.pTrackSlope = dydx;
        showReadOutError();
    }
    updateFieldValues();
    view_.update();
}

void GraphPanels::computeZero() { computeFeature(Zero); }
void GraphPanels::computeMin() { computeFeature(Minimum); }
void GraphPanels::computeMax() { computeFeature(Maximum); }

void GraphPanels::computeFeature(int mode)
{
    PlotObject* p = plot();
    if (!p || calc_.graphMode() != kFunctionMode)
        return;
    int error = 0;
    double& result = mode == Zero ? zero : mode == Minimum ? min : max;
    result = mode == Zero      ? p->zeroLower(lower, upper, tol, error)
             : mode == Minimum ? p->minLower(lower, upper, tol, error)
                               : p->maxLower(lower, upper, tol, error);
    // The read-out moves to the answer even when the search reports an error; without an
    // answer it has nothing to show and the trace stays (moveMagnifier).
    if (error != 0)
        calc_.showError({{"errorNum", error}});
    varX = result;
    varY = p->YAtT(result);
    dydx = p->slopeAtT(result);
    int feature = PlotObject::FeatureZero;
    if (!std::isfinite(result)) {
        feature = PlotObject::FeatureNone;
        calc_.featureLock = 0;
    } else if (mode != Zero) {
        const bool flat = std::fabs(dydx) < 2 * tol;
        feature = !flat ? PlotObject::FeatureNone : mode == Minimum ? PlotObject::FeatureMinimum : PlotObject::FeatureMaximum;
        calc_.featureLock = 0;
    }
    calc_.setFeatureLock(feature);
}

void GraphPanels::storeIntegration(double lo, double hi, double a, double t)
{
    PlotObject* p = plot();
    if (!p)
        return;
    auto model = yEq();
    if (model && model->integrationLimitsForFunction(p->eqNum)) {
        YEqIntegrate rec;
        rec.lower = lo;
        rec.upper = hi;
        rec.area = a;
        rec.tol = t;
        rec.dirty = false;
        model->setIntegrationLimits(p->eqNum, rec);
    } else if (auto func = std::dynamic_pointer_cast<DrawFunc>(p->drawFunc)) {
        func->lower = lo;
        func->upper = hi;
        func->area = a;
        func->tol = t;
    }
}

void GraphPanels::computeIntegral()
{
    PlotObject* p = plot();
    if (!p || calc_.graphMode() != kFunctionMode)
        return;
    if (lower == upper) {
        storeIntegration(0, 0, 0, tol);
        area = 0;
        return;
    }
    const double a = std::min(lower, upper), b = std::max(lower, upper);
    int error = 0;
    area = p->integrateLower(a, b, tol, error);
    if (error != 0) {
        calc_.showError({{"errorNum", error}});
        area = kNaN;
        return;
    }
    storeIntegration(a, b, area, tol);
}

void GraphPanels::clearIntegration() { storeIntegration(0, 0, 0, tol); }

void GraphPanels::moveMagnifier()
{
    // A calculation without an answer leaves the trace where it was.
    if (!std::isfinite(varX))
        return;
    calc_.pTrackPoint = {varX, varY, varX};
    calc_.pTrackSlope = dydx;
}

double GraphPanels::fieldValueFor(int tag) const
{
    switch (tag) {
    case TagVarValue: return varInfo.value;
    case TagVarMin: return varInfo.min;
    case TagVarMax: return varInfo.max;
    case TagVarStep: return varInfo.step;
    case TagLower: return lower;
    case TagUpper: return upper;
    case TagTol: return tol;
    case TagArea: return area;
    case TagZero: return zero;
    case TagMin: return min;
    case TagMax: return max;
    case TagIndependent: return varIndependent;
    case TagX: return varX;
    case TagY: return varY;
    case TagR: return varR;
    case TagTheta: return varTheta;
    case TagDyDx: return dydx;
    case TagDxDt: return dxdt;
    case TagDyDt: return dydt;
    case TagDrDTheta: return drdtheta;
    default: return kNaN;
    }
}

void GraphPanels::updateFieldValues()
{
    for (VQTemplateField& field : fields_)
        if (field.tag >= TagVarValue && field.tag <= TagDrDTheta)
            field.value = fieldValueFor(field.tag);
    if (keyboard_)
        keyboard_->updateFields();
}

void GraphPanels::closeKeyboard()
{
    if (keyboard_) {
        // The screen takes back the computer's keys the sheet had (Escape leaves it).
        const bool hadKeys = keyboard_->isAncestorOf(QApplication::focusWidget());
        keyboard_->focus(false);
        keyboard_->show(false);
        if (hadKeys && host_)
            host_->setFocus();
    }
    giveOtherLineBack();
    if (cursorBlink)
        cursorBlink(false);
    if (enableButtons)
        enableButtons(true);
}

double GraphPanels::adjustStep(double min, double max, double step)
{
    const double r = max - min;
    if (step == 0)
        return r / 200;
    const double k = r / step;
    if (k < 200)
        return r / 200;
    if (k > 2000)
        return r / 2000;
    return step;
}

void GraphPanels::orderRecord(YEqVarInfo& record)
{
    if (record.min > record.max)
        std::swap(record.min, record.max);
    if (record.max == record.min)
        record.max = record.min + 1;
    if (record.step < 0)
        record.step = 0;
    if (record.value < record.min)
        record.value = record.min;
    else if (record.value > record.max)
        record.value = record.max;
}

void GraphPanels::graphKeyboardDone()
{
    if (keyboardMode == InputFieldForm) {
        closeKeyboard();
        // The label runs as a button's does, after the sheet has given the graph its keys.
        programControls_->ioInputField(std::exchange(inputFieldTag, -1), inputFieldValue);
        return;
    }
    if (keyboardMode == 1) {
        view_.valueChanged();
        closeKeyboard();
        return;
    }
    if (keyboardMode != 0) {
        closeKeyboard();
        return;
    }
    orderRecord(varInfo);
    PlotObject* p = plot();
    if (!p) {
        closeKeyboard();
        return;
    }
    if (varInfoIndex >= 0 && static_cast<std::size_t>(varInfoIndex) < p->varInfoArray.size() &&
        p->varInfoArray[varInfoIndex].varNum == varInfo.varNum) {
        p->setVar(editVarNum, varInfo.min, varInfo.max, varInfo.value, varInfo.step);
        // The sync takes the variable's value for the trace's: the trace keeps its own (a
        // histogram's bar number stays after its width changed).
        if (varsView_) {
            const double traced = varsView_->trackValue();
            varsView_->sync();
            varsView_->setTrackValue(traced);
        }
        view_.valueChanged();
        closeKeyboard();
        return;
    }
    double traceValue = varInfo.value;
    if (varInfo.varNum == -3 || varInfo.varNum == -2) {
        // A user-typed index: a checked conversion, so NaN and huge values stay in range.
        int n = Significance::clampToInt(varInfo.value + 0.5);
        const int top = Significance::clampToInt(varInfo.max);
        if (n < 0)
            n = 0;
        if (n > top)
            n = top;
        varInfo.value = n;
        traceValue = n;
        // Bars are traced by their number as points are by their index.
        calc_.pTrackPoint = {p->XAtT(n), p->YAtT(n), static_cast<double>(n)};
    } else {
        const double v = varInfo.value;
        const double x = p->XAtT(v), y = p->YAtT(v);
        calc_.pTrackPoint = {x, y, v};
        calc_.pTrackSlope = p->plotType == PlotObject::PlotImplicit ? p->slopeAtPoint({x, y, v}) : p->slopeAtT(v);
        // The window range of the traced variable: {min slot, max slot, step slot or -1}.
        const int mode = calc_.graphMode();
        const std::array<int, 3> range = mode == kFunctionMode || mode == kImplicitMode ? std::array{kXmin, kXmax, -1}
                                         : mode == kParametricMode ? std::array{kTmin, kTmax, kTstep}
                                         : mode == kPolarMode      ? std::array{kThetaMin, kThetaMax, kThetaStep}
                                                                   : std::array{-1, -1, -1};
        if (range[0] >= 0) {
            store(calc_, range[0], varInfo.min);
            store(calc_, range[1], varInfo.max);
        }
        if (range[2] >= 0) {
            varInfo.step = adjustStep(varInfo.min, varInfo.max, varInfo.step);
            store(calc_, range[2], varInfo.step);
        }
        Calculator::Bounds w{real(calc_, kXmin), real(calc_, kXmax), real(calc_, kYmin), real(calc_, kYmax)};
        const double hx = (w.xMax - w.xMin) / 2, hy = (w.yMax - w.yMin) / 2;
        if (x < w.xMin || x > w.xMax)
            w.xMin = x - hx, w.xMax = x + hx;
        if (y < w.yMin || y > w.yMax)
            w.yMin = y - hy, w.yMax = y + hy;
        view_.zoom(w);
    }
    if (varsView_) {
        varsView_->setTrackValue(traceValue);
        varsView_->sync();
    }
    view_.valueChanged();
    closeKeyboard();
}

// ---- Statistics ----

void GraphPanels::showStats()
{
    if (enableButtons)
        enableButtons(false);
    if (!host_ || !shell_)
        return;
    makePanels();
    OverlayPlacement::of(*statInfo_)->place();
    statInfo_->raise();
    statInfo_->show(true);
    statInfo_->updateDisplay();
}

std::string GraphPanels::getStatTitle() const
{
    const PlotObject* p = plot();
    const bool twoVar = p && (p->plotType == PlotObject::PlotScatter || p->plotType == PlotObject::PlotXYLine);
    return twoVar ? "2-Variable Statistics" : "1-Variable Statistics";
}

std::vector<VQTemplateField> GraphPanels::getStatFields()
{
    std::vector<VQTemplateField> out;
    const PlotObject* p = plot();
    if (!p || !calc_.statGraphManager)
        return out;
    const auto info = calc_.statGraphManager->statInfo();
    std::shared_ptr<VQStatistics> stats;
    if (p->eqNum >= 0 && static_cast<std::size_t>(p->eqNum) < info.size())
        stats = info[p->eqNum];
    auto col = [&](int column, std::initializer_list<std::pair<const char*, double>> rows) {
        int row = 0;
        for (const auto& [label, value] : rows)
            out.push_back(readOnly(value, column, row++, label, 0));
    };
    switch (p->plotType) {
    case PlotObject::PlotHistogram:
    case PlotObject::PlotBox:
    case PlotObject::PlotModBox:
    case PlotObject::PlotNormProb:
        if (!stats)
            return out;
        col(0, {{"x̅=", stats->Xmean}, {"∑x=", stats->Xsum}, {"∑x²=", stats->X2sum}, {"n=", stats->n},
                {"Sx=", stats->stdX}, {"σx=", stats->popStdX}});
        col(16, {{"minX=", stats->minX}, {"Q1=", stats->Q1}, {"Med=", stats->medianX}, {"Q3=", stats->Q3},
                 {"maxX=", stats->maxX}});
        break;
    case PlotObject::PlotScatter:
    case PlotObject::PlotXYLine: {
        if (!stats || !stats->listXName || !stats->listYName)
            return out;
        int error = 0;
        auto s = VQStatistics::twoVarName(calc_, *stats->listXName, *stats->listYName, stats->freqName, error);
        if (!s || error != 0)
            return out;
        col(0, {{"x̅=", s->Xmean}, {"∑x=", s->Xsum}, {"∑x²=", s->X2sum}, {"Sx=", s->stdX}, {"σx=", s->popStdX},
                {"n=", s->n}, {"minX=", s->minX}, {"maxX=", s->maxX}});
        col(16, {{"y̅=", s->Ymean}, {"∑y=", s->Ysum}, {"∑y²=", s->Y2sum}, {"Sy=", s->stdY}, {"σy=", s->popStdY},
                 {"∑xy=", s->XYsum}, {"minY=", s->minY}, {"maxY=", s->maxY}});
        break;
    }
    default:
        break;
    }
    return out;
}

void GraphPanels::graphStatInfoDone()
{
    if (statInfo_)
        statInfo_->show(false);
    if (cursorBlink)
        cursorBlink(false);
    if (enableButtons)
        enableButtons(true);
}

// ---- Trace variable and sliders ----

void GraphPanels::selectPlot(PlotObject* plot, const PlotPoint& at)
{
    if (host_) {
        makePanels();
        varsView_->showPlot(plot, at);
    }
    adjustGraphSlidersView();
}

void GraphPanels::trackObj(PlotObject* plot, const PlotPoint& at)
{
    if (plot && varsView_)
        varsView_->setTrackValue(at.t);
}

void GraphPanels::plotSelected(PlotObject* plot, const PlotPoint& at)
{
    if (plot && varsView_ && varsView_->plot() == plot)
        trackObj(plot, at);
    else
        selectPlot(plot, at);
}

void GraphPanels::windowChanged()
{
    if (PlotObject* p = plot())
        selectPlot(p, calc_.pTrackPoint);
}

void GraphPanels::adjustGraphSlidersView()
{
    if (!varsView_ || !host_)
        return;
    if (!plot()) {
        varsView_->hide();
        return;
    }
    placeVarsView(varsView_->panelHeight());
    varsView_->show();
}

void GraphPanels::placeVarsView(double height)
{
    const QRect graph = view_.geometry();
    const int h = static_cast<int>(height);
    varsView_->setGeometry(graph.left(), graph.bottom() + 1 - kToolbarHeight - h, graph.width(), h);
}

void GraphPanels::showSlider(bool, double height)
{
    if (!varsView_ || !host_)
        return;
    placeVarsView(height);
    varsView_->raise();
}

void GraphPanels::startTrackingVar(int varNum)
{
    if (varNum < 0)
        return;
    {
        const auto state = calc_.locked();
        tDrawCoord_ = std::exchange(state->drawCoord, false);
        tDrawDyDx_ = std::exchange(state->drawDyDx, false);
    }
    view_.startTrackingVar();
}

void GraphPanels::stopTrackingVar()
{
    {
        const auto state = calc_.locked();
        state->drawCoord = tDrawCoord_;
        state->drawDyDx = tDrawDyDx_;
    }
    view_.stopTrackingVar();
}

void GraphPanels::trace(double value, double err) { view_.trace(value, err); }

void GraphPanels::valueChanged() { view_.valueChanged(); }

void GraphPanels::editInputField(int tag)
{
    const DrawInputField* field = programControls_->inputField(tag);
    if (!field)
        return;
    inputFieldTag = tag;
    inputFieldValue = real(calc_, field->varNum);
    showKeyboardMode(InputFieldForm);
}

void GraphPanels::editVar(const YEqVarInfo& record, int index)
{
    varInfo = record;
    varInfoIndex = index;
    showKeyboardMode(0);
    editVarNum = record.varNum;
}

} // namespace orvenda
