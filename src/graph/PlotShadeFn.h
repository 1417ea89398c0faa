#pragma once

#include "eval/GraphSampler.h"
#include "graph/PlotObject.h"

#include <QPointF>
#include <QRectF>

#include <memory>
#include <vector>

namespace orvenda {

class DrawShadeFn;
class VQStack;

// The region of Shade(: above the lower function and below the upper one between xLeft
// and xRight, filled translucent in the plot's colour, one polygon per tile. The two
// functions are sampled once a view point across the tile. Samples are kept for each x
// geometry (a tile's left edge and width, the x scale and offset) of the last few met, so
// the tiles of a column share them and a vertical pan or zoom samples nothing: it only
// rebuilds the polygon, which is kept while the y scale and offset also stay.
class PlotShadeFn : public PlotObject {
public:
    explicit PlotShadeFn(Calculator& calc);

    // The plot of a Shade( record: its functions, bounds, colour and selection, style 2,
    // width 2.
    static std::shared_ptr<PlotShadeFn> plotFor(Calculator& calc, const std::shared_ptr<DrawShadeFn>& record);

    std::shared_ptr<VQStack> fnLower;
    std::shared_ptr<VQStack> fnUpper;
    Ops expressionLower;
    Ops expressionUpper;
    double xLeft = 0;
    double xRight = 0;

    // Samples (for an x geometry not met lately) and builds the polygon for the tile.
    void computeRect(const QRectF& rect, const GraphTransform& t);
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    // Inside the region (the point unchanged); outside it the point's y moves to the nearer
    // boundary, and beyond the x bounds to kNoValue.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override { return "Shade"; }

    // The y a hit test gives a point beyond the x bounds.
    static constexpr double kNoValue = 1e300;

    // The step of the last sampling in graph units (one view point along x).
    double fdx = 0;
    // How many times the functions were sampled.
    int samplings() const { return samplings_; }
    // The closed polygon in view points: the upper edge left to right, then the lower one
    // back.
    const std::vector<QPointF>& polygon() const { return screenPoints_; }
    QRectF dataRect;
    GraphTransform dataT;

private:
    // The samples of both functions for one x geometry.
    struct Samples {
        double x0 = 0;
        int n = -1;
        double a = 0, tx = 0;
        std::vector<GraphSampler::XY> upperPts;
        std::vector<GraphSampler::XY> lowerPts;
    };
    // The tiles' columns, and one to spare.
    static constexpr int kSampleSets = 4;

    // The set for the x geometry, sampled when no set has it.
    Samples& samplesFor(double x0, int n, const GraphTransform& t);
    void buildPolygon(const Samples& samples, const GraphTransform& t);

    GraphSampler sampler_;
    Samples sets_[kSampleSets];
    int nextSet_ = 0;
    // The set and the y scale and offset the polygon was built from.
    const Samples* polygonSet_ = nullptr;
    std::vector<QPointF> screenPoints_;
    // The polygon as filled: each run of defined lower values, bounded near the tile.
    std::vector<QPointF> fillPoints_;
    int samplings_ = 0;
};

} // namespace orvenda
