#pragma once

#include "core/VQColor.h"
#include "core/YEqVarInfo.h"
#include "graph/GraphGeometry.h"

#include <QColor>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPointF;
class QRectF;
class QSizeF;

namespace orvenda {

class Calculator;
class DrawObject;

// Everything the graph draws as a curve, points, a region or a shape. The graph view
// makes one per thing to show each time it rebuilds its plots, hands every tile's drawing
// to each in turn and asks them for trace points, hit tests, calculus results, zoom
// bounds and trace text. Every answer here is neutral; a kind of plot overrides what it
// supports. Drawing is in view points through the graph's transform. Main thread only.
class PlotObject {
public:
    using PlotList = std::vector<std::shared_ptr<PlotObject>>;
    using Ops = std::vector<std::uint32_t>;

    // plotType codes; callers test the code rather than the class. 20 is not used.
    enum Type : int {
        PlotNone = 0, PlotFunction = 1, PlotPolar = 2, PlotParametric = 3, PlotSequence = 4, PlotImplicit = 5,
        PlotScatter = 6, PlotXYLine = 7, PlotDistribution = 8, PlotHistogram = 9, PlotBox = 10, PlotModBox = 11,
        PlotRegression = 12, PlotNormProb = 13, PlotLine = 14, PlotCircle = 15, PlotFn = 16, PlotInvFn = 17,
        PlotShadeFn = 18, PlotText = 19, PlotGeometry = 21, PlotPolyline = 22,
    };

    // What the trace is snapped to (the calculator's featureLock).
    enum Feature : int {
        FeatureNone = 0, FeatureZero = 1, FeatureIntersection = 2, FeatureMinimum = 3, FeatureMaximum = 4,
        FeatureAsymptote = 5, FeatureYIntercept = 6,
    };

    explicit PlotObject(Calculator& calc);
    virtual ~PlotObject();
    PlotObject(const PlotObject&) = delete;
    PlotObject& operator=(const PlotObject&) = delete;

    // Drops cached samples so the next drawing computes them again.
    virtual void recompute() {}
    // Draws the part within rect (a tile, in view points); quality 1 full density, 4 a
    // quarter (while the view moves).
    virtual void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality);
    // The trace cursor: a 6-point circle in the plot's colour at a finite point.
    virtual void drawPtAt(const QPointF& at, QPainter& context);

    bool selected() const { return selected_; }
    // Also selects or deselects the drawing record the plot was made from.
    virtual void setSelected(bool selected);

    // Whether the plot passes within err view points of pt (graph coordinates); on a hit pt
    // becomes the nearest point of the plot.
    virtual bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err);
    virtual double YAtX(double x);
    // The y nearest to near where the plot has several; one y by default.
    virtual double YAtX(double x, double near);
    virtual double YAtT(double t);
    virtual double XAtT(double t);
    virtual double slopeAtT(double t);
    virtual double slopeAtPoint(const PlotPoint& pt);
    // Why the read-outs at t (the point and the slopes through it) have no value: the error
    // the home line gives for the plot's equation there, 18 where it overflows; 0 when they
    // have one, or the plot has no equation to ask.
    virtual int errorAtT(double t);
    double RAtT(double t);
    // In the calculator's angle unit.
    virtual double ThetaAtT(double t);
    // The trace point at t, snapped to a feature within range (graph x units) among the
    // other plots; the feature goes into the calculator's featureLock (0 none).
    virtual PlotPoint PtAtT(double t, double range, const PlotList& other);
    virtual PlotPoint PtAtPt(const PlotPoint& pt, const QSizeF& range, const PlotList& other);

    // The calculate menu: the integral, the zero's x, the extremum's x between lower and
    // upper; error 0 on success, 19 when the plot offers none.
    virtual double integrateLower(double lower, double upper, double tol, int& error);
    virtual double zeroLower(double lower, double upper, double tol, int& error);
    virtual double minLower(double lower, double upper, double tol, int& error);
    virtual double maxLower(double lower, double upper, double tol, int& error);

    // ZoomFit's rectangle and ZoomStat's extent, in graph coordinates.
    virtual Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t);
    virtual Calculator::Bounds statBounds(const GraphTransform& t);

    // The trace text, the equations shown while tracing (prefix text → ops) and the short
    // name; none by default.
    virtual std::optional<std::vector<std::string>> infoLines();
    virtual std::optional<std::map<std::string, Ops>> equationOps();
    virtual std::optional<std::string> label();

    // A slider of the plot changed: the first record of varInfoArray for the variable takes
    // the range, value and step, and the calculator variable the value. Nothing when the
    // plot has no slider for it.
    virtual void setVar(int varNum, double min, double max, double value, double step);

    int plotType = PlotNone;
    // Drawn with alpha 1 unless said otherwise.
    VQColor color;
    int style = 0;
    float lineWidth = 0;
    // The Y= token, the stat plot number, or -1 for a drawing command's plot.
    int eqNum = 0;
    int varNum = 0;
    // The plot's adjustable variables (sliders).
    std::vector<YEqVarInfo> varInfoArray;
    // The drawing record the plot was made from, if any.
    std::shared_ptr<DrawObject> drawFunc;
    Calculator& calc;

protected:
    // The plot's colour at an alpha.
    QColor colorAt(double alpha) const;
    // The trace point's coordinate lines: "r:" and "θ:" in polar coordinate format, else
    // x and y after their labels; nothing when the point is not finite. The caller holds
    // the state lock.
    void addCoordinateLines(std::vector<std::string>& lines, const char* xLabel = "X:", const char* yLabel = "Y:") const;
    // As the switches ask: the label, the coordinate lines, and "dy/dx:" with the trace's
    // slope (0 at a minimum or maximum). The caller holds the state lock.
    std::vector<std::string> traceLines();

private:
    bool selected_ = false;
};

} // namespace orvenda
