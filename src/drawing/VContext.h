#pragma once

#include "drawing/DrawString.h"

#include <QColor>
#include <QGradient>

namespace orvenda {

// What the elements of vector images hand on to each other while they are drawn: the
// gradient, the stroke and fill colours (channels 0..1) and the text font with its colour.
// One record serves every image drawn, so what an element sets carries to the next one
// and to the next image.
struct VContext {
    QGradientStops gradientRef;
    int gradientDirection = 0;
    double strokeR = 0, strokeG = 0, strokeB = 0, strokeA = 0;
    double fillR = 0, fillG = 0, fillB = 0, fillA = 0;
    // The text attributes: whether a style has set a font, the font and its colour.
    bool hasFont = false;
    TextFont font;
    QColor fontColor;
};

} // namespace orvenda
