#include "stats/PlotRegression.h"

#include "core/Calculator.h"
#include "graph/PlotLine.h"
#include "numeric/VQStatistics.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace orvenda {

namespace {

constexpr double kSlopeStep = 1e-5;
constexpr int kBisections = 40;
constexpr double kTolerance = 1e-10;
constexpr double kCross = 5;

// The models' label formats, the coefficients in the order they fill them.
struct LabelFormat {
    const char* format;
    const char* coefficients;
};
constexpr std::array<LabelFormat, 11> kLabels{{
    {"LinReg(%@+%@x)", "ab"},
    {"LinReg(%@x+%@)", "ab"},
    {"Med-Med(%@x+%@)", "ab"},
    {"ExpReg(%@%@\xCB\xA3)", "ab"},
    {"LnReg(%@+%@ ln(x))", "ab"},
    {"PwrReg(%@x^%@)", "ab"},
    {"QuadReg(%@x\xC2\xB2+%@x+%@)", "abc"},
    {"CubicReg(%@x\xC2\xB3+%@x\xC2\xB2+%@x+%@)", "abcd"},
    {"QuartReg(%@x\xE2\x81\xB4+%@x\xC2\xB3+%@x\xC2\xB2+%@x+%@)", "abcde"},
    {"Logistic(%@/(1+%@e^(-%@x))", "cab"},
    {"SinReg(%@sin(%@x+%@)+%@)", "abcd"},
}};

// The coefficients each model shows on its lines, in order.
constexpr std::array<const char*, 11> kCoefficientLines{"ab", "ab", "ab", "ab", "ab", "ab", "abc", "abcd", "abcde", "abc", "abcd"};

bool differ(double a, double b) { return std::signbit(a) != std::signbit(b); }

} // namespace

PlotRegression::PlotRegression(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotRegression;
}

void PlotRegression::setFitModel(int model)
{
    doCompute_ = doCompute_ || model != fitModel_;
    fitModel_ = model;
}

void PlotRegression::setEqNum(int plot)
{
    eqNum = plot;
    doCompute_ = true;
}

void PlotRegression::setStyle(int s)
{
    style = s;
    doCompute_ = true;
}

double PlotRegression::coefficient(char name) const
{
    switch (name) {
    case 'a': return a_;
    case 'b': return b_;
    case 'c': return c_;
    case 'd': return d_;
    default: return e_;
    }
}

void PlotRegression::computeRegression()
{
    if (!doCompute_)
        return;
    doCompute_ = false;
    a_ = b_ = c_ = d_ = e_ = 0;
    p1_ = p2_ = p3_ = Point{};
    if (!stats)
        return;
    const auto hold = calc.lockState();
    VQStatistics& s = *stats;
    int error = 0;
    switch (fitModel_) {
    case VQStatistics::MedMed:
        error = s.medMedRegression();
        break;
    case VQStatistics::QuadReg:
    case VQStatistics::CubicReg:
    case VQStatistics::QuartReg:
        error = s.polyRegressionModel(fitModel_);
        break;
    case VQStatistics::Logistic:
        error = s.logisticRegression();
        break;
    case VQStatistics::SinReg:
        error = s.sinRegressionFreq(0);
        break;
    case VQStatistics::LinRegAXB:
    case VQStatistics::ExpReg:
    case VQStatistics::LnReg:
    case VQStatistics::PwrReg:
        error = s.leastSquaresRegressionModel(fitModel_);
        break;
    default:
        error = s.leastSquaresRegressionModel(VQStatistics::LinRegABX);
        break;
    }
    if (error != 0)
        return;
    a_ = s.a;
    b_ = s.b;
    if (fitModel_ == VQStatistics::MedMed) {
        p1_ = {s.P1.x, s.P1.y};
        p2_ = {s.P2.x, s.P2.y};
        p3_ = {s.P3.x, s.P3.y};
    }
    if (fitModel_ >= VQStatistics::QuadReg && fitModel_ <= VQStatistics::SinReg)
        c_ = s.c;
    if (fitModel_ == VQStatistics::CubicReg || fitModel_ == VQStatistics::QuartReg || fitModel_ == VQStatistics::SinReg)
        d_ = s.d;
    if (fitModel_ == VQStatistics::QuartReg)
        e_ = s.e;
}

double PlotRegression::YAtT(double x)
{
    computeRegression();
    switch (fitModel_) {
    case VQStatistics::LinRegAXB:
    case VQStatistics::MedMed:
        return a_ * x + b_;
    case VQStatistics::ExpReg:
        return a_ * std::pow(b_, x);
    case VQStatistics::LnReg:
        return a_ + b_ * std::log(x);
    case VQStatistics::PwrReg:
        return a_ * std::pow(x, b_);
    case VQStatistics::QuadReg:
        return (a_ * x + b_) * x + c_;
    case VQStatistics::CubicReg:
        return ((a_ * x + b_) * x + c_) * x + d_;
    case VQStatistics::QuartReg:
        return (((a_ * x + b_) * x + c_) * x + d_) * x + e_;
    case VQStatistics::Logistic:
        return c_ / (1 + a_ * std::exp(-b_ * x));
    case VQStatistics::SinReg:
        return a_ * std::sin(b_ * x + c_) + d_;
    default:
        return a_ + b_ * x;
    }
}

