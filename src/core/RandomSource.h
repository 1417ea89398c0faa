#pragma once

#include <cstdint>
#include <mutex>
#include <random>

namespace orvenda {

// The engine's one source of random numbers. Shared by the main thread and the program
// queue, so every draw takes a lock; seeding makes a run repeatable (rand seeds it).
//
// A program run draws from an engine of its own: a RunEngine on the worker starts from the
// shared sequence and hands its state back when the run ends, so the sequence goes on
// from run to run while draws on the main thread meanwhile never disturb a seeded run.
class RandomSource {
public:
    static RandomSource& shared();

    void seed(std::uint64_t value);
    // Uniform in [0, 1).
    double uniform();
    // Uniform integer in [lo, hi], both ends included.
    long long integer(long long lo, long long hi);

    // The state of the engine the calling thread draws from, and putting it back: draws
    // made by work that is then done again from the start are taken back.
    std::mt19937_64 engineState();
    void restoreEngineState(const std::mt19937_64& state);

    // While it lives, the calling thread's draws and seeds of the shared source use its
    // own engine.
    class RunEngine {
    public:
        RunEngine();
        ~RunEngine();
        RunEngine(const RunEngine&) = delete;
        RunEngine& operator=(const RunEngine&) = delete;

    private:
        std::mt19937_64 engine_;
        std::mt19937_64* outer_;
    };

private:
    RandomSource();
    // The engine draws on the calling thread go to; the shared one is used under the lock.
    template <class Use>
    auto withEngine(Use use);

    std::mutex mutex_;
    std::mt19937_64 engine_;
};

} // namespace orvenda
