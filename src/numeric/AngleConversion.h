#pragma once

namespace orvenda {

// Conversion between radians and the calculator's angle unit (0 Degree, 1 Radian,
// 2 Gradian). A quarter turn is the pivot so that right angles convert exactly.
class AngleConversion {
public:
    // An angle in the given unit to radians.
    static double toRadians(double x, int angleFormat);
    // Radians to the given unit.
    static double fromRadians(double x, int angleFormat);
};

} // namespace orvenda
