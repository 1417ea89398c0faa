#include "graph/GraphTileLayer.h"

#include "graph/GraphTile.h"
#include "graph/GraphView.h"

#include <QPainter>

#include <cmath>

namespace orvenda {

GraphTileLayer::GraphTileLayer(GraphView& view) : QWidget(&view), view_(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void GraphTileLayer::paintEvent(QPaintEvent*)
{
    view_.displayTiles();
    QPainter painter(this);
    // Each tile from device pixel to device pixel: tiles moved by a fraction of a pixel (a
    // pinch's shift, a fractional screen scale) still meet without a line between them.
    const double scale = devicePixelRatioF();
    const auto pixel = [scale](double at) { return std::round(at * scale) / scale; };
    for (const auto& tile : view_.tiles())
        if (!tile->hidden && !tile->contents().isNull()) {
            const QRectF frame = tile->frame();
            const double x = pixel(frame.left()), y = pixel(frame.top());
            painter.drawImage(QRectF(x, y, pixel(frame.right()) - x, pixel(frame.bottom()) - y), tile->contents());
        }
}

} // namespace orvenda
