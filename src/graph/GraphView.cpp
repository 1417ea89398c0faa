#include "graph/GraphView.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQStack.h"
#include "core/services/StatGraphManager.h"
#include "eval/GraphSampler.h"
#include "graph/DrawingPlots.h"
#include "graph/GraphText.h"
#include "graph/GraphTileLayer.h"
#include "graph/GraphViewDelegate.h"
#include "graph/HistogramZoom.h"
#include "graph/PhotoPlot.h"
#include "graph/PixelPlot.h"
#include "graph/PlotCircle.h"
#include "graph/PlotFn.h"
#include "graph/PlotImplicit.h"
#include "graph/PlotInvFn.h"
#include "graph/PlotLine.h"
#include "graph/PlotParametric.h"
#include "graph/PlotPolar.h"
#include "graph/PlotPolyline.h"
#include "graph/PlotSequence.h"
#include "graph/PlotShadeFn.h"
#include "graph/StatPlotSource.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"

#include <QApplication>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr int kZStandard = 0x86, kZTrig = 0x87, kZSquare = 0x8B, kZInteger = 0x8C, kZPrevious = 0x8D;
constexpr int kZDecimal = 0x8E, kZoomStat = 0x8F, kZoomRcl = 0x90, kZoomSto = 0x92, kZoomFit = 0xBB65;
constexpr int kSequenceGraphMode = 3, kImplicitGraphMode = 4;
// The equation solver's plot replaces every other.
constexpr int kSolverDisplayMode = 3;
constexpr int kSolverEquation = 0x5E1A;
// Y= function types that the plot list treats apart.
constexpr int kFunctionType = 0, kParametricType = 1, kPolarType = 2, kSequenceType = 3, kImplicitType = 4;
constexpr int kSlotX = 23;
constexpr int kXToken = 0x58;
// Points the trace may snap within, and the tolerance of a tap.
constexpr double kSnapPoints = 4;
constexpr double kTapTolerance = 20;
// A released pan coasts when it moves faster than this many points per tick.
constexpr double kCoastThreshold = 6;
constexpr int kCoastTickMs = 33;
constexpr int kLongPressMs = 250;
constexpr int kWheelPinchEndMs = 150;
// The finger spread a wheel zoom starts from, and the zoom of one wheel notch.
constexpr double kWheelSpread = 100;
constexpr double kWheelNotchZoom = 1.2;

bool isClearingZoom(int token)
{
    switch (token) {
    case kZStandard: case kZTrig: case kZSquare: case kZInteger: case kZPrevious:
    case kZDecimal: case kZoomStat: case kZoomRcl: case kZoomFit:
        return true;
    default:
        return false;
    }
}

bool isStatPlot(int type)
{
    switch (type) {
    case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotHistogram:
    case PlotObject::PlotBox: case PlotObject::PlotModBox: case PlotObject::PlotNormProb:
        return true;
    default:
        return false;
    }
}

void merge(Calculator::Bounds& into, const Calculator::Bounds& b)
{
    into.xMin = std::min(into.xMin, b.xMin);
    into.xMax = std::max(into.xMax, b.xMax);
    into.yMin = std::min(into.yMin, b.yMin);
    into.yMax = std::max(into.yMax, b.yMax);
}

StatPlotSource* statPlotSource(const Calculator& calc)
{
    return dynamic_cast<StatPlotSource*>(calc.statGraphManager.get());
}

} // namespace

GraphView::GraphView(Calculator& c, QWidget* parent) : QWidget(parent), calc(c), sampler_(c)
{
    plotObjects_.reserve(10);
    for (auto& tile : tiles_) {
        tile = std::make_unique<GraphTile>(calc, devicePixelRatioF());
        tile->graphView = this;
    }
    photoPlot_ = new PhotoPlot(calc, this);
    tileLayer_ = new GraphTileLayer(*this);
    pixelPlot_ = new PixelPlot(calc, this);
    graphTextView = new GraphText(*this);
    for (QWidget* layer : {static_cast<QWidget*>(photoPlot_), static_cast<QWidget*>(tileLayer_),
                           static_cast<QWidget*>(pixelPlot_)})
        layer->setGeometry(rect());
    photoPlot_->setVisible(calc.backgroundImage != nullptr);
    pixelPlot_->setVisible(calc.pixelsVisible);

    vTimer_.setInterval(kCoastTickMs);
    connect(&vTimer_, &QTimer::timeout, this, &GraphView::coast);
    longPressTimer_.setSingleShot(true);
    longPressTimer_.setInterval(kLongPressMs);
    connect(&longPressTimer_, &QTimer::timeout, this, [this] {
        if (!drag_.pressed() || drag_.panning())
            return;
        longPressed_ = true;
        longTap(Gesture::Began, drag_.pressAt());
    });
    wheelTimer_.setSingleShot(true);
    wheelTimer_.setInterval(kWheelPinchEndMs);
    connect(&wheelTimer_, &QTimer::timeout, this, [this] {
        wheelPinching_ = false;
        pinch(Gesture::Ended, {}, {}, wheelAt_);
    });
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);

    zoom(calc.graphBounds);
    drawQuality = 0;
    calc.scaleTracking = false;
}

GraphView::~GraphView()
{
    vTimer_.stop();
    frameStart_.reset();
    calc.locked()->graphFitModel = -1;
}

// ---- Window and transform ----

Calculator::Bounds GraphView::graphBounds() const
{
    const double w = width(), h = height();
    return {(0 - t_.tx) / t_.a, (w - t_.tx) / t_.a, (h - t_.ty) / t_.d, (0 - t_.ty) / t_.d};
}

void GraphView::updateWindowVars()
{
    const Calculator::Bounds b = graphBounds();
    const auto store = [this](int slot, double value) { calc.setVar(slot, {{value, 0.0}}); };
    store(kSlotXmin, b.xMin);
    store(kSlotXmax, b.xMax);
    store(kSlotYmin, b.yMin);
    store(kSlotYmax, b.yMax);
    store(kSlotDeltaX, (b.xMax - b.xMin) / width());
    store(kSlotDeltaY, (b.yMax - b.yMin) / height());
    store(kSlotScrWidth, width());
    store(kSlotScrHeight, height());
    calc.t = t_;
    if (delegate)
        delegate->windowChanged();
}

void GraphView::zoom(const Calculator::Bounds& window)
{
    double x1 = window.xMin, x2 = window.xMax, y1 = window.yMin, y2 = window.yMax;
    if (!std::isfinite(x1) || !std::isfinite(x2)) {
        x1 = -1;
        x2 = 1;
    }
    if (!std::isfinite(y1) || !std::isfinite(y2)) {
        y1 = -1;
        y2 = 1;
    }
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const auto span = [](double s) { return std::fabs(s) < 1e-99 ? 1.0 : s; };
    const double a = width() / span(x2 - x1);
    const double d = -height() / span(y2 - y1);
    t_ = {a, 0, 0, d, -x1 * a, -y2 * d};
    setScaleSx(a, d);
    layoutTiles();
    redrawOverlay();
}

