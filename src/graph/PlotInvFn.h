#pragma once

#include "eval/GraphSampler.h"
#include "graph/PlotObject.h"
#include "graph/PlotStroke.h"

#include <QRectF>

#include <memory>
#include <vector>

namespace orvenda {

class DrawInv;
class VQStack;

// The curve of DrawInv: the function sampled along the graph's y direction, one sample
// per view point of the tile's height, each drawn with its coordinates swapped, so the
// point (f(v), v) shows for every v. Undefined values break the curve. Its parameter is
// the input v: XAtT(v) = f(v), YAtT(v) = v, the point drawn, hit and traced.
class PlotInvFn : public PlotObject {
public:
    explicit PlotInvFn(Calculator& calc);

    // The plot of a DrawInv record: its function, colour, width and selection, style 2.
    static std::shared_ptr<PlotInvFn> plotFor(Calculator& calc, const std::shared_ptr<DrawInv>& record);

    std::shared_ptr<VQStack> fn;
    Ops expression;

    // Samples the tile's height (plus 4 points above and below) through t.
    void computeRect(const QRectF& rect, const GraphTransform& t);
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    double YAtT(double t) override { return t; }
    double XAtT(double t) override;
    // The mirrored curve's slope at (f(t), t): 1 / f'(t).
    double slopeAtT(double t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    // "inverse(…)" with the function's text.
    std::optional<std::string> label() override;

    // The step of the last sampling in graph units (one view point along y).
    double fdx = 0;
    const std::vector<GraphSampler::XY>& dataPoints() const { return dataPoints_; }
    QRectF dataRect;
    GraphTransform dataT;

private:
    GraphSampler sampler_;
    std::vector<GraphSampler::XY> dataPoints_;
    PlotStroke screenPoints_;
};

} // namespace orvenda
