#pragma once

#include "app/MouseDrag.h"
#include "eval/GraphSampler.h"
#include "graph/GraphGeometry.h"
#include "graph/GraphTile.h"
#include "graph/PlotObject.h"
#include "platform/SteadyClock.h"

#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <limits>
#include <memory>
#include <optional>

namespace orvenda {

class GraphTileLayer;
class GraphViewDelegate;
class PhotoPlot;
class PixelPlot;

// The graph canvas. It owns the graph-to-view transform, draws the plane through nine
// recycled tiles (3 × 3, each half the view on a side, a quarter view of margin all round),
// keeps the window variables in step with what it shows, and turns drags into pans with
// coasting, pinches (and Ctrl+wheel) into zooms, taps into trace locks, and zoom tokens
// into windows. Layers from the back: the background picture, the tiles, the pixel screen.
// Main thread only.
//
// The gestures are driven from mouse, wheel and pinch events, and directly by the
// pan/pinch/tap operations below (which is how the tests drive them).
class GraphView : public QWidget {
    Q_OBJECT
public:
    enum class Gesture { Began, Changed, Ended, Cancelled };

    explicit GraphView(Calculator& calc, QWidget* parent = nullptr);
    ~GraphView() override;

    Calculator& calc;
    GraphViewDelegate* delegate = nullptr;
    // The text overlay laid on top (made with the view), redrawn after every change of
    // the graph.
    QWidget* graphTextView = nullptr;
    // 0 full quality; 1 panning or pinching; 2 dragging the trace. Tiles draw in draft
    // quality while it is not 0.
    int drawQuality = 0;
    // Set while the plot list is rebuilt; tiles do not render meanwhile.
    bool updatingObjects = false;
    PlotPoint tracePoint;

    const GraphTransform& t() const { return t_; }
    PlotObject::PlotList& plotObjects() { return plotObjects_; }
    const std::array<std::unique_ptr<GraphTile>, 9>& tiles() const { return tiles_; }
    double tileWidth() const { return tileWidth_; }
    double tileHeight() const { return tileHeight_; }
    PixelPlot& pixelPlot() { return *pixelPlot_; }
    PhotoPlot& photoPlot() { return *photoPlot_; }

    // The window shown: {xMin, xMax, yMin, yMax}.
    Calculator::Bounds graphBounds() const;
    // Writes the window shown into the window variables and the calculator, then tells
    // the delegate.
    void updateWindowVars();
    // The transform that shows a window; a non-finite pair becomes -1..1.
    void zoom(const Calculator::Bounds& window);
    // The scales, kept within 1e-9..1e9 points per unit with a > 0 > d.
    void setScaleSx(double sx, double sy);
    void layoutTiles();
    // Moves the tiles by whole points; a tile that leaves the ring wraps to its far side
    // and draws its new region.
    void panTilesDX(double dx, double dy);
    void pan2Dx(double dx, double dy);
    void redrawAll();
    // The ZOOM tokens: ZStandard 0x86, ZTrig 0x87, ZSquare 0x8B, ZInteger 0x8C, ZPrevious
    // 0x8D, ZDecimal 0x8E, ZoomStat 0x8F, ZoomRcl 0x90, ZoomSto 0x92, ZoomFit 0xBB65.
    void zoomOp(int token);
    // Zoom in (plus) or out (minus) by a factor about the locked trace point or the
    // middle; direction 1 x only, 2 y only, else both.
    void plus(double factor, int direction);
    void minus(double factor, int direction);
    // ZoomStat's and ZoomFit's windows for the plot list as it stands.
    void zoomStat();
    void zoomFit();
    // Rebuilds the plot list from the window variables, the Y= equations of the graph mode
    // (or only the equation solver's function) and the drawing list, in that drawing
    // order, then lays the tiles out afresh. A plot whose equation or stat plot the trace
    // was locked on is selected again.
    void updateDisplay();
    // The regression shown over the selected stat plot's data: model 0..10, or -1 for none.
    void setFitModel(int model);
    // Selects the plot under a view point and locks the trace on it (none: unlocks).
    void lockToPoint(const QPointF& at);
    PlotObject* selectedPlotObj() const;
    // Selects the plot of an equation and locks the trace on it at a parameter value; a
    // traced point beside the window scrolls the window to it.
    void selectEqNum(int token, double value);
    // The last data point (bar) a trace along a scatter, xyLine, normal probability plot or
    // histogram may stand on, as its data is now; -1 when it has none.
    double lastTraceIndex(const PlotObject& plot) const;
    // The tolerance, in view points, of a trace moved a step by a key or the panel.
    static constexpr double kTraceStepPoints = 0.5;
    // Moves the trace on the selected plot to a parameter value, snapping within err view
    // points; without a selected plot only the value is kept.
    void trace(double value, double err);
    // The parameter a trace moved by value goes on from: the value it was last moved to,
    // unless it has been moved since another way (a tap, a drag, a selection, a typed
    // value, a calculation): then its point's. A step from the value asked for gets past a
    // snap that would hold the point.
    double traceFrom() const;
    // The trace dragged to a view point along the selected plot.
    void trackTo(const QPointF& at);
    // A slider changed a variable: the curves are computed again and the trace follows.
    void valueChanged();
    // Leaving the graph: the window and the traced point are kept, the plots dropped.
    void done();
    // After a change of size: the screen variables and the tile layout.
    void rotate();
    void updateControls() {}
    // The view as shown, overlay included.
    QImage image();
    // A slider is dragged over the graph: gestures off meanwhile.
    void startTrackingVar();
    void stopTrackingVar();
    void enableGestureRecognizers(bool enabled);
    // Renders every dirty tile (the display pass; painting does it too).
    void displayTiles();

