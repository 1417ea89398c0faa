#pragma once

// A calculator with the real stat plot model and lists to plot.

#include "TestSupport.h"
#include "core/Calculator.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <initializer_list>
#include <memory>
#include <string>

namespace orvenda::test {

inline const std::string L1 = "L\xE2\x82\x81", L2 = "L\xE2\x82\x82", L3 = "L\xE2\x82\x83";

class StatPlotTest : public ::testing::Test {
protected:
    StatPlotTest()
    {
        calc.statGraphManager = model;
        calc.viewDelegate = view;
    }
    ~StatPlotTest() override
    {
        calc.statGraphManager.reset();
        calc.viewDelegate.reset();
    }

    void setList(const std::string& name, std::initializer_list<double> values) { calc.locked()->lists[name] = reals(values); }
    void setVar(int slot, double value) { calc.setVar(slot, {{value, 0.0}}); }
    double var(int slot) const { return calc.getVar(slot).value.real(); }
    // Plot `plot` on, of a type, reading the lists named (no Y list: none).
    void definePlot(int plot, int type, const std::string& x, const std::string& y = "", const std::string& freq = "")
    {
        model->setPlotVisible(plot, true);
        model->setPlotType(plot, type);
        VQStatistics& s = *model->stats(plot);
        s.listXName = x;
        s.listYName = y.empty() ? std::nullopt : std::optional<std::string>(y);
        s.freqName = freq.empty() ? std::nullopt : std::optional<std::string>(freq);
    }
    // The stat plots' objects as the graph view builds them.
    PlotObject::PlotList built()
    {
        PlotObject::PlotList plots;
        model->addStatPlots(plots);
        return plots;
    }

    Calculator calc;
    std::shared_ptr<StatPlotModel> model = std::make_shared<StatPlotModel>(calc);
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
};

// Pixels of a picture close to a colour (any alpha above a threshold).
inline bool inked(const QImage& image, int x, int y)
{
    return image.valid(x, y) && qAlpha(image.pixel(x, y)) > 40;
}

} // namespace orvenda::test
