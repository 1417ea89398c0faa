#pragma once

#include "core/GraphScale.h"
#include "graph/GraphGeometry.h"

#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <limits>
#include <string>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace orvenda {

// The numbered ticks along both axes, as the graph's text overlay and the fixed graph view
// draw them: ticks one label step apart from one step beyond each edge of the area, each
// 6 points long across its axis, labels facing the inside of the area. An axis off the
// area runs along its nearest edge. Ticks are counted by index (never by adding steps up)
// and there are at most kMaxTicks along an axis, so a window far from the origin or a
// step lost in rounding still draws in bounded time.
class AxisLabels {
public:
    static constexpr int kMaxTicks = 256;

    struct Placement {
        // Where the labels go: left, top, right and bottom edges.
        QRectF area;
        // The view x of the vertical axis and the view y of the horizontal one, already
        // clamped into the area and snapped.
        double axisX = 0;
        double axisY = 0;
        // The vertical axis lies right of the area's middle: the y labels go on its left.
        bool axisRight = false;
        // Where a tick at a view coordinate is drawn (a pixel centre).
        double (*snap)(double) = nullptr;
        // The text of an x label when the x step is a multiple of π; empty for plain labels.
        std::function<std::string(double)> piText;
        // Controls standing over the graph: a y label that would lie under them moves
        // along its row beside them, to the side facing the area's inside where it fits.
        QRectF keepOut;
        // Controls laid along the graph's bottom from this view y down: the labels stand
        // above it, the x labels raised over an axis that runs near or under them, the y
        // labels of ticks under them left out.
        double labelFloor = std::numeric_limits<double>::infinity();
    };
    struct Label {
        std::string text;
        QPointF topLeft;
    };
    // Kept from drawing to drawing.
    struct Layout {
        std::vector<QLineF> ticks;
        std::vector<Label> labels;
    };

    // The ticks and labels (measured in `metrics`) of the current steps.
    static void layout(const Placement& place, const GraphScale& grid, const GraphTransform& t,
                       const QFontMetricsF& metrics, Layout& out);
    // Labels in Helvetica 14 and ticks 1 point wide, in `color`.
    static void draw(QPainter& painter, const Placement& place, const GraphScale& grid, const GraphTransform& t,
                     const QColor& color, Layout& out);

    // "%.*f" with the decimals when plain, else "%.1e"; the same text under every locale.
    static std::string labelText(double value, bool plain, int decimals);
};

} // namespace orvenda
