#pragma once

#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <vector>

class QPainter;

namespace orvenda {

// The marks of a stat plot's points, all 6 points wide and centred on their point: 0 a
// filled square, 1 a diagonal cross stroked 2 wide, 2 a filled circle; other marks draw
// nothing. Points are gathered (those near the area being drawn) and painted at once.
// The buffers are kept from one drawing to the next.
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
    int mark_ = 0;
    QRectF near_;
    std::vector<QPointF> points_;
    std::vector<QLineF> lines_;
};

} // namespace orvenda
