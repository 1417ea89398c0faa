#include "graph/PlotCircle.h"

#include "core/Calculator.h"

#include <QPainter>
#include <QRectF>

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHalfPi = std::numbers::pi / 2;

} // namespace

PlotCircle::PlotCircle(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotCircle;
}

double PlotCircle::XAtT(double t)
{
    return center.x + radius * std::cos(t);
}

double PlotCircle::YAtT(double t)
{
    return center.y + radius * std::sin(t);
}

double PlotCircle::slopeAtT(double t)
{
    return -std::cos(t) / std::sin(t);
}

double PlotCircle::halfChord(double x) const
{
    const double dx = center.x - x;
    return std::fabs(dx) > radius ? kNaN : std::sqrt(radius * radius - dx * dx);
}

double PlotCircle::YAtX(double x)
{
    return center.y + halfChord(x);
}

double PlotCircle::Y2AtX(double x)
{
    return center.y - halfChord(x);
}

double PlotCircle::YAtX(double x, double near)
{
    const double upper = YAtX(x), lower = Y2AtX(x);
    if (!std::isfinite(lower))
        return upper;
    if (!std::isfinite(upper))
        return lower;
    return std::fabs(upper - near) < std::fabs(lower - near) ? upper : lower;
}

void PlotCircle::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t) || !GraphGeometry::pointIsFinite(center.x, center.y)
        || !std::isfinite(radius))
        return;
    const QRectF oval((center.x - radius) * t.a + t.tx, (center.y + radius) * t.d + t.ty, 2 * radius * t.a,
                      -2 * radius * t.d);
    const double w = lineWidth;
    if (!oval.adjusted(-w, -w, w, w).intersects(rect))
        return;
    if (fillPercent > 0) {
        context.setPen(Qt::NoPen);
        context.setBrush(colorAt(fillPercent));
        context.drawEllipse(oval);
    }
    context.setBrush(Qt::NoBrush);
    if (selected()) {
        context.setPen(QPen(colorAt(0.3), w + 6));
        context.drawEllipse(oval);
        const QPointF c = oval.center();
        context.setPen(QPen(colorAt(1), 2));
        context.drawLine(QLineF(c.x() - 4, c.y(), c.x() + 4, c.y()));
        context.drawLine(QLineF(c.x(), c.y() - 4, c.x(), c.y() + 4));
    }
    context.setPen(QPen(colorAt(1), w));
    context.drawEllipse(oval);
}

double PlotCircle::findZero(double t, double range)
{
    // Where the circle does not reach the x-axis it still has a top and a bottom.
    double angle = t;
    if (std::fabs(center.y) <= radius) {
        const double x = XAtT(t), y = YAtT(t);
        const double root = std::sqrt(radius * radius - center.y * center.y);
        const double right = center.x + root, left = center.x - root;
        const double x0 = std::fabs(right - x) < std::fabs(left - x) ? right : left;
        angle = std::atan2(-center.y, x0 - center.x);
        if (std::hypot(x0 - x, y) < range) {
            calc.setFeatureLock(FeatureZero);
            return angle;
        }
    }
    if (std::fabs(t - kHalfPi) < range) {
        calc.setFeatureLock(FeatureMaximum);
        return kHalfPi;
    }
    if (std::fabs(t + kHalfPi) < range) {
        calc.setFeatureLock(FeatureMinimum);
        return -kHalfPi;
    }
    return angle;
}

bool PlotCircle::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    calc.setFeatureLock(FeatureNone);
    double theta = std::atan2(pt.y - center.y, pt.x - center.x);
    const double z = findZero(theta, 4 / t.a);
    if (calc.featureLock != FeatureNone)
        theta = z;
    const double distance = std::hypot((XAtT(theta) - pt.x) * t.a, (YAtT(theta) - pt.y) * t.d);
    pt.t = theta;
    return distance <= err;
}

