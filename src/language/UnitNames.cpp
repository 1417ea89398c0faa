#include "language/UnitNames.h"

#include <charconv>

namespace orvenda {

namespace {

using Names = std::string_view;

constexpr std::array<Names, UnitNames::kClassCount> kConversionType = {
    "Area", "Energy", "Force", "Length", "Mass", "Power",
    "Pressure", "Temp", "Time", "Velocity", "Volume", "SI Prefix",
};

constexpr std::array<Names, 11> areaNames = {
    "mi²", "yd²", "ft²", "in²", "Hectare", "Acre", "km²", "m²", "cm²", "mm²", "亩,畝,mǔ",
};
constexpr std::array<Names, 11> areaFNames = {
    "mile²", "yard²", "feet²", "inch²", "Hectare", "Acre",
    "kilometer²", "meter²", "centimeter²", "millimeter²", "亩,畝,mǔ",
};

constexpr std::array<Names, 10> energyNames = {
    "Btu", "ft-lb", "erg", "kW-hr", "W-hr", "kcal", "cal(IT)", "kg-m", "Nm", "J",
};
constexpr std::array<Names, 10> energyFNames = {
    "British thermal unit", "foot-pound", "erg", "kilowatt-hour", "watt-hour", "kilocalorie",
    "calorie(International Steam Table)", "kilogram-meter", "newton meter", "joule",
};

constexpr std::array<Names, 8> forceNames = {
    "N", "dyn", "kgf(kp)", "gf", "lb(f)", "kip", "oz(f)", "pdl",
};
constexpr std::array<Names, 8> forceFNames = {
    "newton", "dyne", "kilogram force(kilopond)", "gram force",
    "pound(force)", "kilopound", "ounce", "poundal",
};

constexpr std::array<Names, 20> lengthNames = {
    "mi", "nmi", "yd", "ft", "in", "km", "m", "cm", "mm", "μm",
    "nm", "Å", "hand", "rod", "furlong", "fathom", "point", "ly", "pc", "AU",
};
constexpr std::array<Names, 20> lengthFNames = {
    "mile", "nautical mile", "yard", "foot", "inch", "kiloMeter", "meter",
    "centimeter", "millimeter", "mircometer", "nanometer", "Angstrom", "hand", "rod",
    "furlong", "fathom", "point", "light-year", "parsec", "astronomical unit",
};

constexpr std::array<Names, 12> massNames = {
    "ton(US)", "lb(US)", "oz(US)", "troy oz", "stone", "ton(UK)",
    "ton(met)", "kg", "g", "carat", "grain", "dwt",
};
constexpr std::array<Names, 12> massFNames = {
    "ton(US)", "pound(US)", "ounce(US)", "troy ounce", "stone", "ton(UK)",
    "ton(metric)", "kilogram", "gram", "carat", "grain", "pennyweight",
};

constexpr std::array<Names, 7> powerNames = {
    "Btu/min", "Btu/hr", "ft-lb/min", "ft-lb/s", "hp", "kW", "W",
};
constexpr std::array<Names, 7> powerFNames = {
    "British thermal unit/minute", "British thermal unit/hour", "foot-pound/minute",
    "foot-pound/second", "horsepower", "kilowatt", "watt",
};

constexpr std::array<Names, 11> pressureNames = {
    "lb/ft²", "psi", "atm", "Torr", "bar", "cm Hg", "in Hg", "inH2O", "kg/m²", "Pa", "kPa",
};
constexpr std::array<Names, 11> pressureFNames = {
    "pound/feet²", "pound per square inch", "standard atmosphere", "torr", "bar",
    "centimeter mecury", "inch mercury", "inch water", "kilogram/meter²", "pascal",
    "kilopascal",
};

constexpr std::array<Names, 4> temperatureNames = {"°F", "°C", "K", "°R"};
constexpr std::array<Names, 4> temperatureFNames = {
    "degrees Farenheight", "degrees Celsius", "kelvin", "degrees Rankine",
};

constexpr std::array<Names, 21> timeNames = {
    "beat", "blink", "century", "decade", "day", "hour", "min",
    "mo", "s", "week", "year", "yr(J)", "yr(tr)", "day(Lunar)",
    "day(Mars)", "ms", "μs", "ns", "ps", "fs", "shake",
};
constexpr std::array<Names, 21> timeFNames = {
    "beat", "blink", "century", "decade", "day", "hour",
    "min", "month", "second", "week", "year", "year(Julian)",
    "year(tropical)", "day(Lunar)", "day(Mars)", "millisecond", "microsecond", "nanosecond",
    "picosecond", "femtosecond", "shake",
};

constexpr std::array<Names, 10> velocityNames = {
    "knots", "Mach", "mi/hr", "mi/min", "ft/min", "ft/s", "km/hr", "km/min", "m/s", "c",
};
constexpr std::array<Names, 10> velocityFNames = {
    "knots", "Mach", "miles/hour", "miles/minute", "feet/minute", "feet/second",
    "kilometer/hour", "kilometer/minute", "meter/second", "speed of light",
};

constexpr std::array<Names, 18> volumeNames = {
    "in³", "ft³", "yd³", "gal(Imp)", "gal(US)", "qt(US)", "pt(US)", "fl.oz", "cup",
    "tbls", "tsp", "dram", "cm³", "m³", "liter", "ml", "bbl oil", "bbl beer",
};
constexpr std::array<Names, 18> volumeFNames = {
    "inch³", "feet³", "yard³", "gallon(Imperial)", "gallon(US)", "quart(US)",
    "pint(US)", "fluid ounce", "cup", "tablespoon", "teaspoon", "dram",
    "centimeter³", "meter³", "liter", "milliliter", "barel oil", "barel beer",
};

constexpr std::array<Names, 21> siNames = {
    "Y", "Z", "E", "P", "T", "G", "M", "k", "h", "da", "one",
    "d", "c", "m", "μ", "n", "p", "f", "a", "z", "y",
};
constexpr std::array<Names, 21> siFNames = {
    "yotta", "zetta", "exa", "peta", "tera", "giga", "mega", "kilo", "hecto", "deca", "one",
    "deci", "centi", "milli", "micro", "nano", "pico", "femto", "atto", "zepto", "yocto",
};

constexpr std::array<std::span<const Names>, UnitNames::kClassCount> kConversionList = {
    areaNames, energyNames, forceNames, lengthNames, massNames, powerNames,
    pressureNames, temperatureNames, timeNames, velocityNames, volumeNames, siNames,
};
constexpr std::array<std::span<const Names>, UnitNames::kClassCount> kConversionFList = {
    areaFNames, energyFNames, forceFNames, lengthFNames, massFNames, powerFNames,
    pressureFNames, temperatureFNames, timeFNames, velocityFNames, volumeFNames, siFNames,
};

constexpr std::array<Names, UnitNames::kConstantCount> kConstNames = {
    "c", "g", "h", "Na", "R", "me", "mp", "mn", "mμ", "G",
    "F", "a0", "re", "k", "e⁻", "u", "atm", "ε0", "μ0", "Cc",
};
constexpr std::array<Names, UnitNames::kConstantCount> kConstFullNames = {
    "c speed of light",
    "g gravitational acceleration",
    "h Planck's constant",
    "NA Avogadro's number",
    "R ideal gas constant",
    "me electron mass",
    "mp proton mass",
    "mn neutron mass",
    "mμ muon mass",
    "G universal gravitation",
    "F Faraday constant",
    "a0 Bohr radius",
    "re classical electron radius",
    "k Boltzmann constant",
    "e⁻ electron charge",
    "u atomic mass unit",
    "atm standard atmosphere",
    "ε0 permittivity of vacuum",
    "μ0 permeability of vacuum",
    "Cc Coulomb's constant",
};
constexpr std::array<Names, UnitNames::kConstantCount> kConstDescription = {
    "299792458 m/s",
    "9.80665 m/s²",
    "6.62606896×10⁻³⁴ joule seconds",
    "6.02214179×10²³ mol⁻¹",
    "8.314472 joules/mole/kelvin",
    "9.10938215×10⁻³¹ kilograms",
    "1.672621637×10⁻²⁷ kilograms",
    "1.674927211×10⁻²⁷ kilograms",
    "1.88353130×10⁻²⁸ kilograms",
    "6.67428×10⁻¹¹ meters³/kilogram/sec²",
    "96485.3399 coulombs/mole",
    "5.2917720859×10⁻¹¹ meters",
    "2.8179402894×10⁻¹⁵ meters",
    "1.3806504×10⁻²³ joules/kelvin",
    "1.602176487×10⁻¹⁹ coulombs",
    "1.660538782×10⁻²⁷ kilograms",
    "101325 pascals",
    "8.854187817620×10⁻¹² farads/meter",
    "1.256637061436×10⁻⁶ newtons/ampere²",
    "8.987551787368×10⁹ meters/farad",
};

// " from<sep>to" with the given class's names.
std::string conversionText(const std::array<std::span<const Names>, UnitNames::kClassCount>& lists,
                           const UnitNames::Conversion& c, std::string_view separator)
{
    const Names from = lists[c.unitClass][c.from];
    const Names to = lists[c.unitClass][c.to];
    std::string text;
    text.reserve(1 + from.size() + separator.size() + to.size());
    text += ' ';
    text += from;
    text += separator;
    text += to;
    return text;
}

constexpr std::string_view kArrow = "▸";

} // namespace

std::span<const std::string_view> UnitNames::conversionType() { return kConversionType; }
std::span<const std::span<const std::string_view>> UnitNames::conversionList() { return kConversionList; }
std::span<const std::span<const std::string_view>> UnitNames::conversionFList() { return kConversionFList; }
std::span<const std::string_view> UnitNames::constNames() { return kConstNames; }
std::span<const std::string_view> UnitNames::constFullNames() { return kConstFullNames; }
std::span<const std::string_view> UnitNames::constDescription() { return kConstDescription; }

std::size_t UnitNames::unitCount(uint32_t unitClass)
{
    return unitClass < kClassCount ? kConversionList[unitClass].size() : 0;
}

std::optional<UnitNames::Conversion> UnitNames::conversionForOp(uint32_t op)
{
    if ((op & 0xFFFF) != kConversionToken)
        return std::nullopt;
    const Conversion c{(op >> 26) & 31, (op >> 21) & 31, (op >> 16) & 31};
    const std::size_t units = unitCount(c.unitClass);
    if (c.from >= units || c.to >= units)
        return std::nullopt;
    return c;
}

std::optional<uint32_t> UnitNames::constantForOp(uint32_t op)
{
    if ((op & 0xFFFF) != kConstantToken)
        return std::nullopt;
    const uint32_t index = op >> 16;
    if (index >= kConstantCount)
        return std::nullopt;
    return index;
}

uint32_t UnitNames::opcodeForClass(uint32_t unitClass, uint32_t from, uint32_t to)
{
    return kConversionToken + ((unitClass & 31) << 26) + ((from & 31) << 21) + ((to & 31) << 16);
}

std::string UnitNames::fallbackName(uint32_t op)
{
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, op & 0xFFFF, 16).ptr;
    std::string text = "op(";
    for (const char* p = digits; p != end; ++p)
        text += (*p >= 'a' && *p <= 'f') ? static_cast<char>(*p - 'a' + 'A') : *p;
    text += ')';
    return text;
}

