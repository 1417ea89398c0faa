#include "apps/PlotGeometry.h"

#include "apps/GeometryModel.h"
#include "core/Calculator.h"
#include "drawing/VQRender.h"
#include "graph/FixedGraphView.h"
#include "graph/GraphGeometry.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace orvenda {

namespace {

constexpr double kPi = std::numbers::pi;
using G = GeometryModel;

bool finite(double v) { return std::isfinite(v); }

} // namespace

// What one drawing shares: the painter, the tile, the transform, the label font and colour.
struct PlotGeometry::Paint {
    QPainter& p;
    QRectF rect;
    GraphTransform t;
    QFont font;
    QColor labelColor;
    QColor fill, outline, half;
    double width;
    std::vector<Label>* labels;
    // Where the axes' numbers and their ticks stand: no name is written over one.
    const std::vector<QRectF>* numbers;

    QPointF pt(double x, double y) const { return {t.a * x + t.tx, t.d * y + t.ty}; }
    void fillAndOutline(const QPainterPath& path, double lineWidth)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(path);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(outline, lineWidth));
        p.drawPath(path);
    }
    // The name of the part at anchor, its baseline starting at anchor + offset. A name that
    // would stand on an axis number or tick moves up or down past it, whichever keeps it
    // nearer its part.
    void label(const QString& text, QPointF anchor, QPointF offset)
    {
        const QFontMetricsF metrics(font);
        const QPointF at = anchor + offset;
        QRectF box(at.x(), at.y() - metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
        const auto clash = [&](const QRectF& r) -> const QRectF* {
            for (const QRectF& number : *numbers)
                if (r.intersects(number))
                    return &number;
            return nullptr;
        };
        if (clash(box)) {
            std::optional<QRectF> best;
            for (const bool up : {true, false}) {
                QRectF moved = box;
                for (std::size_t k = 0; k <= numbers->size(); ++k) {
                    const QRectF* number = clash(moved);
                    if (!number) {
                        const auto distance = [&](const QRectF& r) { return std::fabs(r.center().y() - anchor.y()); };
                        if (!best || distance(moved) < distance(*best))
                            best = moved;
                        break;
                    }
                    moved.moveTop(up ? number->top() - moved.height() - 1 : number->bottom() + 1);
                }
            }
            if (best)
                box = *best;
        }
        p.setFont(font);
        p.setPen(labelColor);
        p.drawText(QPointF(box.left(), box.top() + metrics.ascent()), text);
        labels->push_back({text, box});
    }
    void dot(QPointF at, const QColor& colour)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(at, 3, 3);
        p.setBrush(Qt::NoBrush);
    }
    QPen dashed(const QColor& colour) const
    {
        QPen pen(colour, 1);
        pen.setDashPattern({12, 4});
        return pen;
    }
    // The whole line through two graph points across the tile, dashed.
    void wholeLine(double x1, double y1, double x2, double y2)
    {
        p.setPen(dashed(outline));
        if (std::fabs(x2 - x1) < 1e-16) {
            const double x = pt(x1, 0).x();
            p.drawLine(QPointF(x, rect.top() - 3), QPointF(x, rect.bottom() + 3));
        } else if (std::fabs(y2 - y1) < 1e-16) {
            const double y = pt(0, y1).y();
            p.drawLine(QPointF(rect.left() - 3, y), QPointF(rect.right() + 3, y));
        } else {
            const double m = (y2 - y1) / (x2 - x1), b = y1 - m * x1;
            const double left = (rect.left() - 3 - t.tx) / t.a, right = (rect.right() + 3 - t.tx) / t.a;
            p.drawLine(pt(left, m * left + b), pt(right, m * right + b));
        }
    }
};

PlotGeometry::PlotGeometry(Calculator& calc) : PlotObject(calc) { plotType = PlotObject::PlotGeometry; }

