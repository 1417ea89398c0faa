#include "numeric/RandomDeviates.h"

#include "core/RandomSource.h"
#include "numeric/Distributions.h"

#include <bit>
#include <cmath>

namespace orvenda {

double RandomDeviates::openUniform()
{
    double u = source_.uniform();
    while (u == 0.0)
        u = source_.uniform();
    return u;
}

double RandomDeviates::randInt(double lower, double upper)
{
    return static_cast<double>(source_.integer(static_cast<long long>(lower), static_cast<long long>(upper)));
}

double RandomDeviates::randNorm(double mu, double sigma)
{
    // By the inverse cdf: one uniform per draw, so a seeded run repeats draw for draw.
    return mu + sigma * Distributions::invNorm(openUniform(), 0.0, 1.0);
}

double RandomDeviates::randBin(double n, double p)
{
    return Distributions::invBinom(openUniform(), std::trunc(n), p);
}

std::optional<std::uint64_t> RandomDeviates::seedFor(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = std::trunc(value);
    if (std::fabs(whole) < 9.2e18)
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));
    // Beyond 64-bit integers every double is whole: its bits tell them apart.
    return std::bit_cast<std::uint64_t>(whole);
}

} // namespace orvenda
