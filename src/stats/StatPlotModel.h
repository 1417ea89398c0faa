#pragma once

#include "core/VQColor.h"
#include "core/YEqVarInfo.h"
#include "core/services/StatGraphManager.h"
#include "graph/StatPlotSource.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class VQList;

// The six stat plots Plot1..Plot6 (numbered 0..5): per plot a flag word (on, type, mark,
// data axis), a colour, the statistics object naming its lists and holding what was last
// computed from them, and for a histogram its two sliders; the histogram's bin origin
// and offset are shared. The graph view builds the plots' objects from it (StatPlotSource)
// and the objects read their data back by plot number.
//
// Every call is made holding the calculator's state lock (programs change the plots on
// the program queue). Plot numbers, types and marks out of range are refused by the
// setters; the queries answer neutral values for them.
class StatPlotModel : public StatGraphManager, public StatPlotSource {
public:
    static constexpr int kPlotCount = 6;
    // Flag word fields.
    static constexpr int kVisibleBit = 0x1, kTypeShift = 1, kMarkShift = 4, kAxisBit = 0x80;
    static constexpr int kMarkCount = 3;
    // The histogram sliders' variable numbers: bin width and bin offset.
    static constexpr int kWidthVar = -4, kOffsetVar = -5;

    struct Bounds {
        double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    };

    explicit StatPlotModel(Calculator& calc);

    // The calculator's stat plot model, null when it has another one or none.
    static StatPlotModel* of(const Calculator& calc);
    // The statistics of a plot of the calculator's model; null without one.
    static std::shared_ptr<VQStatistics> statsOf(const Calculator& calc, int plot);

    // ---- Queries ----

    bool plotVisible(int plot) const;
    int plotType(int plot) const;
    int plotMark(int plot) const;
    int plotDataAxis(int plot) const;
    VQColor plotColor(int plot) const;
    int flags(int plot) const;
    // The plot's statistics object; null for a number out of range.
    std::shared_ptr<VQStatistics> stats(int plot) const;
    // The histogram's sliders; nothing until the plot was a histogram.
    std::optional<std::vector<YEqVarInfo>> varInfo(int plot) const;
    int currentPlot() const { return currentPlot_; }

    // ---- StatGraphManager ----

    void clearAll() override;
    std::vector<std::shared_ptr<VQStatistics>> statInfo() const override;
    void setPlotAxis(int plot, int axis) override;
    void setPlotMark(int plot, int mark) override;
    void setPlotType(int plot, int type) override;
    void setPlotVisible(int plot, bool visible) override;
    void setPlotColor(int plot, const VQColor& color) override;
    void hideAllPlots();
    double histogramXOrigin() const override { return histogramXOrigin_; }
    void setHistogramXOrigin(double origin) override { histogramXOrigin_ = origin; }
    double histogramBarOffset() const override { return histogramBarOffset_; }
    void setHistogramBarOffset(double offset) override { histogramBarOffset_ = offset; }
    // Types 0, 1: two-variable statistics of the X and Y lists (nothing when either is
    // missing, their lengths differ or one is complex); 2 to 5: one-variable statistics
    // of the X list with the frequencies, error 25 shown when the frequency list's length
    // differs. The new object keeps the list names.
    void updateStatsFor(int plot) override;
    // The bins up to the data's right end from the origin (not the left edge).
    double numBars(int plot) const override;
    nlohmann::json encode() const override;
    // Arrays of another length than six are cut or padded with fresh plots; an archive
    // that is no object leaves the plots as they are.
    void decode(const nlohmann::json& archive) override;

    // ---- Histogram helpers ----

    // Looks the X list up, keeps it as the statistics' listX and answers its length.
    int numSamples(int plot);
    // The data range, widened so that one bin of it from minX holds maxX.
    double maxBarWidth(int plot) const;
    // The first bin's left edge: origin + offset, the origin fixed at Xmin (offset 0) when
    // it is not yet.
    double leftEdge();
    // The automatic bar count for a sample of n values.
    static int tiBarsForSampleSize(int n);
    // The extent of the bars from the origin: {minX − w, maxX + w, 0, the tallest bin}.
    Bounds computeHistogramBounds(int plot) const;
    // For a histogram the two sliders (Xscl made a usable bin width first); the stored
    // entry otherwise. Without data Xscl and the sliders stay as they are.
    std::optional<std::vector<YEqVarInfo>> varInfoForPlot(int plot);
    // The data's extent for the plot's type.
    Bounds bounds(int plot) const;

    // ---- StatPlotSource ----

    void addStatPlots(PlotObject::PlotList& plots) override;
    std::shared_ptr<PlotObject> plotForRecord(const std::shared_ptr<DrawObject>& record) override;
    void chooseRegression(PlotObject::PlotList& plots, int model) override;

private:
    static bool inRange(int plot) { return plot >= 0 && plot < kPlotCount; }
    static std::shared_ptr<VQStatistics> freshStats();
    static VQColor factoryColor();
    // The named list of the calculator, or null.
    const VQList* list(const std::optional<std::string>& name) const;
    // The histogram's bin width from Xscl within a limit (limit / 5 when Xscl is none).
    double binWidthWithin(double limit) const;
    double xscl() const;

    Calculator& calc_;
    std::array<std::shared_ptr<VQStatistics>, kPlotCount> statInfo_;
    std::array<VQColor, kPlotCount> statColors_;
    std::array<int, kPlotCount> statFlags_{};
    std::array<std::optional<std::vector<YEqVarInfo>>, kPlotCount> varInfo_;
    double histogramXOrigin_;
    double histogramBarOffset_ = 0;
    int currentPlot_ = 0;
};

} // namespace orvenda