// The boxes of the numbers the graph writes along its axes over rect, as it lays them out,
// and of their ticks.
void PlotGeometry::takeAxisNumbers(const QRectF& rect, const GraphTransform& t, const QFont& font)
{
    numbers_.clear();
    if (!calc.locked()->drawLabel)
        return;
    GraphScale grid;
    calc.adjustScale(t.a, t.d, grid);
    const QFontMetricsF metrics(font);
    AxisLabels::layout(FixedGraphView::labelPlacement(rect, t), grid, t, metrics, axisLayout_);
    for (const AxisLabels::Label& number : axisLayout_.labels)
        numbers_.emplace_back(number.topLeft,
            QSizeF(metrics.horizontalAdvance(QString::fromStdString(number.text)), metrics.height()));
    for (const QLineF& tick : axisLayout_.ticks)
        numbers_.push_back(QRectF(tick.p1(), tick.p2()).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
}

double PlotGeometry::slot(int s) const
{
    const int i = s - kFirstSlot;
    return i >= 0 && i < kSlotCount ? slots_[static_cast<std::size_t>(i)] : 0;
}

void PlotGeometry::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t) || t.a == 0 || t.d == 0)
        return;
    bool white = false;
    {
        const auto state = calc.locked();
        white = state->whiteBackground;
        for (int i = 0; i < kSlotCount; ++i)
            slots_[static_cast<std::size_t>(i)] = state->vars[static_cast<std::size_t>(kFirstSlot + i)].real();
    }
    labels_.clear();
    const QFont font = FontMap::shared().font("Helvetica", 14);
    takeAxisNumbers(rect, t, font);
    Paint paint{context, rect, t, font, white ? QColor(Qt::black) : QColor(Qt::white), colorAt(0.3), colorAt(1),
        colorAt(0.5), style == 2 ? 2.0 : 4.0, &labels_, &numbers_};
    context.save();
    context.setRenderHint(QPainter::Antialiasing);
    switch (geometryFunction) {
    case G::Line: drawLine(paint); break;
    case G::Square: drawSquare(paint); break;
    case G::Rectangle: drawRectangle(paint); break;
    case G::Parallelogram: drawParallelogram(paint); break;
    case G::Triangle: drawTriangle(paint); break;
    case G::Polygon: drawPolygon(paint); break;
    case G::Circle: drawCircle(paint); break;
    case G::Arc: drawArc(paint); break;
    case G::Ellipse: drawEllipse(paint); break;
    case G::UnitCircle: drawUnitCircle(paint); break;
    default: break;
    }
    context.restore();
}

void PlotGeometry::drawLine(Paint& d)
{
    double v[8];
    for (int i = 0; i < 8; ++i) {
        v[i] = slot(160 + i);
        if (!finite(v[i]))
            return;
    }
    const int mode = G::subMode(slot(G::kLineModeSlot));
    const auto segment = [&](double x1, double y1, double x2, double y2) {
        d.wholeLine(x1, y1, x2, y2);
        if (selected()) {
            d.p.setPen(QPen(colorAt(0.3), style == 2 ? 8 : 7));
            d.p.drawLine(d.pt(x1, y1), d.pt(x2, y2));
        }
        d.p.setPen(QPen(d.outline, d.width));
        d.p.drawLine(d.pt(x1, y1), d.pt(x2, y2));
    };
    segment(v[0], v[1], v[2], v[3]);
    const QPointF p1 = d.pt(v[0], v[1]), p2 = d.pt(v[2], v[3]), p3 = d.pt(v[4], v[5]), p4 = d.pt(v[6], v[7]);
    if (mode == 2) {
        segment(v[4], v[5], v[6], v[7]);
        const double ix = slot(203), iy = slot(204);
        if (!finite(ix) || !finite(iy)) {
            d.dot(p1, d.outline);
            d.dot(p2, d.outline);
            return;
        }
        d.dot(d.pt(ix, iy), QColor(255, 255, 0));
        d.label(QStringLiteral("I"), d.pt(ix, iy), QPointF(2, 14));
    } else if (mode == 1) {
        const GraphGeometry::Point foot = GraphGeometry::perpendicularFoot(v[4], v[5], v[0], v[1], v[2], v[3]);
        if (finite(foot.x) && finite(foot.y)) {
            d.p.setPen(d.dashed(d.outline));
            d.p.drawLine(p3, d.pt(foot.x, foot.y));
            d.label(QStringLiteral("D"), (p3 + d.pt(foot.x, foot.y)) / 2, QPointF(2, 14));
        }
    }
    d.dot(p1, d.outline);
    d.dot(p2, d.outline);
    d.label(QStringLiteral("P1"), p1, QPointF(2, 14));
    d.label(QStringLiteral("P2"), p2, QPointF(2, 14));
    if (mode >= 1) {
        d.dot(p3, d.outline);
        d.label(mode == 1 ? QStringLiteral("Pt") : QStringLiteral("P3"), p3, QPointF(2, 14));
    }
    if (mode == 2) {
        d.dot(p4, d.outline);
        d.label(QStringLiteral("P4"), p4, QPointF(2, 14));
    }
}

