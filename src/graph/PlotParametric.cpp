#include "graph/PlotParametric.h"

#include "core/Calculator.h"
#include "core/services/YEqManager.h"
#include "language/VariableSlots.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kSlotT = 19;
// The zero scan's steps over the whole span, and the bisections' limits.
constexpr int kScanSteps = 60;
constexpr int kMaxHalvings = 40;
constexpr int kMaxSpanSteps = 49;

} // namespace

PlotParametric::PlotParametric(Calculator& c) : SampledCurve(c, PlotObject::PlotParametric)
{
    varNum = kSlotT;
}

void PlotParametric::takeSamples()
{
    sampleWindow(kSlotTmin, kSlotTmax, kSlotTstep, &GraphSampler::plotParametric);
}

double PlotParametric::XAtT(double t)
{
    return sampler_.function(xToken(), kSlotT, t);
}

double PlotParametric::YAtT(double t)
{
    return sampler_.function(yToken(), kSlotT, t);
}

double PlotParametric::slopeAtT(double t)
{
    return sampler_.dydxAt(t, eqNum, kDerivativeStep);
}

int PlotParametric::errorAtT(double t)
{
    if (const int error = sampler_.errorNear(xToken(), kSlotT, t, kDerivativeStep))
        return error;
    if (const int error = sampler_.errorNear(yToken(), kSlotT, t, kDerivativeStep))
        return error;
    return sampler_.slopeErrorAt(t, eqNum, kDerivativeStep);
}

double PlotParametric::dxdtAtT(double t)
{
    return sampler_.dydVar(kSlotT, t, xToken(), kDerivativeStep);
}

double PlotParametric::dydtAtT(double t)
{
    return sampler_.dydVar(kSlotT, t, yToken(), kDerivativeStep);
}

double PlotParametric::findZero(double t, double range)
{
    const double start = t - range, end = t + range, step = range / 30;
    double before = start, atBefore = YAtT(start);
    double after = 0, atAfter = 0;
    bool bracketed = false;
    // Counted, so a span too small to move t cannot loop for ever.
    for (int k = 1; k < kScanSteps && !bracketed; ++k) {
        const double at = start + k * step;
        if (!(at < end))
            break;
        const double y = YAtT(at);
        if (std::isnan(y) || std::isnan(atBefore))
            continue;
        if (std::signbit(y) != std::signbit(atBefore)) {
            bracketed = true;
            after = at;
            atAfter = y;
        } else {
            before = at;
            atBefore = y;
        }
    }
    if (!bracketed)
        return t;
    double mid = t, atMid = atAfter;
    for (int i = 0; i < kMaxHalvings; ++i) {
        mid = (before + after) / 2;
        atMid = YAtT(mid);
        if (std::isnan(atMid))
            return t;
        if (std::signbit(atMid) == std::signbit(atBefore)) {
            before = mid;
            atBefore = atMid;
        } else {
            after = mid;
        }
        if (std::fabs(after - before) <= 1e-12 || std::fabs(atMid) <= 1e-10)
            break;
    }
    if (!(std::fabs(atMid) < 0.001))
        return t;
    calc.setFeatureLock(FeatureZero);
    return mid;
}

double PlotParametric::findMinMax(double t, double range)
{
    double lo = t - range, hi = t + range;
    double atLo = slopeAtT(lo);
    const double atHi = slopeAtT(hi);
    if (std::isnan(atLo) || std::isnan(atHi) || std::signbit(atLo) == std::signbit(atHi))
        return t;
    double mid = t;
    for (int i = 0; i < kMaxHalvings; ++i) {
        mid = (lo + hi) / 2;
        const double atMid = slopeAtT(mid);
        if (std::signbit(atMid) != std::signbit(atLo)) {
            hi = mid;
        } else {
            lo = mid;
            atLo = atMid;
        }
        if (hi - lo <= 1e-10 || std::fabs(atLo) <= 1e-10)
            break;
    }
    const double y = YAtT(mid);
    if (!std::isfinite(y))
        calc.setFeatureLock(FeatureAsymptote);
    else if (std::fabs(y) < 1e-10)
        calc.setFeatureLock(FeatureZero);
    else
        calc.setFeatureLock(YAtT(mid + kDerivativeStep) > y ? FeatureMinimum : FeatureMaximum);
    return mid;
}

