#include "numeric/Densities.h"

#include "numeric/MathPolicy.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A density with shape exponent k - 1 at x = 0: infinite below k = 1, `atOne` at k = 1,
// 0 above.
double atZero(double k, double atOne)
{
    if (k == 1.0)
        return atOne;
    return k < 1.0 ? kInf : 0.0;
}

} // namespace

double Densities::normalPdf(double x, double mu, double sigma)
{
    const double s = std::fabs(sigma);
    if (!(s > 0.0))
        return kNaN;
    const double z = (x - mu) / s;
    return std::exp(-0.5 * z * z) / (s * std::sqrt(2.0 * std::numbers::pi));
}

double Densities::studentTPdf(double x, double df)
{
    if (!(df > 0.0) || std::isnan(x))
        return kNaN;
    return boost::math::pdf(boost::math::students_t_distribution<double, MathPolicy>(df), x);
}

double Densities::chiSquarePdf(double x, double df)
{
    if (!(df > 0.0) || std::isnan(x))
        return kNaN;
    if (x < 0.0)
        return 0.0;
    if (df == 2.0)
        return std::exp(-x / 2.0) / 2.0;
    if (x == 0.0)
        return atZero(df / 2.0, 0.5);
    return boost::math::pdf(boost::math::chi_squared_distribution<double, MathPolicy>(df), x);
}

double Densities::fisherFPdf(double x, double numeratorDf, double denominatorDf)
{
    if (!(numeratorDf > 0.0) || !(denominatorDf > 0.0) || std::isnan(x))
        return kNaN;
    if (x < 0.0)
        return 0.0;
    if (x == 0.0)
        return atZero(numeratorDf / 2.0, 1.0);
    return boost::math::pdf(boost::math::fisher_f_distribution<double, MathPolicy>(numeratorDf, denominatorDf), x);
}

} // namespace orvenda