void PlotGeometry::drawSquare(Paint& d)
{
    const double s = slot(176);
    if (!finite(s) || s == 0)
        return;
    const QRectF box = QRectF(d.pt(0, 0), d.pt(s, s)).normalized();
    QPainterPath path;
    path.addRect(box);
    d.fillAndOutline(path, d.width);
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(d.pt(0, 0), d.pt(s, s));
    d.label(QStringLiteral("s"), QPointF(box.center().x(), box.top()), QPointF(-7, -2));
    d.label(QStringLiteral("s"), QPointF(box.right(), box.center().y()), QPointF(2, 0));
    d.label(QStringLiteral("D"), box.center(), QPointF(-4, 7));
}

void PlotGeometry::drawRectangle(Paint& d)
{
    const double a = slot(177), b = slot(178);
    if (!finite(a) || !finite(b) || a == 0 || b == 0)
        return;
    const QRectF box = QRectF(d.pt(0, 0), d.pt(a, b)).normalized();
    QPainterPath path;
    path.addRect(box);
    d.fillAndOutline(path, d.width);
    d.label(QStringLiteral("a"), QPointF(box.center().x(), box.top()), QPointF(-7, -2));
    d.label(QStringLiteral("b"), QPointF(box.right(), box.center().y()), QPointF(2, 0));
}

void PlotGeometry::drawParallelogram(Paint& d)
{
    const double a = std::fabs(slot(177)), b = std::fabs(slot(178)), h = std::fabs(slot(201)), angle = slot(180);
    if (!finite(a) || !finite(b) || !finite(h) || !finite(angle) || angle == kPi || angle == 0 || a == 0 || b == 0 || h == 0)
        return;
    const double off = b * std::cos(angle);
    QPainterPath path;
    path.moveTo(d.pt(0, 0));
    path.lineTo(d.pt(a, 0));
    path.lineTo(d.pt(a + off, h));
    path.lineTo(d.pt(off, h));
    path.closeSubpath();
    d.fillAndOutline(path, d.width);
    const double heightX = off < 0 ? off : a + off;
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(d.pt(heightX, h), d.pt(heightX, 0));
    d.label(QStringLiteral("a"), d.pt(a / 2, 0), QPointF(-7, -2));
    const QPointF side = off >= 0 ? d.pt(off / 2, h / 2) : d.pt(a + off / 2, h / 2);
    d.label(QStringLiteral("b"), side, QPointF(-14 * std::sin(angle), 0));
    d.label(QStringLiteral("h"), d.pt(heightX, h / 2), QPointF(off < 0 ? -15 : 2, 0));
}

