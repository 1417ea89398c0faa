#pragma once

#include <functional>

namespace orvenda {

// The main thread as the engine sees it. Runs on the program queue hand their drawing and
// graph work to it; the app implements it on its event loop, tests pump it by hand.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    // Queues work for the main thread and returns at once.
    virtual void post(std::function<void()> work) = 0;
    // Runs work on the main thread and returns when it has finished (at once when the
    // caller is the main thread).
    virtual void postSync(std::function<void()> work) = 0;
};

} // namespace orvenda
