#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace orvenda {

class VQColor;

// The sample of an equation's line style, as the Y= editor's style icons and the colour
// picker's segments draw it: a curve stroked plainly, thickly or dotted, or the region
// above or below it shaded at 0.7 (with the curve as its boundary for ≥ and ≤).
class StyleSample {
public:
    // Draws the sample of a style (2, 4, 32, 8, 10, 16, 18; others draw nothing) along the
    // curve, shading up to the top or the bottom of `box`.
    static void draw(QPainter& painter, int style, const QPainterPath& curve, const QRectF& box, const VQColor& color);
};

} // namespace orvenda
