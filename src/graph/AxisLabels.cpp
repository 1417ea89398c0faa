#include "graph/AxisLabels.h"

#include "core/NumberFormatter.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr double kTickHalf = 3;
constexpr double kLabelGap = 3;
// An x axis this close to the bottom puts its labels above itself.
constexpr double kBottomRoom = 15;
constexpr double kRaisedRow = 20;

bool usableStep(double step)
{
    return step > 0 && std::isfinite(step);
}

} // namespace

std::string AxisLabels::labelText(double value, bool plain, int decimals)
{
    std::string text;
    if (plain)
        text = NumberFormatter::printText(value, std::chars_format::fixed, decimals);
    if (text.empty())
        text = NumberFormatter::printText(value, std::chars_format::scientific, 1);
    return text;
}

void AxisLabels::layout(const Placement& place, const GraphScale& grid, const GraphTransform& t,
                        const QFontMetricsF& metrics, Layout& out)
{
    out.ticks.clear();
    out.labels.clear();
    const QRectF& area = place.area;
    const double ax = place.axisX, ay = place.axisY;
    // alignRight: the label ends 3 points left of x; else it starts 3 points right of it.
    // A label that does not fit whole is moved inside the graph, or left out when its tick
    // lies outside: a cut label reads as another number ("-10" as "10").
    const double height = metrics.height();
    const auto label = [&](std::string text, double x, double y, bool alignRight, bool centred, double tick, bool across) {
        const double w = metrics.horizontalAdvance(QString::fromStdString(text));
        if (centred)
            x -= w / 2;
        else if (alignRight)
            x -= w + kLabelGap;
        else
            x += kLabelGap;
        if (across) {
            // A tick on an edge (its pixel centre half a point out) is still inside.
            if (tick < area.left() - 1 || tick > area.right() + 1 || w > area.width())
                return;
            x = std::clamp(x, area.left(), area.right() - w);
        } else {
            if (tick <= area.bottom() && y + height > area.bottom())
                y = area.bottom() - height;
            // Over the bars along the bottom, whole; a tick under them has no label.
            if (y + height > place.labelFloor) {
                if (tick >= place.labelFloor)
                    return;
                y = place.labelFloor - height;
            }
            if (place.keepOut.intersects(QRectF(x, y, w, height))) {
                const double before = place.keepOut.left() - kLabelGap - w, after = place.keepOut.right() + kLabelGap;
                const bool roomBefore = before >= area.left(), roomAfter = after + w <= area.right();
                if (alignRight ? roomBefore : !roomAfter && roomBefore)
                    x = before;
                else if (roomAfter)
                    x = after;
            }
        }
        // A label of a tick inside the graph stays whole inside it, at the top too.
        if (y + kLabelGap >= area.top())
            y = std::max(area.top(), y);
        out.labels.push_back({std::move(text), QPointF(x, y)});
    };

    const double dy = grid.yStep;
    const double topIndex = std::trunc(((area.top() - t.ty) / t.d) / dy) + 1;
    if (usableStep(dy) && std::isfinite(topIndex)) {
        for (int k = 0; k < kMaxTicks; ++k) {
            const double value = dy * (topIndex - k);
            const double at = t.d * value + t.ty;
            if (!(at < area.bottom()))
                break;
            const double py = place.snap(at);
            out.ticks.emplace_back(ax - kTickHalf, py, ax + kTickHalf, py);
            // The origin has no y label.
            if (std::fabs(value) > dy / 2)
                label(labelText(value, grid.yPlain != 0, grid.yDecimals), ax, py - kLabelGap, place.axisRight, false, py,
                      false);
        }
    }

    const double dx = grid.xStep;
    const double leftIndex = std::trunc(((area.left() - t.tx) / t.a) / dx) - 1;
    const bool raised = ay > area.bottom() - kBottomRoom || ay + height > place.labelFloor;
    const double row = raised ? std::min(ay, place.labelFloor) - kRaisedRow : ay;
    if (usableStep(dx) && std::isfinite(leftIndex)) {
        for (int k = 0; k < kMaxTicks; ++k) {
            const double value = dx * (leftIndex + k);
            const double at = t.a * value + t.tx;
            if (!(at <= area.right()))
                break;
            const double px = place.snap(at);
            out.ticks.emplace_back(px, ay - kTickHalf, px, ay + kTickHalf);
            std::string text;
            if (grid.xPlain == 0)
                text = labelText(value, false, 0);
            else if (place.piText)
                text = place.piText(value);
            else
                text = labelText(value, true, grid.xDecimals);
            // The label at the origin stands beside its tick, away from the y labels.
            const bool origin = std::fabs(value) < dx / 2;
            label(std::move(text), px, row, !place.axisRight, !origin, px, true);
        }
    }
}

void AxisLabels::draw(QPainter& painter, const Placement& place, const GraphScale& grid, const GraphTransform& t,
                      const QColor& color, Layout& out)
{
    const QFont font = FontMap::shared().font("Helvetica", 14);
    const QFontMetricsF metrics(font);
    layout(place, grid, t, metrics, out);
    painter.setFont(font);
    painter.setPen(color);
    for (const Label& l : out.labels)
        painter.drawText(l.topLeft + QPointF(0, metrics.ascent()), QString::fromStdString(l.text));
    painter.setPen(QPen(color, 1));
    painter.drawLines(out.ticks.data(), int(out.ticks.size()));
}

} // namespace orvenda
