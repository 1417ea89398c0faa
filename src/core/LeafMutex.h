#pragma once

#include <mutex>

namespace orvenda {

// A lock at the end of the lock order: the models' and the program queue's own locks.
// While a thread holds one it takes no state lock (the state lock comes first), so two
// threads can never wait for each other across the two. The leaves each thread holds are
// counted, and taking the state lock with one held stops the program at once (in every
// build, tests included, unless the app turns the check off): the next inversion fails a
// test instead of hanging a user now and then.
class LeafMutex {
public:
    LeafMutex() = default;
    LeafMutex(const LeafMutex&) = delete;
    LeafMutex& operator=(const LeafMutex&) = delete;

    void lock()
    {
        mutex_.lock();
        count(1);
    }
    bool try_lock()
    {
        if (!mutex_.try_lock())
            return false;
        count(1);
        return true;
    }
    void unlock()
    {
        count(-1);
        mutex_.unlock();
    }

    // The leaves the calling thread holds.
    static int heldByThisThread() { return held(); }

private:
    static int& held()
    {
        static thread_local int n = 0;
        return n;
    }
    static void count(int step) { held() += step; }

    std::mutex mutex_;
};

} // namespace orvenda
