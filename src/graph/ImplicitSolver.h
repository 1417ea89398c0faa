#pragma once

#include "core/VQStack.h"
#include "eval/GraphSampler.h"
#include "eval/QuickEvaluator.h"
#include "graph/GraphGeometry.h"

#include <complex>
#include <cstdint>
#include <mutex>
#include <vector>

namespace orvenda {

class Calculator;
class StateMutex;
class VQStack;

// f(x, y) of one implicit relation (its left side minus its right side), run by the fast
// evaluator over the calculator's X and Y, and the searches made on it: cell sign codes,
// where the curve crosses a cell's side, solving for y at an x (or x at a y), steps along
// the curve and turning points. An undefined value counts as positive (+∞), so the border
// of the relation's domain shows as a curve.
//
// Evaluation writes X and Y, so it happens only inside a Use, which holds the state lock
// (a program on the worker reads and writes variables too) and puts X and Y back when it
// ends. Main thread.
class ImplicitSolver {
public:
    using Point = GraphGeometry::Point;
    struct Size {
        double width = 0, height = 0;
    };
    // Along which coordinate a one-dimensional search moves: x (the other fixed) or y.
    enum Axis : int { AlongX = 0, AlongY = 1 };

    // The state lock held and X and Y kept while it lives; they are put back at its end.
    class Use {
    public:
        explicit Use(ImplicitSolver& solver);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        std::unique_lock<StateMutex> hold_;
        Calculator& calc_;
        std::complex<double> x_, y_;
    };

    explicit ImplicitSolver(Calculator& calc);

    // Takes a copy of the compiled relation (under a Use); false, and nothing to evaluate,
    // when there is none or the fast evaluator cannot run it.
    bool setFunction(const VQStack* rpn);
    bool valid() const { return valid_; }
    // The variable slots the relation reads besides X and Y, and their values with the
    // modes the evaluation depends on: what a drawing of it was made from.
    std::vector<double> inputs() const;

    // f at a point, counted in numEvals: the fast evaluator's value, the full one's where it
    // declines; no value becomes +∞.
    double fX(double x, double y);
    std::uint64_t numEvals = 0;

    // Bit k set when corner k's value is not negative; corners 0 (x0, y0), 1 (x0 + w, y0),
    // 2 (x0 + w, y0 + h), 3 (x0, y0 + h), y upwards. 0 and 15: no sign change.
    static int cellCode(double v0, double v1, double v2, double v3);
    static bool crossed(int code) { return code > 0 && code < 15; }
    // The sides (0 left, 1 right, 2 top, 3 bottom) where the curve enters and leaves a
    // cell of that code; -1 for 0 and 15. Saddles (5, 10) give one pair.
    static int firstSide(int code);
    static int secondSide(int code);
    // Corners of the cell (their count) that close the part where f >= 0 (fill 1) or
    // f < 0 (fill 2) after its crossing segment.
    static int fillCorners(int code, int fill, int corners[3]);

    // The root on [lo, hi] of f along the axis at the fixed coordinate d: safeguarded false
    // position; an end whose value is within 1e-8 of 0, the middle when the ends agree in
    // sign, the finite end when the other is infinite.
    double searchMin(double lo, double hi, double fLo, double fHi, double d, Axis axis);
    // Up to 10 halvings of {lo, mid, hi} keeping the half with a sign change; the last middle.
    double search(double d, double lo, double mid, double hi, double fLo, double fMid, Axis axis);
    // Where the curve crosses a side of the cell with these corners and values; NaN, NaN for
    // a side other than 0 to 3.
    Point searchSide(int side, const Point corners[4], const double values[4]);
    // The crossings on the first and second side of the cell's code.
    void lineCorners(const Point corners[4], const double values[4], Point& p1, Point& p2);
    // The crossing segment of the box of that size centred on the point (NaN ends when the
    // curve does not cross it).
    void lineAround(Point centre, Size size, Point& p1, Point& p2);
    // The slope of that segment for an e × e box.
    double slopeAtPt(Point p, double e);

    // y near `guess` where f(x, y) = 0 by bracketing within ±1e-8 and bisection; the guess
    // when no sign change is found. bxAtY the same in x.
    double byAtX(double x, double guess);
    double bxAtY(double y, double guess);
    // y near `guess` where f(x, y) = 0 by Newton's method, falling back to bracketing where
    // f hardly changes. tol: |f| accepted; set to -1 when the first steps make f worse.
    double yAtX(double x, double guess, double& tol);
    double xAtY(double y, double guess, double& tol);
    // Moves p onto the curve within the box p ± range: along x where the curve crosses the
    // box's top and bottom, along y where it crosses its sides, else the nearer solve. False
    // when the box holds no crossing or neither solve succeeds.
    bool putOnCurvePt(Point& p, Size range);
    // Where the curve leaves a box of side |s| (halved up to 10 times until it is crossed)
    // about p: by the first side of its code for s >= 0, the second for s < 0.
    Point stepFrom(Point p, double s);
    // A turning point in y near p, walking the curve from steps of s: p becomes it and the
    // answer is the feature (3 minimum, 4 maximum), or 0 with p unchanged.
    int minMaxAt(Point& p, double s);

private:
    double at(Axis axis, double d, double v) { return axis == AlongY ? fX(d, v) : fX(v, d); }
    double bracket(double d, double guess, Axis axis);
    double newton(double d, double guess, double& tol, Axis axis);

    Calculator& calc_;
    QuickEvaluator quick_;
    QuickEvaluator::Program program_;
    GraphSampler sampler_;
    VQStack rpn_;
    std::vector<int> inputSlots_;
    bool valid_ = false;
};

} // namespace orvenda
