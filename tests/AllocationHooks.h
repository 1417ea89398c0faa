#pragma once

// The test binary replaces the global allocation functions (AllocationHooks.cpp) so that a
// test can make large allocations fail, count the allocations a piece of code makes or
// measure the most memory it holds at once. Each acts on the calling thread only.

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

// The most bytes held at once by what is allocated while alive (what was allocated before
// and freed meanwhile lowers the count, so the figure errs low by at most that).
class PeakAllocation {
public:
    PeakAllocation();
    ~PeakAllocation();
    PeakAllocation(const PeakAllocation&) = delete;
    PeakAllocation& operator=(const PeakAllocation&) = delete;
    std::size_t bytes() const;
};

} // namespace orvenda::test
