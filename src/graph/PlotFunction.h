#pragma once

#include "core/YEqIntegrate.h"
#include "eval/GraphSampler.h"
#include "graph/PlotObject.h"
#include "graph/PlotStroke.h"

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace orvenda {

class YEqModel;

// The plain plot of one Y= equation y = f(x), sampled once a view point: the curve breaks
// where the function is undefined and at jumps, a jump that zigzags across a large step is
// a vertical asymptote (a dashed line), the style's bits shade above (8) or below (16) it,
// and the equation's integral limits shade the region under it. Trace and the calculate
// menu go through the calculator's sampling of the equation.
class PlotFunction : public PlotObject {
public:
    explicit PlotFunction(Calculator& calc);

    // Sizes the sample buffers for n samples; nothing for 0.
    void allocateStoreCount(int n);
    // Samples the tile's width plus 3 points each side, and computes the integral's area
    // when its limits ask for it.
    void computeRect(const QRectF& rect, const GraphTransform& t);
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;

    // The trace's snapping within range of t; each sets featureLock when it snaps and
    // returns the feature's x, else t.
    double findIntersection(double t, double range, const PlotList& other);
    double findMinMax(double t, double range);
    double findZero(double t, double range);

    using PlotObject::YAtX;
    double YAtX(double x) override { return YAtT(x); }
    double YAtT(double t) override;
    double XAtT(double t) override { return t; }
    double slopeAtT(double t) override;
    int errorAtT(double t) override;
    double integrateLower(double lower, double upper, double tol, int& error) override;
    double zeroLower(double lower, double upper, double tol, int& error) override;
    double minLower(double lower, double upper, double tol, int& error) override;
    double maxLower(double lower, double upper, double tol, int& error) override;
    // A zero, else an intersection, else an extremum.
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

    const std::vector<GraphSampler::XY>& dataPoints() const { return dataPoints_; }
    // View x of each asymptote found by the last drawing.
    const std::vector<double>& asymptotes() const { return asymptotes_; }
    QRectF dataRect;
    GraphTransform dataT;

private:
    YEqModel* model() const;
    std::optional<YEqIntegrate> limits() const;
    // A calculate-menu answer: computed under the state lock, the parser's error then
    // handed to error and cleared.
    template <typename Compute>
    double answer(int& error, Compute compute);

    GraphSampler sampler_;
    std::vector<GraphSampler::XY> dataPoints_;
    std::vector<QPointF> screenPoints_;
    std::vector<double> asymptotes_;
    PlotStroke curve_;
    std::vector<QPointF> fillPoints_;
};

} // namespace orvenda
