#include "core/RandomSource.h"

namespace orvenda {

namespace {

// The engine of the run in progress on this thread, if any.
thread_local std::mt19937_64* runEngine = nullptr;

} // namespace

RandomSource& RandomSource::shared()
{
    static RandomSource source;
    return source;
}

RandomSource::RandomSource() : engine_(std::random_device{}()) {}

template <class Use>
auto RandomSource::withEngine(Use use)
{
    if (runEngine)
        return use(*runEngine);
    std::lock_guard lock(mutex_);
    return use(engine_);
}

void RandomSource::seed(std::uint64_t value)
{
    withEngine([&](std::mt19937_64& e) { e.seed(value); });
}

double RandomSource::uniform()
{
    return withEngine([](std::mt19937_64& e) { return std::generate_canonical<double, 53>(e); });
}

long long RandomSource::integer(long long lo, long long hi)
{
    if (hi < lo)
        std::swap(lo, hi);
    return withEngine([&](std::mt19937_64& e) { return std::uniform_int_distribution<long long>(lo, hi)(e); });
}

std::mt19937_64 RandomSource::engineState()
{
    return withEngine([](std::mt19937_64& e) { return e; });
}

void RandomSource::restoreEngineState(const std::mt19937_64& state)
{
    withEngine([&](std::mt19937_64& e) { e = state; });
}

RandomSource::RunEngine::RunEngine() : outer_(runEngine)
{
    engine_ = shared().withEngine([](std::mt19937_64& e) { return e; });
    runEngine = &engine_;
}

RandomSource::RunEngine::~RunEngine()
{
    runEngine = outer_;
    shared().withEngine([this](std::mt19937_64& e) { e = engine_; });
}

} // namespace orvenda
