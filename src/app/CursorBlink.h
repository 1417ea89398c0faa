#pragma once

#include <memory>

class QTimer;

namespace orvenda {

class Calculator;

// The blinking cursor: a repeating 0.5 s timer on the main thread that flips the
// calculator's cursorVisible and posts VQBlinkCursor (object: the calculator). Every key
// restarts it, so the cursor shows solid right after a key press; screens stop and start
// it. Without a Qt application (headless callers) the phase is kept and nothing ticks.
class CursorBlink {
public:
    static constexpr int kIntervalMs = 500;

    explicit CursorBlink(Calculator& calc);
    ~CursorBlink();
    CursorBlink(const CursorBlink&) = delete;
    CursorBlink& operator=(const CursorBlink&) = delete;

    // A new 0.5 s period, starting with the cursor shown.
    void resetBlink();
    // Off stops the timer and keeps the phase; on is resetBlink.
    void cursorBlink(bool on);
    // The timer's tick.
    void blinkCursor();
    bool running() const;
    // Stepped, the blink has no timer of its own: the phase moves only with blinkCursor, so
    // what a driven app shows does not depend on how long its script takes.
    void setStepped(bool stepped);

private:
    Calculator& calc_;
    std::unique_ptr<QTimer> timer_;
    bool stepped_ = false;
};

} // namespace orvenda
