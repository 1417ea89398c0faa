#include "core/GraphScale.h"

#include <cmath>
#include <numbers>

namespace orvenda {

namespace {

// Graph units spanned by 120 points at the scale; 0 when the scale gives none.
double unitsPerTick(double scale)
{
    const double u = std::fabs(120 / scale);
    return std::isfinite(u) && u > 0 ? u : 0;
}

void decimalTicks(double scale, double& step, int& plain, int& decimals)
{
    const double u = unitsPerTick(scale);
    if (u == 0)
        return;
    const int e = static_cast<int>(std::floor(std::log10(u)));
    const double power = std::pow(10.0, e);
    plain = e <= 5 ? 1 : 0;
    decimals = e < 0 ? -e : 0;
    const double leading = u / power;
    step = power * (leading >= 5 ? 5 : leading >= 2 ? 2 : 1);
}

} // namespace

void GraphScale::adjust(double newXScale, double newYScale, int newXAxisMode)
{
    if (xScale == newXScale && yScale == newYScale && xAxisMode == newXAxisMode)
        return;
    xScale = newXScale;
    yScale = newYScale;
    decimalTicks(yScale, yStep, yPlain, yDecimals);
    if (newXAxisMode != 1) {
        decimalTicks(xScale, xStep, xPlain, xDecimals);
        xAxisMode = 0;
        return;
    }
    if (const double u = unitsPerTick(xScale); u != 0)
        xStep = std::exp2(std::floor(std::log2(u / std::numbers::pi))) * std::numbers::pi;
    xPlain = 1;
    xDecimals = 0;
    xAxisMode = 1;
}

} // namespace orvenda