std::string UnitNames::nameForOp(uint32_t op)
{
    if (const auto c = conversionForOp(op))
        return conversionText(kConversionList, *c, kArrow);
    if (const auto i = constantForOp(op))
        return std::string(kConstNames[*i]);
    return fallbackName(op);
}

std::string UnitNames::speakNameForOp(uint32_t op)
{
    if (const auto c = conversionForOp(op))
        return conversionText(kConversionList, *c, " to ");
    if (const auto i = constantForOp(op))
        return std::string(kConstNames[*i]);
    return fallbackName(op);
}

std::string UnitNames::expandedNameForOp(uint32_t op)
{
    if (const auto c = conversionForOp(op))
        return conversionText(kConversionFList, *c, kArrow);
    if (const auto i = constantForOp(op))
        return std::string(kConstNames[*i]);
    return fallbackName(op);
}

uint32_t UnitNames::ToFrom::from(uint32_t unitClass) const
{
    return unitClass < kClassCount ? rows[unitClass][0] : 0;
}

uint32_t UnitNames::ToFrom::to(uint32_t unitClass) const
{
    return unitClass < kClassCount ? rows[unitClass][1] : 0;
}

bool UnitNames::ToFrom::set(uint32_t unitClass, uint32_t from, uint32_t to)
{
    const std::size_t units = unitCount(unitClass);
    if (from >= units || to >= units)
        return false;
    rows[unitClass] = {from, to};
    return true;
}

} // namespace orvenda
