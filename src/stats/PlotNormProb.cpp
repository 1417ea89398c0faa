#include "stats/PlotNormProb.h"

#include "core/Calculator.h"
#include "numeric/Distributions.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

PlotNormProb::PlotNormProb(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotNormProb;
}

void PlotNormProb::compute()
{
    if (computed_)
        return;
    computed_ = true;
    const auto hold = calc.lockState();
    const StatPlotModel* model = StatPlotModel::of(calc);
    const auto s = model ? model->stats(eqNum) : nullptr;
    if (s)
        xs_ = s->listX.realList();
    std::sort(xs_.begin(), xs_.end());
    const std::size_t n = xs_.size();
    ys_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        ys_[i] = Distributions::invNorm((double(i) + 0.5) / double(n), 0, 1);
    const double lo = n ? xs_.front() : 0, hi = n ? xs_.back() : 0;
    const double qLo = n ? Distributions::invNorm(0.5 / double(n), 0, 1) : 0;
    const double qHi = n ? Distributions::invNorm((double(n) - 0.5) / double(n), 0, 1) : 0;
    if (model && model->plotDataAxis(eqNum) == 1) {
        std::swap(xs_, ys_);
        bounds_ = {qLo, qHi, lo, hi};
    } else {
        bounds_ = {lo, hi, qLo, qHi};
    }
}

double PlotNormProb::element(const std::vector<double>& list, double t)
{
    const double i = std::trunc(t);
    if (!(i >= 0 && i < double(list.size())))
        return std::numeric_limits<double>::quiet_NaN();
    return list[static_cast<std::size_t>(i)];
}

double PlotNormProb::XAtT(double t)
{
    compute();
    return element(xs_, t);
}

double PlotNormProb::YAtT(double t)
{
    compute();
    return element(ys_, t);
}

void PlotNormProb::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    compute();
    const int mark = [this] {
        const auto hold = calc.lockState();
        const StatPlotModel* model = StatPlotModel::of(calc);
        return model ? model->plotMark(eqNum) : 0;
    }();
    marks_.begin(mark, rect);
    for (std::size_t i = 0; i < xs_.size(); ++i) {
        const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, xs_[i], ys_[i]);
        marks_.add(v.x, v.y);
    }
    marks_.paint(context, colorAt(1));
}

bool PlotNormProb::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    compute();
    double best = 1e99;
    std::size_t nearest = xs_.size();
    for (std::size_t i = 0; i < xs_.size(); ++i) {
        const double distance = std::hypot((xs_[i] - pt.x) * t.a, (ys_[i] - pt.y) * t.d);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    if (nearest == xs_.size())
        return false;
    pt = {xs_[nearest], ys_[nearest], double(nearest)};
    return best < err;
}

Calculator::Bounds PlotNormProb::statBounds(const GraphTransform&)
{
    compute();
    return {bounds_.xMin, bounds_.xMax, bounds_.yMin, bounds_.yMax};
}

Calculator::Rect PlotNormProb::boundsInRect(const QRectF&, const GraphTransform& t)
{
    const Calculator::Bounds b = statBounds(t);
    return {b.xMin, b.yMin, b.xMax - b.xMin, b.yMax - b.yMin};
}

std::optional<std::string> PlotNormProb::label()
{
    const auto hold = calc.lockState();
    const auto s = StatPlotModel::statsOf(calc, eqNum);
    return "NormProb(" + (s ? s->listXName.value_or(std::string()) : std::string()) + ")";
}

std::optional<std::vector<std::string>> PlotNormProb::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    lines.reserve(3);
    if (calc.state().drawExpr)
        lines.push_back(label().value_or(std::string()));
    if (calc.state().drawCoord) {
        lines.push_back("x:" + calc.formatReal(calc.pTrackPoint.x));
        lines.push_back("y:" + calc.formatReal(calc.pTrackPoint.y));
    }
    return lines;
}

} // namespace orvenda
