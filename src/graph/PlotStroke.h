#pragma once

#include <QColor>
#include <QPen>
#include <QPointF>

#include <vector>

class QPainter;

namespace orvenda {

// The view points of a sampled curve gathered into runs (an undefined value or a jump
// ends a run) and stroked the way the sampled plots stroke: a thin (2-point) or thick
// (4-point) line, and when selected a translucent halo under a 2-point line. The buffers
// are kept from drawing to drawing.
class PlotStroke {
public:
    // How far past a tile's edge a far-off point is drawn: the line keeps its course across
    // the tile and the painter its precision.
    static constexpr double kFar = 1e4;

    void clear();
    void add(const QPointF& p) { points_.push_back(p); }
    // Closes the current run; a run of fewer than 2 points is dropped.
    void endRun();
    // thin: the 2-point style (halo 8 points wide) rather than the thick one (halo 7).
    void stroke(QPainter& context, const QColor& color, bool thin, bool selected) const;

    // How far (vertically, in points) a point may lie from the straight line through the
    // points kept around it and still be dropped: under a tenth of a pixel at the phone's
    // density, so the stroke looks the same.
    static constexpr double kStraight = 1.0 / 16;
    // Drops the points of a polyline running left to right that lie within kStraight of
    // the line through the points kept before and after them: a straight stretch costs the
    // stroker its two ends instead of a join at every sample. The first and last points
    // stay; a point not right of the one before is never dropped, nor is the one before it.
    // The count of points kept, moved to the front.
    static int dropStraightPoints(QPointF* points, int count);
    // The pen a stroke is drawn with, made again only when the colour or width changes.
    static const QPen& roundPen(QPen& cached, const QColor& color, double width);
    bool empty() const { return runs_.empty(); }

private:
    void strokeRuns(QPainter& context, const QColor& color, double width) const;

    std::vector<QPointF> points_;
    // Start of each run in points_; a run ends where the next starts.
    std::vector<int> runs_;
    int open_ = 0;
};

} // namespace orvenda