void GraphView::setScaleSx(double sx, double sy)
{
    if (!std::isfinite(sx))
        sx = 1;
    if (!std::isfinite(sy))
        sy = -1;
    // The graph's y always grows upwards: the signs are forced, not only the magnitudes.
    const auto clamp = [](double s) { return std::clamp(std::fabs(s), 1e-9, 1e9); };
    t_.a = clamp(sx);
    t_.d = -clamp(sy);
}

Calculator::Bounds GraphView::windowFromTransform() const
{
    const double xMin = -t_.tx / t_.a, yMax = -t_.ty / t_.d;
    return {xMin, xMin + width() / t_.a, yMax + height() / t_.d, yMax};
}

// ---- Tiles ----

void GraphView::layoutTiles()
{
    calc.startDrawing();
    tileWidth_ = std::floor(width() / 2.0);
    tileHeight_ = std::floor(height() / 2.0);
    // A quarter view of margin, on whole points: tiles of an odd size from a half point
    // would leave the line where two of them meet unpainted.
    const double left = -std::floor(tileWidth_ / 2), top = -std::floor(tileHeight_ / 2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            GraphTile& tile = *tiles_[std::size_t(i * 3 + j)];
            const QRectF frame(left + i * tileWidth_, top + j * tileHeight_, tileWidth_, tileHeight_);
            tile.setBounds(frame);
            tile.position = frame.center();
            tile.t = t_;
            tile.index = i * 3 + j;
            tile.rasterizationScale = devicePixelRatioF();
            tile.hidden = false;
            tile.dirty = true;
        }
    tileLayer_->update();
}

void GraphView::panTilesDX(double dx, double dy)
{
    calc.startDrawing();
    if (std::isnan(dx) || std::isnan(dy) || (dx == 0 && dy == 0))
        return;
    // A tile wraps once per move; a jump of a tile or more is laid out afresh instead.
    if (std::fabs(dx) >= tileWidth_ || std::fabs(dy) >= tileHeight_) {
        layoutTiles();
        return;
    }
    const auto wrap = [](double& at, double size) {
        if (at >= 2.5 * size) {
            at -= 3 * size;
            return -3 * size;
        }
        if (at < -0.5 * size) {
            at += 3 * size;
            return 3 * size;
        }
        return 0.0;
    };
    for (auto& tile : tiles_) {
        double x = tile->position.x() + dx, y = tile->position.y() + dy;
        const double shiftX = wrap(x, tileWidth_), shiftY = wrap(y, tileHeight_);
        if (shiftX != 0 || shiftY != 0)
            tile->setBounds(tile->bounds().translated(shiftX, shiftY));
        tile->position = QPointF(x, y);
    }
    tileLayer_->update();
}

void GraphView::pan2Dx(double dx, double dy)
{
    t_.tx += dx;
    t_.ty += dy;
    panTilesDX(dx, dy);
    redrawOverlay();
}

void GraphView::displayTiles()
{
    for (auto& tile : tiles_)
        if (tile->dirty)
            tile->displayLayer();
}

void GraphView::redrawAll()
{
    photoPlot_->setVisible(calc.backgroundImage != nullptr);
    photoPlot_->update();
    for (auto& tile : tiles_)
        tile->dirty = true;
    tileLayer_->update();
    redrawOverlay();
    pixelPlot_->setVisible(calc.pixelsVisible);
    if (calc.pixelsVisible)
        pixelPlot_->setNeedsDisplay();
}

void GraphView::redrawOverlay()
{
    if (graphTextView)
        graphTextView->update();
}

// ---- Plot list ----

void GraphView::updateDisplay()
{
    const auto var = [this](int slot) { return calc.getVar(slot).value.real(); };
    zoom({var(kSlotXmin), var(kSlotXmax), var(kSlotYmin), var(kSlotYmax)});
    updateControls();
    // Compared only: the object is freed with the old list.
    const PlotObject* wasSelected = selectedPlotObj();
    updatingObjects = true;
    plotObjects_.clear();
    {
        // The modes, the equations and the drawing list are what a program changes.
        const auto hold = calc.lockState();
        calc.state().graphFitModel = -1;
        if (calc.state().graphDisplayMode == kSolverDisplayMode) {
            addSolverPlot();
        } else {
            addEquationPlots();
            if (StatPlotSource* stats = statPlotSource(calc))
                stats->addStatPlots(plotObjects_);
            addDrawingPlots();
        }
    }
    updatingObjects = false;
    // The plot traced before is traced again as it is now: its equation, the variables it
    // reads or its data may have changed meanwhile.
    retrace();
    // The panels that showed the selected plot take its new object (or none): the one they
    // held is gone.
    if (wasSelected && delegate)
        delegate->selectPlot(selectedPlotObj(), calc.pTrackPoint);
    layoutTiles();
    redrawOverlay();
    // A picture put behind the graph while it was away shows when it comes back.
    photoPlot_->setVisible(calc.backgroundImage != nullptr);
    photoPlot_->update();
    pixelPlot_->setVisible(calc.pixelsVisible);
    if (calc.pixelsVisible)
        pixelPlot_->setNeedsDisplay();
}

void GraphView::addSolverPlot()
{
    auto plot = std::make_shared<PlotFn>(calc);
    plot->fn = calc.yEqManager ? calc.yEqManager->rpnForFunction(kSolverEquation) : nullptr;
    plot->eqNum = kSolverEquation;
    plot->varNum = calc.yEqManager ? calc.yEqManager->solverVar() : kSlotX;
    plot->color = VQColor::colorR(0, 1, 0, 1);
    plot->style = 2;
    plot->lineWidth = 2;
    plot->setSelected(true);
    plotObjects_.push_back(plot);
    // The trace starts on the solver's variable as it stands.
    const double v = calc.getVar(plot->varNum).value.real();
    const double y = plot->YAtT(v);
    calc.pTrackPoint = {v, y, v};
    calc.pTrackSlope = plot->slopeAtT(v);
    calc.lockMagnifier = true;
    calc.setFeatureLock(std::fabs(y) < 1e-10 ? PlotObject::FeatureZero : PlotObject::FeatureNone);
}

