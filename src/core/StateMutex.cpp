#include "core/StateMutex.h"

namespace orvenda {

void StateMutex::lockFirst()
{
    waiting_.fetch_add(1, std::memory_order_relaxed);
    mutex_.lock();
    waiting_.fetch_sub(1, std::memory_order_relaxed);
    take();
}

bool StateMutex::try_lock()
{
    if (owner_.load(std::memory_order_relaxed) == thisThread()) {
        ++depth_;
        return true;
    }
    if (!mutex_.try_lock())
        return false;
    take();
    return true;
}

void StateMutex::unlockLast()
{
    owner_.store(nullptr, std::memory_order_relaxed);
    mutex_.unlock();
}

void StateMutex::take()
{
    owner_.store(thisThread(), std::memory_order_relaxed);
    depth_ = 1;
    acquisitions_.fetch_add(1, std::memory_order_relaxed);
}

void StateMutex::letWaiterIn()
{
    if (depth_ != 1)
        return;
    const unsigned taken = acquisitions_.load(std::memory_order_relaxed);
    unlock();
    // A woken waiter needs a moment to be scheduled; without this wait the holder would
    // take the lock straight back. Bounded, in case the waiter is slow to run.
    constexpr int kMaxYields = 2000;
    for (int i = 0; i < kMaxYields && acquisitions_.load(std::memory_order_relaxed) == taken
                    && waiting_.load(std::memory_order_relaxed) > 0;
         ++i)
        std::this_thread::yield();
    lock();
}

} // namespace orvenda
