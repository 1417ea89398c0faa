#include "graph/PlotLine.h"

#include "core/Calculator.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kArrowLength = 20;
constexpr double kArrowHalfWidth = 5;

bool boxesMeet(const QRectF& r, double x, double y, double w, double h)
{
    return x <= r.right() && x + w >= r.left() && y <= r.bottom() && y + h >= r.top();
}

// The part of the segment inside the rectangle (Liang–Barsky); false when none. Keeps
// the painter away from coordinates far beyond the tile.
bool clip(QLineF& line, const QRectF& r)
{
    const double x1 = line.x1(), y1 = line.y1(), dx = line.dx(), dy = line.dy();
    double t0 = 0, t1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - r.left(), r.right() - x1, y1 - r.top(), r.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double u = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, u);
        else
            t1 = std::min(t1, u);
    }
    if (!(t0 <= t1))
        return false;
    line = QLineF(x1 + t0 * dx, y1 + t0 * dy, x1 + t1 * dx, y1 + t1 * dy);
    return true;
}

// y lies on the line's y-extent; a line whose ends are both infinite spans every y.
bool spans(double y, double y1, double y2)
{
    if (!std::isfinite(y1) && !std::isfinite(y2))
        return std::isfinite(y);
    return std::min(y1, y2) <= y && y <= std::max(y1, y2);
}

} // namespace

PlotLine::PlotLine(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotLine;
}

double PlotLine::YAtX(double x)
{
    if (vertical() || x < std::min(p1.x, p2.x) || x > std::max(p1.x, p2.x))
        return kNaN;
    const double m = (p1.y - p2.y) / (p1.x - p2.x);
    return m * x + (p1.y - m * p1.x);
}

double PlotLine::slopeAtT(double)
{
    return (p1.y - p2.y) / (p1.x - p2.x);
}

