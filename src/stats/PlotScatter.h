#pragma once

#include "graph/PlotObject.h"
#include "stats/StatMarks.h"

#include <memory>

namespace orvenda {

class VQList;
class VQStatistics;

// A scatter stat plot: one mark per (x, y) pair of the plot's X and Y lists, looked up by
// name afresh at each drawing and query, and with a regression chosen the residual of
// each pair as a vertical segment to the fitted value. Its parameter is the pair's index.
// Nothing is drawn or hit unless both lists exist, are real and have one length.
class PlotScatter : public PlotObject {
public:
    explicit PlotScatter(Calculator& calc);

    // The plot's statistics: the list names, and the residuals of the fitted model.
    std::shared_ptr<VQStatistics> stats;

    int fitModel() const { return fitModel_; }
    // Refits the statistics when a model (0..10) other than the current one is chosen;
    // -1 shows no residuals.
    void setFitModel(int model);

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    void drawPtAt(const QPointF&, QPainter&) override {}
    // The nearest pair by view distance (the lower index among equals); pt becomes it, t
    // its index.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // Element (int)t of the list; 0 for t < 0, beyond the list or without it.
    double XAtT(double t) override;
    double YAtT(double t) override;
    Calculator::Rect boundsInRect(const QRectF& rect, const GraphTransform& t) override;
    Calculator::Bounds statBounds(const GraphTransform& t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

protected:
    struct Pairs {
        const VQList& x;
        const VQList& y;
    };
    // The lists to draw; the caller holds the state lock.
    std::optional<Pairs> pairs() const;
    double element(const std::optional<std::string>& name, double t) const;
    std::string listName(bool y) const;
    // The residual segments of the fitted model, in the plot's colour.
    void drawResiduals(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t);
    void drawMarks(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t);
    // What drawRect draws of lists that make pairs: the residuals, then the marks.
    virtual void drawPairs(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t);

    int fitModel_ = -1;

private:
    StatMarks marks_;
    std::vector<QLineF> segments_;
};

} // namespace orvenda
