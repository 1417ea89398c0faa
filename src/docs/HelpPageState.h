#pragma once

#include "drawing/DrawString.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

namespace orvenda {

// The layout state of a help page being drawn, shared by the page renderer and the mock
// screens it draws: where the next block goes, the size factor, the page's area and the
// window of the current pass, and the frames of the open block and of the last menu.
struct HelpPageState {
    // Size factor of all type and spacing.
    double scale = 1;
    // x offset of the next text, y of the next block (grows downward).
    QPointF drawPoint;
    // The page's drawing area: its x and width place every block.
    QRectF bounds;
    // The window of the current pass: drawing outside it is skipped.
    QRectF drawRect;
    // The frame of the open block and of the last menu drawn.
    QRectF screenBox;
    QRectF menuBox;
    // Width of a mock calculator screen: 32 digits of the screen font.
    double computerWidth = 0;
    // The colour of the page's text.
    QColor textColor = Qt::black;

    // The screen font: Courier New bold at 14 × scale.
    TextFont screenFont() const { return {"CourierNewPS-BoldMT", 14 * scale}; }
};

} // namespace orvenda
