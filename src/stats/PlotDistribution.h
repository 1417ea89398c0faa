#pragma once

#include "eval/GraphSampler.h"
#include "graph/PlotObject.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <limits>
#include <memory>
#include <vector>

namespace orvenda {

class DrawDistribution;

// The density curve of ShadeNorm(, Shade_t(, Shadeχ²( or ShadeF( (its eqNum is the
// command's token) with the area under it shaded between the bounds, or with drawTails
// the two tails outside them. Bounds beyond ±32000 (the ±1e99 of an open test) draw at
// ±32000; a record with a value that is not finite draws nothing. The trace snaps to
// the y axis, another plot, a normal curve's marks μ ± kσ and the curve's peak, and its
// text shows the distribution, the bounds and the shaded area.
class PlotDistribution : public PlotObject {
public:
    static constexpr double kBoundLimit = 32000;

    explicit PlotDistribution(Calculator& calc);
    // The plot of a shading command's record: its colour, sliders and selection.
    static std::shared_ptr<PlotDistribution> forRecord(Calculator& calc, std::shared_ptr<DrawDistribution> record);

    // The parameters, bounds and area.
    std::shared_ptr<DrawDistribution> dd;
    bool drawTails = false;
    // The trace text shows only the coordinates.
    bool testing = false;

    // Samples the density from one point left of the rectangle to one point right of it.
    void computeRect(const QRectF& rect, const GraphTransform& t);
    const std::vector<GraphSampler::XY>& dataPoints() const { return data_; }
    // The shaded polygons of the last drawing, in view points.
    const std::vector<QPolygonF>& shading() const { return shading_; }

    double YAtT(double x) override;
    using PlotObject::YAtX;
    double YAtX(double x) override { return YAtT(x); }
    double XAtT(double t) override { return t; }
    double slopeAtT(double t) override;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;

    // The y axis (featureLock 6), a normal curve's mark μ + kσ (7..12 for k −6..−1, 13..18
    // for 1..6), or a crossing with another plot (2) within range of t; else t.
    double findIntersection(double t, double range, const PlotList& other);
    // The peak within range of t (featureLock 4); else t.
    double findMinMax(double t, double range);
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;

    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;
    // The record's own sliders (μ, σ, the degrees of freedom, the bounds); degrees of
    // freedom of χ² and F, and the F denominator's, move in whole steps of at least 1.
    void setVar(int varNum, double min, double max, double value, double step) override;

private:
    double p1() const;
    double p2() const;
    bool normal() const;
    void shade(const QRectF& rect, const GraphTransform& t);

    // What the record's area was last computed for: the bounds and the parameters (a
    // slider may move either).
    double lwr_ = 0, upr_ = 0;
    double p1_ = std::numeric_limits<double>::quiet_NaN(), p2_ = std::numeric_limits<double>::quiet_NaN();
    std::vector<GraphSampler::XY> data_;
    std::vector<QPointF> screen_;
    std::vector<QPolygonF> shading_;
    QRectF dataRect_;
    GraphTransform dataT_{};
};

} // namespace orvenda
