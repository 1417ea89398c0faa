#pragma once

#include "core/YEqVarInfo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvenda {

class VQStack;

// A point of the graph plane.
struct DrawPoint {
    double x = 0;
    double y = 0;
};

// A drawing record: made by the drawing commands and program widgets, kept in the
// calculator's drawing list (or its program controls) and turned into a plot object by
// the graph view when it redraws. The kinds below add their own fields.
class DrawObject {
public:
    virtual ~DrawObject();

    // Colour components 0..1; mid grey until set.
    float r = 0.5f;
    float g = 0.5f;
    float b = 0.5f;
    // Mirrors the selection of the plot made from the record.
    bool selected = false;
    float lineWidth = 0;
    int style = 0;
};

// Line(, Horizontal and Vertical; the last two put +∞ in the free coordinate.
class DrawLine : public DrawObject {
public:
    DrawPoint p1;
    DrawPoint p2;
};

class DrawCircle : public DrawObject {
public:
    DrawPoint center;
    double radius = 0;
    // Filled fraction 0..1.
    double fillPercent = 0;
};

// DrawF and Tangent(: a compiled function of X.
class DrawFunc : public DrawObject {
public:
    std::shared_ptr<VQStack> fn;
    // The function's tokens, for its label.
    std::vector<std::uint32_t> expression;
    bool showTangent = false;
    double tangentX = 0;
    // A shaded integral from lower to upper, computed to tol.
    double upper = 0;
    double lower = 0;
    double area = 0;
    double tol = 0;
};

// DrawInv: the inverse of a compiled function of X.
class DrawInv : public DrawObject {
public:
    std::shared_ptr<VQStack> fn;
    std::vector<std::uint32_t> expression;
};

// Shade(: the area between two compiled functions of X.
class DrawShadeFn : public DrawObject {
public:
    std::shared_ptr<VQStack> fnLower;
    std::shared_ptr<VQStack> fnUpper;
    std::vector<std::uint32_t> expressionLower;
    std::vector<std::uint32_t> expressionUpper;
    double xLeft = 0;
    double xRight = 0;
};

class DrawText : public DrawObject {
public:
    double x = 0;
    double y = 0;
    int alignment = 0;
    // A colour-command colour number; -1 when the record's r, g, b apply.
    int tiTextColor = 0;
    std::string text;
};

class DrawPolyline : public DrawObject {
public:
    // x and y alternating.
    std::vector<double> points;
    double fillPercent = 0;
};

// The shaded area under a probability density (ShadeNorm(, Shade_t(, Shadeχ²(, ShadeF() or
// a statistics test's result graph, with the sliders that adjust it.
class DrawDistribution : public DrawObject {
public:
    // The shading tokens.
    static constexpr int kNormal = 0xBB35, kT = 0xBB36, kChiSquare = 0xBB37, kF = 0xBB38;
    // Slider variable numbers: the record's own fields, not calculator variables.
    static constexpr int kMuVar = 2000, kSigmaVar = 2001, kDfNumerVar = 2002, kDfDenomVar = 2003,
                         kLowerVar = 2004, kUpperVar = 2005;

    DrawDistribution() { vars.reserve(6); }

    // The bounds, area and parameters, then the type (which builds the sliders from them).
    static std::shared_ptr<DrawDistribution> drawDistributionType(int type, double l, double u,
        double area, double sigma, double mu, double dfNumer, double dfDenom);

    int type() const { return type_; }
    // Stores the type and rebuilds the sliders from the current values.
    void setType(int type);
    // Every bound, the area and every parameter is finite (otherwise nothing is drawn).
    bool isFinite() const;

    double lowerBound = 0;
    double upperBound = 0;
    double area = 0;
    double mu = 0;
    double sigma = 0;
    // t and χ² use dfNumer.
    double dfNumer = 0;
    double dfDenom = 0;
    // The tails form of the statistics tests' result graphs.
    bool drawTails = false;
    std::vector<YEqVarInfo> vars;

private:
    int type_ = 0;
};

// Program widgets shown as controls on the graph screen, placed at x, y with a width.
// prgmName is the program whose labels a button, selector, slider or input field runs.
class DrawControl : public DrawObject {
public:
    double x = 0;
    double y = 0;
    double width = 0;
    std::string prgmName;
};

class DrawInputField : public DrawControl {
public:
    int varNum = 0;
    std::string lblName;
};

class DrawButton : public DrawControl {
public:
    std::string lblName;
    std::string buttonName;
};

class DrawSelector : public DrawControl {
public:
    std::string titles;
    std::string labels;
    std::string lblName;
};

class DrawSlider : public DrawControl {
public:
    double min = 0;
    double max = 0;
    int varNum = 0;
    std::string lblName;
};

} // namespace orvenda
