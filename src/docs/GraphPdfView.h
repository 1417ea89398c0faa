#pragma once

#include "core/GraphScale.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class GraphView;
class GraphicsContext;
class PrettyPrint;

// The graph screen as shown, printed on one page: the graph worksheet. The window fills a
// rectangle 36 points from the page's sides (56 from its top, 48 from its bottom), turned
// along the long side in landscape, with the background (a white one only framed), axes,
// the grid over them, tick labels, the calculator's points, the plots (the selected one
// last), the drawing list's texts, the legend of the plots in the lower-left corner and,
// while the trace is locked, the magnifier and the traced plot's read-out. A window of
// equal scales on the screen keeps equal scales on the page. Not a view: it draws from
// the graph view's plot objects (or plots given to it) at print resolution. Main thread.
class GraphPdfView {
public:
    // What the last drawing wrote, where (page points, before a landscape turn).
    struct Written {
        QString text;
        QPointF at;
    };
    // A legend entry: the swatch's square and its colour.
    struct Swatch {
        QRectF rect;
        QColor color;
    };

    explicit GraphPdfView(Calculator& calc);
    ~GraphPdfView();
    GraphPdfView(const GraphPdfView&) = delete;
    GraphPdfView& operator=(const GraphPdfView&) = delete;

    // The graph screen's view whose plot objects are printed; without one, plots().
    void setGraphView(GraphView* view) { graphView_ = view; }
    GraphView* graphView() const { return graphView_; }
    PlotObject::PlotList& plots() { return plots_; }

    // The one-page document.
    QByteArray worksheetPDFLandscape(bool landscape);
    // The document written to a file: 0, or 70 when it cannot be written.
    int writeWorksheet(bool landscape, const QString& path);

    // The graph rectangle on a page of that size.
    static QRectF graphRect(QSizeF page, bool landscape);
    // Draws the graph into the rectangle; nothing when the window gives no finite transform.
    void graphInRect(GraphicsContext& context, const QRectF& rect);
    // The window x1..x2 by y1..y2 (either order) over bounds().
    void zoom(double x1, double x2, double y1, double y2);
    // An x label in π steps: the fraction of value / π and "π".
    std::string trigFormat(double value) const;
    // Grid lines from first, step apart (graph units), scaled and offset to points, while
    // before end: none for a step that is zero, negative or not finite, and never more
    // than kMaxLines.
    static std::vector<double> gridLines(double first, double step, double scale, double offset, double end);
    static constexpr int kMaxLines = 4096;

    const GraphTransform& t() const { return t_; }
    const QRectF& bounds() const { return bounds_; }
    const GraphScale& axisGrid() const { return axisGrid_; }
    const std::vector<Written>& written() const { return written_; }
    const std::vector<Swatch>& swatches() const { return swatches_; }
    // Where the last magnifier was drawn; NaN when none was.
    QPointF magnifier() const { return magnifier_; }

private:
    PlotObject::PlotList& source();
    void drawAxii(GraphicsContext& context);
    void drawTickLabels(GraphicsContext& context);
    void drawTrace(GraphicsContext& context);
    void drawReadout(GraphicsContext& context, PlotObject& plot);
    void drawTexts(GraphicsContext& context);
    void drawLegend(GraphicsContext& context);
    void drawMagnifierAt(GraphicsContext& context, QPointF at, double slope);
    void write(GraphicsContext& context, const QString& text, QPointF at, const struct TextFont& font, const QColor& ink);

    Calculator& calc_;
    GraphView* graphView_ = nullptr;
    PlotObject::PlotList plots_;
    GraphScale axisGrid_;
    GraphTransform t_{1, 0, 0, -1, 0, 0};
    QRectF bounds_;
    std::unique_ptr<PrettyPrint> prettyPrint_;
    std::vector<Written> written_;
    std::vector<Swatch> swatches_;
    QPointF magnifier_;
};

} // namespace orvenda
