#pragma once

#include "graph/PlotObject.h"

#include <QPainterPath>

#include <memory>

namespace orvenda {

class VQStatistics;

// The curve of a regression model fitted to a stat plot's lists, with the graph screen's
// trace and calculate queries on it: value, slope, zero, minimum or maximum, and the
// intersection with another plot. The plot keeps a copy of the coefficients and refits
// only after its model, plot number or style changed; a failed fit leaves all five 0.
// Models: 0 a+bx, 1 ax+b, 2 Med-Med, 3 a·bˣ, 4 a+b·ln x, 5 a·xᵇ, 6..8 polynomials of
// degree 2..4, 9 logistic c/(1+a·e^(−bx)), 10 a·sin(bx+c)+d; other numbers are model 0.
class PlotRegression : public PlotObject {
public:
    struct Point {
        double x = 0, y = 0;
    };

    explicit PlotRegression(Calculator& calc);

    std::shared_ptr<VQStatistics> stats;

    int fitModel() const { return fitModel_; }
    void setFitModel(int model);
    void setEqNum(int plot);
    void setStyle(int style);
    // Refits when the model, plot number or style changed since the last fit.
    void computeRegression();
    double coefficient(char name) const;
    const Point& summaryPoint(int i) const { return i == 0 ? p1_ : i == 1 ? p2_ : p3_; }

    // The foot of the perpendicular from p on the line through p1 and p2.
    static Point projectPt(const Point& p, const Point& p1, const Point& p2);

    double YAtT(double x) override;
    using PlotObject::YAtX;
    double YAtX(double x) override { return YAtT(x); }
    double XAtT(double t) override { return t; }
    // A central difference with a step of 1e-5.
    double slopeAtT(double x) override;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    void drawPtAt(const QPointF& at, QPainter& context) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;

    // The searches around x within r: the zero (featureLock 1), the extremum (3 minimum,
    // 4 maximum, 1 when the extremum is a zero), the crossing with the y axis or another
    // plot (2). Without a result the start x, the lock as it was.
    double findZero(double x, double r);
    double findMinMax(double x, double r);
    double findIntersection(double x, double r, const PlotList& other);
    // A zero, else an intersection, else an extremum near t.
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;

    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

private:
    void drawCurve(const QRectF& rect, const GraphTransform& t);
    void drawPolynomial(const QRectF& rect, const GraphTransform& t);
    // A sample's view y: NaN on the axis, infinities at the rectangle's edges.
    static double viewY(double y, const QRectF& rect, const GraphTransform& t);

    int fitModel_ = 0;
    bool doCompute_ = true;
    double a_ = 0, b_ = 0, c_ = 0, d_ = 0, e_ = 0;
    Point p1_, p2_, p3_;
    QPainterPath path_;
};

} // namespace orvenda
