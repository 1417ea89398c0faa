#include "core/StateMutex.h"

namespace orvenda {

void StateMutex::yieldToWaiters()
{
    if (waiting_.load(std::memory_order_relaxed) == 0 || depth_ != 1)
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