void PlotGeometry::drawTriangle(Paint& d)
{
    const auto outline = [&](double b, double c, double angle, bool dashed) {
        if (!finite(b) || !finite(c) || !finite(angle) || b == 0 || c == 0 || angle == 0)
            return false;
        QPainterPath path;
        path.moveTo(d.pt(0, 0));
        path.lineTo(d.pt(c, 0));
        path.lineTo(d.pt(b * std::cos(angle), b * std::sin(angle)));
        path.closeSubpath();
        if (dashed) {
            d.p.setPen(d.dashed(d.outline));
            d.p.drawPath(path);
        } else {
            d.fillAndOutline(path, d.width);
        }
        return true;
    };
    if (slot(G::kTwoSolutionsSlot) != 0)
        outline(slot(184), slot(185), slot(186), true);
    const double b = slot(178), c = slot(179), angle = slot(180);
    if (!outline(b, c, angle, false))
        return;
    const double cx = b * std::cos(angle), cy = b * std::sin(angle);
    d.label(QStringLiteral("a"), d.pt((cx + c) / 2, cy / 2), QPointF(4, 0));
    d.label(QStringLiteral("b"), d.pt(cx / 2, cy / 2), QPointF(-12, 0));
    d.label(QStringLiteral("c"), d.pt(c / 2, 0), QPointF(-4, 16));
    // Above the base, outside the corners: the axis numbers stand below it.
    d.label(QStringLiteral("A"), d.pt(0, 0), QPointF(-14, -4));
    d.label(QStringLiteral("B"), d.pt(c, 0), QPointF(5, -4));
    d.label(QStringLiteral("C"), d.pt(cx, cy), QPointF(-4, -4));
}

void PlotGeometry::drawPolygon(Paint& d)
{
    const double r = std::fabs(slot(191)), n = std::trunc(slot(190));
    if (!finite(r) || !finite(n) || r == 0 || n < 3)
        return;
    const QPointF o = d.pt(0, 0);
    const double rx = r * d.t.a, ry = -r * d.t.d;
    const double inner = std::cos(kPi / n);
    d.p.setPen(QPen(d.half, 1));
    d.p.drawEllipse(o, rx, ry);
    d.p.drawEllipse(o, rx * inner, ry * inner);
    const double theta = 2 * kPi / n;
    // Sides too small to see, or more of them than is worth drawing: the circle.
    if (2 * std::sin(kPi / n) * r * d.t.a < 4 || n > G::kMaxDrawnVertices) {
        QPainterPath path;
        path.addEllipse(o, rx, ry);
        d.fillAndOutline(path, d.width);
    } else {
        QPolygonF shape;
        const int count = static_cast<int>(n);
        shape.reserve(count);
        for (int k = 1; k <= count; ++k)
            shape << d.pt(r * std::sin(k * theta), r * std::cos(k * theta));
        QPainterPath path;
        path.addPolygon(shape);
        path.closeSubpath();
        d.fillAndOutline(path, d.width);
    }
    const QPointF top = d.pt(0, r), next = d.pt(r * std::sin(theta), r * std::cos(theta));
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(o, top);
    d.p.drawLine(o, next);
    d.label(QStringLiteral("s"), (top + next) / 2, QPointF(2, -2));
    d.label(QStringLiteral("R"), (o + next) / 2, QPointF(2, 14));
}

void PlotGeometry::drawCircle(Paint& d)
{
    const int mode = G::subMode(slot(G::kCircleModeSlot));
    const double r = std::fabs(slot(191)), cx = slot(207), cy = slot(208);
    if (!finite(r) || r == 0 || !finite(cx) || !finite(cy))
        return;
    const QPointF c = d.pt(cx, cy);
    const double rx = r * d.t.a, ry = -r * d.t.d;
    QPainterPath circle;
    circle.addEllipse(c, rx, ry);
    if (mode == 1) {
        d.p.setPen(QPen(d.outline, 1));
        d.p.drawPath(circle);
    } else {
        d.fillAndOutline(circle, 1);
    }
    double radiusAngle = kPi / 4;
    if (mode == 1) {
        const double angle = slot(180);
        if (finite(angle)) {
            QPainterPath sector;
            sector.moveTo(c);
            sector.arcTo(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 0, std::clamp(angle, -2 * kPi, 2 * kPi) * 180 / kPi);
            sector.closeSubpath();
            d.fillAndOutline(sector, 1);
            radiusAngle = angle;
        }
    } else if (mode == 2) {
        double v[6];
        for (int i = 0; i < 6; ++i)
            if (!finite(v[i] = slot(160 + i)))
                return;
        const QPointF p1 = d.pt(v[0], v[1]), p2 = d.pt(v[2], v[3]), p3 = d.pt(v[4], v[5]);
        d.p.setPen(d.dashed(Qt::white));
        d.p.drawLine(c, (p1 + p2) / 2);
        d.p.drawLine(c, (p2 + p3) / 2);
        d.p.drawLine(p1, p2);
        d.p.drawLine(p2, p3);
        const QColor yellow(255, 255, 0);
        for (const QPointF& p : {p1, p2, p3})
            d.dot(p, yellow);
        d.label(QStringLiteral("P1"), p1, QPointF(5, 4 + 10));
        d.label(QStringLiteral("P2"), p2, QPointF(5, 4 + 10));
        d.label(QStringLiteral("P3"), p3, QPointF(5, 4 + 10));
        const QPointF mark(VQRender::halfGrid(c.x()), VQRender::halfGrid(c.y()));
        d.label(QStringLiteral("C"), mark, QPointF(6, 4 + 10));
        d.p.setPen(QPen(yellow, 1));
        d.p.drawLine(mark - QPointF(5, 0), mark + QPointF(5, 0));
        d.p.drawLine(mark - QPointF(0, 5), mark + QPointF(0, 5));
    }
    const QPointF end = d.pt(cx + r * std::cos(radiusAngle), cy + r * std::sin(radiusAngle));
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(c, end);
    d.label(QStringLiteral("R"), (c + end) / 2, QPointF(2, -2));
}

