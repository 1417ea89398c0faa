#include "apps/GeometryModel.h"

#include "core/Calculator.h"
#include "language/ErrorNumbers.h"
#include "numeric/AngleConversion.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/TriangleSolver.h"

#include <boost/math/special_functions/ellint_2.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace orvenda {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = 1e-99;

// Field labels and slots per figure.
struct Field {
    const char* name;
    int slot;
};
constexpr Field kSquare[] = {{"s=", 176}, {"D=", 172}, {"area=", 168}, {"perimeter=", 170}};
constexpr Field kRectangle[] = {{"a=", 177}, {"b=", 178}, {"area=", 168}, {"perimeter=", 170}, {"diagonal=", 172}};
constexpr Field kParallelogram[] = {{"a=", 177}, {"h=", 201}, {"area=", 168}, {"∠A=", 180}};
constexpr Field kParallelogramResults[] = {{"b=", 178}, {"perim=", 170}};
constexpr Field kTriangle[] = {{"a=", 177}, {"b=", 178}, {"c=", 179}, {"∠A=", 180}, {"∠B=", 181}, {"∠C=", 182}};
constexpr Field kTriangleResults[] = {{"perim=", 170}, {"area=", 168}};
constexpr Field kPolygon[] = {{"n=", 190}, {"R=", 191}};
constexpr Field kPolygonResults[] = {{"s=", 192}, {"∠A=", 180}, {"perim=", 170}, {"area=", 168}};
constexpr Field kCircle[] = {{"R=", 191}, {"area=", 168}, {"circ=", 170}};
constexpr Field kSector[] = {{"R=", 191}, {"∠A=", 180}};
constexpr Field kSectorResults[] = {{"area=", 209}, {"L=", 193}};
constexpr Field kThreePointResults[] = {{"R=", 191}, {"Cx=", 207}, {"Cy=", 208}};
constexpr Field kArc[] = {{"R=", 191}, {"∠A=", 180}, {"s=", 195}, {"h=", 194}};
constexpr Field kArcResults[] = {{"area=", 168}, {"L=", 193}};
constexpr Field kEllipse[] = {{"a=", 196}, {"b=", 197}};
constexpr Field kEllipseResults[] = {{"f1=", 199}, {"f2=", 200}, {"e=", 198}, {"cir.=", 170}, {"area=", 168}};
constexpr Field kUnitCircle[] = {{"∠A=", 180}};
constexpr Field kUnitResults[] = {{"cos=", 211}, {"sin=", 210}};
constexpr Field kLineResults[] = {{"m=", 173}, {"b=", 174}, {"L=", 175}};
constexpr Field kPtLineResults[] = {{"D=", 202}};
constexpr Field kTwoLinesResults[] = {{"Ix=", 203}, {"Iy=", 204}};

struct Fields {
    const Field* begin = nullptr;
    int count = 0;
};
template <std::size_t N>
constexpr Fields of(const Field (&f)[N])
{
    return {f, static_cast<int>(N)};
}

bool finite(double v) { return std::isfinite(v); }

// The triangle slots: a b c A B C, and the second solution's.
constexpr int kTriangleSlot = 177, kSecondSlot = 183;

// The area of a triangle from its sides, stable for thin ones.
double heron(double a, double b, double c)
{
    std::array<double, 3> s{a, b, c};
    std::sort(s.begin(), s.end(), std::greater<>());
    const double x = s[0], y = s[1], z = s[2];
    const double p = (x + (y + z)) * (z - (x - y)) * (z + (x - y)) * (x + (y - z));
    return p > 0 ? std::sqrt(p) / 4 : 0;
}

} // namespace

bool GeometryModel::isFigure(std::uint32_t token)
{
    switch (token) {
    case Line: case Square: case Rectangle: case Parallelogram: case Triangle:
    case Polygon: case Circle: case Arc: case Ellipse: case UnitCircle: return true;
    default: return false;
    }
}

double GeometryModel::slot(int s) const
{
    if (s <= 0 || s >= Calculator::kVarCount)
        return 0;
    return calc_.getVar(s).value.real();
}