double PlotRegression::slopeAtT(double x)
{
    computeRegression();
    const double lo = XAtT(x - kSlopeStep), hi = XAtT(x + kSlopeStep);
    return (YAtT(hi) - YAtT(lo)) / (hi - lo);
}

PlotRegression::Point PlotRegression::projectPt(const Point& p, const Point& p1, const Point& p2)
{
    if (std::fabs(p1.x - p2.x) < 1e-99)
        return {p1.x, p.y};
    if (std::fabs(p1.y - p2.y) < 1e-99)
        return {p.x, p1.y};
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    const double u = ((p.x - p1.x) * dx + (p.y - p1.y) * dy) / (dx * dx + dy * dy);
    return {p1.x + u * dx, p1.y + u * dy};
}

// ---- Drawing ----

double PlotRegression::viewY(double y, const QRectF& rect, const GraphTransform& t)
{
    if (std::isnan(y))
        return t.ty;
    if (y == INFINITY)
        return rect.top();
    if (y == -INFINITY)
        return rect.bottom();
    return y * t.d + t.ty;
}

void PlotRegression::drawCurve(const QRectF& rect, const GraphTransform& t)
{
    double x0 = (rect.x() - t.tx) / t.a;
    double column = rect.x();
    double w = rect.width();
    // The logarithm and the power are curves of positive x only.
    if ((fitModel_ == VQStatistics::LnReg || fitModel_ == VQStatistics::PwrReg) && x0 < 0) {
        x0 = 0;
        w -= t.tx - column;
        column = t.tx;
        if (w < 0)
            return;
    }
    const double x1 = x0 + w / t.a;
    if (fitModel_ <= VQStatistics::MedMed) {
        path_.moveTo(column, viewY(YAtT(x0), rect, t));
        path_.lineTo(column + w, viewY(YAtT(x1), rect, t));
    } else {
        const double step = (x1 - x0) / w;
        bool first = true;
        int i = 0;
        for (double x = x0; x <= x1; x = x0 + (++i) * step) {
            const QPointF at(column + i, viewY(YAtT(x), rect, t));
            if (first)
                path_.moveTo(at);
            else
                path_.lineTo(at);
            first = false;
        }
    }
    if (fitModel_ != VQStatistics::MedMed)
        return;
    const auto cross = [&](const Point& p) {
        const double vx = p.x * t.a + t.tx, vy = p.y * t.d + t.ty;
        path_.moveTo(vx - kCross, vy - kCross);
        path_.lineTo(vx + kCross, vy + kCross);
        path_.moveTo(vx + kCross, vy - kCross);
        path_.lineTo(vx - kCross, vy + kCross);
    };
    const auto finite = [](const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); };
    if (finite(p1_))
        cross(p1_);
    if (finite(p2_)) {
        cross(p2_);
        if (finite(p3_))
            cross(p3_);
    }
}

void PlotRegression::drawPolynomial(const QRectF& rect, const GraphTransform& t)
{
    const double step = 1 / t.a;
    const double x0 = (rect.x() - t.tx) / t.a;
    const int samples = static_cast<int>(std::floor(rect.width())) + 5;
    for (int i = 0; i < samples; ++i) {
        const double x = x0 + (i - 2) * step;
        const QPointF at(x * t.a + t.tx, viewY(YAtT(x), rect, t));
        if (i == 0)
            path_.moveTo(at);
        else
            path_.lineTo(at);
    }
}

void PlotRegression::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    computeRegression();
    {
        const auto hold = calc.lockState();
        if (!stats || stats->listX.type() != 0 || stats->listY.type() != 0)
            return;
    }
    path_.clear();
    const bool curve = fitModel_ >= 0 && fitModel_ <= VQStatistics::PwrReg;
    const bool polynomial = fitModel_ >= VQStatistics::QuadReg && fitModel_ <= VQStatistics::SinReg;
    if (curve)
        drawCurve(rect, t);
    else if (polynomial)
        drawPolynomial(rect, t);
    else
        return;
    context.save();
    context.setBrush(Qt::NoBrush);
    context.strokePath(path_, QPen(colorAt(0.7), curve ? 2 : 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.restore();
}

void PlotRegression::drawPtAt(const QPointF& at, QPainter& context)
{
    if (!GraphGeometry::pointIsFinite(at.x(), at.y()))
        return;
    computeRegression();
    context.save();
    context.setPen(QPen(colorAt(1), context.pen().widthF()));
    context.setBrush(Qt::NoBrush);
    context.drawEllipse(at, 3, 3);
    context.restore();
}

bool PlotRegression::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    computeRegression();
    const double ex = err / t.a;
    double best = 1e99;
    PlotPoint nearest = pt;
    for (int k = 0; k < 8; ++k) {
        const double x = pt.x - ex + k * ex / 4;
        const double y = YAtT(x);
        const double distance = std::hypot((x - pt.x) * t.a, (y - pt.y) * t.d);
        if (distance <= best) {
            best = distance;
            nearest = {x, y, x};
        }
    }
    pt = nearest;
    return best < err;
}

