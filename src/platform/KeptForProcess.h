#pragma once

// What a library allocates once and keeps until the process ends, by design (Qt's gesture
// recognizers), is no leak. Run inside keptForProcess, it is not reported by the leak
// checker of the sanitizer builds; so the leak check at every test process's exit finds
// nothing to look up, instead of symbolizing a stack only to match a suppression. Elsewhere
// the call simply runs.

#include <utility>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define ORVENDA_LEAK_CHECKED 1
#endif
#endif
#if !defined(ORVENDA_LEAK_CHECKED) && defined(__SANITIZE_ADDRESS__)
#define ORVENDA_LEAK_CHECKED 1
#endif

#ifdef ORVENDA_LEAK_CHECKED
#include <QSemaphore>
#include <QThreadPool>

#include <sanitizer/lsan_interface.h>

#include <memory>
#endif

namespace orvenda {

template <class F>
decltype(auto) keptForProcess(F&& f)
{
#ifdef ORVENDA_LEAK_CHECKED
    const __lsan::ScopedDisabler notLeaks;
#endif
    return std::forward<F>(f)();
}

// The painter fills a large area on Qt's global thread pool. Its threads end after a while
// idle and at the process's exit, and one still ending as the leak check runs leaves its
// thread data behind, reported now and then at random. In the sanitizer builds the pool's
// threads are all made here, where that data is kept for the process, and never end idle:
// no pool thread is made anywhere else. Elsewhere nothing is done. After the application
// object is made.
inline void keepPoolThreadsForProcess()
{
#ifdef ORVENDA_LEAK_CHECKED
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    // Every thread holds its task until all have started, so none is reused for the next.
    const auto started = std::make_shared<QSemaphore>(), go = std::make_shared<QSemaphore>();
    keptForProcess([&] {
        for (int i = 0; i < threads; ++i)
            pool->start([started, go] {
                started->release();
                go->acquire();
            });
    });
    started->acquire(threads);
    go->release(threads);
#endif
}

} // namespace orvenda