std::shared_ptr<PlotObject> GraphView::makeEquationPlot(int functionType, int token)
{
    switch (functionType) {
    case kFunctionType: {
        auto plot = std::make_shared<PlotFn>(calc);
        plot->fn = calc.yEqManager ? calc.yEqManager->rpnForFunction(token) : nullptr;
        return plot;
    }
    case kParametricType:
        return std::make_shared<PlotParametric>(calc);
    case kPolarType:
        return std::make_shared<PlotPolar>(calc);
    case kSequenceType: {
        auto plot = std::make_shared<PlotSequence>(calc);
        plot->setSequenceType(calc.locked()->graphSequenceFormat);
        return plot;
    }
    default:
        return nullptr;
    }
}

void GraphView::addEquationPlots()
{
    // By graph mode: the first token, how many, the token step and the plot variable.
    struct Walk {
        int first, count, step, varNum;
    };
    static constexpr Walk kWalks[] = {
        {0x5E10, 10, 1, kSlotX}, {0x5E20, 6, 2, 19}, {0x5E40, 6, 1, 26}, {0x5E80, 3, 1, 27}, {0x5EA0, 10, 1, 0},
    };
    const int mode = calc.graphMode();
    if (mode < 0 || mode >= int(std::size(kWalks)))
        return;
    YEqModel* model = YEqModel::of(calc);
    const Walk walk = kWalks[mode];
    const int format = calc.locked()->graphSequenceFormat;
    if (mode == kSequenceGraphMode && format >= 2 && format <= 4) {
        // The pairs u-v, v-w and u-w make one plot.
        if (auto plot = makeEquationPlot(kSequenceType, walk.first)) {
            plot->color = model ? model->colorForFunction(walk.first).value_or(VQColor()) : VQColor();
            plot->style = model ? model->styleForFunction(walk.first) : 2;
            plot->eqNum = walk.first;
            plot->varNum = walk.varNum;
            plot->setSelected(calc.lockFunction == walk.first);
            plotObjects_.push_back(std::move(plot));
        }
        return;
    }
    for (int k = 0; k < walk.count; ++k) {
        const int token = walk.first + k * walk.step;
        const int type = YEqModel::functionType(token);
        if (type == kImplicitType) {
            // A relation compiles as a relation and takes its own settings.
            if (auto plot = PlotImplicit::forEquation(calc, token, this))
                plotObjects_.push_back(std::move(plot));
            continue;
        }
        if (!sampler_.shouldPlotFunction(token))
            continue;
        auto plot = makeEquationPlot(type, token);
        if (!plot)
            continue;
        if (model) {
            plot->varInfoArray = model->varInforForFunction(token).value_or(std::vector<YEqVarInfo>());
            plot->color = model->colorForFunction(token).value_or(VQColor());
            plot->style = model->styleForFunction(token);
            // Sliders may have moved the shaded integral's function since it was computed.
            auto limits = model->integrationLimitsForFunction(token);
            if (type == kFunctionType && !plot->varInfoArray.empty() && limits && limits->lower != limits->upper) {
                limits->dirty = true;
                model->setIntegrationLimits(token, *limits);
            }
        } else {
            plot->style = 2;
        }
        if (type != kSequenceType)
            plot->lineWidth = (plot->style & 2) != 0 ? 2 : 4;
        plot->eqNum = token;
        plot->varNum = walk.varNum;
        plot->setSelected(calc.lockFunction == token);
        const VQColor color = plot->color;
        plotObjects_.push_back(std::move(plot));
        if (type == kSequenceType && format == 1)
            addWebPlots(token, color);
    }
}

void GraphView::addWebPlots(int token, const VQColor& color)
{
    YEqModel* model = YEqModel::of(calc);
    const auto helper = [&](std::shared_ptr<VQStack> fn, PlotObject::Ops expression) {
        auto plot = std::make_shared<PlotFn>(calc);
        plot->fn = std::move(fn);
        plot->expression = std::move(expression);
        plot->color = color;
        plot->eqNum = -1;
        plot->varNum = kSlotX;
        plot->style = 2;
        plot->lineWidth = 2;
        plotObjects_.push_back(std::move(plot));
    };
    // y = X, then the web's path.
    auto line = std::make_shared<VQStack>(&calc);
    line->pushVar(kXToken, 0);
    helper(std::move(line), {kXToken});
    if (model)
        helper(model->webTraceRPNForFunction(token), model->webTraceForFunction(token).value_or(PlotObject::Ops()));
}

void GraphView::addDrawingPlots()
{
    // Texts are drawn by the overlay, over every tile.
    DrawingPlots::addPlots(calc, plotObjects_, false);
}

void GraphView::setFitModel(int model)
{
    calc.locked()->graphFitModel = model;
    if (StatPlotSource* stats = statPlotSource(calc)) {
        const auto hold = calc.lockState();
        stats->chooseRegression(plotObjects_, model);
    }
    redrawAll();
}

PlotObject* GraphView::selectedPlotObj() const
{
    for (const auto& plot : plotObjects_)
        if (plot && plot->selected())
            return plot.get();
    return nullptr;
}

void GraphView::lockToPoint(const QPointF& at)
{
    calc.lockMagnifier = false;
    photoPlot_->selected = false;
    calc.lockFunction = -1;
    calc.lockStatPlot = -1;
    calc.setFeatureLock(PlotObject::FeatureNone);
    const double gx = (at.x() - t_.tx) / t_.a, gy = (at.y() - t_.ty) / t_.d;
    PlotObject* hit = nullptr;
    bool changed = false;
    for (const auto& plot : plotObjects_) {
        if (!plot)
            continue;
        PlotPoint pt{gx, gy, gx};
        if (hit || !plot->hitPoint(pt, t_, kTapTolerance)) {
            changed |= plot->selected();
            plot->setSelected(false);
            continue;
        }
        hit = plot.get();
        changed |= !plot->selected();
        plot->setSelected(true);
        const int type = plot->plotType;
        const double range = kSnapPoints / t_.a;
        switch (type) {
        case PlotObject::PlotFunction: case PlotObject::PlotDistribution: case PlotObject::PlotRegression:
        case PlotObject::PlotLine: case PlotObject::PlotFn:
            pt = plot->PtAtT(pt.x, range, plotObjects_);
            break;
        case PlotObject::PlotParametric: case PlotObject::PlotCircle:
            pt = plot->PtAtT(pt.t, range, plotObjects_);
            break;
        case PlotObject::PlotImplicit:
            pt = plot->PtAtPt(pt, QSizeF(range, std::fabs(kSnapPoints / t_.d)), plotObjects_);
            break;
        default:
            break;
        }
        if (isStatPlot(type))
            calc.lockStatPlot = plot->eqNum;
        else
            calc.lockFunction = plot->eqNum;
        calc.pTrackPoint = pt;
        calc.pTrackSlope = type == PlotObject::PlotImplicit ? plot->slopeAtPoint(pt) : plot->slopeAtT(pt.t);
        calc.lockMagnifier = true;
        tracePoint = pt;
    }
    if (changed)
        redrawAll();
    updateWindowVars();
    if (delegate)
        delegate->selectPlot(hit, tracePoint);
}

