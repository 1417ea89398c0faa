#include "graph/PlotSequence.h"

#include "core/Calculator.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kSlotEta = 27;
constexpr int kSlotEtaMax = 57;
constexpr int kSlotEtaMin = 59;
constexpr int kU = 0x5E80, kV = 0x5E81, kW = 0x5E82;
// Beyond the largest dot ring.
constexpr double kDotMargin = 4;
// Whole numbers stop being consecutive doubles here; term numbers stay below it.
constexpr double kLastWholeTerm = 9007199254740992.0 - double(PlotSequence::kMaxTerms);

bool wholeNumber(double v)
{
    return std::isfinite(v) && v == std::trunc(v);
}

QPointF viewPoint(const GraphTransform& t, double x, double y)
{
    return {t.a * x + t.tx, t.d * y + t.ty};
}

bool finite(const QPointF& p)
{
    return GraphGeometry::pointIsFinite(p.x(), p.y());
}

} // namespace

PlotSequence::PlotSequence(Calculator& c) : SampledCurve(c, PlotObject::PlotSequence)
{
    varNum = kSlotEta;
    eqNum = kU;
}

int PlotSequence::firstToken() const
{
    switch (sequenceType_) {
    case UV: case UW: return kU;
    case VW: return kV;
    default: return eqNum;
    }
}

int PlotSequence::secondToken() const
{
    switch (sequenceType_) {
    case UV: return kV;
    case VW: case UW: return kW;
    default: return eqNum;
    }
}

// ---- Terms ----

void PlotSequence::evaluateTerms(int token, double last)
{
    // Terms the evaluator stops short of stay undefined, never a previous computation's.
    std::fill(terms_.begin(), terms_.end(), kNaN);
    Parser& parser = calc.parser();
    parser.evalSeqNum(token, last, terms_.data());
    parser.setError(0);
}

void PlotSequence::takeSamples()
{
    // ηMin and the evaluator's first term must agree while the terms are written.
    const auto hold = calc.lockState();
    const double etaMin = calc.state().vars[kSlotEtaMin].real(), etaMax = calc.state().vars[kSlotEtaMax].real();
    samples_.clear();
    firstTerm_ = etaMin;
    // A fractional or negative first term would shift the terms against their numbers.
    if (!wholeNumber(etaMin) || !wholeNumber(etaMax) || etaMin < 0 || etaMin > kLastWholeTerm)
        return;
    const double span = etaMax - etaMin + 1;
    const std::size_t count = span >= double(kMaxTerms) ? kMaxTerms : span > 0 ? std::size_t(span) : 0;
    if (count == 0)
        return;
    const double last = etaMin + double(count - 1);
    samples_.resize(count);
    terms_.resize(count);
    evaluateTerms(firstToken(), last);
    for (std::size_t i = 0; i < count; ++i) {
        const double n = etaMin + double(i);
        samples_[i] = {pairFormat() ? terms_[i] : n, terms_[i], n};
    }
    if (pairFormat()) {
        evaluateTerms(secondToken(), last);
        for (std::size_t i = 0; i < count; ++i)
            samples_[i].y = terms_[i];
    }
}

void PlotSequence::computeTerms()
{
    if (!sampled_)
        computeRect(QRectF(0, 0, 100, 100), dataT_);
}

std::ptrdiff_t PlotSequence::termIndex(double n)
{
    computeTerms();
    const double count = double(samples_.size());
    if (!(n >= firstTerm_) || !(n <= firstTerm_ + count - 1))
        return -1;
    const double i = std::trunc(n - firstTerm_);
    return i < count ? static_cast<std::ptrdiff_t>(i) : -1;
}

std::optional<std::pair<double, double>> PlotSequence::termSpan()
{
    computeTerms();
    if (samples_.empty())
        return std::nullopt;
    return std::pair(firstTerm_, firstTerm_ + double(samples_.size() - 1));
}

