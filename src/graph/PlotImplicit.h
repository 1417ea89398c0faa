#pragma once

#include "graph/ImplicitSolver.h"
#include "graph/PlotObject.h"

#include <QSizeF>

#include <cstdint>
#include <memory>
#include <vector>

namespace orvenda {

class GraphView;

// One implicit relation of the Y= editor in the implicit graph mode: an equation such as
// X²+Y²=4 or an inequality such as Y<sin(X), compiled as f(x, y) = left − (right). The
// curve is where f = 0; an inequality shades where f >= 0 (> and ≥, style bit 8) or f < 0
// (< and ≤, style bit 16). Each tile is drawn from a grid of f over it (ImplicitGrid):
// first a draft, then full detail. The trace snaps touches onto the curve, to x-axis
// crossings, to turning points and to crossings with other relations.
//
// Drawing that does not fit in a frame is finished over later turns of the graph view's
// event loop (ImplicitRefiner); what a tile was drawn from is kept for it, so redrawing it
// (a selection, a pan back) costs nothing. X and Y are the calculator's, borrowed under
// the state lock and put back. Main thread.
class PlotImplicit : public PlotObject {
public:
    static constexpr int kFirstRelation = 0x5EA0;
    static constexpr int kLastRelation = 0x5EA9;

    explicit PlotImplicit(Calculator& calc);
    ~PlotImplicit() override;

    // The plot of a relation of the Y= editor as the plot list has it: colour, style, line
    // width, sliders and selection from the equation; null when the relation is not to be
    // plotted (off, empty, or in the exam test mode).
    static std::shared_ptr<PlotImplicit> forEquation(Calculator& calc, int token, GraphView* view);

    // The view whose tiles it draws, which then finishes slow drawings over later turns of
    // its event loop; without one every drawing is finished before drawRect returns.
    GraphView* graphView = nullptr;

    void recompute() override;
    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    // The nearest curve point found in the box err view points across centred on pt,
    // moved onto the curve; pt's t is kept.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // The same over a box of `range` (graph units); true only when the point is put on the
    // curve.
    bool hitPoint(PlotPoint& pt, const QSizeF& range, double err);
    double slopeAtPoint(const PlotPoint& pt) override;
    // Onto the curve, then snapped to an x-axis crossing (featureLock 1), a turning point
    // (3, 4) or a crossing with another relation (2) within range.
    PlotPoint PtAtPt(const PlotPoint& pt, const QSizeF& range, const PlotList& other) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::map<std::string, Ops>> equationOps() override;
    std::optional<std::string> label() override;

    // Evaluations of f made by the last drawing or search.
    std::uint64_t numEvals() const { return numEvals_; }
    // Evaluations of f made by drawing since the plot was made, the view's finishing of
    // slow drawings in later turns included.
    std::uint64_t drawingEvals() const;
    // The relation compiles for the fast evaluator (the one it is drawn with).
    bool evaluable();

private:
    struct TileJob;
    using Point = ImplicitSolver::Point;
    using Size = ImplicitSolver::Size;

    // Fetches and compiles the relation into solver (under its Use).
    void fetch(ImplicitSolver& solver) const;
    std::shared_ptr<TileJob> jobFor(const QRectF& rect, const GraphTransform& t);
    int fillMode() const;
    void paint(TileJob& job, QPainter& context);
    // The nearest curve point to hitPt_ in the box at origin of that size (corner values
    // when known), into minPt_ and minErr_.
    void quadSearchAt(ImplicitSolver& f, Point origin, Size size, const double* values);
    // A crossing with the other relation g in the box, into hitPt_.
    void qSearchAt(ImplicitSolver& f, ImplicitSolver& g, Point origin, Size size, const double* values);
    bool hitInBox(ImplicitSolver& f, PlotPoint& pt, Size box, double err, bool mustPutOnCurve);

    // Drawing: the relation fetched at the first drawing; the trace fetches it afresh.
    std::shared_ptr<ImplicitSolver> solver_;
    bool fetched_ = false;
    ImplicitSolver traceSolver_;
    std::vector<std::shared_ptr<TileJob>> jobs_;
    std::uint64_t numEvals_ = 0;

    // The searches' state.
    Point hitPt_;
    double minErr_ = 1e99;
    Point minPt_;
    Size searchDepth_;
    Size plotDepth_;
};

} // namespace orvenda
