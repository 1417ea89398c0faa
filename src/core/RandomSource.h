#pragma once

#include <cstdint>
#include <mutex>
#include <random>

namespace orvenda {

// The engine's one source of random numbers. Shared by the main thread and the program
// queue, so every draw takes a lock; seeding makes a run repeatable (rand seeds it).
class RandomSource {
public:
    static RandomSource& shared();

    void seed(std::uint64_t value);
    // Uniform in [0, 1).
    double uniform();
    // Uniform integer in [lo, hi], both ends included.
    long long integer(long long lo, long long hi);

private:
    RandomSource();
    std::mutex mutex_;
    std::mt19937_64 engine_;
};

} // namespace orvenda