double GraphView::slopeOf(PlotObject& plot, const PlotPoint& at)
{
    return plot.plotType == PlotObject::PlotImplicit ? plot.slopeAtPoint(at) : plot.slopeAtT(at.t);
}

void GraphView::lockTraceAt(PlotObject& plot, const PlotPoint& at)
{
    calc.pTrackPoint = at;
    calc.pTrackSlope = slopeOf(plot, at);
    calc.lockMagnifier = true;
    redrawOverlay();
}

void GraphView::selectEqNum(int token, double value)
{
    PlotObject* found = nullptr;
    bool changed = false;
    for (const auto& plot : plotObjects_) {
        if (!plot)
            continue;
        const int type = plot->plotType;
        const bool atX = type == PlotObject::PlotFunction || type == PlotObject::PlotSequence || type == PlotObject::PlotFn;
        const bool atT = type == PlotObject::PlotPolar || type == PlotObject::PlotParametric;
        if (found || plot->eqNum != token || !(atX || atT)) {
            changed |= plot->selected();
            plot->setSelected(false);
            continue;
        }
        found = plot.get();
        const double x = atT ? plot->XAtT(value) : value;
        const PlotPoint at{x, plot->YAtT(value), value};
        calc.setFeatureLock(PlotObject::FeatureNone);
        calc.lockFunction = token;
        calc.pTrackPoint = at;
        calc.pTrackSlope = slopeOf(*plot, at);
        calc.lockMagnifier = true;
        tracePoint = at;
        changed |= !plot->selected();
        plot->setSelected(true);
    }
    // The window follows the traced point, not the parameter (a T or θ is no x).
    const Calculator::Bounds b = graphBounds();
    const double x = tracePoint.x, width = b.xMax - b.xMin;
    if (found && x < b.xMin)
        zoom({x, x + width, b.yMin, b.yMax});
    else if (found && x > b.xMax)
        zoom({x - width, x, b.yMin, b.yMax});
    else if (changed)
        redrawAll();
    else
        redrawOverlay();
    if (delegate)
        delegate->selectPlot(found, tracePoint);
}

double GraphView::lastTraceIndex(const PlotObject& plot) const
{
    const auto hold = calc.lockState();
    if (!calc.statGraphManager)
        return -1;
    if (plot.plotType == PlotObject::PlotHistogram)
        return calc.statGraphManager->numBars(plot.eqNum) - 1;
    const auto info = calc.statGraphManager->statInfo();
    const auto n = static_cast<std::size_t>(plot.eqNum);
    return n < info.size() && info[n] ? info[n]->n - 1 : -1;
}

void GraphView::trace(double value, double err)
{
    PlotObject* plot = selectedPlotObj();
    if (!plot) {
        calc.trackValue = value;
        return;
    }
    const PlotPoint at = pointAtValue(*plot, value, err);
    // The web is drawn as far as the trace has walked it.
    if (plot->plotType == PlotObject::PlotSequence)
        redrawAll();
    lockTraceAt(*plot, at);
    calc.trackValue = value;
    tracedByValue_ = at;
}

PlotPoint GraphView::pointAtValue(PlotObject& plot, double value, double err)
{
    switch (plot.plotType) {
    case PlotObject::PlotFunction: case PlotObject::PlotScatter: case PlotObject::PlotXYLine:
    case PlotObject::PlotDistribution: case PlotObject::PlotRegression: case PlotObject::PlotLine:
    case PlotObject::PlotFn: case PlotObject::PlotHistogram: case PlotObject::PlotSequence:
        return plot.PtAtT(value, err / t_.a, plotObjects_);
    // A curve traced by its parameter stands at the value asked for: a zero or turning
    // point within the tolerance's span of T (wide where the curve is short) would hold
    // the trace there step after step. A tap or a drag still snaps.
    case PlotObject::PlotParametric: case PlotObject::PlotPolar: case PlotObject::PlotNormProb:
        calc.setFeatureLock(PlotObject::FeatureNone);
        return {plot.XAtT(value), plot.YAtT(value), value};
    default:
        // Plots that cannot be traced by a value keep the trace where it is.
        return calc.pTrackPoint;
    }
}

double GraphView::traceFrom() const
{
    const PlotPoint& at = calc.pTrackPoint;
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    const bool stillThere = same(at.x, tracedByValue_.x) && same(at.y, tracedByValue_.y) && same(at.t, tracedByValue_.t);
    return stillThere ? calc.trackValue : at.t;
}

void GraphView::trackTo(const QPointF& to)
{
    PlotObject* plot = selectedPlotObj();
    if (!plot)
        return;
    const double x = (to.x() - t_.tx) / t_.a, y = (to.y() - t_.ty) / t_.d;
    const double range = kSnapPoints / t_.a;
    PlotPoint at{x, 0, x};
    switch (plot->plotType) {
    case PlotObject::PlotFunction: case PlotObject::PlotRegression: case PlotObject::PlotLine: case PlotObject::PlotFn:
        at = plot->PtAtT(x, range, plotObjects_);
        break;
    case PlotObject::PlotDistribution:
        at = plot->PtAtT(x, range, plotObjects_);
        redrawAll();
        break;
    case PlotObject::PlotParametric: case PlotObject::PlotCircle: {
        PlotPoint hit{x, y, x};
        plot->hitPoint(hit, t_, kTapTolerance);
        at = plot->PtAtT(hit.t, range, plotObjects_);
        break;
    }
    case PlotObject::PlotPolar: case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotHistogram:
    case PlotObject::PlotBox: case PlotObject::PlotModBox: case PlotObject::PlotNormProb: case PlotObject::PlotInvFn:
    case PlotObject::PlotShadeFn: case PlotObject::PlotPolyline:
        calc.setFeatureLock(PlotObject::FeatureNone);
        at = {x, y, x};
        plot->hitPoint(at, t_, kTapTolerance);
        break;
    case PlotObject::PlotImplicit:
        at = plot->PtAtPt({x, y, x}, QSizeF(2 * range, std::fabs(2 * kSnapPoints / t_.d)), plotObjects_);
        break;
    default:
        break;
    }
    lockTraceAt(*plot, at);
    if (delegate)
        delegate->trackObj(plot, at);
}

