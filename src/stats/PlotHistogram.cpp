#include "stats/PlotHistogram.h"

#include "core/Calculator.h"
#include "graph/GraphTile.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orvenda {

namespace {

constexpr double kDotRadius = 2;
// Dots closer than this in view x are one dot.
constexpr double kDotSpacing = 0.25;

} // namespace

PlotHistogram::PlotHistogram(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotHistogram;
}

std::shared_ptr<VQStatistics> PlotHistogram::statistics() const
{
    return StatPlotModel::statsOf(calc, eqNum);
}

void PlotHistogram::setEqNum(int plot)
{
    eqNum = plot;
    const auto hold = calc.lockState();
    if (auto s = statistics())
        s->update(calc);
}

void PlotHistogram::compute()
{
    if (computed_)
        return;
    computed_ = true;
    const auto hold = calc.lockState();
    const auto s = statistics();
    if (!s)
        return;
    xs_ = s->listX.realList();
    fs_.clear();
    // Frequencies of another length are not the data's (the model reported error 25 when it
    // refreshed the statistics): the bars count each value once.
    if (!s->freq || s->freq->count() != s->listX.count()) {
        std::sort(xs_.begin(), xs_.end());
        return;
    }
    const std::vector<double> freq = s->freq->realList();
    std::vector<std::size_t> order(xs_.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [this](std::size_t i, std::size_t j) { return xs_[i] < xs_[j]; });
    std::vector<double> sorted;
    sorted.reserve(xs_.size());
    fs_.reserve(xs_.size());
    for (std::size_t i : order) {
        sorted.push_back(xs_[i]);
        fs_.push_back(freq[i]);
    }
    xs_ = std::move(sorted);
}

double PlotHistogram::maxX() const
{
    const auto s = statistics();
    return s ? s->maxX : std::numeric_limits<double>::quiet_NaN();
}

HistogramBins PlotHistogram::bins()
{
    compute();
    const auto hold = calc.lockState();
    StatPlotModel* model = StatPlotModel::of(calc);
    const double left = model ? model->leftEdge() : calc.getVar(kSlotXmin).value.real();
    const double wanted = calc.getVar(kSlotXscl).value.real();
    // The automatic width only when Xscl is none.
    const bool usable = wanted > 0 && std::isfinite(wanted);
    return HistogramBins(left, maxX(), wanted, usable ? wanted : tiBarWidth());
}

double PlotHistogram::yForBar(int k)
{
    const HistogramBins b = bins();
    double found = 0;
    bool passed = false;
    const HistogramBins::Last last = b.pass(xs_, fs_, [&](double bin, double total) {
        if (bin == k) {
            found = total;
            passed = true;
        }
    });
    if (passed)
        return found;
    return last.bin == k ? last.total : 0;
}

PlotPoint PlotHistogram::ptForBar(int k)
{
    const double bars = [this] {
        const auto hold = calc.lockState();
        const StatPlotModel* model = StatPlotModel::of(calc);
        return model ? model->numBars(eqNum) : 0.0;
    }();
    k = static_cast<int>(std::clamp<double>(k, 0, std::max(0.0, bars - 1)));
    const HistogramBins b = bins();
    return {b.left() + k * b.width() + b.width() / 2, yForBar(k), double(k)};
}

PlotPoint PlotHistogram::PtAtT(double t, double, const PlotList&)
{
    calc.setFeatureLock(FeatureNone);
    const double bar = std::isfinite(t) ? std::clamp(std::trunc(t), -1.0, HistogramBins::kMaxBins) : 0;
    return ptForBar(static_cast<int>(bar));
}

void PlotHistogram::fillBar(QPainter& context, const GraphTransform& t, double k, double height,
                            const HistogramBins& bins, bool snapped, const QRectF& rect)
{
    double x0 = (bins.edge(k) - bins.width()) * t.a + t.tx, x1 = bins.edge(k) * t.a + t.tx;
    if (snapped) {
        x0 = GraphTile::alignedLine(x0);
        x1 = GraphTile::alignedLine(x1);
    }
    const double top = height * t.d + t.ty, base = t.ty;
    const QRectF bar = QRectF(QPointF(x0, top), QPointF(x1, base)).normalized();
    if (!bar.adjusted(-2, -2, 2, 2).intersects(rect))
        return;
    context.drawRect(bar);
}

void PlotHistogram::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    compute();
    const HistogramBins b = bins();
    const QColor ink = colorAt(1);
    QColor fill = ink;
    fill.setAlphaF(0.4f);
    context.save();
    context.setPen(QPen(ink, selected() ? 2 : 1));
    context.setBrush(fill);
    if (b.width() * t.a >= 1) {
        const HistogramBins::Last last = b.pass(xs_, fs_, [&](double k, double total) {
            if (total != 0)
                fillBar(context, t, k, total, b, true, rect);
        });
        if (last.total != 0)
            fillBar(context, t, last.bin, last.total, b, false, rect);
    } else {
        // Bars thinner than a point: each column of points shows its tallest bar.
        double column = -1e300, tallest = 0;
        const auto flush = [&] {
            if (tallest != 0 && column + 1 >= rect.left() && column <= rect.right())
                context.drawRect(QRectF(QPointF(column, tallest * t.d + t.ty), QPointF(column + 1, t.ty)).normalized());
        };
        const auto bar = [&](double k, double total) {
            if (total == 0)
                return;
            const double at = std::floor((b.edge(k) - b.width()) * t.a + t.tx);
            if (at != column) {
                flush();
                column = at;
                tallest = 0;
            }
            tallest = std::max(tallest, total);
        };
        const HistogramBins::Last last = b.pass(xs_, fs_, bar);
        bar(last.bin, last.total);
        flush();
    }

    // A dot on the axis for every value.
    const double axis = t.ty;
    if (axis >= rect.top() - kDotRadius && axis <= rect.bottom() + kDotRadius) {
        const VQColor axes = [this] {
            const auto hold = calc.lockState();
            return calc.state().axesColor;
        }();
        context.setPen(Qt::NoPen);
        context.setBrush(QColor::fromRgbF(float(axes.r()), float(axes.g()), float(axes.b()), 1.0f));
        double drawn = -1e300;
        for (double x : xs_) {
            const double v = x * t.a + t.tx;
            if (!(v >= rect.left() - kDotRadius && v <= rect.right() + kDotRadius) || std::fabs(v - drawn) < kDotSpacing)
                continue;
            drawn = v;
            context.drawEllipse(QPointF(v, axis), kDotRadius, kDotRadius);
        }
    }
    context.restore();
}

