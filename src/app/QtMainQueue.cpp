#include "app/QtMainQueue.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace orvenda {

struct QtMainQueue::State {
    std::mutex mutex;
    std::condition_variable finished;
    bool closed = false;
    int pending = 0;
};

QtMainQueue::QtMainQueue()
    : state_(std::make_shared<State>()), context_(std::make_unique<QObject>())
{
}

QtMainQueue::~QtMainQueue() { close(); }

void QtMainQueue::post(std::function<void()> work)
{
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed)
            return;
        ++state_->pending;
    }
    QMetaObject::invokeMethod(
        context_.get(),
        [state = state_, work = std::move(work)] {
            bool closed;
            {
                std::lock_guard lock(state->mutex);
                --state->pending;
                closed = state->closed;
            }
            if (!closed)
                work();
        },
        Qt::QueuedConnection);
}

void QtMainQueue::postSync(std::function<void()> work)
{
    if (QThread::currentThread() == context_->thread()) {
        work();
        return;
    }
    auto done = std::make_shared<bool>(false);
    post([state = state_, done, work = std::move(work)] {
        work();
        std::lock_guard lock(state->mutex);
        *done = true;
        state->finished.notify_all();
    });
    std::unique_lock lock(state_->mutex);
    state_->finished.wait(lock, [&] { return *done || state_->closed; });
}

int QtMainQueue::pending() const
{
    std::lock_guard lock(state_->mutex);
    return state_->pending;
}

void QtMainQueue::close()
{
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
    state_->finished.notify_all();
}

} // namespace orvenda
