#pragma once

namespace orvenda {

// The probability densities of the distribution functions, plain functions of doubles that
// the graph evaluates once per pixel column.
class Densities {
public:
    // exp(-z²/2) / (|σ|·√(2π)) with z = (x - μ)/|σ|; NaN for σ = 0.
    static double normalPdf(double x, double mu, double sigma);
    // Student's t density at x with df degrees of freedom; NaN for df <= 0.
    static double studentTPdf(double x, double df);
    // Chi-square density at x with df degrees of freedom: 0 for x < 0, exp(-x/2)/2 for
    // df = 2; NaN for df <= 0.
    static double chiSquarePdf(double x, double df);
    // F density at x with the numerator and denominator degrees of freedom: 0 for x < 0;
    // NaN for a df <= 0.
    static double fisherFPdf(double x, double numeratorDf, double denominatorDf);
};

} // namespace orvenda
