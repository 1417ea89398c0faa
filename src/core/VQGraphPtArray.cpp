#include "core/VQGraphPtArray.h"

#include <algorithm>

namespace orvenda {

namespace {

auto at(double x, double y)
{
    return [x, y](const VQGraphPtArray::Point& p) { return p.x == x && p.y == y; };
}

} // namespace

void VQGraphPtArray::ptOnAtX(double x, double y, int mark, double r, double g, double b)
{
    Point point{x, y, mark, r, g, b};
    auto it = std::find_if(points_.begin(), points_.end(), at(x, y));
    if (it != points_.end())
        *it = point;
    else
        points_.push_back(point);
}

void VQGraphPtArray::ptChangeAtX(double x, double y, int mark, double r, double g, double b)
{
    auto it = std::find_if(points_.begin(), points_.end(), at(x, y));
    if (it != points_.end())
        points_.erase(it);
    else
        points_.push_back({x, y, mark, r, g, b});
}

void VQGraphPtArray::ptOffAtX(double x, double y)
{
    std::erase_if(points_, at(x, y));
}

} // namespace orvenda