void GraphView::valueChanged()
{
    PlotObject* selected = selectedPlotObj();
    for (const auto& plot : plotObjects_) {
        if (!plot || plot.get() == selected)
            continue;
        switch (plot->plotType) {
        case PlotObject::PlotPolar: case PlotObject::PlotParametric: case PlotObject::PlotSequence: case PlotObject::PlotFn:
            plot->recompute();
            break;
        default:
            break;
        }
    }
    if (selected) {
        selected->recompute();
        followTrace(*selected);
        YEqModel* model = YEqModel::of(calc);
        auto limits = model ? model->integrationLimitsForFunction(selected->eqNum) : std::nullopt;
        if (limits && limits->upper != limits->lower && limits->dirty) {
            int error = 0;
            limits->area = selected->integrateLower(limits->lower, limits->upper, limits->tol, error);
            limits->dirty = false;
            model->setIntegrationLimits(selected->eqNum, *limits);
        }
    }
    redrawAll();
}

void GraphView::followTrace(PlotObject& selected)
{
    const double range = kSnapPoints / t_.a;
    const double t = calc.pTrackPoint.t;
    // Plots without a parameter to follow keep the trace where it is.
    PlotPoint at = calc.pTrackPoint;
    switch (selected.plotType) {
    case PlotObject::PlotFunction: case PlotObject::PlotSequence:
    case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotHistogram:
    case PlotObject::PlotRegression: case PlotObject::PlotLine: case PlotObject::PlotFn:
        at = selected.PtAtT(t, range, plotObjects_);
        break;
    // A curve traced by its parameter stays at its T, as a trace by a value does: a zero
    // within the snap's span of T would take a value typed near it.
    case PlotObject::PlotParametric: case PlotObject::PlotPolar: case PlotObject::PlotNormProb:
        at = {selected.XAtT(t), selected.YAtT(t), t};
        break;
    case PlotObject::PlotDistribution:
        at = {t, selected.YAtT(t), t};
        break;
    case PlotObject::PlotImplicit:
        at = selected.PtAtPt(at, QSizeF(range, std::fabs(kSnapPoints / t_.d)), plotObjects_);
        at.t = t;
        break;
    default:
        break;
    }
    calc.pTrackPoint = at;
    calc.pTrackSlope = slopeOf(selected, at);
    tracePoint = at;
}

std::optional<double> GraphView::traceParameter(PlotObject& plot, double t)
{
    const auto within = [t](double lo, double hi) {
        if (hi < lo)
            std::swap(lo, hi);
        return std::isnan(t) ? lo : std::clamp(t, lo, hi);
    };
    const auto var = [this](int slot) { return calc.getVar(slot).value.real(); };
    switch (plot.plotType) {
    case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotNormProb:
    case PlotObject::PlotHistogram: {
        // From data point to data point (bar to bar): a list that shrank leaves its last.
        const double last = lastTraceIndex(plot);
        if (last < 0)
            return std::nullopt;
        return std::round(within(0, last));
    }
    case PlotObject::PlotBox: case PlotObject::PlotModBox:
        // Traced by the value it stands on.
        return lastTraceIndex(plot) < 0 ? std::nullopt : std::optional(t);
    case PlotObject::PlotParametric:
        return within(var(kSlotTmin), var(kSlotTmax));
    case PlotObject::PlotPolar:
        return within(var(kSlotThetaMin), var(kSlotThetaMax));
    default:
        break;
    }
    if (auto* sequence = dynamic_cast<PlotSequence*>(&plot)) {
        const auto terms = sequence->termSpan();
        if (!terms)
            return std::nullopt;
        return within(terms->first, terms->second);
    }
    return t;
}

void GraphView::retrace()
{
    if (!calc.lockMagnifier || calc.locked()->graphDisplayMode == kSolverDisplayMode)
        return;
    PlotObject* plot = selectedPlotObj();
    const PlotPoint was = calc.pTrackPoint;
    const int type = plot ? plot->plotType : PlotObject::PlotNone;
    const bool box = type == PlotObject::PlotBox || type == PlotObject::PlotModBox;
    const std::optional<double> t = plot ? traceParameter(*plot, box ? was.x : was.t) : std::nullopt;
    if (!t) {
        // The plot traced is gone, or has nothing left to trace.
        if (plot)
            plot->setSelected(false);
        calc.lockFunction = -1;
        calc.lockStatPlot = -1;
        calc.lockMagnifier = false;
        calc.setFeatureLock(PlotObject::FeatureNone);
        return;
    }
    // Where the plot still passes through the point at its parameter (a zero within
    // rounding too), the trace and the feature it snapped to stand.
    const auto same = [](double a, double b) {
        return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) <= 1e-10 * std::max(1.0, std::fabs(b));
    };
    PlotPoint at = was;
    switch (type) {
    case PlotObject::PlotFn: case PlotObject::PlotFunction: case PlotObject::PlotParametric: case PlotObject::PlotPolar:
    case PlotObject::PlotSequence: case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotNormProb:
        if (*t == was.t && same(plot->XAtT(*t), was.x) && same(plot->YAtT(*t), was.y))
            return;
        at = pointAtValue(*plot, *t, kTraceStepPoints);
        break;
    case PlotObject::PlotHistogram:
        at = pointAtValue(*plot, *t, kTraceStepPoints);
        break;
    case PlotObject::PlotBox: case PlotObject::PlotModBox:
        // The box's value nearest the one traced, on its line as the window now places it.
        at = {*t, 0, was.t};
        plot->hitPoint(at, t_, 0);
        calc.setFeatureLock(PlotObject::FeatureNone);
        break;
    default:
        // Drawings keep their points; distributions, regressions and relations are traced
        // again by the slider that changes them.
        return;
    }
    calc.pTrackPoint = at;
    calc.pTrackSlope = slopeOf(*plot, at);
    calc.trackValue = *t;
    tracePoint = at;
    tracedByValue_ = at;
}

void GraphView::done()
{
    updateWindowVars();
    if (calc.lockMagnifier) {
        const PlotPoint& at = calc.pTrackPoint;
        if (calc.locked()->graphDisplayMode == kSolverDisplayMode)
            calc.setVar(calc.yEqManager ? calc.yEqManager->solverVar() : kSlotX, {{at.x, 0.0}});
        else
            calc.saveX(at.x, at.y);
    }
    calc.locked()->graphDisplayMode = 0;
    calc.lockMagnifier = false;
    photoPlot_->selected = false;
    calc.locked()->graphFitModel = -1;
    plotObjects_.clear();
    enableGestureRecognizers(true);
}

// ---- Zooms ----