void GeometryModel::put(int s, double v)
{
    if (s > 0 && s < Calculator::kVarCount)
        calc_.locked()->vars[static_cast<std::size_t>(s)] = {v, 0.0};
}

void GeometryModel::setFigure(std::uint32_t token)
{
    if (isFigure(token))
        figure_ = token;
    lineMode_ = subMode(slot(kLineModeSlot));
    circleMode_ = subMode(slot(kCircleModeSlot));
    currentField_ = 0;
}

void GeometryModel::setSubMode(int mode)
{
    mode = std::clamp(mode, 0, 2);
    if (figure_ == Line) {
        lineMode_ = mode;
        put(kLineModeSlot, mode);
    } else if (figure_ == Circle) {
        circleMode_ = mode;
        put(kCircleModeSlot, mode);
    }
    currentField_ = 0;
}

void GeometryModel::setCurrentField(int field) { currentField_ = std::clamp(field, 0, std::max(0, numFields() - 1)); }

// ---- Fields ----

namespace {

Fields inputsOf(std::uint32_t figure, int circleMode)
{
    switch (figure) {
    case GeometryModel::Square: return of(kSquare);
    case GeometryModel::Rectangle: return of(kRectangle);
    case GeometryModel::Parallelogram: return of(kParallelogram);
    case GeometryModel::Triangle: return of(kTriangle);
    case GeometryModel::Polygon: return of(kPolygon);
    case GeometryModel::Circle: return circleMode == 1 ? of(kSector) : circleMode == 0 ? of(kCircle) : Fields{};
    case GeometryModel::Arc: return of(kArc);
    case GeometryModel::Ellipse: return of(kEllipse);
    case GeometryModel::UnitCircle: return of(kUnitCircle);
    default: return {};
    }
}

Fields resultsOf(std::uint32_t figure, int lineMode, int circleMode)
{
    switch (figure) {
    case GeometryModel::Line: return lineMode == 0 ? of(kLineResults) : lineMode == 1 ? of(kPtLineResults) : of(kTwoLinesResults);
    case GeometryModel::Parallelogram: return of(kParallelogramResults);
    case GeometryModel::Triangle: return of(kTriangleResults);
    case GeometryModel::Polygon: return of(kPolygonResults);
    case GeometryModel::Circle: return circleMode == 1 ? of(kSectorResults) : circleMode == 2 ? of(kThreePointResults) : Fields{};
    case GeometryModel::Arc: return of(kArcResults);
    case GeometryModel::Ellipse: return of(kEllipseResults);
    case GeometryModel::UnitCircle: return of(kUnitResults);
    default: return {};
    }
}

} // namespace

int GeometryModel::numFields() const
{
    if (figure_ == Line)
        return 4 + 2 * lineMode_;
    if (figure_ == Circle && circleMode_ == 2)
        return 6;
    return inputsOf(figure_, circleMode_).count;
}

int GeometryModel::inputSlot(int field) const
{
    if (field < 0 || field >= numFields())
        return 0;
    if (figure_ == Line || (figure_ == Circle && circleMode_ == 2))
        return 160 + field;
    return inputsOf(figure_, circleMode_).begin[field].slot;
}

std::string GeometryModel::fieldName(int field) const
{
    const Fields f = inputsOf(figure_, circleMode_);
    if (field < 0 || field >= f.count || numPoints() > 0)
        return {};
    return f.begin[field].name;
}

double GeometryModel::fieldValue(int field) const
{
    const int s = inputSlot(field);
    if (s == 0)
        return 0;
    const double v = slot(s);
    return isAngleSlot(s) ? AngleConversion::fromRadians(v, calc_.angleFormat()) : v;
}

int GeometryModel::numResultFields() const { return resultsOf(figure_, lineMode_, circleMode_).count; }

int GeometryModel::resultSlot(int field) const
{
    const Fields f = resultsOf(figure_, lineMode_, circleMode_);
    return field >= 0 && field < f.count ? f.begin[field].slot : 0;
}

std::string GeometryModel::resultFieldName(int field) const
{
    const Fields f = resultsOf(figure_, lineMode_, circleMode_);
    return field >= 0 && field < f.count ? f.begin[field].name : "";
}

