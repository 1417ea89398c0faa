#pragma once

#include <functional>

namespace orvenda {

// The desktop's stand-in for the phone's key click: the desktop's own short alert sound.
// Counts what it played, so that a run without speakers can tell. Main thread.
class KeyClickSound {
public:
    // Plays one click.
    void play();
    int played() const { return played_; }
    // The sound itself; the desktop's bell until set (tests set a silent one).
    void setOutput(std::function<void()> output) { output_ = std::move(output); }

private:
    std::function<void()> output_;
    int played_ = 0;
};

} // namespace orvenda
