// Nothing on the audio thread allocates: processBlock in every mode and at
// several block sizes, including the first block at a new sample rate, a
// mode change's pending clear, a host reset and bypassed blocks.

#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

using namespace zpp;

class NoAllocation : public ::testing::TestWithParam<std::tuple<int, int>>
{
};

TEST_P (NoAllocation, InsideTheAudioCallbacks)
{
    const int mode = std::get<0> (GetParam());
    const int blockSize = std::get<1> (GetParam());

    // 44100 Hz: the first block also performs the sample-rate change.
    auto p = makeProcessor (2, 44100.0, blockSize);
    setBusy (*p, mode);
    auto buffer = testSignal (blockSize, 44100.0);
    juce::MidiBuffer midi;

    long allocations = 0;
    auto processCounted = [&] (bool bypassed)
    {
        ScopedAllocationCount counter;
        if (bypassed)
            p->processBlockBypassed (buffer, midi);
        else
            p->processBlock (buffer, midi);
        allocations += counter.get();
    };

    // Sanity: the counter does see an allocation.
    {
        ScopedAllocationCount counter;
        auto probe = std::make_unique<int> (1);
        ASSERT_GE (counter.get(), 1);
    }

    for (int b = 0; b < 3; ++b)
        processCounted (false);

    p->setParameter (ZPlug_Pelorin::eMode, modeValue ((mode + 1) % 11)); // clears at the next block
    processCounted (false);
    p->reset();
    processCounted (false);
    processCounted (true);
    processCounted (false);

    EXPECT_EQ (allocations, 0);
}

INSTANTIATE_TEST_SUITE_P (ModesAndBlockSizes, NoAllocation,
                          ::testing::Combine (::testing::Range (0, 11), ::testing::Values (1, 64, 512, 4096)));
