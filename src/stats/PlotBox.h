#pragma once

#include "graph/PlotObject.h"

#include <memory>

namespace orvenda {

class VQStatistics;

// A box plot of one data list: a box from Q1 to Q3 with the median and whiskers out to
// minX and maxX, drawn on a centre line vertLocation points above the x axis (below when
// negative) so that several box plots stack. Its numbers are the plot's statistics
// (sorted data, the quartile rule of the statistics).
class PlotBox : public PlotObject {
public:
    static constexpr double kHalfHeight = 15;

    explicit PlotBox(Calculator& calc);

    // Points from the x axis up to the box's centre line.
    double vertLocation = 0;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    // The nearest of the summary values to the touch (the first of equals): on the box's
    // band between minX and maxX it hits whatever the tolerance.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // x from the data; y the band's edges in points (ZoomStat reads only x).
    Calculator::Bounds statBounds(const GraphTransform& t) override;
    // Only the x range: the band is no y extent (y and height NaN).
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;
    // The next value the trace stops at beyond x, to the right or to the left, among the
    // values it may stop at in x order; x itself past the last one.
    double traceStep(double x, bool right) const;

protected:
    struct Whiskers {
        double lo = 0, hi = 0;
    };
    std::shared_ptr<VQStatistics> statistics() const;
    virtual Whiskers whiskers(const VQStatistics& s) const;
    // What the modified box plot draws before the box (its outliers).
    virtual void drawBeforeBox(QPainter&, const GraphTransform&, double, const VQStatistics&) {}
    // The values the trace may stop at, in the order they are tried.
    virtual std::vector<double> candidates(const VQStatistics& s, double x) const;
    // The name of a traced value.
    virtual std::string nameFor(double x, const VQStatistics& s) const;
    virtual const char* title() const { return "BoxPlot"; }
    // The centre line's view y, on a pixel row's middle.
    double centreLine(const GraphTransform& t) const;
};

} // namespace orvenda
