#pragma once

#include "ZelkoraPelorin.h"

#include <atomic>
#include <memory>
#include <vector>

namespace zpp
{
// Normalized value that selects mode k: the grid the editor writes.
inline float modeValue (int mode) { return (float) (mode + 1) / 11.0f; }

// A processor as a host leaves it after choosing a layout: buses enabled
// (1 or 2 inputs into stereo), rate and block size known, prepared.
std::unique_ptr<ZelkoraPelorin> makeProcessor (int numInputs, double sampleRate = 48000.0, int blockSize = 512);

// Fast, deep, strong feedback, negative manual: every part of a mode busy.
void setBusy (ZelkoraPelorin& p, int mode);

// Deterministic material, different on the two channels, peak about 0.6.
juce::AudioBuffer<float> testSignal (int numSamples, double sampleRate = 48000.0);

// Runs [from, from + numBlocks * blockSize) of the input through processBlock
// (or processBlockBypassed) in place and returns the output.
juce::AudioBuffer<float> run (ZelkoraPelorin& p, const juce::AudioBuffer<float>& input, int from,
                              int numBlocks, int blockSize, bool bypassed = false);

bool bitEqual (const float* a, const float* b, int n);

// Lets the message thread (this thread) deliver pending asynchronous messages
// for about the given time.
void pumpMessages (int milliseconds);

// Heap allocations counted while `counting` is set (any thread); the test
// binary replaces the global operator new family to maintain it.
struct AllocationCounter
{
    static std::atomic<bool> counting;
    static std::atomic<long> count;
};

// Counts allocations for its lifetime.
class ScopedAllocationCount
{
public:
    ScopedAllocationCount() { AllocationCounter::count = 0; AllocationCounter::counting = true; }
    ~ScopedAllocationCount() { AllocationCounter::counting = false; }
    long get() const { return AllocationCounter::count.load(); }
};
} // namespace zpp
