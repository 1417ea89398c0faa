#pragma once

// A random walk through the whole app, as driver script lines: the calculator's keys (in
// their 2ND and ALPHA layers too), the computer's chords, taps on the controls the last
// dump listed and presses of the captions it showed, short entries and calls of the
// walk's own programs, screens opened by id, the window resized and waits. The same seed
// and the same dumps give the same steps on every machine and C++ library: the numbers
// come from std::mt19937, whose sequence is fixed, through this class's own arithmetic.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace orvenda::test {

class RandomWalk {
public:
    RandomWalk(std::uint32_t seed, bool tablet);

    // The programs the walk calls, as `program` blocks: one that only stores, one that
    // writes, one with Input, one with Prompt, one with Menu(, one that pauses, one that
    // draws, a getKey loop that ends on the first key, and one that errs.
    static std::string programs();
    // The driver's options for a walk on this device.
    static std::string options(bool tablet);

    // The screen ids `open` may show (the driver's `screens` lists them).
    void setScreens(std::vector<int> ids) { screens_ = std::move(ids); }
    // The lines of the next step, chosen with what the dump after the last one showed.
    std::string step(const nlohmann::json& shown);
    // Whether a step (one the walk made, replayed) is one the walk would make in the state
    // the dump shows: the calculator's keys only where they are drawn, a screen opened
    // only over another screen with no alert open, `wait idle` only while no run goes on.
    static bool fits(const std::string& step, const nlohmann::json& shown);

private:
    // A number in [0, n), the same on every library.
    std::uint32_t below(std::uint32_t n);
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[below(N)];
    }

    static bool keysShown(const nlohmann::json& shown);
    static bool mayOpen(const nlohmann::json& shown);
    std::string key();
    std::string chord();
    // An entry, then maybe a key that takes or leaves it (the computer's when the
    // calculator's keys are hidden).
    std::string entry(bool keys);
    // A tap inside a rectangle the dump lists, or a press of a caption it shows; empty when
    // it lists none.
    std::string tap(const nlohmann::json& shown);

    std::mt19937 random_;
    bool tablet_;
    std::vector<int> screens_;
};

} // namespace orvenda::test
