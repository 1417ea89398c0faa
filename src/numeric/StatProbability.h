#pragma once

namespace orvenda {

// The normal, Student t, χ² and F distributions the tests, intervals and shading need:
// tail areas, areas between two bounds, quantiles and the F density. Upper tails are
// computed as complements, not as 1 − cdf, so small p-values keep their digits. Bad
// parameters give NaN; nothing raises.
class StatProbability {
public:
    // Standard normal.
    static double normalCdf(double x);
    static double normalUpper(double x);
    static double normalQuantile(double p);
    // Area between two bounds (either order gives the same sign convention: upper − lower).
    static double normalBetween(double lower, double upper, double mu, double sigma);

    static double tCdf(double x, double df);
    static double tUpper(double x, double df);
    static double tQuantile(double p, double df);
    static double tBetween(double lower, double upper, double df);

    static double chiSquareCdf(double x, double df);
    static double chiSquareUpper(double x, double df);
    static double chiSquareBetween(double lower, double upper, double df);

    static double fCdf(double x, double numerDf, double denomDf);
    static double fUpper(double x, double numerDf, double denomDf);
    static double fQuantile(double p, double numerDf, double denomDf);
    static double fBetween(double lower, double upper, double numerDf, double denomDf);
    static double fPdf(double x, double numerDf, double denomDf);
    // The largest value of the F density over [0, limit].
    static double fPeak(double numerDf, double denomDf, double limit);

    // p-value of a statistic whose null distribution has the given lower and upper tail
    // areas at it: alternative 1 less than, 2 greater than, anything else two-sided.
    static double pValue(int alternative, double lowerTail, double upperTail);
};

} // namespace orvenda