double PlotSequence::XAtT(double n)
{
    const std::ptrdiff_t i = termIndex(n);
    if (i < 0)
        return kNaN;
    const Sample& s = samples_[static_cast<std::size_t>(i)];
    return sequenceType_ == Web ? s.y : s.x;
}

double PlotSequence::YAtT(double n)
{
    const std::ptrdiff_t i = termIndex(n);
    if (i < 0)
        return kNaN;
    const auto k = static_cast<std::size_t>(i);
    if (sequenceType_ != Web)
        return samples_[k].y;
    // The web starts on the x-axis; half steps reach up (or down) to the next term.
    if (n == firstTerm_)
        return 0;
    if (n != std::trunc(n) && k + 1 < samples_.size())
        return samples_[k + 1].y;
    return samples_[k].y;
}

double PlotSequence::slopeAtT(double n)
{
    if (sequenceType_ == Web)
        return 0;
    const double i = std::trunc(n - firstTerm_);
    if (!(n >= firstTerm_) || !(i >= 1) || !(i + 2 <= double(samples_.size())))
        return kNaN;
    const auto k = static_cast<std::size_t>(i);
    return (samples_[k + 1].y - samples_[k - 1].y) / (samples_[k + 1].x - samples_[k - 1].x);
}

// ---- Hit test ----

double PlotSequence::hitLine(double x1, double y1, double x2, double y2, const PlotPoint& p, const GraphTransform& t)
{
    // Distance from p to the nearer end along the segment's axis, 0 beside it.
    const auto along = [](double a, double b, double at) {
        const double lo = std::min(a, b), hi = std::max(a, b);
        return at < lo ? lo - at : at > hi ? hi - at : 0.0;
    };
    double dx = 0, dy = 0;
    if (x1 == x2) {
        dx = x1 - p.x;
        dy = along(y1, y2, p.y);
    } else {
        dx = along(x1, x2, p.x);
        dy = y1 - p.y;
    }
    return std::hypot(dx * t.a, dy * t.d);
}

bool PlotSequence::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (sequenceType_ != Web) {
        if (samples_.empty()) {
            pt = {0, 0, 0};
            return false;
        }
        return SampledCurve::hitPoint(pt, t, err);
    }
    if (samples_.size() < 2) {
        pt = {0, 0, 0};
        return false;
    }
    double best = kInf, x = 0, y = 0;
    std::size_t index = 0;
    bool found = false;
    // Every line of the web, the last one included.
    for (std::size_t k = 1; k < samples_.size(); ++k) {
        const double before = samples_[k - 1].y, u = samples_[k].y;
        const double from = k == 1 ? 0 : before;
        double d = hitLine(before, from, before, u, pt, t);
        if (d < best) {
            best = d;
            found = true;
            x = before;
            const bool upper = std::fabs(u - pt.y) < std::fabs(from - pt.y);
            y = upper ? u : from;
            index = upper ? k : k - 1;
        }
        d = hitLine(before, u, u, u, pt, t);
        if (d < best) {
            best = d;
            found = true;
            y = u;
            x = std::fabs(u - pt.x) < std::fabs(before - pt.x) ? u : before;
            index = k;
        }
    }
    if (!found)
        return false;
    // Term numbers: on the diagonal a whole term, between a half step; the start on the
    // x-axis is the first term.
    double n = firstTerm_ + double(index);
    if (index > 0 && x != y)
        n -= 0.5;
    pt = {x, y, n};
    return best < err;
}

// ---- Drawing ----

void PlotSequence::drawSamples(const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    if (sequenceType_ == Web)
        drawWeb(rect, context, t);
    else if (style == kDotStyle)
        drawDots(rect, context, t);
    else
        SampledCurve::drawSamples(rect, context, t);
}

