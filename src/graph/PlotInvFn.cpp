#include "graph/PlotInvFn.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "graph/NearestSample.h"
#include "graph/PlotStroke.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kSlotX = 23;
constexpr double kSlopeStep = 1e-5;
// Samples a hit test takes across its tolerance.
constexpr int kHitSamples = 16;

} // namespace

PlotInvFn::PlotInvFn(Calculator& c) : PlotObject(c), sampler_(c)
{
    plotType = PlotObject::PlotInvFn;
}

std::shared_ptr<PlotInvFn> PlotInvFn::plotFor(Calculator& calc, const std::shared_ptr<DrawInv>& record)
{
    auto plot = std::make_shared<PlotInvFn>(calc);
    plot->drawFunc = record;
    plot->color = VQColor::colorR(record->r, record->g, record->b, 1);
    plot->fn = record->fn;
    plot->expression = record->expression;
    plot->eqNum = -1;
    plot->varNum = kSlotX;
    plot->style = 2;
    plot->lineWidth = record->lineWidth;
    plot->setSelected(record->selected);
    return plot;
}

void PlotInvFn::computeRect(const QRectF& rect, const GraphTransform& t)
{
    // One sample a view point over the tile's height and 4 points beyond each edge.
    const int n = std::max(0, int(rect.height() + 8));
    fdx = -1 / t.d;
    dataPoints_.resize(std::size_t(n));
    // The graph y at the bottom margin; the samples climb from there.
    const double vs = (rect.y() - 4 - t.ty) / t.d - n / -t.d;
    if (fn)
        sampler_.plotFn(*fn, varNum, vs, fdx, dataPoints_);
    dataT = t;
    dataRect = QRectF(rect.x(), rect.y() - 4, rect.width(), rect.height() + 8);
}

void PlotInvFn::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t) || !fn)
        return;
    computeRect(rect, t);
    // A value far off the tile is drawn at a bounded distance: the line keeps its course
    // across the tile and the painter its precision.
    const double farLeft = rect.left() - PlotStroke::kFar, farRight = rect.right() + PlotStroke::kFar;
    PlotStroke& runs = screenPoints_;
    runs.clear();
    for (const GraphSampler::XY& s : dataPoints_) {
        if (!GraphGeometry::pointIsFinite(s.x, s.y)) {
            runs.endRun();
            continue;
        }
        runs.add(QPointF(std::clamp(t.a * s.y + t.tx, farLeft, farRight), t.d * s.x + t.ty));
    }
    runs.endRun();
    runs.stroke(context, colorAt(1), style == 2, selected());
}

bool PlotInvFn::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (!fn)
        return false;
    // The tolerance runs along y, the direction of the inputs.
    const double h = err / std::fabs(t.d);
    GraphSampler::XY samples[kHitSamples];
    sampler_.plotFn(*fn, varNum, pt.y - h, 2 * h / kHitSamples, samples);
    // Each sample {v, f(v)} stands at (f(v), v).
    double best = 0;
    const GraphSampler::XY* nearest = nearestSample(
        samples, pt.x, pt.y, t, [](const GraphSampler::XY& s) { return GraphGeometry::Point{s.y, s.x}; }, best);
    if (nearest)
        pt = {nearest->y, nearest->x, nearest->x};
    else
        pt.t = pt.y;
    return best <= err;
}

double PlotInvFn::XAtT(double t)
{
    return fn ? sampler_.evalFn(*fn, kSlotX, t) : std::nan("");
}

double PlotInvFn::slopeAtT(double t)
{
    if (!fn)
        return std::nan("");
    const double slope = sampler_.slopeFn(*fn, varNum, t, kSlopeStep);
    // A failed side leaves its error; nothing here reports it.
    const auto hold = calc.lockState();
    calc.parser().setError(0);
    return 1 / slope;
}

std::optional<std::vector<std::string>> PlotInvFn::infoLines()
{
    const auto hold = calc.lockState();
    return traceLines();
}

std::optional<std::string> PlotInvFn::label()
{
    if (eqNum >= 0 && calc.yEqManager)
        return "inverse(" + calc.yEqManager->eqString(eqNum) + ")";
    return "inverse(" + calc.stringFromOps(expression) + ")";
}

} // namespace orvenda
