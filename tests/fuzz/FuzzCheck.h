#pragma once

// A fuzz target's own check: a failed one stops the run where libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

namespace orvenda::fuzz {

inline void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

} // namespace orvenda::fuzz