PlotPoint PlotCircle::PtAtT(double t, double range, const PlotList& other)
{
    calc.setFeatureLock(FeatureNone);
    double z = findZero(t, range);
    if (calc.featureLock == FeatureNone)
        z = findIntersection(t, range, other);
    const double theta = calc.featureLock != FeatureNone ? z : t;
    return {XAtT(theta), YAtT(theta), theta};
}

double PlotCircle::findIntersection(double t, double range, const PlotList& other)
{
    const double lo0 = t - radius * range, hi0 = t + radius * range;
    const double px = XAtT(t), py = YAtT(t);
    for (const auto& o : other) {
        if (!o || o.get() == this || o->plotType > PlotFn)
            continue;
        const int type = o->plotType;
        if (type == PlotFunction || type == PlotDistribution || type == PlotRegression || type == PlotLine
            || type == PlotFn) {
            // The distance of the other plot's point above X(θ) from the circle.
            double y = kNaN;
            const auto g = [&](double angle) {
                const double x = XAtT(angle);
                y = o->YAtT(x);
                return std::hypot(y - center.y, x - center.x) - radius;
            };
            double lo = lo0, hi = hi0;
            double gLo = g(lo);
            const double gHi = g(hi);
            if (!std::isfinite(gLo) || !std::isfinite(gHi) || std::signbit(gLo) == std::signbit(gHi))
                continue;
            bool converged = false;
            double mid = lo;
            for (int i = 0; i < 40 && !converged; ++i) {
                mid = (lo + hi) * 0.5;
                const double gm = g(mid);
                if (std::fabs(gm) <= 1e-10) {
                    converged = true;
                    break;
                }
                if (std::signbit(gm) == std::signbit(gLo)) {
                    lo = mid;
                    gLo = gm;
                } else {
                    hi = mid;
                }
                converged = hi - lo <= 1e-10;
                if (converged)
                    mid = (lo + hi) * 0.5;
            }
            // A sign change of g on the far side of the circle is no meeting.
            if (converged && std::fabs(YAtT(mid) - y) < 1e-6) {
                calc.setFeatureLock(FeatureIntersection);
                return mid;
            }
        } else if (type == PlotObject::PlotCircle) {
            const auto& c2 = static_cast<const orvenda::PlotCircle&>(*o);
            const double r = radius, r2 = c2.radius;
            const double ex = c2.center.x - center.x, ey = c2.center.y - center.y;
            const double d = std::hypot(ex, ey);
            if (d > r + r2 || d < std::fabs(r - r2))
                continue;
            const double a = (r * r - r2 * r2 + d * d) / (2 * d);
            const double mx = center.x + a / d * ex, my = center.y + a / d * ey;
            double qx = mx, qy = my, q2x = mx, q2y = my;
            if (d != r + r2) {
                const double h = std::sqrt(r * r - a * a) / d;
                qx = mx + h * ey;
                qy = my - h * ex;
                q2x = mx - h * ey;
                q2y = my + h * ex;
            }
            const double d1 = std::hypot(qx - px, qy - py), d2 = std::hypot(q2x - px, q2y - py);
            const bool first = d1 < range, second = d2 < range;
            if (!first && !second)
                continue;
            const bool useFirst = first && (!second || d1 < d2);
            calc.setFeatureLock(FeatureIntersection);
            return useFirst ? std::atan2(qy - center.y, qx - center.x) : std::atan2(q2y - center.y, q2x - center.x);
        }
    }
    return t;
}

std::optional<std::vector<std::string>> PlotCircle::infoLines()
{
    // The format switches are the calculator's modes.
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    if (calc.state().drawExpr)
        lines.push_back(*label());
    if (calc.state().drawCoord)
        addCoordinateLines(lines);
    if (calc.state().drawDyDx)
        lines.push_back("dy/dx:" + calc.formatReal(calc.pTrackSlope));
    return lines;
}

std::optional<std::string> PlotCircle::label()
{
    return "Circle(" + calc.formatReal(center.x) + "," + calc.formatReal(center.y) + "," + calc.formatReal(radius) + ")";
}

} // namespace orvenda
