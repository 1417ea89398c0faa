#pragma once

#include "graph/PlotObject.h"
#include "stats/StatMarks.h"

#include <vector>

namespace orvenda {

// A normal probability plot: the sorted values of one data list against the standard
// normal quantiles of their plotting positions (i + 0.5) / n, data along X or Y as the
// plot's data axis says, with the plot's marks. Its parameter is the pair's index.
// Frequencies are not used.
class PlotNormProb : public PlotObject {
public:
    struct Extent {
        double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    };

    explicit PlotNormProb(Calculator& calc);

    // Builds the pairs and their extent once.
    void compute();
    const std::vector<double>& xList() { compute(); return xs_; }
    const std::vector<double>& yList() { compute(); return ys_; }

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // Element (int)t; NaN outside the pairs.
    double XAtT(double t) override;
    double YAtT(double t) override;
    Calculator::Bounds statBounds(const GraphTransform& t) override;
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

private:
    static double element(const std::vector<double>& list, double t);

    bool computed_ = false;
    std::vector<double> xs_, ys_;
    Extent bounds_;
    StatMarks marks_;
};

} // namespace orvenda