double GeometryModel::resultFieldValue(int field) const
{
    const int s = resultSlot(field);
    if (s == 0)
        return 0;
    const double v = slot(s);
    return isAngleSlot(s) ? AngleConversion::fromRadians(v, calc_.angleFormat()) : v;
}

int GeometryModel::numPoints() const
{
    if (figure_ == Circle && circleMode_ == 2)
        return 3;
    return figure_ == Line ? lineMode_ + 2 : 0;
}

double GeometryModel::pointX(int i) const { return i >= 0 && i < 4 ? slot(160 + 2 * i) : 0; }
double GeometryModel::pointY(int i) const { return i >= 0 && i < 4 ? slot(161 + 2 * i) : 0; }

std::string GeometryModel::pointName(int i) const
{
    switch (i) {
    case 0: return "P1";
    case 1: return "P2";
    case 2: return figure_ == Line && lineMode_ == 1 ? "Pt" : "P3";
    case 3: return "P4";
    default: return {};
    }
}

std::string GeometryModel::title() const
{
    if (figure_ == Triangle && !triangleTitle_.empty())
        return triangleTitle_;
    std::string name = calc_.nameForOpcode(figure_);
    // The menu's name ends in "…".
    const std::string ellipsis = "…";
    if (name.size() >= ellipsis.size() && name.compare(name.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0)
        name.resize(name.size() - ellipsis.size());
    return name;
}

bool GeometryModel::showsAngleMode() const
{
    switch (figure_) {
    case Polygon: case Circle: case Arc: case UnitCircle: case Parallelogram: case Triangle: return true;
    default: return false;
    }
}

int GeometryModel::rows() const
{
    switch (figure_) {
    case Line: return lineMode_ == 2 ? 8 : 7;
    case Square: return 5;
    case Rectangle: return 6;
    case Parallelogram: return 5;
    case Triangle: return 7;
    case Polygon: return 5;
    case Circle: return circleMode_ == 0 ? 4 : circleMode_ == 1 ? 5 : 8;
    case Arc: return 5;
    case Ellipse: return 6;
    case UnitCircle: return 4;
    default: return 8;
    }
}

// ---- Entering and solving ----

bool GeometryModel::computesAtOnce() const
{
    return figure_ != Arc && figure_ != Triangle && figure_ != Rectangle;
}

bool GeometryModel::enterStays() const
{
    return figure_ == Square || figure_ == Arc || (figure_ == Circle && circleMode_ == 0);
}

int GeometryModel::enterValue(double value)
{
    const int s = inputSlot(currentField_);
    if (s == 0)
        return 0;
    // A square or parallelogram has no negative length, area or angle.
    if ((figure_ == Square || figure_ == Parallelogram) && value < 0)
        return ErrNonReal;
    const std::complex<double> before = calc_.getVar(s).value;
    put(s, isAngleSlot(s) ? AngleConversion::toRadians(value, calc_.angleFormat()) : value);
    const int error = computesAtOnce() ? compute() : 0;
    if (error != 0)
        calc_.locked()->vars[static_cast<std::size_t>(s)] = before;
    return error;
}

int GeometryModel::compute()
{
    // The numeric library throws at the edges of its domain; the figure then reports the
    // error and keeps the values it had.
    std::array<std::complex<double>, kLastSlot - kFirstSlot + 1> before{};
    {
        const auto state = calc_.locked();
        std::copy_n(state->vars.begin() + kFirstSlot, before.size(), before.begin());
    }
    try {
        return computeFigure();
    } catch (const std::exception& e) {
        std::copy(before.begin(), before.end(), calc_.locked()->vars.begin() + kFirstSlot);
        return dynamic_cast<const std::overflow_error*>(&e) ? ErrOverflow : ErrDomain;
    }
}

int GeometryModel::computeFigure()
{
    switch (figure_) {
    case Line: return computeLine();
    case Square: return computeSquare();
    case Rectangle: return computeRectangle();
    case Parallelogram: return computeParallelogram();
    case Triangle: return computeTriangle();
    case Polygon: computePolygon(); return 0;
    case Circle: return computeCircle();
    case Arc: return computeArc();
    case Ellipse: return computeEllipse();
    case UnitCircle: computeTrig(); return 0;
    default: return 0;
    }
}

int GeometryModel::computeLine()
{
    const double x1 = slot(160), y1 = slot(161), x2 = slot(162), y2 = slot(163);
    const double dx = x2 - x1, dy = y2 - y1;
    const double m = dy / dx;
    put(173, m);
    put(175, std::hypot(dx, dy));
    put(174, dx != 0 ? y1 - m * x1 : kNaN);
    if (lineMode_ == 2) {
        const double x3 = slot(164), y3 = slot(165), x4 = slot(166), y4 = slot(167);
        const double det = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4);
        if (std::fabs(det) < kTiny) {
            put(203, kNaN);
            put(204, kNaN);
        } else {
            const double p = x1 * y2 - y1 * x2, q = x3 * y4 - y3 * x4;
            put(203, (p * (x3 - x4) - (x1 - x2) * q) / det);
            put(204, (p * (y3 - y4) - (y1 - y2) * q) / det);
        }
    } else if (lineMode_ == 1) {
        const double px = slot(164), py = slot(165);
        double d;
        if (std::fabs(dy) < kTiny)
            d = std::fabs(y1 - py);
        else if (std::fabs(dx) < kTiny)
            d = std::fabs(x1 - px);
        else
            d = std::fabs((px - x1) * dy - (py - y1) * dx) / std::hypot(dx, dy);
        put(202, d);
        double fx, fy;
        if (std::fabs(dx) < kTiny) {
            fx = x1;
            fy = py;
        } else if (std::fabs(dy) < kTiny) {
            fx = px;
            fy = y1;
        } else {
            const double b = y1 - m * x1;
            fx = (px + m * py - m * b) / (m * m + 1);
            fy = (m * px + m * m * py + b) / (m * m + 1);
        }
        put(203, fx);
        put(204, fy);
    }
    return 0;
}

