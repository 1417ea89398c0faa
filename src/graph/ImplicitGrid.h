#pragma once

#include "graph/GraphGeometry.h"
#include "graph/ImplicitSolver.h"
#include "platform/SteadyClock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

class QRectF;

namespace orvenda {

// One tile's drawing of an implicit relation: f sampled on a 129 × 129 grid of nodes over
// the tile (each node evaluated at most once), the cells the curve crosses found by a
// quad-tree search with a sign test at their corners, refined where values known along a
// cell's edges show the curve passing between its corners, and one segment per crossed
// cell, located on the cell's sides. Inequalities add the cells on the chosen side, whole
// or cut by the segment.
//
// The work is done in steps that can stop at any deadline and go on later, so a hard
// relation never holds the window; a level of detail is drawn once it is finished.
class ImplicitGrid {
public:
    using Clock = SteadyClock;
    using Point = GraphGeometry::Point;

    static constexpr int kCells = 128;
    static constexpr int kNodes = kCells + 1;

    // A level of detail: the cells of the first split (grid cells a side), the smallest
    // crossed cell, and the time after which refining stops and what is known is drawn.
    struct Level {
        int sDepth;
        int finestPDepth;
        double timeLimit;
    };
    // While the view moves, and at full quality.
    static constexpr Level kDraft{8, 4, 0.25};
    static constexpr Level kFull{4, 1, 3.0};

    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
    };
    // What a finished level draws, in graph units: a segment per crossed cell, and for an
    // inequality the polygons of the crossed cells' chosen side (point counts in
    // fillCounts, points one polygon after another) and the whole cells on that side.
    struct Shape {
        std::vector<std::array<Point, 2>> segments;
        std::vector<Point> fillPoints;
        std::vector<int> fillCounts;
        std::vector<Rect> fillCells;
        void clear();
    };

    ImplicitGrid();

    // The grid over a view rectangle through a transform, its values not yet computed.
    void setRegion(const QRectF& rect, const GraphTransform& t);
    // Starts a level; fill 0 none, 1 where f >= 0, 2 where f < 0. Values already computed
    // are kept.
    void start(const Level& level, int fill);
    // Works on the level until it is finished (true) or the deadline has passed (false).
    bool advance(ImplicitSolver& f, Clock::time_point deadline);
    bool finished() const { return stage_ == Stage::Done; }
    // The drawing of the last finished level.
    const Shape& shape() const { return shape_; }

    // Graph point of node (i, j); the zero point past the grid.
    Point ptAt(int i, int j) const;
    // f at a node, computed once (an exact 0 is kept as 1e-99, so 0 marks a node not yet
    // computed); NaN past the grid, +∞ where f is undefined.
    double fxAt(ImplicitSolver& f, int i, int j);
    // 0 not computed, -1 negative, 1 otherwise.
    int signAt(int i, int j) const;

private:
    enum class Stage { Idle, Presample, Search, Refine, Output, Done };

    // One pass of the quad-tree search over the whole grid, from cell `cursor_` of the
    // first split on.
    bool pass(ImplicitSolver& f, Clock::time_point deadline);
    void quadTree(ImplicitSolver& f, int i, int j, int n);
    void quarters(ImplicitSolver& f, int i, int j, int n);
    void addCrossing(ImplicitSolver& f, int i, int j, int n, const double values[4], int code);
    void addWholeCell(int i, int j, int n);
    // Of the level so far, with the time of the call under way.
    double elapsed(Clock::time_point since) const;

    std::vector<double> fx_;
    Point bottomLeft_;
    double pixelWidth_ = 0, pixelHeight_ = 0;
    // The whole-cell overlap that hides seams: 0.07 view points in graph units.
    double overlapX_ = 0, overlapY_ = 0;

    Level level_ = kFull;
    int fill_ = 0;
    Stage stage_ = Stage::Idle;
    int pDepth_ = 4;
    bool refine_ = false;
    bool output_ = false;
    // Cells of the first split, in the quad-tree's order, and the next one to search.
    std::vector<std::array<int, 2>> firstSplit_;
    std::size_t cursor_ = 0;
    double spent_ = 0;
    Shape building_;
    Shape shape_;
};

} // namespace orvenda
