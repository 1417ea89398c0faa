#pragma once

#include <QColor>
#include <QGradient>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

class QImage;
class QPainter;

namespace orvenda {

// A drawing context in the phone's manner over a QPainter: a fill and a stroke colour, a
// line width and a shadow kept as state that save and restore bring back, a current path
// that drawing and clipping consume, gradients painted inside the clip, and shadows under
// everything drawn while one is set. The painter stays the caller's; the context only
// borrows it for its life. Main thread.
class GraphicsContext {
public:
    enum class PathMode { Fill, Stroke, FillStroke };

    explicit GraphicsContext(QPainter& painter);
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    QPainter& painter() const { return painter_; }

    // Saves or restores the painter's state (transform, clip) with the context's own.
    void saveGState();
    void restoreGState();

    void setFillColor(const QColor& color) { state_.fill = color; }
    const QColor& fillColor() const { return state_.fill; }
    void setStrokeColor(const QColor& color) { state_.stroke = color; }
    const QColor& strokeColor() const { return state_.stroke; }
    void setLineWidth(double width) { state_.lineWidth = width; }
    double lineWidth() const { return state_.lineWidth; }

    // A shadow under what is drawn from now on: offset and blur in user units, down and
    // right positive. A blur and offset of 0 with no colour is no shadow.
    void setShadow(QPointF offset, double blur, const QColor& color);
    void clearShadow();
    bool hasShadow() const { return state_.shadowColor.isValid() && state_.shadowColor.alpha() > 0; }
    QPointF shadowOffset() const { return state_.shadowOffset; }
    double shadowBlur() const { return state_.shadowBlur; }
    const QColor& shadowColor() const { return state_.shadowColor; }

    void translate(double dx, double dy);
    void scale(double sx, double sy);

    // The current path: built by the caller, consumed by drawPath and clip.
    QPainterPath& path() { return path_; }
    void beginPath() { path_.clear(); }
    void drawPath(PathMode mode);
    void fillPath(const QPainterPath& path, Qt::FillRule rule = Qt::WindingFill);
    void strokePath(const QPainterPath& path);
    // Intersects the clip with the current path and empties it.
    void clip();
    void clipToRect(const QRectF& rect);

    // Paints the gradient along the line from `from` to `to` inside the clip, only between
    // the two lines through its ends that stand across it (no extension beyond them).
    void drawLinearGradient(const QGradientStops& stops, QPointF from, QPointF to);
    // The same gradient painted inside the path only: what clipping to the path and then
    // drawing the gradient paints, with smooth edges.
    void fillPathWithGradient(const QPainterPath& path, const QGradientStops& stops, QPointF from, QPointF to);
    void drawImage(const QRectF& target, const QImage& image);

    // Draws with the painter in the user space, under the shadow when one is set; `bounds`
    // holds everything the drawing touches.
    void drawWithShadow(const QRectF& bounds, const std::function<void(QPainter&)>& draw);

    // Appends the arc of the given radius tangent to the line from the current point to p1
    // and to the line from p1 to p2 (with the straight piece up to it); a radius of 0 or
    // lines that do not turn give a line to p1.
    static void addArcToPoint(QPainterPath& path, QPointF p1, QPointF p2, double radius);
    // A colour from channels 0..1, each held to that range as the phone's contexts do (NaN
    // counts as 0).
    static QColor color(double r, double g, double b, double a);

private:
    struct State {
        QColor fill = Qt::black;
        QColor stroke = Qt::black;
        double lineWidth = 1;
        QPointF shadowOffset;
        double shadowBlur = 0;
        QColor shadowColor;
    };

    void paintShadow(const QRectF& bounds, const std::function<void(QPainter&)>& draw);

    QPainter& painter_;
    State state_;
    std::vector<State> saved_;
    QPainterPath path_;
};

} // namespace orvenda