void GraphView::zoomOp(int token)
{
    if (isClearingZoom(token)) {
        calc.drawing.clear();
        calc.pixelScreenClr();
        calc.graphPointsClear();
        calc.pixelsVisible = false;
        calc.backgroundImage.reset();
    }
    updateDisplay();
    if (token != kZoomSto && calc.statGraphManager && !std::isfinite(calc.statGraphManager->histogramXOrigin())) {
        calc.statGraphManager->setHistogramXOrigin(calc.getVar(kSlotXmin).value.real());
        calc.statGraphManager->setHistogramBarOffset(0);
    }
    const Calculator::Bounds before = windowFromTransform();
    switch (token) {
    case kZStandard:
        calc.locked()->graphXAxisLabelMode = 0;
        zoom({-10, 10, -10, 10});
        break;
    case kZTrig: {
        const bool degrees = calc.angleFormat() == 0;
        const double x = degrees ? 360 : 2 * std::numbers::pi;
        if (calc.angleFormat() == 1)
            calc.locked()->graphXAxisLabelMode = 1;
        zoom({-x, x, -4, 4});
        break;
    }
    case kZSquare:
        t_.a = -t_.d;
        break;
    case kZInteger:
        calc.locked()->graphXAxisLabelMode = 0;
        t_.a = 1;
        t_.d = -1;
        break;
    case kZDecimal:
        calc.locked()->graphXAxisLabelMode = 0;
        t_.a = 10;
        t_.d = -10;
        break;
    case kZPrevious:
        calc.locked()->graphXAxisLabelMode = calc.prevXAxisMode;
        zoom(calc.prevBounds);
        break;
    case kZoomRcl:
        calc.locked()->graphXAxisLabelMode = calc.saveXAxisMode;
        zoom(calc.saveBounds);
        break;
    case kZoomSto:
        calc.saveBounds = before;
        calc.saveXAxisMode = calc.locked()->graphXAxisLabelMode;
        break;
    case kZoomStat:
        zoomStat();
        break;
    case kZoomFit:
        zoomFit();
        break;
    default:
        redrawAll();
        updateWindowVars();
        return;
    }
    calc.prevBounds = before;
    calc.prevXAxisMode = calc.locked()->graphXAxisLabelMode;
    calc.graphBounds = windowFromTransform();
    zoom(calc.graphBounds);
    updateWindowVars();
    // A histogram's bins start at the window's Xmin: a zoom that moved it moves them with
    // it (ZoomStat chose its own origin), or the data left of the old origin would fall
    // into no bin.
    if (token != kZoomStat && calc.statGraphManager && calc.graphBounds.xMin != before.xMin) {
        calc.statGraphManager->setHistogramXOrigin(calc.getVar(kSlotXmin).value.real());
        calc.statGraphManager->setHistogramBarOffset(0);
    }
    // The bins and the boxes' lines stand where the new window puts them.
    retrace();
}

void GraphView::zoomStat()
{
    calc.locked()->graphXAxisLabelMode = 0;
    Calculator::Bounds data{kInf, -kInf, kInf, -kInf};
    bool haveData = false;
    double boxMin = kInf, boxMax = -kInf;
    int boxes = 0;
    std::vector<HistogramZoom*> histograms;
    double barWidth = 0;
    for (const auto& plot : plotObjects_) {
        if (!plot)
            continue;
        switch (plot->plotType) {
        case PlotObject::PlotHistogram:
            if (auto* histogram = dynamic_cast<HistogramZoom*>(plot.get())) {
                histograms.push_back(histogram);
                barWidth = std::max(barWidth, histogram->tiBarWidth());
            }
            [[fallthrough]];
        case PlotObject::PlotScatter: case PlotObject::PlotXYLine: case PlotObject::PlotNormProb:
            merge(data, plot->statBounds(t_));
            haveData = true;
            break;
        case PlotObject::PlotBox: case PlotObject::PlotModBox: {
            const Calculator::Bounds b = plot->statBounds(t_);
            boxMin = std::min(boxMin, b.xMin);
            boxMax = std::max(boxMax, b.xMax);
            ++boxes;
            break;
        }
        default:
            break;
        }
    }
    if (!haveData && boxes == 0)
        return;
    if (!histograms.empty()) {
        if (calc.statGraphManager) {
            calc.statGraphManager->setHistogramBarOffset(0);
            calc.statGraphManager->setHistogramXOrigin(data.xMin);
        }
        const double range = data.xMax - data.xMin;
        if (range / barWidth > 47)
            barWidth = range / 47;
        // A single value (range 0) or a width that is no width still makes bins.
        if (!(barWidth > 0) || !std::isfinite(barWidth))
            barWidth = 1;
        calc.setVar(kSlotXscl, {{barWidth, 0.0}});
        for (HistogramZoom* histogram : histograms)
            merge(data, histogram->statBounds(t_, data.xMin, barWidth));
    }
    Calculator::Bounds w = data;
    if (boxes > 0 && !haveData) {
        w = {boxMin, boxMax, -1, 10};
    } else if (boxes > 0) {
        w.xMin = std::min(data.xMin, boxMin);
        w.xMax = std::max(data.xMax, boxMax);
        const double h = height() / 1.5;
        // The boxes take 30 points each below the data; a view too small for them shares
        // its height between the data and the boxes instead of dividing by nothing.
        const auto room = [h](double k) {
            const double left = h - 30 * k;
            return left > 0 ? left : std::max(h, 30.0) / (k + 1);
        };
        if (!histograms.empty()) {
            const double k = boxes + 0.5;
            w.yMin = std::min(data.yMin, -k * 30 * (data.yMax - data.yMin) / room(k));
            w.yMax = data.yMax;
        } else {
            const double base = std::min(0.0, data.yMin);
            w.yMin = base;
            w.yMax = std::max(data.yMax, boxes * 30 * (0 - base) / room(boxes));
        }
    }
    const double ySixth = (w.yMax - w.yMin) / 6;
    w.yMin -= ySixth;
    w.yMax += ySixth;
    const double xMargin = histograms.empty() ? (w.xMax - w.xMin) / 6 : barWidth;
    w.xMin -= xMargin;
    w.xMax += xMargin;
    zoom(w);
}