void PlotGeometry::drawArc(Paint& d)
{
    const double r = std::fabs(slot(191)), angle = slot(180);
    if (!finite(r) || !finite(angle) || r == 0 || angle == 0)
        return;
    const QPointF o = d.pt(0, 0);
    d.p.setPen(QPen(d.half, 1));
    d.p.drawEllipse(o, r * d.t.a, -r * d.t.d);
    const QPointF s = d.pt(r, 0), e = d.pt(r * std::cos(angle), r * std::sin(angle));
    d.p.drawLine(o, s);
    d.p.drawLine(o, e);
    // Chords of about 3 points; a tiny radius still takes a few, a huge one no more than
    // the cap.
    const double delta = 2 * std::asin(3 / (2 * r * d.t.a));
    double steps = std::trunc((angle + delta / 2) / delta);
    if (!finite(steps) || steps < 8)
        steps = 8;
    const int k = static_cast<int>(std::min<double>(steps, G::kMaxCurveSteps));
    const QPointF m = (s + e) / 2, q = d.pt(r * std::cos(angle / 2), r * std::sin(angle / 2));
    QPolygonF arc;
    arc.reserve(k + 1);
    for (int i = 0; i <= k; ++i) {
        const double a = angle * i / k;
        arc << d.pt(r * std::cos(a), r * std::sin(a));
    }
    QPainterPath segment;
    segment.addPolygon(arc);
    segment.closeSubpath();
    d.fillAndOutline(segment, d.width);
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(m, q);
    d.label(QStringLiteral("R"), (o + e) / 2, QPointF(2, -2));
    d.label(QStringLiteral("h"), (m + q) / 2, QPointF(3, 0));
    const double phi = std::atan2(q.y() - m.y(), q.x() - m.x());
    const QPointF dir(std::cos(phi), std::sin(phi));
    d.label(QStringLiteral("s"), m, -14 * dir);
    d.label(QStringLiteral("L"), q, 14 * dir);
}

void PlotGeometry::drawEllipse(Paint& d)
{
    const double a = slot(196), b = slot(197), c = slot(200);
    if (!finite(a) || !finite(b) || a == 0 || b == 0)
        return;
    QPainterPath path;
    path.addEllipse(d.pt(0, 0), std::fabs(a * d.t.a), std::fabs(b * d.t.d));
    d.fillAndOutline(path, 1);
    if (!finite(c))
        return;
    const bool onX = std::fabs(a) > std::fabs(b);
    const QPointF f1 = onX ? d.pt(-c, 0) : d.pt(0, -c), f2 = onX ? d.pt(c, 0) : d.pt(0, c);
    d.dot(f1, d.outline);
    d.dot(f2, d.outline);
    const QPointF offset = onX ? QPointF(-7, -14) : QPointF(6, 4 + 10);
    d.label(QStringLiteral("F1"), f1, offset);
    d.label(QStringLiteral("F2"), f2, offset);
}

