#pragma once

#include <atomic>
#include <mutex>

namespace orvenda {

// The lock over the calculator's values and modes. A thread may take it again while it
// holds it (an evaluation nested in another, a handler calling a locking getter), and a
// holder working through a long series of steps lets a waiting thread in between steps,
// so a program looping on the program queue never shuts the main thread out. Letting a
// waiter in is a handshake: the holder gives the lock up and sleeps until the waiter has
// taken it, so the waiter cannot miss its turn however late it is scheduled.
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

    // Whether taking the lock while holding a leaf lock (LeafMutex) stops the process: on
    // from the start in every build, so every test checks the lock order; an optimized app
    // turns it off before it starts.
    static void setOrderChecked(bool checked);

    // Between two steps of the holder's work: when another thread waits for the lock, it
    // gets it before the holder goes on. Only an outermost hold yields.
    void yieldToWaiters()
    {
        if (hasWaiters())
            letWaiterIn();
    }
    // Within one long step (a numeric routine evaluating its function again and again):
    // when another thread waits for the lock, every hold of the caller is given up until
    // that thread has had it, then taken back as deep as before. Only for a caller that
    // keeps no reference into what the lock guards across the call.
    void offerToWaiters()
    {
        if (hasWaiters() && heldByThisThread())
            letWaiterInFromAnyDepth();
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
    [[gnu::cold]] void letWaiterInFromAnyDepth();
    // Gives the lock up and sleeps until another thread has taken it, then takes it back.
    void handOverAndTakeBack();
    [[gnu::cold]] void unlockLast();
    void take();

    std::mutex mutex_;
    std::atomic<const void*> owner_{nullptr};
    // Holds of the owner; touched by the owner only.
    int depth_ = 0;
    std::atomic<int> waiting_{0};
    std::atomic<unsigned> acquisitions_{0};
    // A holder sleeps on acquisitions_ until a waiter has taken the lock.
    std::atomic<bool> handingOver_{false};
};

} // namespace orvenda
