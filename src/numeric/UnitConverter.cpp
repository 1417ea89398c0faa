#include "numeric/UnitConverter.h"

#include <array>
#include <span>

namespace orvenda {

namespace {

// Each unit's size in its class's base unit, in the order of the class's unit names.
constexpr std::array<double, 11> kArea = {
    2589988.110336, 0.83612736, 0.09290304, 0.00064516, 10000, 4046.8564224, 1000000, 1, 0.0001, 1e-6,
    2000.0 / 3,
};
constexpr std::array<double, 10> kEnergy = {
    1055.055853, 1.3558179483, 1e-7, 3600000, 3600, 4184, 4.1868, 9.806650124809236, 1, 1,
};
constexpr std::array<double, 8> kForce = {
    100000, 1, 980665, 980.665, 444822.16152605, 444822161.52605, 27801.385095378126, 13825.495438,
};
constexpr std::array<double, 20> kLength = {
    1609.344, 1852, 0.9144, 0.3048, 0.0254, 1000, 1, 0.01, 0.001, 1e-6,
    1e-9, 1e-10, 0.1016, 5.0292, 201.168, 1.8288, 0.0254 / 72, 9460730472580800, 3.08568024696e16, 149597870700,
};
constexpr std::array<double, 12> kMass = {
    907.18474, 0.45359237, 0.028349523125, 0.0311034768, 6.35029318, 1016.0469088,
    1000, 1, 0.001, 0.0002, 6.479891e-5, 0.00155517384,
};
// A foot-pound a minute is a sixtieth of a foot-pound a second.
constexpr std::array<double, 7> kPower = {
    17.5842642, 0.29307107, 1.3558179 / 60, 1.3558179, 745.699872, 1000, 1,
};
constexpr std::array<double, 11> kPressure = {
    47.880258906, 6894.757282464, 101325, 133.32236842105263, 100000, 1333.2237, 3386.3886, 249.0889,
    9.80665, 1, 1000,
};
// °F, °C, K, °R: converted by formulas, not factors.
constexpr std::array<double, 4> kTemperature = {1, 1, 1, 1};
constexpr std::array<double, 21> kTime = {
    86.4, 0.864, 3155695200, 315569520, 86400, 3600, 60, 2629746, 1, 604800, 31556952,
    31557600, 31556925.97474, 2551443, 88775.244, 0.001, 1e-6, 1e-9, 1e-12, 1e-15, 1e-8,
};
constexpr std::array<double, 10> kVelocity = {
    1.852, 1225, 1.609344, 96.56064, 0.018288, 1.09728, 1, 60, 3.6, 1079252848.8,
};
constexpr std::array<double, 18> kVolume = {
    1.6387064e-5, 0.028316846592, 0.764554857984, 0.00454609188, 0.003785411784, 0.000946352946,
    0.000473176473, 2.95735295625e-5, 0.0002365882365, 1.478676478125e-5, 4.92892159375e-6,
    3.6966911953125e-6, 1e-6, 1, 0.001, 1e-6, 0.158987294928, 0.117347765304,
};
constexpr std::array<double, 21> kPrefix = {
    1e24, 1e21, 1e18, 1e15, 1e12, 1e9, 1e6, 1000, 100, 10, 1,
    0.1, 0.01, 0.001, 1e-6, 1e-9, 1e-12, 1e-15, 1e-18, 1e-21, 1e-24,
};

constexpr std::array<std::span<const double>, UnitConverter::kClassCount> kFactors = {
    kArea, kEnergy, kForce, kLength, kMass, kPower, kPressure, kTemperature, kTime, kVelocity, kVolume, kPrefix,
};

// CODATA 2006, as the other constants of the table; the electron mass is 9.10938215e-31 kg.
constexpr std::array<double, UnitConverter::kConstantCount> kConstants = {
    299792458, 9.80665, 6.62606896e-34, 6.02214179e23, 8.314472, 9.10938215e-31, 1.672621637e-27,
    1.674927211e-27, 1.8835313e-28, 6.67428e-11, 96485.3399, 5.2917720859e-11, 2.8179402894e-15,
    1.3806504e-23, 1.602176487e-19, 1.660538782e-27, 101325, 8.85418781762e-12, 1.256637061436e-6,
    8987551787.368,
};

double toCelsius(double x, std::uint32_t unit)
{
    switch (unit) {
    case 0: return (x - 32) / 1.8;
    case 2: return x - 273.15;
    case 3: return (x - 491.67) * 5 / 9;
    default: return x;
    }
}

double fromCelsius(double c, std::uint32_t unit)
{
    switch (unit) {
    case 0: return c * 1.8 + 32;
    case 2: return c + 273.15;
    case 3: return (c + 273.15) * 9 / 5;
    default: return c;
    }
}

} // namespace

std::size_t UnitConverter::unitCount(std::uint32_t unitClass)
{
    return unitClass < kClassCount ? kFactors[unitClass].size() : 0;
}

std::optional<double> UnitConverter::convert(double x, std::uint32_t packed)
{
    return convert(x, (packed >> 10) & 31, (packed >> 5) & 31, packed & 31);
}

std::optional<double> UnitConverter::convert(double x, std::uint32_t unitClass, std::uint32_t from, std::uint32_t to)
{
    const std::size_t units = unitCount(unitClass);
    if (from >= units || to >= units)
        return std::nullopt;
    if (unitClass == kTemperature)
        return fromCelsius(toCelsius(x, from), to);
    if (from == to)
        return x;
    const std::span<const double> factor = kFactors[unitClass];
    return x * factor[from] / factor[to];
}

std::optional<double> UnitConverter::constant(std::uint32_t index)
{
    if (index >= kConstantCount)
        return std::nullopt;
    return kConstants[index];
}

} // namespace orvenda
