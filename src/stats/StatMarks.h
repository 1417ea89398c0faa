#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <vector>

class QPainter;

namespace orvenda {

// The marks of a stat plot's points, all 6 points wide and centred on their point: 0 a
// filled square, 1 a diagonal cross stroked 2 wide, 2 a filled circle; other marks draw
// nothing. Points are gathered (those near the area being drawn) and painted at once: the
// mark is drawn once into a picture at the device's pixel density and copied onto each
// point's nearest device pixel, so ten thousand points cost ten thousand copies. The
// buffers and the picture are kept from one drawing to the next.
class StatMarks {
public:
    static constexpr double kHalf = 3;

    // Starts a drawing of marks near the rectangle.
    void begin(int mark, const QRectF& area);
    // A point in view points; points away from the area or not finite are dropped.
    void add(double x, double y);
    void paint(QPainter& context, const QColor& color);
    std::size_t count() const { return points_.size(); }

private:
    // The mark's picture for the colour and pixel density, made when they change.
    const QImage& sprite(const QColor& color, double scale);

    int mark_ = 0;
    QRectF near_;
    std::vector<QPointF> points_;
    QImage sprite_;
    int spriteMark_ = -1;
    QRgb spriteColor_ = 0;
    double spriteScale_ = 0;
};

} // namespace orvenda