void PlotLine::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    double x1 = p1.x * t.a + t.tx, x2 = p2.x * t.a + t.tx;
    if (p1.x == kInf && p2.x == kInf) {
        x1 = rect.left();
        x2 = rect.right();
    }
    double y1 = p1.y * t.d + t.ty, y2 = p2.y * t.d + t.ty;
    if (p1.y == kInf && p2.y == kInf) {
        y1 = rect.top();
        y2 = rect.bottom();
    }
    const double w = lineWidth;
    if (!boxesMeet(rect, std::min(x1, x2) - w, std::min(y1, y2) - w, std::fabs(x2 - x1) + 2 * w,
                   std::fabs(y2 - y1) + 2 * w))
        return;

    const QRectF visible = rect.adjusted(-w - kArrowLength, -w - kArrowLength, w + kArrowLength, w + kArrowLength);
    QLineF shaft(x1, y1, x2, y2);
    if (selected()) {
        QLineF halo = shaft;
        if (clip(halo, visible)) {
            context.setPen(QPen(colorAt(0.3), w + 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            context.drawLine(halo);
        }
    }
    const double length = std::hypot(x2 - x1, y2 - y1);
    if (length != 0) {
        const double ux = (x2 - x1) / length, uy = (y2 - y1) / length;
        // The head's tip is the end; the shaft stops at the middle of its base.
        const auto head = [&](double tipX, double tipY, double towardX, double towardY) {
            const double bx = tipX + towardX * kArrowLength, by = tipY + towardY * kArrowLength;
            const QPolygonF triangle{QPointF(tipX, tipY),
                                     QPointF(bx - towardY * kArrowHalfWidth, by + towardX * kArrowHalfWidth),
                                     QPointF(bx + towardY * kArrowHalfWidth, by - towardX * kArrowHalfWidth)};
            if (visible.intersects(triangle.boundingRect())) {
                context.setPen(Qt::NoPen);
                context.setBrush(colorAt(1));
                context.drawPolygon(triangle);
            }
            return QPointF(bx, by);
        };
        if (style == 2 || style == 3)
            shaft.setP2(head(x2, y2, -ux, -uy));
        if (style == 1 || style == 3)
            shaft.setP1(head(x1, y1, ux, uy));
    }
    if (!clip(shaft, visible))
        return;
    context.setBrush(Qt::NoBrush);
    context.setPen(QPen(colorAt(1), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.drawLine(shaft);
}

bool PlotLine::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (p1.y == p2.y) {
        const double distance = std::fabs((pt.y - p1.y) * t.d);
        pt.y = p1.y;
        return distance <= err && std::min(p1.x, p2.x) <= pt.x && pt.x <= std::max(p1.x, p2.x);
    }
    if (vertical()) {
        const double distance = std::fabs(pt.x - p1.x) * t.a;
        pt.x = p1.x;
        return distance <= err && std::min(p1.y, p2.y) <= pt.y && pt.y <= std::max(p1.y, p2.y);
    }
    const double x = pt.x, y = pt.y;
    const double ex = p2.x - p1.x, ey = p2.y - p1.y;
    const double u = ((x - p1.x) * ex + (y - p1.y) * ey) / (ex * ex + ey * ey);
    const double fx = p1.x + u * ex, fy = p1.y + u * ey;
    pt = {fx, fy, fx};
    if (!(u >= 0 && u <= 1))
        return false;
    return std::hypot(t.a * (fx - x), t.d * (fy - y)) <= err;
}

double PlotLine::findZero(double t, double range)
{
    if (vertical()) {
        if (t == p1.x)
            calc.setFeatureLock(FeatureZero);
        return p1.x;
    }
    const double m = (p1.y - p2.y) / (p1.x - p2.x);
    const double x0 = p1.x - p1.y / m;
    // Only a crossing on the segment itself is a zero of the line.
    const bool onSegment = std::min(p1.x, p2.x) <= x0 && x0 <= std::max(p1.x, p2.x);
    if (onSegment && t - range <= x0 && x0 <= t + range)
        calc.setFeatureLock(FeatureZero);
    return x0;
}

double PlotLine::findIntersection(double t, double range, const PlotList& other)
{
    return searchIntersection(*this, t, range, other, true);
}

double PlotLine::searchIntersection(PlotObject& self, double t, double range, const PlotList& other,
                                   bool anyNaNGivesUp, const Bisection& limits)
{
    const double lo = t - range, hi = t + range;
    const double yLo = self.YAtT(lo), yHi = self.YAtT(hi), yT = self.YAtT(t);
    const int nans = std::isnan(yLo) + std::isnan(yHi) + std::isnan(yT);
    if (anyNaNGivesUp ? nans > 0 : nans == 3)
        return t;
    // The crossing of the y-axis counts as an intersection ("isect").
    if (lo <= 0 && 0 <= hi && std::isfinite(self.YAtT(0))) {
        self.calc.setFeatureLock(FeatureIntersection);
        return 0;
    }
    for (const auto& o : other) {
        if (!o || o.get() == &self || o->plotType > PlotFn)
            continue;
        switch (o->plotType) {
        case PlotObject::PlotLine: {
            const auto& line = static_cast<const orvenda::PlotLine&>(*o);
            const double xv = line.p1.x;
            if (line.vertical() && lo <= xv && xv <= hi) {
                if (spans(self.YAtT(xv), line.p1.y, line.p2.y))
                    self.calc.setFeatureLock(FeatureIntersection);
                return xv;
            }
            break;
        }
        case PlotFunction: case PlotDistribution: case PlotRegression: case PlotCircle: case PlotFn:
            break;
        default:
            continue;
        }
        const double oLo = o->YAtX(lo, yT), oHi = o->YAtX(hi, yT);
        if (std::isnan(oLo) || std::isnan(oHi))
            continue;
        double a = lo, b = hi, fa = yLo - oLo;
        if (std::signbit(fa) == std::signbit(yHi - oHi))
            continue;
        double mid = a, f = fa;
        bool met = false;
        for (int i = 1; i <= limits.probes; ++i) {
            mid = (a + b) * 0.5;
            const double y = self.YAtX(mid);
            f = y - o->YAtX(mid, y);
            met = std::fabs(f) <= 1e-10 || (i == limits.probes && std::fabs(f) < 1e-6);
            if (met)
                break;
            if (std::signbit(f) == std::signbit(fa)) {
                a = mid;
                fa = f;
            } else {
                b = mid;
            }
            if (i < limits.probes && b - a <= limits.bracket) {
                met = !limits.bracketMustMeet || std::fabs(f) < 1e-6;
                break;
            }
        }
        if (met) {
            self.calc.setFeatureLock(FeatureIntersection);
            return mid;
        }
    }
    return t;
}

PlotPoint PlotLine::PtAtT(double t, double range, const PlotList& other)
{
    calc.setFeatureLock(FeatureNone);
    const double z = findZero(t, range);
    if (calc.featureLock == FeatureZero)
        return {z, 0, z};
    double x = findIntersection(t, range, other);
    if (calc.featureLock == FeatureNone) {
        if (std::fabs(p1.x - x) < range)
            x = p1.x;
        else if (std::fabs(p2.x - x) < range)
            x = p2.x;
    }
    return {x, YAtT(x), x};
}

std::optional<std::vector<std::string>> PlotLine::infoLines()
{
    // The format switches are the calculator's modes.
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const auto f = [this](double v) { return calc.formatReal(v); };
    if (calc.state().drawExpr) {
        if (p1.x == kInf) {
            lines.push_back("Horizontal " + f(p1.y));
            lines.push_back("y=" + f(p1.y));
        } else if (vertical()) {
            lines.push_back("Vertical " + f(p1.x));
            lines.push_back("x=" + f(p1.x));
        } else if (p1.y == p2.y) {
            lines.push_back("Horizontal " + f(p1.y));
            lines.push_back("y=" + f(p1.y));
        } else {
            lines.push_back("Line(" + f(p1.x) + "," + f(p1.y) + "," + f(p2.x) + "," + f(p2.y) + ")");
            const double m = (p2.y - p1.y) / (p2.x - p1.x);
            const double b = p1.y - m * p1.x;
            lines.push_back("y=" + f(m) + "x" + (b < 0 ? "" : "+") + f(b));
        }
    }
    if (calc.state().drawCoord)
        addCoordinateLines(lines);
    if (calc.state().drawDyDx)
        lines.push_back("dy/dx:" + f(slopeAtT(0)));
    return lines;
}

std::optional<std::string> PlotLine::label()
{
    const auto f = [this](double v) { return calc.formatReal(v); };
    if (p1.y == kInf)
        return "Vertical " + f(p1.x);
    if (p1.x == kInf)
        return "Horizontal " + f(p1.y);
    return "Line(" + f(p1.x) + "," + f(p1.y) + "," + f(p2.x) + "," + f(p2.y) + ")";
}

} // namespace orvenda
