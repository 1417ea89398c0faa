#pragma once

namespace orvenda {

// Probability densities the two-argument density tokens compute.
class Densities {
public:
    // Student's t density at x with df degrees of freedom; NaN for df <= 0.
    static double studentTPdf(double x, double df);
    // Chi-square density at x with df degrees of freedom (0 for x < 0); NaN for df <= 0.
    static double chiSquarePdf(double x, double df);
};

} // namespace orvenda
