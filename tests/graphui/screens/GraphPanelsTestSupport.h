#pragma once

// Doubles and helpers for the graph screen's panel tests.

#include "core/services/StatGraphManager.h"
#include "graph/PlotObject.h"
#include "numeric/VQStatistics.h"
#include "TestClocks.h"

#include <memory>
#include <vector>

namespace orvenda::test {

// Six stat plots whose statistics records the test fills in.
class StatPlots : public StatGraphManager {
public:
    std::vector<std::shared_ptr<VQStatistics>> info{6};
    void clearAll() override {}
    std::vector<std::shared_ptr<VQStatistics>> statInfo() const override { return info; }
    void setPlotAxis(int, int) override {}
    void setPlotMark(int, int) override {}
    void setPlotType(int, int) override {}
    void setPlotVisible(int, bool) override {}
    void setPlotColor(int, const VQColor&) override {}
    double histogramXOrigin() const override { return 0; }
    void setHistogramXOrigin(double) override {}
    void setHistogramBarOffset(double) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

// A histogram traced by its bar number (bar t at (t, t)), whose sliders are the records
// the test gives it.
class StandInHistogram : public PlotObject {
public:
    explicit StandInHistogram(Calculator& calc) : PlotObject(calc)
    {
        plotType = PlotHistogram;
        varNum = -2;
    }
    double XAtT(double t) override { return t; }
    double YAtT(double t) override { return t; }
};

} // namespace orvenda::test