double PlotParametric::spanForDistance(double t, double range)
{
    const double tStep = calc.getVar(kSlotTstep).value.real();
    const double x0 = XAtT(t), y0 = YAtT(t);
    double span = tStep;
    for (int i = 0; i < kMaxSpanSteps; ++i) {
        const double x = XAtT(t + span);
        const double d = std::hypot(x0 - x, y0 - YAtT(t + span));
        // A curve standing still (or undefined) there gives no scale: keep the step.
        if (!(d > 0) || !std::isfinite(d))
            return tStep;
        if (std::fabs(d - range) < range / 100)
            break;
        span = span * range / d;
    }
    return span;
}

PlotPoint PlotParametric::PtAtT(double t, double range, const PlotList&)
{
    calc.setFeatureLock(FeatureNone);
    const double span = spanForDistance(t, range);
    double snapped = findZero(t, span);
    if (calc.featureLock == FeatureNone)
        snapped = findMinMax(t, span);
    // A zero or turning point the curve reaches only outside Tmin..Tmax is not on the plot.
    const double tMin = calc.getVar(kSlotTmin).value.real(), tMax = calc.getVar(kSlotTmax).value.real();
    if (calc.featureLock != FeatureNone && !(snapped >= std::min(tMin, tMax) && snapped <= std::max(tMin, tMax))) {
        calc.setFeatureLock(FeatureNone);
        snapped = t;
    }
    const double x = XAtT(snapped);
    const bool onAxis = calc.featureLock == FeatureZero || calc.featureLock == FeatureAsymptote;
    return {x, onAxis ? 0.0 : YAtT(snapped), snapped};
}

std::optional<std::vector<std::string>> PlotParametric::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const PlotPoint p = calc.pTrackPoint;
    if (calc.state().drawExpr && calc.yEqManager) {
        lines.push_back("x=" + calc.yEqManager->eqString(xToken()));
        lines.push_back("y=" + calc.yEqManager->eqString(yToken()));
        addVariableLines(lines);
    }
    if (calc.state().drawCoord) {
        lines.push_back("t:" + calc.formatReal(p.t));
        if (calc.state().graphCoordFormat == 1) {
            addPolarLines(lines, p);
        } else {
            lines.push_back("x:" + calc.formatReal(p.x));
            lines.push_back("y:" + calc.formatReal(p.y));
        }
    }
    if (calc.state().drawDyDx) {
        lines.push_back("dy/dx:" + calc.formatReal(slopeAtT(p.t)));
        lines.push_back("dx/dt:" + calc.formatReal(dxdtAtT(p.t)));
        lines.push_back("dy/dt:" + calc.formatReal(dydtAtT(p.t)));
    }
    return lines;
}

std::optional<std::string> PlotParametric::label()
{
    if (!calc.yEqManager)
        return std::nullopt;
    return "x=" + calc.yEqManager->eqString(xToken()) + ", y=" + calc.yEqManager->eqString(yToken());
}

std::optional<std::map<std::string, PlotObject::Ops>> PlotParametric::equationOps()
{
    const auto hold = calc.lockState();
    if (!calc.state().drawExpr || !calc.yEqManager)
        return std::nullopt;
    return std::map<std::string, Ops>{{"Xt=", calc.yEqManager->plotForFunction(xToken()).value_or(Ops{})},
                                      {"Yt=", calc.yEqManager->plotForFunction(yToken()).value_or(Ops{})}};
}

} // namespace orvenda
