#include "core/RandomSource.h"

namespace orvenda {

RandomSource& RandomSource::shared()
{
    static RandomSource source;
    return source;
}

RandomSource::RandomSource() : engine_(std::random_device{}()) {}

void RandomSource::seed(std::uint64_t value)
{
    std::lock_guard lock(mutex_);
    engine_.seed(value);
}

double RandomSource::uniform()
{
    std::lock_guard lock(mutex_);
    return std::generate_canonical<double, 53>(engine_);
}

long long RandomSource::integer(long long lo, long long hi)
{
    if (hi < lo)
        std::swap(lo, hi);
    std::lock_guard lock(mutex_);
    return std::uniform_int_distribution<long long>(lo, hi)(engine_);
}

} // namespace orvenda
