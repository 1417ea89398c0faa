#include "AllocationHooks.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {
thread_local std::size_t failAbove = 0;
thread_local bool counting = false;
thread_local int allocations = 0;
thread_local bool measuring = false;
thread_local long long held = 0;
thread_local long long mostHeld = 0;

void* allocate(std::size_t size) noexcept
{
    if (failAbove != 0 && size > failAbove)
        return nullptr;
    if (counting)
        ++allocations;
    void* p = std::malloc(size ? size : 1);
    if (measuring && p) {
        held += static_cast<long long>(malloc_usable_size(p));
        mostHeld = std::max(mostHeld, held);
    }
    return p;
}

void releaseBlock(void* p) noexcept
{
    if (measuring && p)
        held -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
} // namespace

namespace orvenda::test {

FailLargeAllocations::FailLargeAllocations(std::size_t bytes) { failAbove = bytes; }
FailLargeAllocations::~FailLargeAllocations() { failAbove = 0; }

CountAllocations::CountAllocations()
{
    allocations = 0;
    counting = true;
}
CountAllocations::~CountAllocations() { counting = false; }
int CountAllocations::count() const { return allocations; }

PeakAllocation::PeakAllocation()
{
    held = mostHeld = 0;
    measuring = true;
}
PeakAllocation::~PeakAllocation() { measuring = false; }
std::size_t PeakAllocation::bytes() const { return static_cast<std::size_t>(mostHeld); }

} // namespace orvenda::test

// The replacement pair is malloc/free throughout; GCC cannot see that across inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}
// Every non-aligned form is replaced so that each allocation pairs with free.
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { releaseBlock(p); }
void operator delete[](void* p) noexcept { releaseBlock(p); }
void operator delete(void* p, std::size_t) noexcept { releaseBlock(p); }
void operator delete[](void* p, std::size_t) noexcept { releaseBlock(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { releaseBlock(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { releaseBlock(p); }
#pragma GCC diagnostic pop
