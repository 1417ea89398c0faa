#include "numeric/StatProbability.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

namespace bp = boost::math::policies;

// Every failure answers a value (NaN or a limit) instead of raising.
using Quiet = bp::policy<bp::domain_error<bp::ignore_error>, bp::pole_error<bp::ignore_error>,
                         bp::overflow_error<bp::ignore_error>, bp::underflow_error<bp::ignore_error>,
                         bp::evaluation_error<bp::ignore_error>, bp::rounding_error<bp::ignore_error>,
                         bp::indeterminate_result_error<bp::ignore_error>, bp::promote_double<false>>;

using Normal = boost::math::normal_distribution<double, Quiet>;
using StudentT = boost::math::students_t_distribution<double, Quiet>;
using ChiSquare = boost::math::chi_squared_distribution<double, Quiet>;
using FisherF = boost::math::fisher_f_distribution<double, Quiet>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool positive(double df)
{
    return df > 0 && std::isfinite(df);
}

// Boost's support of χ² and F starts at 0; the calculator's bounds may lie anywhere.
double clampNonNegative(double x)
{
    return std::max(x, 0.0);
}

double lowerTail(const auto& dist, double x)
{
    if (std::isnan(x))
        return kNaN;
    if (x == std::numeric_limits<double>::infinity())
        return 1;
    if (x == -std::numeric_limits<double>::infinity())
        return 0;
    return boost::math::cdf(dist, x);
}

double upperTail(const auto& dist, double x)
{
    if (std::isnan(x))
        return kNaN;
    if (x == std::numeric_limits<double>::infinity())
        return 0;
    if (x == -std::numeric_limits<double>::infinity())
        return 1;
    return boost::math::cdf(boost::math::complement(dist, x));
}

// upper − lower, from the tail that keeps the digits: both bounds in the upper half are
// measured from the upper end.
double between(const auto& dist, double lower, double upper, double median)
{
    if (lower >= median && upper >= median)
        return upperTail(dist, lower) - upperTail(dist, upper);
    return lowerTail(dist, upper) - lowerTail(dist, lower);
}

} // namespace

double StatProbability::normalCdf(double x)
{
    return lowerTail(Normal(0, 1), x);
}

double StatProbability::normalUpper(double x)
{
    return upperTail(Normal(0, 1), x);
}

double StatProbability::normalQuantile(double p)
{
    if (!(p > 0 && p < 1))
        return kNaN;
    return boost::math::quantile(Normal(0, 1), p);
}

double StatProbability::normalBetween(double lower, double upper, double mu, double sigma)
{
    if (!(sigma > 0) || !std::isfinite(mu))
        return kNaN;
    const double zl = (lower - mu) / sigma;
    const double zu = (upper - mu) / sigma;
    return between(Normal(0, 1), zl, zu, 0.0);
}

double StatProbability::tCdf(double x, double df)
{
    return positive(df) ? lowerTail(StudentT(df), x) : kNaN;
}

double StatProbability::tUpper(double x, double df)
{
    return positive(df) ? upperTail(StudentT(df), x) : kNaN;
}

double StatProbability::tQuantile(double p, double df)
{
    if (!positive(df) || !(p > 0 && p < 1))
        return kNaN;
    return boost::math::quantile(StudentT(df), p);
}

double StatProbability::tBetween(double lower, double upper, double df)
{
    return positive(df) ? between(StudentT(df), lower, upper, 0.0) : kNaN;
}

double StatProbability::chiSquareCdf(double x, double df)
{
    return positive(df) ? lowerTail(ChiSquare(df), clampNonNegative(x)) : kNaN;
}

double StatProbability::chiSquareUpper(double x, double df)
{
    return positive(df) ? upperTail(ChiSquare(df), clampNonNegative(x)) : kNaN;
}

double StatProbability::chiSquareBetween(double lower, double upper, double df)
{
    if (!positive(df))
        return kNaN;
    const ChiSquare dist(df);
    return between(dist, clampNonNegative(lower), clampNonNegative(upper), boost::math::median(dist));
}

double StatProbability::fCdf(double x, double numerDf, double denomDf)
{
    if (!positive(numerDf) || !positive(denomDf))
        return kNaN;
    return lowerTail(FisherF(numerDf, denomDf), clampNonNegative(x));
}

double StatProbability::fUpper(double x, double numerDf, double denomDf)
{
    if (!positive(numerDf) || !positive(denomDf))
        return kNaN;
    return upperTail(FisherF(numerDf, denomDf), clampNonNegative(x));
}

double StatProbability::fQuantile(double p, double numerDf, double denomDf)
{
    if (!positive(numerDf) || !positive(denomDf) || !(p > 0 && p < 1))
        return kNaN;
    return boost::math::quantile(FisherF(numerDf, denomDf), p);
}

double StatProbability::fBetween(double lower, double upper, double numerDf, double denomDf)
{
    if (!positive(numerDf) || !positive(denomDf))
        return kNaN;
    const FisherF dist(numerDf, denomDf);
    return between(dist, clampNonNegative(lower), clampNonNegative(upper), boost::math::median(dist));
}

double StatProbability::fPdf(double x, double numerDf, double denomDf)
{
    if (!positive(numerDf) || !positive(denomDf) || std::isnan(x))
        return kNaN;
    if (x < 0)
        return 0;
    if (x == 0) {
        // The density's limit at 0: infinite below 2 numerator degrees of freedom, 1 at 2.
        if (numerDf < 2)
            return std::numeric_limits<double>::infinity();
        return numerDf == 2 ? 1.0 : 0.0;
    }
    return boost::math::pdf(FisherF(numerDf, denomDf), x);
}

double StatProbability::fPeak(double numerDf, double denomDf, double limit)
{
    // The density rises to its mode and falls after it, so over [0, limit] it is largest
    // at the mode moved into that range.
    const double mode = numerDf > 2 ? (numerDf - 2) / numerDf * denomDf / (denomDf + 2) : 0.0;
    return fPdf(std::clamp(mode, 0.0, limit), numerDf, denomDf);
}

double StatProbability::pValue(int alternative, double lowerTail, double upperTail)
{
    switch (alternative) {
    case 1:
        return lowerTail;
    case 2:
        return upperTail;
    default:
        return std::min(1.0, 2 * std::min(lowerTail, upperTail));
    }
}

} // namespace orvenda
