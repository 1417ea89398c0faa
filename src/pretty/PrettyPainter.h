#pragma once

#include "pretty/PrettyLayout.h"
#include "pretty/PrettyMetrics.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <string_view>
#include <unordered_map>

class QPainter;

namespace orvenda {

// Draws a PrettyLayout with the display fonts, only what meets the clip rectangle, and the
// cursor: glyph 0 draws nothing (the blink's off phase), 224 a filled cell, 225 a cell with
// an up arrow (2nd), 226 with "A" and 227 with "a" (alpha); insert mode draws a two-point
// underline instead. Main thread.
class PrettyPainter {
public:
    struct Cursor {
        int index = PrettyLayout::kNoCursor;
        int mode = 0;
        int glyph = 0;
    };

    // The layout's top left at `topLeft`; the clip rectangle is in the painter's coordinates.
    void draw(QPainter& painter, const PrettyLayout& layout, QPointF topLeft, const QRectF& clip,
              const QColor& color, const Cursor& cursor);

private:
    const QString& text(std::string_view s);

    QString buffer_;
    std::unordered_map<PrettyMetrics::TextKey, QString, PrettyMetrics::TextKeyHash> texts_;
};

} // namespace orvenda
