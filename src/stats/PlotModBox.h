#pragma once

#include "stats/PlotBox.h"

namespace orvenda {

// A modified box plot: the whiskers end at the last values inside the fences Q1 − 1.5·IQR
// and Q3 + 1.5·IQR (a value on a fence is inside), and each value outside them is marked
// on the centre line with the plot's mark.
class PlotModBox : public PlotBox {
public:
    explicit PlotModBox(Calculator& calc);

    // One outlier mark centred on a view point: 0 a stroked square, 1 a diagonal cross, 2 a
    // filled circle, 5 a stroked circle; others nothing.
    static void drawMark(int mark, const QPointF& at, QPainter& context);

protected:
    Whiskers whiskers(const VQStatistics& s) const override;
    void drawBeforeBox(QPainter& context, const GraphTransform& t, double centre, const VQStatistics& s) override;
    std::vector<double> candidates(const VQStatistics& s, double x) const override;
    std::string nameFor(double x, const VQStatistics& s) const override;
    const char* title() const override { return "ModBoxPlot"; }

private:
    struct Fences {
        double low = 0, high = 0;
        bool inside(double x) const { return x >= low && x <= high; }
    };
    static Fences fences(const VQStatistics& s);
};

} // namespace orvenda