void GraphView::zoomFit()
{
    // Box plots stand a number of points off the axis: they give only their x range, and
    // the y range stays as it is when nothing else gives one.
    const Calculator::Bounds shown = graphBounds();
    Calculator::Bounds fit{kInf, -kInf, kInf, -kInf};
    const auto take = [&](const Calculator::Rect& b, bool withY) {
        fit.xMin = std::min(fit.xMin, b.x);
        fit.xMax = std::max(fit.xMax, b.x + b.width);
        if (withY) {
            fit.yMin = std::min(fit.yMin, b.y);
            fit.yMax = std::max(fit.yMax, b.y + b.height);
        }
    };
    for (const auto& plot : plotObjects_) {
        if (!plot)
            continue;
        const Calculator::Rect b = plot->boundsInRect(QRectF(rect()), t_);
        const bool box = plot->plotType == PlotObject::PlotBox || plot->plotType == PlotObject::PlotModBox;
        if (plot->selected()) {
            fit = {kInf, -kInf, kInf, -kInf};
            take(b, !box);
            break;
        }
        take(b, !box);
    }
    if (fit.yMin > fit.yMax) {
        fit.yMin = shown.yMin;
        fit.yMax = shown.yMax;
    }
    const auto sane = [](double perPoint) { return perPoint > 1e-10 && perPoint < 1e10; };
    if (sane((fit.yMax - fit.yMin) / height()) && sane((fit.xMax - fit.xMin) / width()))
        zoom(fit);
}

void GraphView::plus(double factor, int direction)
{
    scaleBy(factor, direction);
}

void GraphView::minus(double factor, int direction)
{
    scaleBy(1 / factor, direction);
}

void GraphView::scaleBy(double factor, int direction)
{
    PlotPoint centre;
    if (calc.lockMagnifier) {
        centre = calc.pTrackPoint;
    } else {
        const Calculator::Bounds b = graphBounds();
        centre = {(b.xMin + b.xMax) / 2, (b.yMin + b.yMax) / 2, 0};
    }
    setScaleSx(direction == 2 ? t_.a : t_.a * factor, direction == 1 ? t_.d : t_.d * factor);
    // A trace at no point (a search that found none) leaves that axis where it is, so the
    // window stays a window.
    if (std::isfinite(centre.x))
        t_.tx = width() / 2.0 - centre.x * t_.a;
    if (std::isfinite(centre.y))
        t_.ty = height() / 2.0 - centre.y * t_.d;
    // A box plot's line keeps its distance from the axis in points.
    retrace();
    updateWindowVars();
    layoutTiles();
    redrawOverlay();
}

void GraphView::rotate()
{
    calc.setVar(kSlotScrHeight, {{double(height()), 0.0}});
    calc.setVar(kSlotScrWidth, {{double(width()), 0.0}});
    layoutTiles();
}

QImage GraphView::image()
{
    return grab().toImage();
}

void GraphView::enableGestureRecognizers(bool enabled)
{
    gesturesEnabled_ = enabled;
    if (!enabled)
        longPressTimer_.stop();
}

void GraphView::startTrackingVar()
{
    enableGestureRecognizers(false);
    calc.trackingVar = true;
    if (auto* text = qobject_cast<GraphText*>(graphTextView))
        text->draggingVariable = true;
}

void GraphView::stopTrackingVar()
{
    enableGestureRecognizers(true);
    calc.trackingVar = false;
    if (auto* text = qobject_cast<GraphText*>(graphTextView))
        text->draggingVariable = false;
    redrawOverlay();
}

// ---- Gestures ----

void GraphView::stopCoasting()
{
    vTimer_.stop();
}

void GraphView::touchesBegan()
{
    stopCoasting();
}

void GraphView::endMoving()
{
    drawQuality = 0;
    calc.scaleTracking = false;
    retrace();
    redrawAll();
}

void GraphView::pan(Gesture state, const QPointF& translation, const QPointF& velocity)
{
    if (!gesturesEnabled_)
        return;
    const bool ending = state == Gesture::Ended || state == Gesture::Cancelled;
    if (state == Gesture::Began) {
        stopCoasting();
        if (drawQuality != 0) {
            drawQuality = 0;
            redrawAll();
        }
    }
    if (photoPlot_->selected) {
        if (state == Gesture::Began) {
            drawQuality = 1;
            photoBaseOrigin_ = QPointF(calc.backgroundFrame.x, calc.backgroundFrame.y);
            singleTapEnabled_ = false;
        } else if (state == Gesture::Changed) {
            calc.backgroundFrame.x = photoBaseOrigin_.x() + translation.x();
            calc.backgroundFrame.y = photoBaseOrigin_.y() + translation.y();
            photoPlot_->update();
        } else {
            singleTapEnabled_ = true;
        }
        return;
    }
    if (calc.lockMagnifier) {
        // The trace is dragged along the selected plot.
        if (state == Gesture::Began) {
            drawQuality = 2;
            singleTapEnabled_ = false;
        }
        if (!ending) {
            trackTo(drag_.pressAt() + translation);
        } else {
            if (drawQuality != 0) {
                drawQuality = 0;
                redrawAll();
            }
            calc.scaleTracking = false;
            singleTapEnabled_ = true;
        }
        return;
    }
    if (state == Gesture::Began) {
        drawQuality = 1;
        basePoint_ = QPointF(t_.tx, t_.ty);
        return;
    }
    if (state == Gesture::Changed) {
        const QPointF to = basePoint_ + translation;
        const double dx = to.x() - t_.tx, dy = to.y() - t_.ty;
        if (dx != 0 || dy != 0) {
            t_.tx = to.x();
            t_.ty = to.y();
            panTilesDX(dx, dy);
            redrawOverlay();
        }
        return;
    }
    velocity_ = velocity / 30;
    if (std::fabs(velocity_.x()) + std::fabs(velocity_.y()) <= kCoastThreshold) {
        endMoving();
        return;
    }
    coastT_ = QPointF(t_.tx, t_.ty);
    frameStart_ = SteadyClock::now();
    vTimer_.start();
}

void GraphView::coast()
{
    const bool implicit = [this] {
        const auto hold = calc.lockState();
        return calc.graphMode() == kImplicitGraphMode;
    }();
    if (implicit) {
        // A graph too slow to draw a frame in time stops coasting.
        const auto now = SteadyClock::now();
        if (frameStart_ && now - *frameStart_ > std::chrono::milliseconds(70))
            velocity_ = QPointF();
        frameStart_ = now;
    }
    if (!velocity_.isNull()) {
        coastT_ += velocity_;
        const double dx = std::round(float(velocity_.x())), dy = std::round(float(velocity_.y()));
        t_.tx += dx;
        t_.ty += dy;
        panTilesDX(dx, dy);
        velocity_ /= 1.1;
    }
    if (std::fabs(velocity_.x()) < 0.25 && std::fabs(velocity_.y()) < 0.25) {
        stopCoasting();
        endMoving();
    }
    redrawOverlay();
}

