#include "graph/GraphTileLayer.h"

#include "graph/GraphTile.h"
#include "graph/GraphView.h"

#include <QPainter>

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
    for (const auto& tile : view_.tiles())
        if (!tile->hidden && !tile->contents().isNull())
            painter.drawImage(tile->frame(), tile->contents());
}

} // namespace orvenda
