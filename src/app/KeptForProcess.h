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
#include <sanitizer/lsan_interface.h>
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

} // namespace orvenda
