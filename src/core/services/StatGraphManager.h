#pragma once

#include <nlohmann/json.hpp>

#include <limits>
#include <memory>
#include <vector>

namespace orvenda {

class VQColor;
class VQStatistics;

// The six stat plots (numbered 0..5). Archived under "statMgr".
//
// The plot settings are part of the calculator's state: programs change them on the
// program queue. Every call is made holding the calculator's state lock, from either
// thread; an implementation updates its views on the main thread itself.
class StatGraphManager {
public:
    virtual ~StatGraphManager() = default;

    // Plot types.
    enum { Scatter = 0, XYLine = 1, Histogram = 2, ModBoxplot = 3, Boxplot = 4, NormProbPlot = 5 };

    // Resets the six plots.
    virtual void clearAll() = 0;
    // One statistics record per plot, holding the names of the lists it reads.
    virtual std::vector<std::shared_ptr<VQStatistics>> statInfo() const = 0;

    // Data axis of the plot's flag word (bit 7): 0 X, 1 Y.
    virtual void setPlotAxis(int plot, int axis) = 0;
    // Mark number (bits 4-6).
    virtual void setPlotMark(int plot, int mark) = 0;
    // Plot type (bits 1-3).
    virtual void setPlotType(int plot, int type) = 0;
    virtual void setPlotVisible(int plot, bool visible) = 0;
    // Copies r, g, b, a of the colour.
    virtual void setPlotColor(int plot, const VQColor& color) = 0;

    // Histogram bin origin; NaN for none, the left edge then follows Xmin.
    virtual double histogramXOrigin() const = 0;
    virtual void setHistogramXOrigin(double origin) = 0;
    // Added to the origin for the first bin's left edge.
    virtual void setHistogramBarOffset(double offset) = 0;
    virtual double histogramBarOffset() const { return 0; }
    // The window changed: the histogram's bins start again from Xmin, with no offset.
    void windowChanged()
    {
        setHistogramXOrigin(std::numeric_limits<double>::quiet_NaN());
        setHistogramBarOffset(0);
    }

    // Looks the plot's lists up again and recomputes its statistics.
    virtual void updateStatsFor(int /*plot*/) {}
    // How many bins the plot's histogram has (0 when it has none).
    virtual double numBars(int /*plot*/) const { return 0; }

    virtual nlohmann::json encode() const = 0;
    virtual void decode(const nlohmann::json& archive) = 0;
};

} // namespace orvenda
