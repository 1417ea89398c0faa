#pragma once

// Time for the widget tests that does not depend on how busy the machine is: the screens'
// steady clock moves on only when it is read, and animations only when a test steps them.
// WidgetTestMain puts both in place for every widget test.

#include "platform/SteadyClock.h"

#include <QAbstractAnimation>
#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdint>

namespace orvenda::test {

// The screens' steady clock as a count of readings: each reading is a tenth of a
// millisecond after the one before, so a time budget is a number of checks of the clock,
// the same on every machine.
class WorkClock {
public:
    static constexpr std::chrono::microseconds kStep{100};

    WorkClock() { SteadyClock::setSource(&read); }
    ~WorkClock() { SteadyClock::setSource(nullptr); }
    WorkClock(const WorkClock&) = delete;
    WorkClock& operator=(const WorkClock&) = delete;

    // Readings so far.
    static std::uint64_t readings() { return readings_.load(); }
    // Time passing without work (a finger resting, a pause between events).
    static void pass(std::chrono::microseconds time) { skipped_ += static_cast<std::uint64_t>(time / kStep); }

private:
    static SteadyClock::time_point read()
    {
        const std::uint64_t n = ++readings_ + skipped_.load();
        return SteadyClock::time_point(std::chrono::duration_cast<SteadyClock::duration>(kStep * static_cast<std::int64_t>(n)));
    }

    static inline std::atomic<std::uint64_t> readings_{0};
    static inline std::atomic<std::uint64_t> skipped_{0};
};

// Animation time that moves on only when a test steps it: installed, every animation
// (slides, fades) stands still until step is called.
class SteppedAnimations : public QAnimationDriver {
public:
    SteppedAnimations() { install(); }
    ~SteppedAnimations() override { uninstall(); }

    qint64 elapsed() const override { return now_ - base_; }
    // Lets started animations register, moves their time on by ms and delivers what they
    // signal at the new time.
    void step(int ms)
    {
        deliver();
        now_ += ms;
        advance();
        deliver();
    }
    // Steps until every animation that has started has finished (at most ten seconds).
    void finish()
    {
        for (int ms = 0; ms < 10000 && settle(); ms += 10)
            step(10);
    }

protected:
    void stop() override
    {
        // Animations start again from time 0 once they have all stopped.
        base_ = now_;
        QAnimationDriver::stop();
    }

private:
    bool settle()
    {
        deliver();
        return isRunning();
    }
    // An animation starts, and its timers stop, in two hand-overs through the event loop.
    static void deliver()
    {
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
    }

    qint64 now_ = 0;
    qint64 base_ = 0;
};

// The stepped animations of the widget test binary.
SteppedAnimations& animations();

} // namespace orvenda::test
