// The block frame as a host drives it: channel routing for mono and stereo
// input, mix 0, bypass and return, empty blocks, the first block's sample
// rate, host resets and degenerate buffers.

#include "ProcessorTestHelpers.h"
#include "ZMod_NoDenormals.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zpp;

namespace
{
constexpr int kBlock = 512;

int nonZeroSlots (const ZMod_DelayLine& d)
{
    int count = 0;
    for (int64_t i = 0; i < d.GetLength(); ++i)
        count += d.GetBuffer()[i] != 0.0f;
    return count;
}

// A mono-input host leaves whatever it likes in the second channel.
juce::AudioBuffer<float> withJunkInChannel1 (juce::AudioBuffer<float> b)
{
    for (int i = 0; i < b.getNumSamples(); ++i)
        b.setSample (1, i, (i % 7 == 0) ? 0.9f : -0.4f);
    return b;
}
} // namespace

class EveryMode : public ::testing::TestWithParam<int>
{
};

TEST_P (EveryMode, MixZeroPassesTheInputBitForBit)
{
    const auto in = testSignal (8 * kBlock);

    for (int inputs : { 2, 1 })
    {
        SCOPED_TRACE (inputs == 1 ? "mono in" : "stereo in");
        auto p = makeProcessor (inputs);
        setBusy (*p, GetParam());
        p->setParameter (ZPlug_Pelorin::eMix, 0.0f);

        const auto source = inputs == 1 ? withJunkInChannel1 (in) : in;
        const auto out = run (*p, source, 0, 8, kBlock);
        const int rightSource = inputs == 1 ? 0 : 1;
        EXPECT_TRUE (bitEqual (out.getReadPointer (0), in.getReadPointer (0), out.getNumSamples()));
        EXPECT_TRUE (bitEqual (out.getReadPointer (1), in.getReadPointer (rightSource), out.getNumSamples()));

        // The engine kept running underneath the silent wet path.
        EXPECT_GT (nonZeroSlots (p->getEngine().Dl[0]), kBlock);
    }
}

// With one input the engine's two halves are both fed from channel 0; the
// second buffer channel is output only.
TEST_P (EveryMode, MonoInputFeedsBothHalves)
{
    const auto in = testSignal (6 * kBlock);
    juce::AudioBuffer<float> dualMono (2, in.getNumSamples());
    dualMono.copyFrom (0, 0, in, 0, 0, in.getNumSamples());
    dualMono.copyFrom (1, 0, in, 0, 0, in.getNumSamples());

    auto mono = makeProcessor (1);
    setBusy (*mono, GetParam());
    srand (77);
    const auto monoOut = run (*mono, withJunkInChannel1 (in), 0, 6, kBlock);

    auto stereo = makeProcessor (2);
    setBusy (*stereo, GetParam());
    srand (77);
    const auto stereoOut = run (*stereo, dualMono, 0, 6, kBlock);

    for (int ch = 0; ch < 2; ++ch)
        EXPECT_TRUE (bitEqual (monoOut.getReadPointer (ch), stereoOut.getReadPointer (ch), monoOut.getNumSamples()))
            << "channel " << ch;
}