int GeometryModel::computeSquare()
{
    double s = slot(176), d = slot(172), area = slot(168), perimeter = slot(170);
    switch (currentField_) {
    case 0: break;
    case 1: s = std::sqrt(d * d / 2); break;
    case 2: s = std::sqrt(area); break;
    case 3: s = perimeter / 4; break;
    default: return 0;
    }
    // A negative value left in a slot from elsewhere is refused like a typed one.
    if (!(s >= 0) || !finite(s))
        return ErrNonReal;
    area = s * s;
    perimeter = 4 * s;
    if (currentField_ != 1)
        d = std::hypot(s, s);
    put(176, s);
    put(170, perimeter);
    put(168, area);
    put(172, d);
    return 0;
}

namespace {

// The side next to a known side x from the area, else the perimeter, else the diagonal.
double side(double x, double area, double perimeter, double diagonal, int& error)
{
    error = 0;
    if (x == 0) {
        error = ErrGeomMissingSide;
        return 0;
    }
    if (area != 0)
        return area / x;
    if (perimeter != 0)
        return (perimeter - 2 * x) / 2;
    if (diagonal != 0) {
        if (x >= diagonal) {
            error = ErrNonReal;
            return 0;
        }
        return std::sqrt(diagonal * diagonal - x * x);
    }
    error = ErrMissingArgument;
    return 0;
}

} // namespace

int GeometryModel::computeRectangle()
{
    double a = slot(177), b = slot(178), area = slot(168), perimeter = slot(170), diagonal = slot(172);
    int error = 0;
    switch (currentField_) {
    case 0: {
        const double found = side(b, area, perimeter, diagonal, error);
        if (found != 0)
            a = found;
        break;
    }
    case 1: {
        const double found = side(a, area, perimeter, diagonal, error);
        if (found != 0)
            b = found;
        break;
    }
    case 2: case 3: case 4: {
        if (a == 0 && b == 0)
            return ErrGeomMissingSide;
        // The quantity solved for is not used to find the missing side.
        const double useArea = currentField_ == 2 ? 0 : area;
        const double usePerimeter = currentField_ == 3 ? 0 : perimeter;
        const double useDiagonal = currentField_ == 4 ? 0 : diagonal;
        if (a == 0)
            a = side(b, useArea, usePerimeter, useDiagonal, error);
        else if (b == 0)
            b = side(a, useArea, usePerimeter, useDiagonal, error);
        break;
    }
    default: return 0;
    }
    if (error != 0)
        return error;
    put(177, a);
    put(178, b);
    put(168, a * b);
    put(170, 2 * (a + b));
    put(172, std::hypot(a, b));
    return 0;
}

