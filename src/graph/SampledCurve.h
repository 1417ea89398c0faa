#pragma once

#include "eval/GraphSampler.h"
#include "graph/PlotObject.h"

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orvenda {

// A curve drawn from samples taken once: the parametric, polar and sequence plots. The
// samples {x, y, t} are kept in graph units and taken on the first drawing and after
// recompute only; every tile, pan and zoom redraws them through its own transform without
// evaluating. A sample with a non-finite coordinate breaks the drawn line; a lone point
// between breaks draws nothing. Main thread; sampling holds the state lock per call.
class SampledCurve : public PlotObject {
public:
    using Sample = GraphSampler::XYT;

    // The least and most samples of a parameter window.
    static constexpr std::size_t kMinSamples = 600;
    static constexpr std::size_t kMaxSamples = 2000;

    // The next drawing samples again.
    void recompute() override { doCompute_ = true; }
    // Samples when asked to (never sampled, or after recompute); nothing otherwise.
    void computeRect(const QRectF& rect, const GraphTransform& t);
    // Nothing with a non-finite transform; else samples if needed and draws.
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    // The nearest sample in view points (the first of equals); a hit when nearer than err.
    // Without a sample at a number distance the answer is no and pt stays as it was.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // The extent of the samples with no NaN coordinate (infinite ones take part); with
    // none, rect's x range in graph units and an empty y range. Never samples.
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;

    std::span<const Sample> samples() const { return samples_; }

    // How many samples a parameter window gets, and the step between them:
    // (max − min + step) / step, truncated (a quotient a hair under a whole number counts as
    // that number; negative or NaN counts as 0). Under 600 it becomes 600 with step
    // (max − min) / 600, over 2000 it becomes 2000 with step (max − min) / 2000.
    static std::size_t sampleCount(double min, double max, double& step);

protected:
    SampledCurve(Calculator& calc, int type);

    // Fills samples_ from the equation and the window.
    virtual void takeSamples() = 0;
    // Draws the samples taken: by default the polyline runs, stroked as the plot's line.
    virtual void drawSamples(const QRectF& rect, QPainter& context, const GraphTransform& t);

    using Sampling = void (GraphSampler::*)(int token, double min, double max, double step, std::span<Sample> data);
    // Samples the window in the three slots (min, max, step) by the count rule.
    void sampleWindow(int minSlot, int maxSlot, int stepSlot, Sampling sampling);

    // The index of the sample nearest pt in view points, or -1 when none has a number
    // distance; distance receives its distance.
    std::ptrdiff_t nearestSample(const PlotPoint& pt, const GraphTransform& t, double& distance) const;
    // The runs of consecutive finite samples in view points, into points_ and runs_,
    // leaving out segments wholly outside rect (with a margin for the widest stroke) and
    // points closer than a quarter point to the one before (a run keeps its last point).
    void addRuns(const QRectF& rect, const GraphTransform& t);
    // Strokes the runs as the plot's line, as strokeCurve does. Lines go in pieces of a
    // bounded length, which the rasterizer fills far faster than one long line.
    void strokeRuns(QPainter& context);
    // Strokes a path as the plot's line: 2 points wide for the thin style 2, else 4; when
    // selected, a 0.3-alpha halo (8 wide for style 2, else 7) under a 2-wide line. Leaves
    // the painter's pen 2 wide in the plot's colour.
    void strokeCurve(QPainter& context, const QPainterPath& path) const;
    // The runs as polylines of at most a piece's length, in the painter's pen.
    void strokePieces(QPainter& context) const;
    // The selection halo of the runs: the plot's colour at 0.3 alpha, width wide.
    void strokeHalo(QPainter& context, double width);
    // Leaves a 2-wide pen in the plot's colour, for whatever draws after.
    void restorePen(QPainter& context) const;

    // Trace-text helpers; the caller holds the state lock.
    // "name=value" of every slider variable of the plot.
    void addVariableLines(std::vector<std::string>& lines) const;
    // "r:" and "θ:" of the point, θ its angle in the angle unit.
    void addPolarLines(std::vector<std::string>& lines, const PlotPoint& p) const;
    // In polar coordinate format "dr/dθ:" of the equation at t, else "dy/dx:".
    void addSlopeLine(std::vector<std::string>& lines, double t);

    // The step of the central differences.
    static constexpr double kDerivativeStep = 1e-5;

    GraphSampler sampler_;
    std::vector<Sample> samples_;
    // The rectangle and transform of the last sampling.
    QRectF dataRect_;
    GraphTransform dataT_;
    // Reused from drawing to drawing: a path, the view points of the runs and each run's
    // [first, end) in them.
    QPainterPath path_;
    std::vector<QPointF> points_;
    std::vector<std::pair<std::size_t, std::size_t>> runs_;
    // The halo's layer, the size of the image drawn on.
    QImage haloLayer_;
    bool doCompute_ = true;
    bool sampled_ = false;
};

} // namespace orvenda
