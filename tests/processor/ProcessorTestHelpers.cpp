#include "ProcessorTestHelpers.h"

#include <cmath>
#include <cstring>

namespace juce
{
// JUCE's Linux message loop step (juce_linux_Messaging.cpp). The shared code
// is built without modal loops, so MessageManager::runDispatchLoopUntil does
// not exist there; JUCE's own plug-in message thread drives this instead.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace zpp
{
std::atomic<bool> AllocationCounter::counting { false };
std::atomic<long> AllocationCounter::count { 0 };

std::unique_ptr<ZelkoraPelorin> makeProcessor (int numInputs, double sampleRate, int blockSize)
{
    auto p = std::make_unique<ZelkoraPelorin>();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (numInputs == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo());
    layout.outputBuses.add (juce::AudioChannelSet::stereo());
    p->setBusesLayout (layout);
    p->setRateAndBufferSizeDetails (sampleRate, blockSize);
    p->prepareToPlay (sampleRate, blockSize);
    return p;
}

void setBusy (ZelkoraPelorin& p, int mode)
{
    p.setParameter (ZPlug_Pelorin::eRate, 0.9f);
    p.setParameter (ZPlug_Pelorin::eDepth, 0.7f);
    p.setParameter (ZPlug_Pelorin::eFeedback, 0.9f);
    p.setParameter (ZPlug_Pelorin::eManual, 0.3f);
    p.setParameter (ZPlug_Pelorin::eMode, modeValue (mode));
}

juce::AudioBuffer<float> testSignal (int numSamples, double sampleRate)
{
    juce::AudioBuffer<float> b (2, numSamples);
    uint32_t lcg = 12345u; // own generator: the engine's noise owns the C library's rand()
    for (int i = 0; i < numSamples; ++i)
    {
        const double t = i / sampleRate;
        lcg = lcg * 1664525u + 1013904223u;
        const float noise = ((float) (lcg >> 8) / 16777216.0f - 0.5f) * 0.02f;
        b.setSample (0, i, (float) (0.35 * std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * t)
                                    + 0.2 * std::sin (2.0 * juce::MathConstants<double>::pi * 3150.0 * t))
                               + noise);
        b.setSample (1, i, (float) (0.3 * std::sin (2.0 * juce::MathConstants<double>::pi * 330.0 * t + 1.0)
                                    + 0.25 * std::sin (2.0 * juce::MathConstants<double>::pi * 5100.0 * t))
                               - noise);
    }
    return b;
}

juce::AudioBuffer<float> run (ZelkoraPelorin& p, const juce::AudioBuffer<float>& input, int from,
                              int numBlocks, int blockSize, bool bypassed)
{
    juce::AudioBuffer<float> out (2, numBlocks * blockSize);
    juce::AudioBuffer<float> block (2, blockSize);
    juce::MidiBuffer midi;

    for (int b = 0; b < numBlocks; ++b)
    {
        const int start = from + b * blockSize;
        for (int ch = 0; ch < 2; ++ch)
            block.copyFrom (ch, 0, input, ch, start, blockSize);

        if (bypassed)
            p.processBlockBypassed (block, midi);
        else
            p.processBlock (block, midi);

        for (int ch = 0; ch < 2; ++ch)
            out.copyFrom (ch, b * blockSize, block, ch, 0, blockSize);
    }
    return out;
}

bool bitEqual (const float* a, const float* b, int n)
{
    return std::memcmp (a, b, (size_t) n * sizeof (float)) == 0;
}

void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}
} // namespace zpp
