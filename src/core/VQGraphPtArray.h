#pragma once

#include <vector>

namespace orvenda {

// The point marks drawn on the graph by Pt-On(, Pt-Change( and Pt-Off(. Used on the main
// thread only.
class VQGraphPtArray {
public:
    struct Point {
        double x = 0;
        double y = 0;
        int mark = 1;
        // Colour components 0..1.
        double r = 0;
        double g = 0;
        double b = 0;
    };

    // Marks the point; a mark already at the same coordinates is replaced.
    void ptOnAtX(double x, double y, int mark, double r, double g, double b);
    // Removes the mark at the coordinates, or adds one when there is none.
    void ptChangeAtX(double x, double y, int mark, double r, double g, double b);
    void ptOffAtX(double x, double y);
    void clear() { points_.clear(); }

    const std::vector<Point>& points() const { return points_; }

private:
    std::vector<Point> points_;
};

} // namespace orvenda
