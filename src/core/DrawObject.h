#pragma once

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
    bool showTangent = false;
    double tangentX = 0;
};

// DrawInv: the inverse of a compiled function of X.
class DrawInv : public DrawObject {
public:
    std::shared_ptr<VQStack> fn;
};

// Shade(: the area between two compiled functions of X.
class DrawShadeFn : public DrawObject {
public:
    std::shared_ptr<VQStack> fnLower;
    std::shared_ptr<VQStack> fnUpper;
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

// The shaded area under a probability density (ShadeNorm(, Shade_t(, Shadeχ²(, ShadeF().
class DrawDistribution : public DrawObject {
public:
    static std::shared_ptr<DrawDistribution> drawDistributionType(int type, double l, double u,
        double area, double sigma, double mu, double dfNumer, double dfDenom);

    // The shading command's token.
    int type = 0;
    double lower = 0;
    double upper = 0;
    double area = 0;
    double sigma = 0;
    double mu = 0;
    double dfNumer = 0;
    double dfDenom = 0;
};

// Program widgets shown as controls on the graph screen, placed at x, y with a width.
// prgmName is the program whose labels a button, selector or slider runs.
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
};

class DrawSlider : public DrawControl {
public:
    double min = 0;
    double max = 0;
    int varNum = 0;
    std::string lblName;
};

} // namespace orvenda