void GraphView::pinch(Gesture state, const QPointF& finger0, const QPointF& finger1, const QPointF& location)
{
    if (!gesturesEnabled_)
        return;
    if (state == Gesture::Ended || state == Gesture::Cancelled) {
        endMoving();
        return;
    }
    const QPointF spread = finger0 - finger1;
    if (state == Gesture::Began) {
        calc.scaleTracking = true;
        drawQuality = 1;
        baseScale_ = spread;
        if (photoPlot_->selected)
            photoScale_ = calc.backgroundScale;
        else
            startScale_ = QPointF(t_.a, t_.d);
        zoomCenterGraph_ = QPointF((location.x() - t_.tx) / t_.a, (location.y() - t_.ty) / t_.d);
        return;
    }
    drawQuality = 1;
    if (photoPlot_->selected) {
        const double base = std::hypot(baseScale_.x(), baseScale_.y());
        if (base > 0)
            calc.backgroundScale = photoScale_ * std::hypot(spread.x(), spread.y()) / base;
        photoPlot_->update();
        return;
    }
    // Each finger axis scales its own axis.
    const double a = t_.a, d = t_.d;
    const double sx = std::fabs(baseScale_.x()) > 5 && std::fabs(spread.x()) > 5
        ? std::fabs(spread.x() / baseScale_.x() * startScale_.x()) : a;
    const double sy = std::fabs(baseScale_.y()) > 5 && std::fabs(spread.y()) > 5
        ? -std::fabs(spread.y() / baseScale_.y() * startScale_.y()) : d;
    setScaleSx(sx, sy);
    const QPointF at(zoomCenterGraph_.x() * t_.a + t_.tx, zoomCenterGraph_.y() * t_.d + t_.ty);
    const QPointF shift = location - at;
    t_.tx += shift.x();
    t_.ty += shift.y();
    basePoint_ += shift;
    if (t_.a == a && t_.d == d)
        panTilesDX(shift.x(), shift.y());
    else
        layoutTiles();
    redrawOverlay();
}

void GraphView::singleTap(const QPointF& at)
{
    if (!gesturesEnabled_ || !singleTapEnabled_)
        return;
    photoPlot_->selected = false;
    calc.scaleTracking = false;
    lockToPoint(at);
    calc.tracking = calc.lockMagnifier;
    drawQuality = 0;
    redrawAll();
    update();
}

void GraphView::doubleTap(const QPointF&)
{
    if (!gesturesEnabled_)
        return;
    calc.lockMagnifier = false;
    calc.lockFunction = -1;
    calc.lockStatPlot = -1;
    calc.setFeatureLock(PlotObject::FeatureNone);
    calc.scaleTracking = false;
    if (calc.backgroundImage) {
        photoPlot_->selected = true;
        calc.tracking = true;
    }
    drawQuality = 0;
    redrawAll();
    update();
}

void GraphView::longTap(Gesture state, const QPointF& at)
{
    if (!gesturesEnabled_)
        return;
    calc.scaleTracking = false;
    if (drawQuality != 0) {
        drawQuality = 0;
        redrawAll();
    }
    if (!calc.lockMagnifier) {
        calc.setFeatureLock(PlotObject::FeatureNone);
        if (state == Gesture::Began) {
            calc.tracking = true;
            lockToPoint(at);
            calc.tracking = calc.lockMagnifier;
        }
    }
    update();
}

// ---- Qt events ----

void GraphView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const VQColor& c = calc.locked()->backgroundColor;
    painter.fillRect(rect(), QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), 1.0f));
}

void GraphView::resizeEvent(QResizeEvent*)
{
    for (QWidget* layer : {static_cast<QWidget*>(photoPlot_), static_cast<QWidget*>(tileLayer_),
                           static_cast<QWidget*>(pixelPlot_)})
        layer->setGeometry(rect());
    if (graphTextView)
        graphTextView->setGeometry(rect());
}

void GraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    touchesBegan();
    longPressed_ = false;
    doubleClicked_ = false;
    drag_.press(event->position());
    if (gesturesEnabled_)
        longPressTimer_.start();
}

void GraphView::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.pressed() || doubleClicked_)
        return;
    const QPointF at = event->position();
    if (longPressed_) {
        longTap(Gesture::Changed, at);
        return;
    }
    const MouseDrag::Step step = drag_.move(at);
    if (step == MouseDrag::Step::None)
        return;
    if (step == MouseDrag::Step::Began) {
        longPressTimer_.stop();
        pan(Gesture::Began, drag_.translation(at), QPointF());
    }
    pan(Gesture::Changed, drag_.translation(at), drag_.velocity());
}

void GraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !drag_.pressed())
        return;
    longPressTimer_.stop();
    const QPointF at = event->position();
    const bool panned = drag_.panning();
    const QPointF thrown = drag_.release();
    if (panned)
        pan(Gesture::Ended, drag_.translation(at), thrown);
    else if (longPressed_)
        longTap(Gesture::Ended, at);
    else if (!doubleClicked_)
        singleTap(at);
    longPressed_ = doubleClicked_ = false;
}

void GraphView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    touchesBegan();
    drag_.hold();
    doubleClicked_ = true;
    doubleTap(event->position());
}

void GraphView::wheelEvent(QWheelEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!(mods & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    // Ctrl zooms both axes, with Shift only x, with Alt only y.
    const QPointF axes = mods & Qt::ShiftModifier ? QPointF(1, 0) : mods & Qt::AltModifier ? QPointF(0, 1) : QPointF(1, 1);
    const QPoint delta = event->angleDelta();
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (!wheelPinching_) {
        wheelPinching_ = true;
        wheelAt_ = event->position();
        wheelFinger_ = axes * kWheelSpread;
        pinch(Gesture::Began, wheelAt_ + wheelFinger_ / 2, wheelAt_ - wheelFinger_ / 2, wheelAt_);
    }
    wheelFinger_ *= std::pow(kWheelNotchZoom, notches);
    pinch(Gesture::Changed, wheelAt_ + wheelFinger_ / 2, wheelAt_ - wheelFinger_ / 2, wheelAt_);
    wheelTimer_.start();
    event->accept();
}

bool GraphView::event(QEvent* event)
{
    if (event->type() != QEvent::Gesture)
        return QWidget::event(event);
    auto* gestures = static_cast<QGestureEvent*>(event);
    auto* gesture = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture));
    if (!gesture)
        return QWidget::event(event);
    const QPointF at = mapFromGlobal(gesture->centerPoint());
    const QPointF half = QPointF(kWheelSpread, kWheelSpread) * gesture->totalScaleFactor() / 2;
    Gesture state = Gesture::Changed;
    switch (gesture->state()) {
    case Qt::GestureStarted: state = Gesture::Began; break;
    case Qt::GestureFinished: state = Gesture::Ended; break;
    case Qt::GestureCanceled: state = Gesture::Cancelled; break;
    default: break;
    }
    pinch(state, at + half, at - half, at);
    gestures->accept(gesture);
    return true;
}

} // namespace orvenda
