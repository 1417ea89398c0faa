#include "core/StateMutex.h"

#include "core/LeafMutex.h"

#include <cstdio>
#include <cstdlib>

namespace orvenda {

namespace {

std::atomic<bool> orderChecked{true};

} // namespace

void StateMutex::setOrderChecked(bool checked) { orderChecked.store(checked, std::memory_order_relaxed); }

void StateMutex::lockFirst()
{
    // The state lock comes before every leaf lock: taken after one, it could deadlock.
    if (LeafMutex::heldByThisThread() != 0 && orderChecked.load(std::memory_order_relaxed)) {
        std::fputs("orvenda: the state lock was taken while a model's or the program queue's lock was held\n", stderr);
        std::abort();
    }
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
    acquisitions_.fetch_add(1, std::memory_order_release);
    if (handingOver_.load(std::memory_order_acquire))
        acquisitions_.notify_all();
}

void StateMutex::letWaiterIn()
{
    if (depth_ != 1)
        return;
    handOverAndTakeBack();
}

void StateMutex::letWaiterInFromAnyDepth()
{
    const int depth = depth_;
    depth_ = 1;
    handOverAndTakeBack();
    depth_ = depth;
}

void StateMutex::handOverAndTakeBack()
{
    // Every waiter counted is blocked in (or about to enter) mutex_.lock(), so one of them
    // takes the lock once it is free: the sleep below ends when one has.
    const unsigned taken = acquisitions_.load(std::memory_order_acquire);
    handingOver_.store(true, std::memory_order_release);
    unlock();
    acquisitions_.wait(taken, std::memory_order_acquire);
    handingOver_.store(false, std::memory_order_relaxed);
    lock();
}

} // namespace orvenda
