#pragma once

#include <QColor>
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
    bool empty() const { return runs_.empty(); }

private:
    void strokeRuns(QPainter& context, const QColor& color, double width) const;

    std::vector<QPointF> points_;
    // Start of each run in points_; a run ends where the next starts.
    std::vector<int> runs_;
    int open_ = 0;
};

} // namespace orvenda