void PlotSequence::drawDots(const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    const QRectF near = rect.adjusted(-kDotMargin, -kDotMargin, kDotMargin, kDotMargin);
    const auto addDots = [&](double size) {
        path_.clear();
        for (const Sample& s : samples_) {
            const QPointF p = viewPoint(t, s.x, s.y);
            if (finite(p) && near.contains(p))
                path_.addEllipse(p, size / 2, size / 2);
        }
    };
    addDots(3);
    context.fillPath(path_, colorAt(1));
    if (selected()) {
        addDots(5);
        context.setBrush(Qt::NoBrush);
        context.strokePath(path_, QPen(colorAt(0.5), 2));
    }
    restorePen(context);
}

void PlotSequence::addWeb(QPainterPath& path, const GraphTransform& t, double halfSteps) const
{
    if (samples_.empty())
        return;
    const QPointF start = viewPoint(t, samples_[0].y, 0);
    if (!finite(start))
        return;
    path.moveTo(start);
    double walked = 0;
    for (std::size_t k = 1; k < samples_.size(); ++k) {
        const double before = samples_[k - 1].y, u = samples_[k].y;
        for (const QPointF& p : {viewPoint(t, before, u), viewPoint(t, u, u)}) {
            if (!(walked < halfSteps) || !finite(p))
                return;
            path.lineTo(p);
            walked += 0.5;
        }
    }
}

void PlotSequence::drawWeb(const QRectF&, QPainter& context, const GraphTransform& t)
{
    path_.clear();
    addWeb(path_, t, kInf);
    if (!selected()) {
        strokeCurve(context, path_);
        return;
    }
    context.setBrush(Qt::NoBrush);
    context.strokePath(path_, QPen(colorAt(0.5), 1));
    // The web walked so far by the trace, as the selected curve.
    const double traced = calc.pTrackPoint.t - firstTerm_;
    if (traced > 0 && !samples_.empty()) {
        tracePath_.clear();
        addWeb(tracePath_, t, traced);
        strokeCurve(context, tracePath_);
    }
    restorePen(context);
}

// ---- Text ----

std::optional<std::vector<std::string>> PlotSequence::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const PlotPoint p = calc.pTrackPoint;
    const bool polar = calc.state().graphCoordFormat == 1;
    const auto name = [this](int token) { return calc.nameForOpcode(std::uint32_t(token)); };
    if (calc.state().drawExpr && calc.yEqManager) {
        const auto add = [&](int token) { lines.push_back(name(token) + "=" + calc.yEqManager->eqString(token)); };
        add(firstToken());
        if (pairFormat())
            add(secondToken());
    }
    if (calc.state().drawCoord && polar) {
        addPolarLines(lines, p);
    } else if (calc.state().drawCoord) {
        std::string xLabel = "\xCE\xB7", yLabel = name(eqNum);
        if (pairFormat()) {
            lines.push_back("\xCE\xB7:" + calc.formatReal(p.t));
            xLabel = name(firstToken());
            yLabel = name(secondToken());
        } else if (sequenceType_ == Web) {
            const double n = std::trunc(p.t);
            lines.push_back("\xCE\xB7:" + (std::fabs(n) < 1e18 ? std::to_string(static_cast<long long>(n))
                                                                : calc.formatReal(n)));
            xLabel = "X";
            yLabel = "Y";
        }
        lines.push_back(xLabel + ":" + calc.formatReal(p.x));
        lines.push_back(yLabel + ":" + calc.formatReal(p.y));
    }
    if (calc.state().drawDyDx)
        addSlopeLine(lines, p.t);
    return lines;
}

std::optional<std::string> PlotSequence::label()
{
    if (!calc.yEqManager)
        return std::nullopt;
    const auto named = [this](int token) {
        return calc.nameForOpcode(std::uint32_t(token)) + "=" + calc.yEqManager->eqString(token);
    };
    if (pairFormat())
        return named(firstToken()) + ", " + named(secondToken());
    return named(eqNum);
}

} // namespace orvenda
