#pragma once

#include <atomic>
#include <chrono>

namespace orvenda {

// The steady clock that time-sliced drawing and gestures read (a frame's budget, a
// drag's speed): the system's steady clock, unless a test puts a clock of its own in its
// place, so that what they do depends on the work done and not on how busy the machine
// is. Any thread may read it.
class SteadyClock {
public:
    using duration = std::chrono::steady_clock::duration;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::steady_clock::time_point;
    static constexpr bool is_steady = true;
    using Source = time_point (*)();

    static time_point now() noexcept
    {
        const Source source = source_.load(std::memory_order_relaxed);
        return source ? source() : std::chrono::steady_clock::now();
    }
    // Null puts the system's clock back.
    static void setSource(Source source) noexcept { source_.store(source, std::memory_order_relaxed); }

private:
    static std::atomic<Source> source_;
};

} // namespace orvenda
