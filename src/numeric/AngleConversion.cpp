#include "numeric/AngleConversion.h"

#include <numbers>

namespace orvenda {

namespace {
constexpr double kHalfPi = std::numbers::pi / 2;
}

double AngleConversion::toRadians(double x, int angleFormat)
{
    switch (angleFormat) {
    case 0:
        return x / 90 * kHalfPi;
    case 2:
        return x / 200 * std::numbers::pi;
    default:
        return x;
    }
}

double AngleConversion::fromRadians(double x, int angleFormat)
{
    switch (angleFormat) {
    case 0:
        return x / kHalfPi * 90;
    case 2:
        return x / kHalfPi * 100;
    default:
        return x;
    }
}

} // namespace orvenda