int GeometryModel::computeParallelogram()
{
    double a = std::fabs(slot(177)), h = std::fabs(slot(201)), area = std::fabs(slot(168));
    const double angle = slot(180);
    switch (currentField_) {
    case 2:
        if (area == 0)
            return 0;
        if (a != 0)
            h = area / a;
        else if (h == 0)
            return 0;
        else
            a = area / h;
        break;
    case 1:
        if (h == 0 || (a == 0 && area == 0))
            return 0;
        if (a != 0)
            area = a * h;
        else
            a = area / h;
        break;
    case 0:
        if (a == 0)
            return 0;
        if (h == 0) {
            if (area == 0)
                return 0;
            h = area / a;
        } else {
            area = a * h;
        }
        break;
    default: break;
    }
    if (std::fabs(angle) < 1e-10 || !finite(angle))
        return 0;
    const double b = std::fabs(h / std::sin(angle));
    put(177, a);
    put(201, h);
    put(168, area);
    put(170, 2 * (a + b));
    put(178, b);
    return 0;
}

int GeometryModel::triangleMask(bool typing) const
{
    int mask = 0;
    for (int i = 0; i < 6; ++i)
        if (slot(kTriangleSlot + i) != 0 || (typing && currentField_ == i))
            mask |= 1 << i;
    return mask;
}

std::string GeometryModel::triangleCase(int mask)
{
    switch (mask) {
    case 7: return "SSS";
    case 11: case 13: case 19: case 22: case 37: case 38: return "SSA";
    case 14: case 21: case 35: return "SAS";
    case 25: case 26: case 41: case 44: case 50: case 52: return "AAS";
    case 28: case 42: case 49: return "ASA";
    default: return {};
    }
}

bool GeometryModel::triangleCanSolve(bool typing)
{
    if (triangleTwoSolution_ != 0)
        return true;
    triangleTitle_ = triangleCase(triangleMask(typing));
    return !triangleTitle_.empty();
}

bool GeometryModel::arcCanSolve(bool typing) const
{
    int known = 0;
    for (int field = 0; field < 4; ++field)
        known += slot(inputSlot(field)) != 0 || (typing && currentField_ == field);
    return known == 2;
}

bool GeometryModel::canSolve(bool typing)
{
    switch (figure_) {
    case Triangle: return triangleCanSolve(typing);
    case Arc: return arcCanSolve(typing);
    case Rectangle: return true;
    default: return false;
    }
}

void GeometryModel::storeTriangle()
{
    put(168, triangleArea_);
    put(170, slot(177) + slot(178) + slot(179));
    if (triangleTwoSolution_ != 0) {
        put(kTwoSolutionsSlot, 1);
        put(169, triangleArea2_);
        put(171, slot(183) + slot(184) + slot(185));
    } else {
        put(kTwoSolutionsSlot, 0);
    }
}

