// The block frame: mix 0 passes the input bit for bit, empty blocks, mono
// and in-place buffers, sample-rate and mode changes between blocks.

#include "TestHelpers.h"
#include "ZMod_NoDenormals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace zpt;

namespace
{
// Busy settings: fast rate, deep, strong feedback, negative manual.
void SetBusy (ZPlug_Pelorin& e, int mode)
{
    e.SetParameter (ZPlug_Pelorin::eRate, 0.9f);
    e.SetParameter (ZPlug_Pelorin::eDepth, 0.7f);
    e.SetParameter (ZPlug_Pelorin::eFeedback, 0.9f);
    e.SetParameter (ZPlug_Pelorin::eManual, 0.3f);
    e.SetParameter (ZPlug_Pelorin::eMode, ModeValue (mode));
}

bool BuffersEqual (const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) == 0;
}

int NonZeroSlots (const ZMod_DelayLine& d)
{
    int count = 0;
    for (int64_t i = 0; i < d.GetLength(); ++i)
        count += d.GetBuffer()[i] != 0.0f;
    return count;
}
} // namespace

class FrameEveryMode : public ::testing::TestWithParam<int>
{
};

TEST_P (FrameEveryMode, MixZeroPassesInputBitForBitWhileTheEngineRuns)
{
    auto e = MakeEngine();
    SetBusy (*e, GetParam());
    e->SetParameter (ZPlug_Pelorin::eMix, 0.0f);
    const Stereo in = TestSignal (4000);
    const uint32_t phase0 = e->O0.phase, phase1 = e->O1.phase;
    const float g0 = e->G0.phase;

    // The dry path is a multiply by 1 plus 0 * wet: exact for every input.
    const Stereo out = RunEngine (*e, in, 500);
    EXPECT_TRUE (BuffersEqual (out.left, in.left));
    EXPECT_TRUE (BuffersEqual (out.right, in.right));

    // ... and the modulation, smoothing and lines kept running underneath.
    EXPECT_NE (e->smoothD, 0.0f);
    EXPECT_TRUE (e->O0.phase != phase0 || e->O1.phase != phase1 || e->G0.phase != g0);
    EXPECT_GT (NonZeroSlots (e->Dl[0]), 3000);
}

TEST_P (FrameEveryMode, MonoAndInPlaceBuffersMatchSeparateCopies)
{
    const int mode = GetParam();
    auto a = MakeEngine();
    auto b = MakeEngine();
    for (auto* e : { a.get(), b.get() })
    {
        SetBusy (*e, mode);
        e->SetParameter (ZPlug_Pelorin::eMix, 0.6f);
    }
    b->G0 = a->G0; // same random points (both seeded from the clock)
    b->G1 = a->G1;
    const Stereo src = TestSignal (3000);

    // a: separate buffers holding the same mono signal.
    Stereo in (src.size());
    in.left = src.left;
    in.right = src.left;
    srand (99);
    const Stereo ref = RunEngine (*a, in, 300);

    // b: one buffer as both inputs and the left output.
    std::vector<float> buf = src.left, right (src.size());
    srand (99);
    {
        ZMod_NoDenormals noDenormals;
        for (size_t pos = 0; pos < buf.size(); pos += 300)
        {
            const float* ins[2] = { buf.data() + pos, buf.data() + pos };
            float* outs[2] = { buf.data() + pos, right.data() + pos };
            b->Process (ins, outs, 300);
        }
    }
    EXPECT_TRUE (BuffersEqual (buf, ref.left));
    EXPECT_TRUE (BuffersEqual (right, ref.right));
}

INSTANTIATE_TEST_SUITE_P (AllModes, FrameEveryMode, ::testing::Range (0, 11),
    [] (const ::testing::TestParamInfo<int>& p) { return ModeName (p.param); });