// Bypassed blocks copy the input and leave the engine exactly where it was.
// rand() is process-wide: each processor runs its whole sequence after the
// same srand, and bypassed blocks draw nothing.
TEST_P (EveryMode, BypassCopiesAndProcessingResumesWhereItStopped)
{
    const auto in = testSignal (16 * kBlock);
    const int a = 5, bypassed = 3, b = 5;

    for (int inputs : { 2, 1 })
    {
        SCOPED_TRACE (inputs == 1 ? "mono in" : "stereo in");
        const auto source = inputs == 1 ? withJunkInChannel1 (in) : in;

        auto withBypass = makeProcessor (inputs);
        setBusy (*withBypass, GetParam());
        srand (4242);
        run (*withBypass, source, 0, a, kBlock);
        const auto copied = run (*withBypass, source, a * kBlock, bypassed, kBlock, true);
        const auto resumed = run (*withBypass, source, (a + bypassed) * kBlock, b, kBlock);

        auto straight = makeProcessor (inputs);
        setBusy (*straight, GetParam());
        srand (4242);
        run (*straight, source, 0, a, kBlock);
        const auto expected = run (*straight, source, (a + bypassed) * kBlock, b, kBlock);

        const int n = bypassed * kBlock;
        const int rightSource = inputs == 1 ? 0 : 1;
        EXPECT_TRUE (bitEqual (copied.getReadPointer (0), source.getReadPointer (0, a * kBlock), n));
        EXPECT_TRUE (bitEqual (copied.getReadPointer (1), source.getReadPointer (rightSource, a * kBlock), n));

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_TRUE (bitEqual (resumed.getReadPointer (ch), expected.getReadPointer (ch), b * kBlock))
                << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P (Modes, EveryMode, ::testing::Range (0, 11));

TEST (ProcessorFrame, AnEmptyBlockChangesNothing)
{
    const auto in = testSignal (8 * kBlock);
    juce::MidiBuffer midi;

    for (bool resetPending : { false, true })
    {
        SCOPED_TRACE (resetPending ? "with a reset pending" : "plain");
        auto withEmpty = makeProcessor (2);
        setBusy (*withEmpty, 2);
        srand (99);
        run (*withEmpty, in, 0, 4, kBlock);
        if (resetPending)
            withEmpty->reset();
        juce::AudioBuffer<float> empty (2, 0);
        withEmpty->processBlock (empty, midi);
        const auto after = run (*withEmpty, in, 4 * kBlock, 4, kBlock);

        auto without = makeProcessor (2);
        setBusy (*without, 2);
        srand (99);
        run (*without, in, 0, 4, kBlock);
        if (resetPending)
            without->reset();
        const auto expected = run (*without, in, 4 * kBlock, 4, kBlock);

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_TRUE (bitEqual (after.getReadPointer (ch), expected.getReadPointer (ch), after.getNumSamples()));
    }
}

// The first block brings the engine to the host's rate; what follows is what
// an engine built for that rate produces. 48000 Hz keeps the construction values.
TEST (ProcessorFrame, FirstBlockRunsAtTheHostRate)
{
    for (int rate : { 44100, 48000, 96000 })
    {
        SCOPED_TRACE (rate);
        const auto in = testSignal (6 * kBlock, rate);

        auto p = makeProcessor (2, rate);
        setBusy (*p, 1);
        srand (5);
        const auto out = run (*p, in, 0, 6, kBlock);

        auto e = std::make_unique<ZPlug_Pelorin>();
        for (int i = 0; i < 6; ++i)
            e->SetParameter (i, ZelkoraPelorin::kDefaultValues[i]);
        e->SetParameter (ZPlug_Pelorin::eRate, 0.9f);
        e->SetParameter (ZPlug_Pelorin::eDepth, 0.7f);
        e->SetParameter (ZPlug_Pelorin::eFeedback, 0.9f);
        e->SetParameter (ZPlug_Pelorin::eManual, 0.3f);
        e->SetParameter (ZPlug_Pelorin::eMode, modeValue (1));
        e->SetSampleRate (rate);
        EXPECT_EQ (e->GetSampleRate(), (float) rate);

        juce::AudioBuffer<float> expected (in);
        srand (5);
        {
            ZMod_NoDenormals noDenormals;
            for (int b = 0; b < 6; ++b)
            {
                const float* ins[2] = { in.getReadPointer (0, b * kBlock), in.getReadPointer (1, b * kBlock) };
                float* outs[2] = { expected.getWritePointer (0, b * kBlock), expected.getWritePointer (1, b * kBlock) };
                e->Process (ins, outs, kBlock);
            }
        }

        EXPECT_EQ (p->getEngine().GetSampleRate(), (float) rate);
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_TRUE (bitEqual (out.getReadPointer (ch), expected.getReadPointer (ch), out.getNumSamples()));
    }
}

// A host reset between blocks: the next block starts on cleared delay memory.
// After one sample each line holds at most the sample just written.
TEST (ProcessorFrame, HostResetClearsTheDelayMemoryBeforeTheNextBlock)
{
    const auto in = testSignal (4 * kBlock);
    auto p = makeProcessor (2);
    setBusy (*p, 9); // the ensemble modes write D0..D3
    run (*p, in, 0, 4, kBlock);
    for (int i = 0; i < 4; ++i)
        ASSERT_GT (nonZeroSlots (p->getEngine().Dl[i]), kBlock) << "line " << i;

    p->reset();
    juce::AudioBuffer<float> one (2, 1);
    one.clear();
    juce::MidiBuffer midi;
    p->processBlock (one, midi);

    for (const auto& line : p->getEngine().Dl)
        EXPECT_LE (nonZeroSlots (line), 1);
}

TEST (ProcessorFrame, BuffersWithoutChannelsAreHarmless)
{
    for (int inputs : { 1, 2 })
    {
        auto p = makeProcessor (inputs);
        juce::AudioBuffer<float> none (0, kBlock);
        juce::MidiBuffer midi;
        p->processBlock (none, midi);
        p->processBlockBypassed (none, midi);

        // Still processes normally afterwards.
        const auto in = testSignal (kBlock);
        const auto out = run (*p, in, 0, 1, kBlock);
        EXPECT_FALSE (bitEqual (out.getReadPointer (0), in.getReadPointer (0), kBlock));
    }
}