int GeometryModel::computeTriangle()
{
    if (triangleTwoSolution_ != 0) {
        for (int i = 0; i < 6; ++i) {
            const double first = slot(kTriangleSlot + i);
            put(kTriangleSlot + i, slot(kSecondSlot + i));
            put(kSecondSlot + i, first);
        }
        std::swap(triangleArea_, triangleArea2_);
        triangleTwoSolution_ = triangleTwoSolution_ == 2 ? 1 : 2;
        triangleTitle_ = triangleTwoSolution_ == 1 ? "SSA(2 of 2)" : "SSA(1 of 2)";
        storeTriangle();
        return 0;
    }
    // The solver's buffer: angles then sides, angle i facing side i.
    std::array<double, TriangleSolver::kBufferSize> buffer{};
    for (int i = 0; i < 3; ++i) {
        buffer[static_cast<std::size_t>(i)] = slot(180 + i);
        buffer[static_cast<std::size_t>(i + 3)] = slot(177 + i);
    }
    const int mask = triangleMask(false);
    TriangleSolver solver;
    const int error = solver.triangleSolve(buffer);
    if (error != 0 && error != ErrGeom2Triangle)
        return error;
    const auto at = [&](int i) { return buffer[static_cast<std::size_t>(i)]; };
    for (int i = 0; i < 3; ++i) {
        put(177 + i, at(i + 3));
        put(180 + i, at(i));
        put(183 + i, at(i + 9));
        put(186 + i, at(i + 6));
    }
    triangleArea_ = heron(at(3), at(4), at(5));
    triangleArea2_ = heron(at(9), at(10), at(11));
    if (error == ErrGeom2Triangle) {
        triangleTwoSolution_ = 2;
        triangleTitle_ = "SSA(1 of 2)";
    } else {
        triangleTwoSolution_ = 0;
        triangleTitle_ = triangleCase(mask);
    }
    storeTriangle();
    return error;
}

void GeometryModel::computePolygon()
{
    double nValue = std::fabs(slot(190));
    if (!finite(nValue))
        return;
    double n = std::trunc(nValue);
    if (n < 3) {
        n = 3;
        put(190, n);
    }
    double r = slot(191);
    if (r == 0 || !finite(r))
        return;
    r = std::fabs(r);
    const double theta = 2 * kPi / n;
    const double s = 2 * r * std::sin(theta / 2);
    const double perimeter = n * s;
    put(192, s);
    put(180, theta);
    put(170, perimeter);
    put(168, r * std::cos(theta / 2) * perimeter / 2);
    put(190, n);
    put(191, r);
}

int GeometryModel::computeCircle()
{
    if (circleMode_ == 2) {
        const double x1 = slot(160), y1 = slot(161), x2 = slot(162), y2 = slot(163), x3 = slot(164), y3 = slot(165);
        // The circumcircle through the three points; none for points on one line.
        const double bx = x2 - x1, by = y2 - y1, cx = x3 - x1, cy = y3 - y1;
        const double d = 2 * (bx * cy - by * cx);
        const double scale = std::max({std::fabs(bx), std::fabs(by), std::fabs(cx), std::fabs(cy)});
        double r = 0, centerX = 0, centerY = 0;
        if (finite(d) && std::fabs(d) > 1e-14 * scale * scale) {
            const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
            const double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
            centerX = x1 + ux;
            centerY = y1 + uy;
            r = std::hypot(ux, uy);
        }
        put(191, r);
        put(168, kPi * r * r);
        put(170, 2 * kPi * r);
        put(207, centerX);
        put(208, centerY);
        return 0;
    }
    double r = slot(191);
    if (circleMode_ == 0) {
        switch (currentField_) {
        case 2: {
            const double circ = slot(170);
            if (circ == 0)
                return 0;
            r = std::fabs(circ) / (2 * kPi);
            break;
        }
        case 1: {
            const double area = slot(168);
            if (area == 0)
                return 0;
            r = std::sqrt(std::fabs(area) / kPi);
            break;
        }
        case 0:
            if (r == 0)
                return 0;
            r = std::fabs(r);
            break;
        default: return 0;
        }
    } else {
        r = std::fabs(r);
        const double angle = std::clamp(slot(180), 0.0, 2 * kPi);
        put(180, angle);
        put(209, kPi * r * r * angle / (2 * kPi));
        put(193, 2 * kPi * r * angle / (2 * kPi));
    }
    put(191, r);
    put(168, kPi * r * r);
    put(170, 2 * kPi * r);
    put(207, 0);
    put(208, 0);
    return 0;
}