void PlotGeometry::drawUnitCircle(Paint& d)
{
    const double theta = slot(180);
    if (!finite(theta))
        return;
    const QPointF o = d.pt(0, 0);
    const double unit = d.t.a;
    const auto arrowHead = [&](QPointF tip, double direction, const QColor& colour) {
        const QPointF back(std::cos(direction), std::sin(direction));
        const QPointF side(-back.y(), back.x());
        QPolygonF head;
        head << tip << tip - 8 * back + 2 * side << tip - 8 * back - 2 * side;
        d.p.setPen(Qt::NoPen);
        d.p.setBrush(colour);
        d.p.drawPolygon(head);
        d.p.setBrush(Qt::NoBrush);
    };
    // The ray at θ.
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(o, o + 1000 * QPointF(std::cos(theta), -std::sin(theta)));
    // The arc from 0 to θ; beyond a turn it would only draw over itself.
    const double sweep = std::clamp(theta, -2 * kPi, 2 * kPi);
    QPainterPath arc;
    arc.arcMoveTo(QRectF(o.x() - unit, o.y() - unit, 2 * unit, 2 * unit), 0);
    arc.arcTo(QRectF(o.x() - unit, o.y() - unit, 2 * unit, 2 * unit), 0, sweep * 180 / kPi);
    d.p.setPen(QPen(d.outline, 2));
    d.p.drawPath(arc);
    const QPointF tip = d.pt(std::cos(theta), std::sin(theta));
    const double tangent = theta >= 0 ? theta + kPi / 2 : theta - kPi / 2;
    arrowHead(tip, std::atan2(-std::sin(tangent), std::cos(tangent)), d.outline);
    // The unrolled angle along the x-axis.
    const QPointF along = d.pt(theta, 0);
    d.p.setPen(QPen(d.outline, 1));
    d.p.drawLine(o, along);
    arrowHead(along, theta >= 0 ? 0 : kPi, d.outline);
    if (!(theta > 0))
        return;
    // The curves over what the tile shows of 0..θ, in 1° steps or coarser within the cap.
    const double left = std::max(0.0, (d.rect.left() - d.t.tx) / unit), right = std::min(theta, (d.rect.right() - d.t.tx) / unit);
    const double step = std::max(kPi / 180, (right - left) / G::kMaxCurveSteps);
    const QColor red(255, 0, 0), yellow(255, 255, 0);
    const auto curve = [&](double (*f)(double), const QColor& colour) {
        if (!(right > left))
            return;
        // Counted steps: far from the origin adding a step may not move t.
        const int count = static_cast<int>(std::min<double>(std::ceil((right - left) / step), G::kMaxCurveSteps));
        QPolygonF line;
        line.reserve(count + 1);
        for (int i = 0; i < count; ++i) {
            const double t = left + i * step;
            line << d.pt(t, f(t));
        }
        line << d.pt(right, f(right));
        d.p.setPen(QPen(colour, 1));
        d.p.drawPolyline(line);
    };
    curve([](double t) { return std::sin(t); }, red);
    curve([](double t) { return std::cos(t); }, yellow);
    const double s = std::sin(theta), c = std::cos(theta);
    d.p.setPen(QPen(red, 1));
    d.p.drawLine(d.pt(c, 0), tip);
    const double xs = VQRender::halfGrid(along.x()) - 0.5, xc = VQRender::halfGrid(along.x()) + 0.5;
    d.p.drawLine(QPointF(xs, o.y()), QPointF(xs, d.pt(0, s).y()));
    arrowHead(QPointF(xs, d.pt(0, s).y()), s >= 0 ? -kPi / 2 : kPi / 2, red);
    d.p.setPen(QPen(yellow, 1));
    d.p.drawLine(d.pt(0, s), tip);
    d.p.drawLine(QPointF(xc, o.y()), QPointF(xc, d.pt(0, c).y()));
    arrowHead(QPointF(xc, d.pt(0, c).y()), c >= 0 ? -kPi / 2 : kPi / 2, yellow);
}

} // namespace orvenda