    // Gestures. pan: translation since the pan began and velocity in points per second;
    // pinch: the two fingers and the point the gesture is about; taps at a view point.
    void pan(Gesture state, const QPointF& translation, const QPointF& velocity);
    void pinch(Gesture state, const QPointF& finger0, const QPointF& finger1, const QPointF& location);
    void singleTap(const QPointF& at);
    void doubleTap(const QPointF& at);
    void longTap(Gesture state, const QPointF& at);
    // A touch stops coasting.
    void touchesBegan();
    // One coasting step (every 1/30 s while coasting).
    void coast();
    bool coasting() const { return vTimer_.isActive(); }

protected:
    // The plot object of a Y= equation of a function type (0 function, 1 parametric, 2
    // polar, 3 sequence), before the settings every equation plot gets; null for a type
    // with no plot. Implicit relations make their plots themselves.
    virtual std::shared_ptr<PlotObject> makeEquationPlot(int functionType, int token);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    void addSolverPlot();
    void addEquationPlots();
    void addWebPlots(int token, const VQColor& color);
    void addDrawingPlots();
    // The trace's slope at a point of a plot.
    double slopeOf(PlotObject& plot, const PlotPoint& at);
    // The trace on at a point of a plot, with its slope; the overlay shows it.
    void lockTraceAt(PlotObject& plot, const PlotPoint& at);
    // The trace moved to where the selected plot now lies at the traced parameter,
    // snapped as a trace step snaps (a slider moved).
    void followTrace(PlotObject& selected);
    // The one judge of the trace after what is drawn changed (the plots rebuilt, the window
    // zoomed): the traced plot's point is worked out again as the plot is drawn now, at the
    // trace's parameter kept within what the plot traces over (its data points or bars,
    // its terms, Tmin..Tmax, θmin..θmax; a box plot's value nearest), as a step there by a
    // key puts it. The trace goes off when its plot is gone or has nothing left to trace.
    // Drawings keep their points.
    void retrace();
    // The point a trace moved to a value stands on (snapped within err view points).
    PlotPoint pointAtValue(PlotObject& plot, double value, double err);
    // The trace's parameter t kept within what the plot traces over now (none: nothing).
    std::optional<double> traceParameter(PlotObject& plot, double t);
    void redrawOverlay();
    void stopCoasting();
    void endMoving();
    // The window the transform shows, read back from it.
    Calculator::Bounds windowFromTransform() const;
    void scaleBy(double factor, int direction);
    // Whole milliseconds since the mouse went down.

    GraphTransform t_;
    GraphSampler sampler_;
    std::array<std::unique_ptr<GraphTile>, 9> tiles_;
    PlotObject::PlotList plotObjects_;
    // The point the last trace by value left (none yet: not a number).
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    PlotPoint tracedByValue_{kNone, kNone, kNone};
    PhotoPlot* photoPlot_ = nullptr;
    GraphTileLayer* tileLayer_ = nullptr;
    PixelPlot* pixelPlot_ = nullptr;
    double tileWidth_ = 0, tileHeight_ = 0;

    QPointF velocity_;
    QPointF coastT_;
    QTimer vTimer_;
    std::optional<SteadyClock::time_point> frameStart_;
    QPointF basePoint_;
    QPointF photoBaseOrigin_;
    double photoScale_ = 1;
    QPointF zoomCenterGraph_;
    QPointF baseScale_;
    QPointF startScale_;
    bool gesturesEnabled_ = true;
    bool singleTapEnabled_ = true;

    // Mouse and wheel input turned into gestures.
    MouseDrag drag_;
    bool longPressed_ = false;
    bool doubleClicked_ = false;
    QTimer longPressTimer_;
    bool wheelPinching_ = false;
    QPointF wheelFinger_;
    QPointF wheelAt_;
    QTimer wheelTimer_;
};

} // namespace orvenda
