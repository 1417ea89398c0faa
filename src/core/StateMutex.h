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

    void lock()
    {
        const void* me = thisThread();
        if (owner_.load(std::memory_order_relaxed) == me) {
            ++depth_;
            return;
        }
        waiting_.fetch_add(1, std::memory_order_relaxed);
        mutex_.lock();
        waiting_.fetch_sub(1, std::memory_order_relaxed);
        take(me);
    }

    bool try_lock()
    {
        const void* me = thisThread();
        if (owner_.load(std::memory_order_relaxed) == me) {
            ++depth_;
            return true;
        }
        if (!mutex_.try_lock())
            return false;
        take(me);
        return true;
    }

    void unlock()
    {
        if (--depth_ > 0)
            return;
        owner_.store(nullptr, std::memory_order_relaxed);
        mutex_.unlock();
    }

    bool heldByThisThread() const { return owner_.load(std::memory_order_relaxed) == thisThread(); }

    // Between two steps of the holder's work: when another thread waits for the lock, it
    // gets it before the holder goes on. Only an outermost hold yields.
    void yieldToWaiters();

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
    void take(const void* me)
    {
        owner_.store(me, std::memory_order_relaxed);
        depth_ = 1;
        acquisitions_.fetch_add(1, std::memory_order_relaxed);
    }

    std::mutex mutex_;
    std::atomic<const void*> owner_{nullptr};
    // Holds of the owner; touched by the owner only.
    int depth_ = 0;
    std::atomic<int> waiting_{0};
    std::atomic<unsigned> acquisitions_{0};
};

} // namespace orvenda
