#include "numeric/Densities.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

double Densities::studentTPdf(double x, double df)
{
    if (!(df > 0.0) || std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
    // ln(Γ(a + 1/2) / Γ(a)) with a = df/2; for large a the difference of two huge lgamma
    // values loses its digits, and the asymptotic series is exact to double precision.
    const double a = df / 2.0;
    const double logRatio = a > 100.0
        ? 0.5 * std::log(a) - 1.0 / (8.0 * a) + 1.0 / (192.0 * a * a * a)
        : std::lgamma(a + 0.5) - std::lgamma(a);
    const double logNorm = logRatio - 0.5 * std::log(df * std::numbers::pi);
    return std::exp(logNorm - (df + 1.0) / 2.0 * std::log1p(x * x / df));
}

double Densities::chiSquarePdf(double x, double df)
{
    if (!(df > 0.0) || std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
    if (x < 0.0) return 0.0;
    const double k = df / 2.0;
    if (x == 0.0) {
        if (k == 1.0) return 0.5;
        return k < 1.0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return std::exp((k - 1.0) * std::log(x) - x / 2.0 - k * std::numbers::ln2 - std::lgamma(k));
}

} // namespace orvenda
