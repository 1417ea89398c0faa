#include "numeric/Distributions.h"

#include "numeric/CompensatedSum.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/MathPolicy.h"

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/poisson.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <cmath>
#include <limits>
#include <utility>

namespace orvenda {

namespace {

namespace bm = boost::math;

using Binomial = bm::binomial_distribution<double, MathPolicy>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfiniteBound = 1e99;
// How far a quantile is moved to its count at most: beyond 2^53 trials a step of one no
// longer changes the count.
constexpr int kSettleSteps = 8;

// P(lower < X < upper) as a difference of the two tails that keeps the digits: both bounds
// above `split` subtract upper tails, both below subtract lower tails. The support starts
// at `floor` (a cdf is 0 below it).
template <class Dist>
double between(const Dist& d, double lower, double upper, double split, double floor)
{
    if (std::isnan(lower) || std::isnan(upper))
        return kNaN;
    double sign = 1.0;
    if (lower > upper) {
        std::swap(lower, upper);
        sign = -1.0;
    }
    lower = std::max(lower, floor);
    upper = std::max(upper, floor);
    double p;
    if (lower >= split)
        p = bm::cdf(bm::complement(d, lower)) - bm::cdf(bm::complement(d, upper));
    else if (upper <= split)
        p = bm::cdf(d, upper) - bm::cdf(d, lower);
    else
        p = 1.0 - bm::cdf(d, lower) - bm::cdf(bm::complement(d, upper));
    return sign * p;
}

// The binomial pdfs from k on in steps of `step` (±1), until they stop counting. Started on
// the tail side of the mean, the terms only shrink, so the sum is done once a term falls
// below the last bit of the sum.
double sumPdfs(const Binomial& d, double k, double step, double n)
{
    CompensatedSum sum;
    for (; k >= 0.0 && k <= n; k += step) {
        const double term = bm::pdf(d, k);
        sum.add(term);
        if (term <= sum.value() * 1e-18)
            break;
    }
    return sum.value();
}

} // namespace

double Distributions::normalcdf(double lower, double upper, double mu, double sigma)
{
    const bm::normal_distribution<double, MathPolicy> d(mu, std::fabs(sigma));
    return between(d, lower, upper, mu, -std::numeric_limits<double>::infinity());
}

double Distributions::invNorm(double area, double mu, double sigma)
{
    return bm::quantile(bm::normal_distribution<double, MathPolicy>(mu, std::fabs(sigma)), area);
}

double Distributions::tcdf(double lower, double upper, double df)
{
    return between(bm::students_t_distribution<double, MathPolicy>(df), lower, upper, 0.0,
                   -std::numeric_limits<double>::infinity());
}

double Distributions::invT(double area, double df)
{
    if (area == 0.0)
        return -kInfiniteBound;
    if (area == 1.0)
        return kInfiniteBound;
    return bm::quantile(bm::students_t_distribution<double, MathPolicy>(df), area);
}

double Distributions::x2cdf(double lower, double upper, double df)
{
    return between(bm::chi_squared_distribution<double, MathPolicy>(df), lower, upper, df, 0.0);
}

double Distributions::fcdf(double lower, double upper, double numeratorDf, double denominatorDf)
{
    return between(bm::fisher_f_distribution<double, MathPolicy>(numeratorDf, denominatorDf), lower, upper, 1.0,
                   0.0);
}

double Distributions::binompdf(double n, double p, double x)
{
    if (std::isnan(x))
        return kNaN;
    if (!ElementaryFunctions::isWhole(x) || x < 0.0 || x > n)
        return 0.0;
    return bm::pdf(Binomial(n, p), x);
}

double Distributions::binomcdf(double n, double p, double x)
{
    if (std::isnan(x))
        return kNaN;
    if (x < 0.0)
        return 0.0;
    const double k = std::floor(x);
    if (k >= n || p <= 0.0)
        return 1.0;
    if (p >= 1.0)
        return 0.0;
    const Binomial d(n, p);
    // Summed from x down when x lies below the mean, else the upper tail from x + 1 up:
    // either way a few standard deviations of terms, not n of them.
    if (k < n * p)
        return sumPdfs(d, k, -1.0, n);
    return 1.0 - sumPdfs(d, k + 1.0, 1.0, n);
}

double Distributions::invBinom(double area, double n, double p)
{
    if (std::isnan(area) || std::isnan(n) || std::isnan(p))
        return kNaN;
    if (area <= 0.0 || n == 0.0 || p <= 0.0)
        return 0.0;
    if (area >= 1.0 || p >= 1.0)
        return n;
    // The quantile can land one count off where the cdf meets the area: settle on the
    // smallest count whose cdf reaches it (with Boost's cdf, which costs the same for any n).
    const Binomial d(n, p);
    double k = bm::quantile(d, area);
    for (int step = 0; step < kSettleSteps && k > 0.0 && bm::cdf(d, k - 1.0) >= area; ++step)
        k -= 1.0;
    for (int step = 0; step < kSettleSteps && k < n && bm::cdf(d, k) < area; ++step)
        k += 1.0;
    return k;
}

double Distributions::poissonpdf(double mu, double x)
{
    if (std::isnan(x) || std::isnan(mu))
        return kNaN;
    if (!ElementaryFunctions::isWhole(x) || x < 0.0)
        return 0.0;
    if (mu == 0.0)
        return x == 0.0 ? 1.0 : 0.0;
    return bm::pdf(bm::poisson_distribution<double, MathPolicy>(mu), x);
}

double Distributions::poissoncdf(double mu, double x)
{
    if (std::isnan(x) || std::isnan(mu))
        return kNaN;
    if (x < 0.0)
        return 0.0;
    if (mu == 0.0)
        return 1.0;
    return bm::cdf(bm::poisson_distribution<double, MathPolicy>(mu), std::floor(x));
}

double Distributions::geometpdf(double p, double x)
{
    if (std::isnan(x) || std::isnan(p))
        return kNaN;
    if (!ElementaryFunctions::isWhole(x) || x < 1.0)
        return 0.0;
    if (x == 1.0)
        return p;
    // (1 - p)^(x - 1) through log1p, so a tiny p keeps its digits.
    return p * std::exp((x - 1.0) * std::log1p(-p));
}

double Distributions::geometcdf(double p, double x)
{
    if (std::isnan(x) || std::isnan(p))
        return kNaN;
    if (x < 1.0)
        return 0.0;
    if (p >= 1.0)
        return 1.0;
    return -std::expm1(std::floor(x) * std::log1p(-p));
}

} // namespace orvenda
