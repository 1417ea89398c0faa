#pragma once

#include <QWidget>

namespace orvenda {

class GraphView;

// The layer of the graph view that shows its tiles: at each paint it renders the tiles that
// are dirty, then draws every shown tile's bitmap where the tile sits. Transparent, above
// the background picture and below the pixel layer.
class GraphTileLayer : public QWidget {
    Q_OBJECT
public:
    explicit GraphTileLayer(GraphView& view);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphView& view_;
};

} // namespace orvenda
