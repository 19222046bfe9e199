// The test binary's main: JUCE's message manager for change messages, and a
// heap allocation counter that tests switch on around the code they check.

#include "JuceTestMain.h"
#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// Every heap allocation of the code linked into this binary (tests, the
// processor, JUCE, the engine) ends in malloc, calloc or realloc: the link
// wraps those three (-Wl,--wrap) and the C++ allocation functions below
// forward to malloc, so one counter sees them all.
extern "C"
{
void* __real_malloc (std::size_t);
void* __real_calloc (std::size_t, std::size_t);
void* __real_realloc (void*, std::size_t);

static void noteAllocation()
{
    if (zpp::AllocationCounter::counting.load (std::memory_order_relaxed))
        zpp::AllocationCounter::count.fetch_add (1, std::memory_order_relaxed);
}

void* __wrap_malloc (std::size_t size)
{
    noteAllocation();
    return __real_malloc (size);
}

void* __wrap_calloc (std::size_t n, std::size_t size)
{
    noteAllocation();
    return __real_calloc (n, size);
}

void* __wrap_realloc (void* p, std::size_t size)
{
    noteAllocation();
    return __real_realloc (p, size);
}
}

namespace
{
void* countedAlloc (std::size_t size)
{
    return std::malloc (size == 0 ? 1 : size);
}

void* countedAlignedAlloc (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    void* p = nullptr;
    const auto a = std::max ((std::size_t) alignment, sizeof (void*));
    return posix_memalign (&p, a, size == 0 ? 1 : size) == 0 ? p : nullptr;
}
} // namespace

void* operator new (std::size_t size)
{
    if (void* p = countedAlloc (size))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size)
{
    if (void* p = countedAlloc (size))
        return p;
    throw std::bad_alloc();
}

void* operator new (std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc (size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc (size); }

void* operator new (std::size_t size, std::align_val_t a)
{
    if (void* p = countedAlignedAlloc (size, a))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size, std::align_val_t a)
{
    if (void* p = countedAlignedAlloc (size, a))
        return p;
    throw std::bad_alloc();
}

void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

int main (int argc, char** argv)
{
    return zptest::runAllTestsWithJuce (argc, argv);
}
