#pragma once

// A random walk through the whole app, as driver script lines: the calculator's keys (in
// their 2ND and ALPHA layers too), the computer's chords, taps on the controls the last
// dump listed and presses of the captions it showed, short entries and calls of the
// walk's own programs, the walk's programs run and stepped in the debugger, screens opened
// by id, the window resized, waits, and the app ended (its window closed, a quitting signal,
// or killed after its own save) to be launched again on its data folder. While a program
// waits for an answer the walk mostly opens screens (by key, chord, menu row or click),
// comes back (QUIT, Escape, Ctrl+Q, the Home key, the leave control) and types. The same
// seed and the same dumps give the same steps on every machine and C++ library: the
// numbers come from std::mt19937, whose sequence is fixed, through this class's own
// arithmetic.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
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

    // For a step that ends the app rather than drives it, `close` (the window's close
    // button; the script then ends) or `signal NAME` (TERM, INT, HUP, or KILL after the
    // app's own save), the signal's number (0 for close); nothing for any other step. The
    // app is launched again on the same data folder afterwards.
    static std::optional<int> ending(const std::string& step);

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
    // A screen opened as a user opens one: its key or chord, a menu's row, or a click.
    std::string door(const nlohmann::json& shown, bool keys);
    // A way back toward the home screen: QUIT, Escape, Ctrl+Q, the Home key or the leave
    // control.
    std::string back(const nlohmann::json& shown, bool keys);
    // One of the app's endings.
    std::string end();
    // The next step of a program opened in the debugger (the Debug control, a breakpoint,
    // Run or Step); empty once the dump shows the way is lost or the run is started.
    std::string debugStep(const nlohmann::json& shown);

    // How far the walk has gone on the way to a run in the debugger.
    enum class Debugging { None, Editor, Debugger, Stepping };

    std::mt19937 random_;
    bool tablet_;
    std::vector<int> screens_;
    Debugging debugging_ = Debugging::None;
    // The program opened in the editor, and the steps still to take in the debugger.
    std::string debugged_;
    int stepsLeft_ = 0;
};

} // namespace orvenda::test