// ---- Searches ----

double PlotRegression::findZero(double x, double r)
{
    const double lo = x - r, hi = x + r;
    if (!(lo < hi))
        return x;
    const double step = r / 30;
    double a = 0, ya = NAN, b = 0;
    bool bracketed = false;
    int i = 0;
    for (double v = lo; v < hi; v = lo + (++i) * step) {
        const double y = YAtT(v);
        if (std::isnan(y))
            continue;
        if (!std::isnan(ya) && differ(ya, y)) {
            b = v;
            bracketed = true;
            break;
        }
        a = v;
        ya = y;
    }
    if (!bracketed)
        return x;
    double m = a;
    for (int k = 0; k < kBisections; ++k) {
        m = (a + b) / 2;
        const double y = YAtT(m);
        if (std::isnan(y))
            return x;
        if (std::fabs(y) <= kTolerance)
            break;
        if (differ(y, ya)) {
            b = m;
        } else {
            a = m;
            ya = y;
        }
        if (b - a <= kTolerance)
            break;
    }
    calc.setFeatureLock(FeatureZero);
    return m;
}

double PlotRegression::findMinMax(double x, double r)
{
    calc.setFeatureLock(FeatureNone);
    double lo = x - r, hi = x + r;
    double sLo = slopeAtT(lo);
    const double sHi = slopeAtT(hi);
    if (std::isnan(sLo) || std::isnan(sHi) || !differ(sLo, sHi))
        return x;
    double m = lo;
    for (int k = 0; k < kBisections; ++k) {
        m = (lo + hi) / 2;
        const double s = slopeAtT(m);
        if (differ(s, sLo)) {
            hi = m;
        } else {
            lo = m;
            sLo = s;
        }
        if (hi - lo <= kTolerance || std::fabs(sLo) <= kTolerance)
            break;
    }
    const double y = YAtT(m);
    if (std::fabs(y) < kTolerance)
        calc.setFeatureLock(FeatureZero);
    else
        calc.setFeatureLock(YAtT(m + kSlopeStep) > y ? FeatureMinimum : FeatureMaximum);
    return m;
}

double PlotRegression::findIntersection(double x, double r, const PlotList& other)
{
    return PlotLine::searchIntersection(*this, x, r, other, false);
}

PlotPoint PlotRegression::PtAtT(double t, double range, const PlotList& other)
{
    computeRegression();
    calc.setFeatureLock(FeatureNone);
    double x = findZero(t, range);
    if (calc.featureLock == FeatureZero)
        return {x, 0, x};
    x = findIntersection(t, range, other);
    if (calc.featureLock == FeatureNone)
        x = findMinMax(t, range);
    return {x, YAtT(x), x};
}

// ---- Text ----

std::optional<std::string> PlotRegression::label()
{
    computeRegression();
    const int model = fitModel_ >= 0 && fitModel_ < int(kLabels.size()) ? fitModel_ : 0;
    const LabelFormat& f = kLabels[std::size_t(model)];
    std::string text;
    const char* next = f.coefficients;
    for (const char* p = f.format; *p; ++p) {
        if (p[0] == '%' && p[1] == '@' && *next) {
            text += calc.formatReal(coefficient(*next++));
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

std::optional<std::vector<std::string>> PlotRegression::infoLines()
{
    computeRegression();
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    lines.reserve(3);
    if (calc.state().drawExpr && fitModel_ >= 0 && fitModel_ < int(kCoefficientLines.size())) {
        lines.push_back(calc.nameForRegression(fitModel_).value_or(std::string()));
        for (const char* c = kCoefficientLines[std::size_t(fitModel_)]; *c; ++c)
            lines.push_back(std::string(1, *c) + ":" + calc.formatReal(coefficient(*c)));
    }
    if (calc.state().drawCoord)
        addCoordinateLines(lines, "x:", "y:");
    if (calc.state().drawDyDx) {
        // The curve's own slope at the traced x.
        const bool extremum = calc.featureLock == FeatureMinimum || calc.featureLock == FeatureMaximum;
        lines.push_back("dy/dx:" + calc.formatReal(extremum ? 0 : slopeAtT(calc.pTrackPoint.x)));
    }
    return lines;
}

} // namespace orvenda
