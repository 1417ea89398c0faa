#pragma once

#include "eval/GraphSampler.h"
#include "eval/QuickEvaluator.h"
#include "graph/PlotObject.h"

#include <QPointF>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvenda {

class VQStack;
class YEqModel;

// The curve y = f(x) of a Y= function, a DrawF or Tangent( curve, or the equation solver's
// function. Each tile samples f across its own rectangle (widened by 4q points each side, one
// sample per q points), refines the samples near domain edges, jumps, vertical asymptotes
// and extremes, splits them into segments and strokes or shades them by style: 2 or 4 a
// line, 8 shading above, 16 below (10 and 18 both). Tracing snaps to zeros, asymptotes, the
// y-intercept, intersections with other plots and extremes.
//
// Evaluation goes through the calculator (the fast evaluator when it takes the function,
// the full one otherwise); the variable and the parser's error are left as they were.
// Main thread; the buffers are kept and only grow.
class PlotFn : public PlotObject {
public:
    struct Segment {
        std::int64_t start = 0;
        std::int64_t count = 0;
    };

    explicit PlotFn(Calculator& calc);

    std::shared_ptr<VQStack> fn;
    // The function's tokens: the label of a drawn curve.
    Ops expression;
    bool showTangent = false;
    double tangentX = 0;

    // Drops the samples; the equation's shaded integral is computed again.
    void recompute() override;
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    using PlotObject::YAtX;
    double YAtX(double x) override;
    double YAtT(double t) override;
    double XAtT(double t) override { return t; }
    double slopeAtT(double t) override;
    int errorAtT(double t) override;
    // Snaps to a zero or an asymptote, else the y-intercept or an intersection, else an
    // extreme, within range of t.
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;
    double integrateLower(double lower, double upper, double tol, int& error) override;
    double zeroLower(double lower, double upper, double tol, int& error) override;
    double minLower(double lower, double upper, double tol, int& error) override;
    double maxLower(double lower, double upper, double tol, int& error) override;
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::map<std::string, Ops>> equationOps() override;
    std::optional<std::string> label() override;

    // Samples the widened rectangle (reusing the last samples when the rectangle and the
    // scale and x offset are the same) and refines them.
    void computeRect(const QRectF& rect, const GraphTransform& t, int quality);
    // Refines the samples in place and splits them into segments; quick: through the fast
    // evaluator.
    void refine(bool quick);
    // The trace searches: x, or the feature's x with the feature (1 zero, 2 intersection,
    // 3 minimum, 4 maximum, 5 asymptote, 6 y-intercept) in featureLock.
    double findZero(double x, double range);
    double findIntersection(double x, double range, const PlotList& other);
    double findMinMax(double x, double range);
    // The value through the fast evaluator, the full one's where it declines.
    double qYAtT(double t);

    // The last sampling, in graph units and in view points, its segments and asymptotes.
    const std::vector<GraphSampler::XY>& dataPoints() const { return data_; }
    const std::vector<QPointF>& screenPoints() const { return screen_; }
    std::vector<Segment> segments() const;
    const std::vector<double>& asymptotes() const { return asymptotes_; }
    // How many times the function was sampled across a rectangle.
    int samplings() const { return samplings_; }

private:
    // How the searches evaluate: the full evaluator, or the fast one while refining.
    enum class Eval { Full, Quick };

    void allocateStoreCount(std::size_t n);
    void addSegment(std::size_t start, std::size_t count);
    double value(double x, Eval how);
    double slope(double x, Eval how);
    double minMax(double x, double range, Eval how, int& feature);
    // The shaded integral's bounds; equal when there is none.
    void integralLimits(double& lo, double& hi) const;
    // The runs of finite points of one segment.
    template <typename Run>
    void eachRun(std::size_t start, std::size_t count, Run run) const;
    void fillSegments(QPainter& context, double closeAtY);
    void strokeSegments(QPainter& context, const QRectF& rect);
    // One run of view points, as lines cut to the band from top to bottom.
    void strokeRun(QPainter& context, std::size_t first, std::size_t count, double top, double bottom);
    void drawAsymptotes(const QRectF& rect, QPainter& context, const GraphTransform& t);
    void drawTangent(const QRectF& rect, QPainter& context, const GraphTransform& t);
    void shadeIntegral(QPainter& context, const GraphTransform& t, std::int64_t iLo, std::int64_t iHi);
    double calculus(double result, int& error);
    // The function compiled once for the fast evaluator; null when it does not take it.
    const QuickEvaluator::Program* fastProgram();
    YEqModel* yEq() const;

    GraphSampler sampler_;
    QuickEvaluator::Program quick_;
    bool quickCompiled_ = false;
    bool isQuick_ = false;

    double fdx_ = 0;
    double fdy_ = 0;
    std::vector<GraphSampler::XY> data_;
    std::vector<double> deltas_;
    std::vector<QPointF> screen_;
    std::vector<Segment> segments_;
    std::size_t numSegments_ = 0;
    std::vector<double> asymptotes_;
    bool haveData_ = false;
    QRectF dataRect_;
    GraphTransform dataT_;
    int samplings_ = 0;

    std::array<GraphSampler::XY, 16> hitSamples_;
    std::vector<GraphSampler::XY> boundsSamples_;
    QPolygonF polygon_;
    QPen pen_;
};

} // namespace orvenda
