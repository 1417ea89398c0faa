#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace orvenda {

class Calculator;

// The geometry app's figures and their solving: which fields a figure has, the calculator
// variable slot of each, which sets of known values solve, and the computations. Every
// value lives in a slot (160 to 211), so it persists with the calculator and can be used
// elsewhere; angles are stored in radians and shown in the angle mode. A value of 0 means
// unknown. A failed computation leaves every slot as it was (two SSA triangles store the
// first and report 68). Takes the state lock itself; main thread.
class GeometryModel {
public:
    enum Figure : std::uint32_t {
        Line = 0x5C59, Square = 0x5C5A, Rectangle = 0x5C5B, Parallelogram = 0x5C5C, Triangle = 0x5C5D,
        Polygon = 0x5C21, Circle = 0x5C22, Arc = 0x5C23, Ellipse = 0x5C24, UnitCircle = 0x5C25,
    };
    // The slots the sub-modes are kept in.
    static constexpr int kLineModeSlot = 205, kCircleModeSlot = 206;
    // Slot 189: 1 while a second SSA triangle is held in 183..188.
    static constexpr int kTwoSolutionsSlot = 189;
    // The figures' slots.
    static constexpr int kFirstSlot = 160, kLastSlot = 211;
    // A sub-mode slot's value as 0..2, whatever a program stored there.
    static int subMode(double v) { return std::isfinite(v) ? static_cast<int>(std::clamp(std::trunc(v), 0.0, 2.0)) : 0; }
    // Drawing caps: polygons with more sides are drawn as their circle; curves and arcs take
    // at most this many steps.
    static constexpr int kMaxDrawnVertices = 2000;
    static constexpr int kMaxCurveSteps = 4000;

    explicit GeometryModel(Calculator& calc) : calc_(calc) {}

    static bool isFigure(std::uint32_t token);

    // Selects the figure (an unknown token keeps the current one); the sub-modes are read
    // back from their slots and the current field is 0.
    void setFigure(std::uint32_t token);
    std::uint32_t figure() const { return figure_; }
    int lineMode() const { return lineMode_; }
    int circleMode() const { return circleMode_; }
    // A segment picked: the line's or circle's sub-mode, written to its slot.
    void setSubMode(int mode);

    int currentField() const { return currentField_; }
    // Clamped to the fields.
    void setCurrentField(int field);

    // ---- Fields ----
    int numFields() const;
    // The slot of an input field, 0 outside the figure's fields.
    int inputSlot(int field) const;
    std::string fieldName(int field) const;
    // In the angle mode for angle slots; 0 without a slot.
    double fieldValue(int field) const;
    int numResultFields() const;
    int resultSlot(int field) const;
    std::string resultFieldName(int field) const;
    double resultFieldValue(int field) const;
    // Line and three-point circle fields are shown as points (x, y).
    int numPoints() const;
    double pointX(int i) const;
    double pointY(int i) const;
    std::string pointName(int i) const;
    std::string title() const;
    // Whether the figure has an angle to show in the angle mode.
    bool showsAngleMode() const;
    // The panel's height in rows.
    int rows() const;

    // ---- Entering and solving ----
    // Figures that compute at once after each entry (the others wait for Solve).
    bool computesAtOnce() const;
    // Enter stays on the field for these.
    bool enterStays() const;
    // A value typed into the current field (in the angle mode for angles): stored, and for
    // the figures that compute at once, computed. The error (0 none); on an error nothing is
    // stored (15 refuses a negative square or parallelogram value).
    int enterValue(double value);
    // Runs the current figure's computation (Solve): the error, 0 on success. A failed one
    // stores nothing.
    int compute();
    // The triangle's known values as the bit mask a 1, b 2, c 4, A 8, B 16, C 32, the
    // current field counting as known while typing.
    int triangleMask(bool typing) const;
    // "SSS", "SAS", "SSA", "AAS", "ASA" for a solvable mask, else "".
    static std::string triangleCase(int mask);
    bool triangleCanSolve(bool typing);
    bool arcCanSolve(bool typing) const;
    // Whether Solve is enabled for the figure (shown for triangle, arc and rectangle).
    bool canSolve(bool typing);
    bool hasSolve() const { return figure_ == Triangle || figure_ == Arc || figure_ == Rectangle; }
    bool hasClear() const { return figure_ == Triangle || figure_ == Arc; }
    void clear();

    int triangleTwoSolution() const { return triangleTwoSolution_; }
    const std::string& triangleTitle() const { return triangleTitle_; }

    // ---- The slider ----
    struct SliderSpec {
        bool shown = false;
        double min = 0, max = 0;
        int slot = 0;
        std::string text;
    };
    SliderSpec slider() const;
    // The slider moved to v: stored (the unit circle snapping to a multiple of π/4 just
    // below), computed.
    void trackSlider(double v);
    // The unit circle's snap: v down to the multiple of π/4 below it when within a tenth of
    // a step above it.
    static double snapQuarter(double v);

    // ---- Fitting the figure into the graph ----
    struct Box {
        bool valid = false;
        double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
        bool equal = false;
    };
    Box fitBox() const;
    // The window for a view of that size in points: a twelfth of each range added on both
    // sides (a zero range becomes -1..1 plus a sixth), then with equal scales the narrower
    // range widened about its middle.
    static Box fitted(const Box& box, double viewWidth, double viewHeight);

    double slot(int s) const;

private:
    void put(int s, double v);
    bool isAngleSlot(int s) const { return s >= 180 && s <= 182; }
    int computeFigure();
    int computeLine();
    int computeSquare();
    int computeRectangle();
    int computeParallelogram();
    int computeTriangle();
    void computePolygon();
    int computeCircle();
    int computeArc();
    int computeEllipse();
    void computeTrig();
    void storeTriangle();

    Calculator& calc_;
    std::uint32_t figure_ = Line;
    int lineMode_ = 0;
    int circleMode_ = 0;
    int currentField_ = 0;
    int triangleTwoSolution_ = 0;
    double triangleArea_ = 0;
    double triangleArea2_ = 0;
    std::string triangleTitle_;
};

} // namespace orvenda
