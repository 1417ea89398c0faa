#include "graph/GraphGeometry.h"

#include <cmath>
#include <limits>

namespace orvenda {

namespace {

enum Outcode : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int outcode(double x, double y, double x0, double y0, double w, double h)
{
    int code = 0;
    if (x < x0)
        code |= kLeft;
    if (x > x0 + w)
        code |= kRight;
    if (y < y0)
        code |= kAbove;
    if (y > y0 + h)
        code |= kBelow;
    return code;
}

} // namespace

bool GraphGeometry::pointIsFinite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

bool GraphGeometry::transformIsFinite(const GraphTransform& t)
{
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) && std::isfinite(t.tx)
        && std::isfinite(t.ty);
}

GraphGeometry::Point GraphGeometry::applyPlotTransform(const GraphTransform& t, double x, double y)
{
    return {t.a * x + t.b * y + t.tx, t.c * x + t.d * y + t.ty};
}

bool GraphGeometry::segmentMeetsRect(double x0, double y0, double w, double h, double x1, double y1, double x2, double y2)
{
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return false;
    int code1 = outcode(x1, y1, x0, y0, w, h);
    const int code2 = outcode(x2, y2, x0, y0, w, h);
    if (code1 == 0 || code2 == 0)
        return true;
    // Each pass moves the first end onto a boundary, towards the second end, and so clears
    // a bit for good: four passes settle any segment; more means arithmetic gone astray.
    for (int pass = 0; pass < 5; ++pass) {
        if (code1 & code2)
            return false;
        double x = x1, y = y1;
        if (code1 & kAbove) {
            x = x1 + (x2 - x1) * (y0 - y1) / (y2 - y1);
            y = y0;
        } else if (code1 & kRight) {
            y = y1 + (y2 - y1) * (x0 + w - x1) / (x2 - x1);
            x = x0 + w;
        } else if (code1 & kLeft) {
            y = y1 + (y2 - y1) * (x0 - x1) / (x2 - x1);
            x = x0;
        } else {
            x = x1 + (x2 - x1) * (y0 + h - y1) / (y2 - y1);
            y = y0 + h;
        }
        if (std::isnan(x) || std::isnan(y))
            return false;
        x1 = x;
        y1 = y;
        code1 = outcode(x1, y1, x0, y0, w, h);
        if (code1 == 0)
            return true;
    }
    return false;
}

GraphGeometry::Point GraphGeometry::lineIntersection(double x1, double y1, double x2, double y2, double x3, double y3,
                                                     double x4, double y4)
{
    const double d = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4);
    if (std::fabs(d) < 1e-99) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    const double a = x1 * y2 - y1 * x2;
    const double b = x3 * y4 - y3 * x4;
    return {(a * (x3 - x4) - (x1 - x2) * b) / d, (a * (y3 - y4) - (y1 - y2) * b) / d};
}

GraphGeometry::Point GraphGeometry::perpendicularFoot(double px, double py, double x1, double y1, double x2, double y2)
{
    return lineIntersection(x1, y1, x2, y2, px, py, px - (y2 - y1), py + (x2 - x1));
}

} // namespace orvenda
