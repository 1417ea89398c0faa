#pragma once

namespace orvenda {

// Cumulative and inverse distributions and the discrete probabilities of the distribution
// functions. Plain functions of doubles; the callers check the arguments' ranges (a value
// outside them gives NaN). Bounds of ±1e99 stand for infinite ones; a lower bound above the
// upper one gives the negative probability.
class Distributions {
public:
    // Normal with mean μ and deviation |σ|.
    static double normalcdf(double lower, double upper, double mu, double sigma);
    // The x whose left-tail area is `area` (strictly between 0 and 1).
    static double invNorm(double area, double mu, double sigma);
    static double tcdf(double lower, double upper, double df);
    // The t whose left-tail area is `area`; ∓1e99 for an area of 0 or 1.
    static double invT(double area, double df);
    static double x2cdf(double lower, double upper, double df);
    static double fcdf(double lower, double upper, double numeratorDf, double denominatorDf);

    // Binomial with n trials (a whole number) and success probability p. The pdf is 0
    // where x is no count of successes; the cdf is the sum of the pdfs up to x.
    static double binompdf(double n, double p, double x);
    static double binomcdf(double n, double p, double x);
    // The smallest count whose binomial cdf reaches `area` (0..1).
    static double invBinom(double area, double n, double p);

    // Poisson with mean μ >= 0.
    static double poissonpdf(double mu, double x);
    static double poissoncdf(double mu, double x);
    // Geometric with success probability p: the first success at trial x = 1, 2, ...
    static double geometpdf(double p, double x);
    static double geometcdf(double p, double x);
};

} // namespace orvenda