int GeometryModel::computeArc()
{
    double r = std::fabs(slot(191)), angle = std::fabs(slot(180)), s = std::fabs(slot(195));
    const double h = slot(194);
    int mask = (r != 0) | (angle != 0) << 1 | (s != 0) << 2 | (h != 0) << 3;
    if ((mask & 3) == 3)
        mask = 3;
    switch (mask) {
    case 3: break;
    case 5: angle = 2 * std::asin(s / (2 * r)); break;
    case 6: r = s / (2 * std::sin(angle / 2)); break;
    case 9: angle = 2 * std::acos((r - std::fabs(h)) / r); break;
    case 10: r = std::fabs(h) / (1 - std::cos(angle / 2)); break;
    case 12:
        if (s / std::fabs(h) < 2)
            return ErrGeomSrRatio;
        r = (s * s + 4 * h * h) / (8 * std::fabs(h));
        angle = 2 * std::asin(s / (2 * r));
        break;
    default: return ErrMissingArgument;
    }
    // A chord longer than the diameter or a sagitta beyond it fits no arc.
    if (!finite(r) || !finite(angle))
        return ErrGeomNoSolution;
    angle = std::min(angle, kPi);
    const double length = r * angle;
    const double chord = 2 * r * std::sin(angle / 2);
    const double sagitta = r - r * std::cos(angle / 2);
    put(193, length);
    put(195, chord);
    put(194, sagitta);
    put(168, (r * length - chord * (r - sagitta)) / 2);
    put(191, r);
    put(180, angle);
    return 0;
}

int GeometryModel::computeEllipse()
{
    const double a = std::fabs(slot(196)), b = std::fabs(slot(197));
    if (a == 0 || b == 0 || !finite(a) || !finite(b))
        return 0;
    const double major = std::max(a, b), minor = std::min(a, b);
    // From the ratio of the axes: their squares overflow for long ones.
    const double ratio = minor / major;
    const double e = std::sqrt(std::max(0.0, 1 - ratio * ratio));
    const double c = major * e;
    // 4·major·E, E the complete elliptic integral of the second kind (modulus e).
    const double circumference = a == b ? 2 * kPi * major : 4 * major * boost::math::ellint_2(e);
    const double area = kPi * minor * major;
    if (!finite(circumference) || !finite(area))
        return ErrOverflow;
    put(196, a);
    put(197, b);
    put(198, e);
    put(199, -c);
    put(200, c);
    put(168, area);
    put(170, circumference);
    return 0;
}

void GeometryModel::computeTrig()
{
    const double theta = std::fabs(slot(180));
    put(210, ElementaryFunctions::VQSin(theta));
    put(211, ElementaryFunctions::VQCos(theta));
}

void GeometryModel::clear()
{
    if (figure_ == Triangle) {
        for (int s = 177; s <= 182; ++s)
            put(s, 0);
        put(168, 0);
        put(170, 0);
        put(kTwoSolutionsSlot, 0);
        triangleTwoSolution_ = 0;
        triangleTitle_.clear();
    } else if (figure_ == Arc) {
        for (int s : {191, 180, 195, 194})
            put(s, 0);
    }
}

// ---- The slider ----

GeometryModel::SliderSpec GeometryModel::slider() const
{
    switch (figure_) {
    case Arc:
    case Parallelogram: return {true, 0.001, 3.1415827, 180, "∠A"};
    case UnitCircle: return {true, 0, 6.2831855, 180, "∠A"};
    case Polygon: return {true, 3, 80, 190, "n"};
    case Circle:
        if (circleMode_ == 1)
            return {true, 0, 2 * kPi, 180, "∠A"};
        return {};
    default: return {};
    }
}

double GeometryModel::snapQuarter(double v)
{
    const double q = kPi / 4;
    const double steps = v / q;
    const double whole = std::floor(steps);
    return steps - whole < 0.1 ? whole * q : v;
}

void GeometryModel::trackSlider(double v)
{
    switch (figure_) {
    case UnitCircle:
        put(180, snapQuarter(v));
        currentField_ = 0;
        break;
    case Parallelogram:
        put(180, v);
        currentField_ = 3;
        break;
    case Polygon:
        put(190, std::trunc(v));
        currentField_ = 0;
        break;
    case Circle:
    case Arc:
        if (slot(191) == 0)
            put(191, 1);
        put(180, v);
        // With R and ∠A known the arc solves from them whatever else is known.
        currentField_ = std::min(2, numFields() - 1);
        break;
    default: return;
    }
    compute();
}

