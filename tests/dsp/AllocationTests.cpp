// Nothing on the audio thread may allocate: count every global operator new
// while the engine processes blocks of several sizes in every mode.

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> counting { false };
std::atomic<long> allocations { 0 };

void* CountedAlloc (std::size_t size)
{
    if (counting.load (std::memory_order_relaxed))
        allocations.fetch_add (1, std::memory_order_relaxed);
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

// GCC cannot see that these replacements pair malloc with free.
#if defined(__GNUC__) && ! defined(__clang__)
 #pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new (std::size_t size) { return CountedAlloc (size); }
void* operator new[] (std::size_t size) { return CountedAlloc (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return CountedAlloc (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return CountedAlloc (size); } catch (...) { return nullptr; }
}
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

using namespace zpt;

class NoAllocation : public ::testing::TestWithParam<int>
{
};

TEST_P (NoAllocation, ProcessingParameterAndRateChangesNeverAllocate)
{
    auto e = MakeEngine();
    const Stereo in = TestSignal (4096);
    Stereo out (4096);
    const float* ins[2] = { in.left.data(), in.right.data() };
    float* outs[2] = { out.left.data(), out.right.data() };

    allocations = 0;
    counting = true;
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (GetParam()));
    e->SetParameter (ZPlug_Pelorin::eFeedback, 0.8f);
    for (const int n : { 1, 7, 512, 4096 })
        e->Process (ins, outs, n);
    e->SetSampleRate (44100);
    e->SetParameter (ZPlug_Pelorin::eManual, 0.2f);
    e->Process (ins, outs, 512);
    counting = false;

    EXPECT_EQ (allocations.load(), 0);
}

TEST (NoAllocationCounter, SeesAnAllocation)
{
    allocations = 0;
    counting = true;
    auto* p = new std::vector<float> (16);
    counting = false;
    delete p;
    EXPECT_EQ (allocations.load(), 2);
}

INSTANTIATE_TEST_SUITE_P (AllModes, NoAllocation, ::testing::Range (0, 11),
    [] (const ::testing::TestParamInfo<int>& p) { return ModeName (p.param); });
