#pragma once

#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/KeyRouter.h"

#include <chrono>
#include <functional>
#include <memory>

class QKeyEvent;

namespace orvenda {

class Calculator;
class QtMainQueue;

// The home screen's hold on the calculator: keys go through the key routing, the program
// queue reports on Qt's event loop, and its results go to result handling. Installed for
// the life of this object; the calculator's managers (entry line, history) must be set.
// Main thread.
class AppShell {
public:
    explicit AppShell(Calculator& calc);
    // Lets a running program go, then takes everything back off the calculator.
    ~AppShell();
    AppShell(const AppShell&) = delete;
    AppShell& operator=(const AppShell&) = delete;

    KeyRouter& keys() { return keys_; }
    EntryEvaluator& evaluator() { return evaluator_; }
    CursorBlink& blink() { return blink_; }
    QtMainQueue& mainQueue() { return *main_; }

    // A key of the computer's keyboard handed to the calculator keyboard's own dispatch, as
    // a screen in front of it does while a program owns the keys; false when no key
    // command answers to it (or no keyboard is set).
    bool typeComputerKey(const QKeyEvent& event) const { return computerKeys_ && computerKeys_(event); }
    void setComputerKeys(std::function<bool(const QKeyEvent&)> keys) { computerKeys_ = std::move(keys); }

    // Runs the event loop until the program queue has finished every run and its reports
    // are handled; false when that did not happen within the limit.
    bool settle(std::chrono::milliseconds limit);
    // The app quits: a program that runs or waits is stopped as ON stops it, and its end
    // handled (the break's history item) before this returns, unless the run ignores the
    // stop for longer than quitting waits.
    void endRuns();

private:
    bool idle() const;

    Calculator& calc_;
    std::unique_ptr<QtMainQueue> main_;
    CursorBlink blink_;
    EntryEvaluator evaluator_;
    KeyRouter keys_;
    std::function<bool(const QKeyEvent&)> computerKeys_;
};

} // namespace orvenda