bool PlotHistogram::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    compute();
    const HistogramBins b = bins();
    const double n = [this] {
        const auto hold = calc.lockState();
        const StatPlotModel* model = StatPlotModel::of(calc);
        return model ? model->numBars(eqNum) : 0.0;
    }();
    const double left = b.left(), w = b.width();
    const double ex = err / t.a;
    double bar = 0;
    bool xHit = false;
    if (pt.x + ex < left) {
        bar = 0;
    } else if (pt.x - ex > left + n * w) {
        bar = n;
    } else {
        bar = std::clamp(std::trunc((pt.x - left) / w), 0.0, std::max(0.0, n - 1));
        xHit = true;
    }
    const double ey = err / -t.d;
    const double h = yForBar(static_cast<int>(bar));
    const bool yHit = pt.y + ey >= 0 && pt.y - ey <= h;
    pt = {left + bar * w + w / 2, h, bar};
    return xHit && yHit;
}

Calculator::Bounds PlotHistogram::statBounds(const GraphTransform&)
{
    compute();
    const auto hold = calc.lockState();
    const auto s = statistics();
    if (!s)
        return {0, 0, 0, 0};
    return {s->minX, s->maxX, 0, 0};
}

Calculator::Bounds PlotHistogram::statBounds(const GraphTransform&, double leftEdge, double binWidth)
{
    compute();
    const double left = [this] {
        const auto hold = calc.lockState();
        StatPlotModel* model = StatPlotModel::of(calc);
        return model ? model->leftEdge() : calc.getVar(kSlotXmin).value.real();
    }();
    const HistogramBins b(left, maxX(), binWidth);
    double best = 0;
    const HistogramBins::Last last = b.pass(xs_, fs_, [&best](double, double total) { best = std::max(best, total); });
    return {leftEdge, b.edge(last.bin), 0, std::max(best, last.total)};
}

Calculator::Rect PlotHistogram::boundsInRect(const QRectF&, const GraphTransform& t)
{
    const Calculator::Bounds b = statBounds(t);
    return {b.xMin, b.yMin, b.xMax - b.xMin, b.yMax - b.yMin};
}

std::optional<std::string> PlotHistogram::label()
{
    const auto hold = calc.lockState();
    const auto s = statistics();
    return "Histogram(" + (s ? s->listXName.value_or(std::string()) : std::string()) + ")";
}

std::optional<std::vector<std::string>> PlotHistogram::infoLines()
{
    const double w = bins().width();
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    lines.reserve(3);
    if (calc.state().drawExpr) {
        const auto s = statistics();
        const std::string x = s ? s->listXName.value_or(std::string()) : std::string();
        const std::string f = s && s->freqName ? *s->freqName : std::string("1");
        lines.push_back("Histogram(" + x + "," + f + ")");
    }
    if (calc.state().drawCoord) {
        const PlotPoint& p = calc.pTrackPoint;
        lines.push_back("min=" + calc.formatReal(p.x - w / 2));
        lines.push_back("max<" + calc.formatReal(p.x + w / 2));
        lines.push_back("n=" + calc.formatReal(p.y));
    }
    return lines;
}

void PlotHistogram::setVar(int var, double min, double max, double value, double step)
{
    if (varInfoArray.size() < 2 || (var != StatPlotModel::kWidthVar && var != StatPlotModel::kOffsetVar))
        return;
    const auto hold = calc.lockState();
    StatPlotModel* model = StatPlotModel::of(calc);
    YEqVarInfo& width = varInfoArray[0];
    YEqVarInfo& offset = varInfoArray[1];
    YEqVarInfo& record = var == StatPlotModel::kOffsetVar ? offset : width;
    record.min = min;
    record.max = max;
    record.value = value;
    record.step = step;
    if (var == StatPlotModel::kOffsetVar) {
        if (model)
            model->setHistogramBarOffset(value);
        return;
    }
    offset.max = value;
    if (offset.value > value) {
        offset.value = value;
        if (model)
            model->setHistogramBarOffset(value);
    }
    calc.setVar(kSlotXscl, {{value, 0.0}});
}

double PlotHistogram::tiBarWidth()
{
    compute();
    double total = static_cast<double>(xs_.size());
    if (!fs_.empty()) {
        total = 0;
        for (double f : fs_)
            total = std::trunc(total + f);
    }
    if (xs_.empty())
        return std::numeric_limits<double>::quiet_NaN();
    const auto [lo, hi] = std::minmax_element(xs_.begin(), xs_.end());
    const int count = static_cast<int>(std::clamp(total, 0.0, 1e9));
    return (*hi - *lo) / (StatPlotModel::tiBarsForSampleSize(count) - 1);
}

} // namespace orvenda
