#pragma once

#include "eval/MainQueue.h"

#include <functional>
#include <memory>

class QObject;

namespace orvenda {

// The engine's main queue on Qt's event loop: work posted from the program queue runs on
// the thread that made this queue (the main thread) when its event loop turns over. The
// main thread itself never waits here; a worker waiting in postSync is let go when the
// queue closes. Posted work holds no reference to the queue, so it may outlive it.
class QtMainQueue : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;
    QtMainQueue(const QtMainQueue&) = delete;
    QtMainQueue& operator=(const QtMainQueue&) = delete;

    void post(std::function<void()> work) override;
    void postSync(std::function<void()> work) override;

    // Posted work that has not run yet.
    int pending() const;
    // From now on nothing posted runs, and every waiting caller returns.
    void close();

    struct State;

private:
    std::shared_ptr<State> state_;
    std::unique_ptr<QObject> context_;
};

} // namespace orvenda
