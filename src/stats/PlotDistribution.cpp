#include "stats/PlotDistribution.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "graph/GraphTile.h"
#include "graph/PlotLine.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <span>

namespace orvenda {

namespace {

constexpr int kSlotX = 23;
constexpr double kSlopeStep = 1e-5;
constexpr int kBisections = 40;
constexpr double kTolerance = 1e-10;
// The marks μ − 6σ .. μ + 6σ.
constexpr int kMarks = 6;
constexpr int kFirstMinusMark = 7, kLastMinusMark = 12;
constexpr double kGuideReach = 32767;

std::string number(const Calculator& calc, double x) { return calc.formatReal(x); }

} // namespace

PlotDistribution::PlotDistribution(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotDistribution;
}

std::shared_ptr<PlotDistribution> PlotDistribution::forRecord(Calculator& calc, std::shared_ptr<DrawDistribution> record)
{
    auto plot = std::make_shared<PlotDistribution>(calc);
    plot->drawFunc = record;
    plot->color = VQColor::colorR(record->r, record->g, record->b, 1);
    plot->style = 2;
    plot->lineWidth = 2;
    plot->eqNum = record->type();
    plot->varNum = kSlotX;
    plot->varInfoArray = record->vars;
    plot->drawTails = record->drawTails;
    plot->setSelected(record->selected);
    plot->dd = std::move(record);
    return plot;
}

bool PlotDistribution::normal() const
{
    return eqNum == DrawDistribution::kNormal;
}

double PlotDistribution::p1() const
{
    return !dd ? 0 : normal() ? dd->mu : dd->dfNumer;
}

double PlotDistribution::p2() const
{
    return !dd ? 0 : normal() ? dd->sigma : dd->dfDenom;
}

double PlotDistribution::YAtT(double x)
{
    return GraphSampler::shadeFunction(eqNum, p1(), p2(), x);
}

double PlotDistribution::slopeAtT(double t)
{
    return (YAtT(t + kSlopeStep) - YAtT(t - kSlopeStep)) / (2 * kSlopeStep);
}

void PlotDistribution::computeRect(const QRectF& rect, const GraphTransform& t)
{
    const double x0 = rect.x() - 1;
    const int n = std::max(0, static_cast<int>(rect.width()) + 2);
    data_.resize(static_cast<std::size_t>(n));
    GraphSampler::distributionFunction(eqNum, p1(), p2(), (x0 - t.tx) / t.a, 1 / t.a, data_);
    dataT_ = t;
    dataRect_ = QRectF(x0, rect.y(), n, rect.height());
}

Calculator::Rect PlotDistribution::boundsInRect(const QRectF& rect, const GraphTransform& t)
{
    const double x = (rect.x() - t.tx) / t.a;
    const int n = static_cast<int>(rect.width());
    double lo = INFINITY, hi = -INFINITY;
    for (int i = 0; i < n; ++i) {
        const double y = YAtT(x + i / t.a);
        if (!std::isfinite(y))
            continue;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    if (lo > hi)
        return {x, 0, rect.width() / t.a, 0};
    return {x, lo, rect.width() / t.a, hi - lo};
}

void PlotDistribution::shade(const QRectF&, const GraphTransform& t)
{
    shading_.clear();
    const std::size_t n = screen_.size();
    if (n < 2)
        return;
    const double lower = std::clamp(dd->lowerBound, -kBoundLimit, kBoundLimit);
    const double upper = std::clamp(dd->upperBound, -kBoundLimit, kBoundLimit);
    const double lo = std::min(lower, upper), hi = std::max(lower, upper);
    std::size_t iLo = 0, iHi = 0;
    for (std::size_t i = 0; i < data_.size(); ++i) {
        if (data_[i].x <= lo)
            iLo = i;
        if (data_[i].x <= hi)
            iHi = i;
    }
    const double base = t.ty;
    const auto region = [&](std::size_t from, std::size_t to) {
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(to - from + 3));
        for (std::size_t i = from; i <= to; ++i)
            polygon << screen_[i];
        polygon << QPointF(screen_[to].x(), base) << QPointF(screen_[from].x(), base);
        shading_.push_back(std::move(polygon));
    };
    if (iLo == iHi) {
        // Both bounds within one step: without tails nothing lies between them, with
        // tails everything does but a sliver narrower than a point.
        if (drawTails)
            region(0, n - 1);
        return;
    }
    if (!drawTails) {
        region(iLo, std::min(iHi, n - 1));
        return;
    }
    region(0, iLo);
    region(iHi, n - 1);
}

void PlotDistribution::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    shading_.clear();
    if (!GraphGeometry::transformIsFinite(t) || !dd || !dd->isFinite())
        return;
    computeRect(rect.adjusted(-4, 0, 4, 0), t);
    screen_.resize(data_.size());
    for (std::size_t i = 0; i < data_.size(); ++i) {
        const double y = data_[i].y;
        screen_[i] = QPointF(t.a * data_[i].x + t.tx, std::isfinite(y) ? t.d * y + t.ty : 0.0);
    }
    context.save();
    context.setBrush(Qt::NoBrush);
    if (screen_.size() >= 2) {
        // Every sample but the last.
        const int count = static_cast<int>(screen_.size()) - 1;
        if (selected()) {
            context.setPen(QPen(colorAt(0.3), style == 2 ? 8 : 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            context.drawPolyline(screen_.data(), count);
            context.setPen(QPen(colorAt(1), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            context.setPen(QPen(colorAt(1), style == 2 ? 2 : 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        context.drawPolyline(screen_.data(), count);
    }
    shade(rect, t);
    context.setPen(Qt::NoPen);
    context.setBrush(colorAt(0.5));
    for (const QPolygonF& region : shading_)
        context.drawPolygon(region);
    if (selected() && normal()) {
        context.setPen(QPen(colorAt(0.5), 1));
        for (int k = -kMarks; k <= kMarks; ++k) {
            const double x = GraphTile::alignedLine(t.a * (dd->mu + k * dd->sigma) + t.tx);
            if (x >= rect.left() - 1 && x <= rect.right() + 1)
                context.drawLine(QLineF(x, -kGuideReach, x, kGuideReach));
        }
    }
    context.restore();
}

bool PlotDistribution::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    const double from = pt.x - err / t.a, step = 2 * err / t.a / 16;
    double best = 1e99;
    PlotPoint nearest = pt;
    for (int i = 0; i < 16; ++i) {
        const double x = from + i * step, y = YAtT(x);
        if (!std::isfinite(y))
            continue;
        const double distance = std::hypot(t.a * (x - pt.x), t.d * (y - pt.y));
        if (distance < best) {
            best = distance;
            nearest = {x, y, x};
        }
    }
    pt = nearest;
    return best <= err;
}

double PlotDistribution::findIntersection(double t, double range, const PlotList& other)
{
    const double lo = t - range, hi = t + range;
    if (std::isnan(YAtT(lo)) && std::isnan(YAtT(hi)) && std::isnan(YAtT(t)))
        return t;
    // The y-axis step of the line's search: an intersection.
    if (lo <= 0 && 0 <= hi && std::isfinite(YAtT(0))) {
        calc.setFeatureLock(FeatureIntersection);
        return 0;
    }
    if (normal() && dd) {
        for (int k = -kMarks; k <= kMarks; ++k) {
            const double mark = dd->mu + k * dd->sigma;
            if (k == 0 || !(std::fabs(t - mark) < range))
                continue;
            calc.setFeatureLock(k < 0 ? kFirstMinusMark + (k + kMarks) : kLastMinusMark + k);
            return mark;
        }
    }
    return PlotLine::searchIntersection(*this, t, range, other, false);
}

double PlotDistribution::findMinMax(double t, double range)
{
    calc.setFeatureLock(FeatureNone);
    double lo = t - range, hi = t + range;
    double sLo = slopeAtT(lo);
    const double sHi = slopeAtT(hi);
    if (std::isnan(sLo) || std::isnan(sHi) || std::signbit(sLo) == std::signbit(sHi))
        return t;
    double mid = t;
    for (int i = 0; i < kBisections; ++i) {
        mid = (lo + hi) / 2;
        const double s = slopeAtT(mid);
        if (std::signbit(s) != std::signbit(sLo)) {
            hi = mid;
        } else {
            lo = mid;
            sLo = s;
        }
        if (hi - lo <= kTolerance || std::fabs(sLo) <= kTolerance)
            break;
    }
    calc.setFeatureLock(FeatureMaximum);
    return mid;
}

PlotPoint PlotDistribution::PtAtT(double t, double range, const PlotList& other)
{
    calc.setFeatureLock(FeatureNone);
    double x = findIntersection(t, range, other);
    if (calc.featureLock == FeatureNone)
        x = findMinMax(t, range);
    return {x, YAtT(x), x};
}

std::optional<std::string> PlotDistribution::label()
{
    if (!dd)
        return std::nullopt;
    switch (eqNum) {
    case DrawDistribution::kNormal:
        return "ShadeNorm(" + number(calc, dd->mu) + "," + number(calc, dd->sigma) + ")";
    case DrawDistribution::kT:
        return "Shade_t(df=" + number(calc, dd->dfNumer) + ")";
    case DrawDistribution::kChiSquare:
        return "Shade\xCE\xA7\xC2\xB2(df=" + number(calc, dd->dfNumer) + ")";
    case DrawDistribution::kF:
        return "ShadeF(df=" + number(calc, dd->dfNumer) + "/" + number(calc, dd->dfDenom) + ")";
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> PlotDistribution::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const PlotPoint& p = calc.pTrackPoint;
    if (testing) {
        lines.push_back("x:" + number(calc, p.x));
        lines.push_back("y:" + number(calc, p.y));
        return lines;
    }
    if (calc.state().drawExpr && dd) {
        if (normal()) {
            lines.push_back("ShadeNorm(\xCE\xBC,\xCF\x83)");
            lines.push_back("\xCE\xBC=" + number(calc, dd->mu));
            lines.push_back("\xCF\x83=" + number(calc, dd->sigma));
        } else if (auto name = label()) {
            lines.push_back(*name);
        }
        if (dd->lowerBound != lwr_ || dd->upperBound != upr_ || p1() != p1_ || p2() != p2_) {
            dd->area = GraphSampler::shadeFunctionArea(eqNum, p1(), p2(), dd->lowerBound, dd->upperBound);
            lwr_ = dd->lowerBound;
            upr_ = dd->upperBound;
            p1_ = p1();
            p2_ = p2();
        }
        lines.push_back("lower=" + number(calc, dd->lowerBound));
        lines.push_back("upper=" + number(calc, dd->upperBound));
        lines.push_back("area=" + number(calc, dd->area));
    }
    if (calc.state().drawCoord)
        addCoordinateLines(lines, "x:", "y:");
    if (calc.state().drawDyDx) {
        // The curve's own slope: the shading is no equation of the calculator.
        const bool extremum = calc.featureLock == FeatureMinimum || calc.featureLock == FeatureMaximum;
        lines.push_back("dy/dx:" + number(calc, extremum ? 0 : slopeAtT(p.x)));
    }
    return lines;
}

void PlotDistribution::setVar(int var, double min, double max, double value, double step)
{
    if (!dd)
        return;
    const bool whole = var == DrawDistribution::kDfDenomVar
        || (var == DrawDistribution::kDfNumerVar && (eqNum == DrawDistribution::kChiSquare || eqNum == DrawDistribution::kF));
    if (whole) {
        value = std::max(1.0, std::trunc(value));
        step = std::trunc(step);
        if (step == 0)
            step = 1;
    }
    switch (var) {
    case DrawDistribution::kMuVar: dd->mu = value; break;
    case DrawDistribution::kSigmaVar: dd->sigma = value; break;
    case DrawDistribution::kDfNumerVar: dd->dfNumer = value; break;
    case DrawDistribution::kDfDenomVar: dd->dfDenom = value; break;
    case DrawDistribution::kLowerVar: dd->lowerBound = value; break;
    case DrawDistribution::kUpperVar: dd->upperBound = value; break;
    default: return;
    }
    for (std::vector<YEqVarInfo>* records : {&dd->vars, &varInfoArray})
        for (YEqVarInfo& record : *records)
            if (record.varNum == var) {
                record.min = min;
                record.max = max;
                record.value = value;
                record.step = step;
            }
}

} // namespace orvenda
