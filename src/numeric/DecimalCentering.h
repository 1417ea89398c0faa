#pragma once

#include <span>
#include <vector>

namespace orvenda {

// Deviations of data from a reference value, taken in decimal. A value typed as
// 1000000000.1 is stored as the nearest double, 1000000000.10000002; the plain binary
// difference from 1000000000.2 is then wrong in its eighth digit. Taking the difference
// of the shortest decimal spellings of the two values (the digits the user typed) and
// rounding once gives 0.1 to full precision, so sums of squares about the mean keep
// their digits however many leading digits the data share.
class DecimalCentering {
public:
    // x[i] - reference for each value; a value or reference without a finite decimal
    // spelling, or one too wide for exact integer work, falls back to binary subtraction.
    static std::vector<double> deviations(std::span<const double> x, double reference);
    static double difference(double x, double reference);
};

} // namespace orvenda