TEST (Frame, EmptyBlockChangesNothingNotEvenAPendingReset)
{
    auto e = MakeEngine();
    SetBusy (*e, 9);
    RunEngine (*e, TestSignal (2000));
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (10)); // reset pending

    const uint32_t o0 = e->O0.phase, o1 = e->O1.phase;
    const float d = e->smoothD, lp = e->lowpassCoef, f0 = e->F[0], pre = e->preL.s;
    const int64_t w = e->Dl[0].GetWritePosition();
    const int filled = NonZeroSlots (e->Dl[0]);
    const float* ins[2] = { nullptr, nullptr };
    float* outs[2] = { nullptr, nullptr };
    e->Process (ins, outs, 0);
    e->Process (ins, outs, -5);
    EXPECT_EQ (e->O0.phase, o0);
    EXPECT_EQ (e->O1.phase, o1);
    EXPECT_EQ (e->smoothD, d);
    EXPECT_EQ (e->lowpassCoef, lp);
    EXPECT_EQ (e->F[0], f0);
    EXPECT_EQ (e->preL.s, pre);
    EXPECT_EQ (e->Dl[0].GetWritePosition(), w);
    EXPECT_EQ (NonZeroSlots (e->Dl[0]), filled);

    // The next real block still starts on cleared memory.
    RunEngine (*e, TestSignal (1));
    EXPECT_LE (NonZeroSlots (e->Dl[0]), 1);
}

TEST (Frame, ModeChangeStartsTheNextBlockOnClearedMemory)
{
    // Fill D0, D1 through Up, then switch to Doubler, which reads them 594
    // and 961 samples back: old audio there would come straight out.
    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eMix, 1.0f);
    e->SetParameter (ZPlug_Pelorin::eDepth, 0.0f);
    e->SetParameter (ZPlug_Pelorin::eManual, 0.89763535f); // +20 ms
    Stereo in = TestSignal (48000);
    // End on 300 samples of silence, so that the pre-emphasis state, which a
    // mode change keeps, has faded; the lines still hold a second of audio.
    std::fill (in.left.end() - 300, in.left.end(), 0.0f);
    std::fill (in.right.end() - 300, in.right.end(), 0.0f);
    RunEngine (*e, in);
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (6));
    const Stereo out = RunEngine (*e, Stereo (2000));
    // The de-emphasis state (pole 0.932) still carries Up's last wet output
    // for a few hundred samples; old audio would arrive from 594 samples on.
    EXPECT_LT (Peak (out.left, 300), 1e-3f);
    EXPECT_LT (Peak (out.right, 300), 1e-3f);
    for (const auto& h : e->H)
        EXPECT_LT (std::fabs (h.s), 1e-3f);
}

TEST (Frame, FirstBlockAtAnotherRateClearsAndRecomputes)
{
    auto e = MakeEngine();
    SetBusy (*e, 4); // Tri: uses D0, D1, D8, D9 and the allpass chain
    RunEngine (*e, TestSignal (20000));
    const float apState = e->A[0].s, emphasis = e->deL.s, f0 = e->F[0], d = e->smoothD;
    ASSERT_NE (apState, 0.0f);

    e->SetSampleRate (44100);
    for (int j = 0; j < 10; ++j)
    {
        EXPECT_EQ (NonZeroSlots (e->Dl[j]), 0) << j;
        EXPECT_EQ (e->Dl[j].GetInterpolatorState(), 0.0f) << j;
    }
    for (const auto& h : e->H)
        EXPECT_EQ (h.s, 0.0f);
    // Not touched by a rate change: allpass, emphasis, feedback and smoothing states.
    EXPECT_EQ (e->A[0].s, apState);
    EXPECT_EQ (e->deL.s, emphasis);
    EXPECT_EQ (e->F[0], f0);
    EXPECT_EQ (e->smoothD, d);
    EXPECT_NEAR (e->GetSmoothingCoefficient(), 1.0f - std::exp (-1000.0f / (300.0f * 44100.0f)), 1e-10f);

    // The same rate again is a no-op.
    RunEngine (*e, TestSignal (100));
    const int filled = NonZeroSlots (e->Dl[0]);
    e->SetSampleRate (44100);
    EXPECT_EQ (NonZeroSlots (e->Dl[0]), filled);
}
