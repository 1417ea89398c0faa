#pragma once

// The test binary replaces the global allocation functions (AllocationHooks.cpp) so that a
// test can make large allocations fail or count the allocations a piece of code makes. Both
// act on the calling thread only.

#include <cstddef>

namespace orvenda::test {

// While alive, every allocation above the size throws bad_alloc (nothrow forms give null).
struct FailLargeAllocations {
    explicit FailLargeAllocations(std::size_t bytes);
    ~FailLargeAllocations();
    FailLargeAllocations(const FailLargeAllocations&) = delete;
    FailLargeAllocations& operator=(const FailLargeAllocations&) = delete;
};

// Counts the allocations made while alive.
class CountAllocations {
public:
    CountAllocations();
    ~CountAllocations();
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;
    int count() const;
};

} // namespace orvenda::test