// ---- Fitting ----

GeometryModel::Box GeometryModel::fitBox() const
{
    Box box;
    const auto add = [&box](double x, double y) {
        if (!finite(x) || !finite(y))
            return;
        if (!box.valid) {
            box = {true, x, x, y, y, box.equal};
            return;
        }
        box.xMin = std::min(box.xMin, x);
        box.xMax = std::max(box.xMax, x);
        box.yMin = std::min(box.yMin, y);
        box.yMax = std::max(box.yMax, y);
    };
    box.equal = true;
    switch (figure_) {
    case Polygon:
    case Circle: {
        const double r = std::fabs(slot(191));
        const double cx = circleMode_ == 2 && figure_ == Circle ? slot(207) : 0;
        const double cy = circleMode_ == 2 && figure_ == Circle ? slot(208) : 0;
        add(cx - r, cy - r);
        add(cx + r, cy + r);
        break;
    }
    case Arc: {
        const double r = std::fabs(slot(191));
        add(-r, 0);
        add(r, r);
        break;
    }
    case Ellipse: {
        const double a = std::fabs(slot(196)), b = std::fabs(slot(197));
        add(-a, -b);
        add(a, b);
        break;
    }
    case UnitCircle:
        add(-1, -1);
        add(2 * kPi, 1);
        break;
    case Square: {
        const double s = slot(176);
        add(0, 0);
        add(s, s);
        break;
    }
    case Rectangle:
        add(0, 0);
        add(slot(177), slot(178));
        break;
    case Parallelogram: {
        const double a = slot(177), b = slot(178), h = slot(201), off = b * std::cos(slot(180));
        add(0, 0);
        add(a, 0);
        add(a + off, h);
        add(off, h);
        break;
    }
    case Triangle: {
        const double angle = slot(180), b = slot(178);
        add(0, 0);
        add(slot(179), 0);
        add(b * std::cos(angle), b * std::sin(angle));
        if (slot(kTwoSolutionsSlot) != 0) {
            const double angle2 = slot(186), b2 = slot(184);
            add(slot(185), 0);
            add(b2 * std::cos(angle2), b2 * std::sin(angle2));
        }
        break;
    }
    case Line: {
        box.equal = lineMode_ == 1;
        add(slot(160), slot(161));
        add(slot(162), slot(163));
        if (lineMode_ == 0) {
            add(0, slot(174));
        } else if (lineMode_ == 1) {
            add(slot(164), slot(165));
            add(slot(203), slot(204));
        } else {
            add(slot(164), slot(165));
            add(slot(166), slot(167));
            add(slot(203), slot(204));
        }
        break;
    }
    default: return {};
    }
    return box;
}

GeometryModel::Box GeometryModel::fitted(const Box& box, double viewWidth, double viewHeight)
{
    if (!box.valid)
        return box;
    Box out = box;
    const auto margin = [](double& lo, double& hi) {
        const double w = hi - lo;
        if (w == 0) {
            // A zero range about its own place: one unit each way.
            const double mid = lo;
            lo = mid - 1 - 1.0 / 6;
            hi = mid + 1 + 1.0 / 6;
            return;
        }
        lo -= w / 12;
        hi += w / 12;
    };
    margin(out.xMin, out.xMax);
    margin(out.yMin, out.yMax);
    if (box.equal && viewWidth > 0 && viewHeight > 0) {
        const double sx = (out.xMax - out.xMin) / viewWidth, sy = (out.yMax - out.yMin) / viewHeight;
        if (sx > sy) {
            const double half = sx * viewHeight / 2, mid = (out.yMin + out.yMax) / 2;
            out.yMin = mid - half;
            out.yMax = mid + half;
        } else if (sy > sx) {
            const double half = sy * viewWidth / 2, mid = (out.xMin + out.xMax) / 2;
            out.xMin = mid - half;
            out.xMax = mid + half;
        }
    }
    return out;
}

} // namespace orvenda
