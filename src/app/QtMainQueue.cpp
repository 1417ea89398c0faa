#include "app/QtMainQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace orvenda {

// The work travels in the queue's own deque, under its own mutex; Qt carries only an empty
// event from the worker to the main thread. So everything the two threads share is
// guarded by a lock ThreadSanitizer sees, as well as by Qt's.
struct QtMainQueue::State {
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<std::function<void()>> works;
    bool closed = false;
    int pending = 0;
};

namespace {

const QEvent::Type kWorkEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Runs the oldest piece of posted work for each event it receives.
class WorkReceiver : public QObject {
public:
    explicit WorkReceiver(std::weak_ptr<QtMainQueue::State> state) : state_(std::move(state)) {}

    bool event(QEvent* e) override;

private:
    std::weak_ptr<QtMainQueue::State> state_;
};

} // namespace

bool WorkReceiver::event(QEvent* e)
{
    const std::shared_ptr<QtMainQueue::State> state = state_.lock();
    if (!state)
        return QObject::event(e);
    std::function<void()> work;
    bool isWork = false;
    {
        // The lock comes before the event is read at all: the event was made on the posting
        // thread, and this lock, not Qt's, is what orders it before this read for
        // ThreadSanitizer.
        std::lock_guard lock(state->mutex);
        isWork = e->type() == kWorkEvent;
        if (isWork) {
            if (state->works.empty())
                return true;
            work = std::move(state->works.front());
            state->works.pop_front();
            --state->pending;
            if (state->closed)
                return true;
        }
    }
    if (!isWork)
        return QObject::event(e);
    if (work)
        work();
    return true;
}

QtMainQueue::QtMainQueue() : state_(std::make_shared<State>()), context_(std::make_unique<WorkReceiver>(state_)) {}

QtMainQueue::~QtMainQueue() { close(); }

void QtMainQueue::post(std::function<void()> work)
{
    // Made before the work is queued, so that the main thread, which takes the work under
    // the mutex, has seen the event made by the time Qt frees it.
    auto* event = new QEvent(kWorkEvent);
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) {
            delete event;
            return;
        }
        state_->works.push_back(std::move(work));
        ++state_->pending;
    }
    QCoreApplication::postEvent(context_.get(), event);
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
