#pragma once

#include "graph/HistogramZoom.h"
#include "graph/PlotObject.h"
#include "stats/HistogramBins.h"

#include <memory>
#include <vector>

namespace orvenda {

class StatPlotModel;
class VQStatistics;

// A histogram stat plot: the bars of one data list (with its frequencies) in bins of the
// width Xscl from the stat plot model's left edge, a dot on the x axis for every value,
// bar-by-bar trace and hit queries, the bin width and bin offset sliders, and ZoomStat's
// extent. A bin holds the values from its left edge up to, not including, its right
// edge; empty bins draw nothing. Its parameter is the bar's number.
//
// An Xscl that is no width (0, negative, NaN, as a program may store) draws in the
// automatic width for the sample size, 1 when the data have no range.
class PlotHistogram : public PlotObject, public HistogramZoom {
public:
    explicit PlotHistogram(Calculator& calc);

    // Stores the plot number and refreshes the plot's statistics from their lists.
    void setEqNum(int plot);
    // Copies the data (sorted, frequencies carried along) once; frequencies of another
    // length are left out.
    void compute();
    const std::vector<double>& values() const { return xs_; }

    // The bins drawing and trace use now.
    HistogramBins bins();
    // The total frequency in bin k.
    double yForBar(int k);
    // The middle of bar k's top (k clamped to the bars), t = k.
    PlotPoint ptForBar(int k);
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // (minX, maxX, 0, 0).
    Calculator::Bounds statBounds(const GraphTransform& t) override;
    // From the left edge in bins of binWidth: (leftEdge, the last edge passed, 0, the
    // tallest bin).
    Calculator::Bounds statBounds(const GraphTransform& t, double leftEdge, double binWidth) override;
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;
    // The width (-4) and offset (-5) sliders: the offset follows the width down.
    void setVar(int varNum, double min, double max, double value, double step) override;
    // The range over the automatic bar count for the sample size less one.
    double tiBarWidth() override;

private:
    std::shared_ptr<VQStatistics> statistics() const;
    double maxX() const;
    double frequency(std::size_t i) const { return fs_.empty() ? 1.0 : fs_[i]; }
    // Bar k's rectangle in view points, edges on pixel centres when snapped.
    void fillBar(QPainter& context, const GraphTransform& t, double k, double height, const HistogramBins& bins,
                 bool snapped, const QRectF& rect);

    bool computed_ = false;
    std::vector<double> xs_;
    // Empty when there are no frequencies.
    std::vector<double> fs_;
};

} // namespace orvenda
