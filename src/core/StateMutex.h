#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace orvenda {

// The lock over the calculator's values and modes. A thread may take it again while it
// holds it (an evaluation nested in another, a handler calling a locking getter), and a
// holder working through a long series of steps lets a waiting thread in between steps,
// so a program looping on the program queue never shuts the main thread out.
class StateMutex {
public:
    StateMutex() = default;
    StateMutex(const StateMutex&) = delete;
    StateMutex& operator=(const StateMutex&) = delete;

    // The hold already there is only counted; taking the lock and letting it go are kept
    // out of line, so the many places that take it again stay small.
    void lock()
    {
        if (owner_.load(std::memory_order_relaxed) == thisThread())
            ++depth_;
        else
            lockFirst();
    }

    bool try_lock();

    void unlock()
    {
        if (--depth_ == 0)
            unlockLast();
    }

    bool heldByThisThread() const { return owner_.load(std::memory_order_relaxed) == thisThread(); }

    // Between two steps of the holder's work: when another thread waits for the lock, it
    // gets it before the holder goes on. Only an outermost hold yields.
    void yieldToWaiters()
    {
        if (hasWaiters())
            letWaiterIn();
    }
    // Another thread waits for the lock.
    bool hasWaiters() const { return waiting_.load(std::memory_order_relaxed) != 0; }

    // While it lives, the calling thread gives up all its holds (to wait for a thread that
    // may need the lock); they are taken back, as deep as before, when it ends.
    class Released {
    public:
        explicit Released(StateMutex& mutex) : mutex_(mutex), depth_(mutex.heldByThisThread() ? mutex.depth_ : 0)
        {
            if (depth_ > 0) {
                mutex_.depth_ = 1;
                mutex_.unlock();
            }
        }
        ~Released()
        {
            if (depth_ > 0) {
                mutex_.lock();
                mutex_.depth_ = depth_;
            }
        }
        Released(const Released&) = delete;
        Released& operator=(const Released&) = delete;

    private:
        StateMutex& mutex_;
        int depth_;
    };

private:
    // A thread's identity: the address of a variable each thread has its own of, cheaper
    // to find than the thread's id (the lock is taken again on every variable read).
    static const void* thisThread()
    {
        static thread_local const char tag = 0;
        return &tag;
    }
    [[gnu::cold]] void lockFirst();
    void letWaiterIn();
    [[gnu::cold]] void unlockLast();
    void take();

    std::mutex mutex_;
    std::atomic<const void*> owner_{nullptr};
    // Holds of the owner; touched by the owner only.
    int depth_ = 0;
    std::atomic<int> waiting_{0};
    std::atomic<unsigned> acquisitions_{0};
};

} // namespace orvenda
