// Parameter warps and derived coefficients against the published cross-check
// values. Where a printed value and its own formula disagree, the formula in
// single precision holds: k is 6.9439e-5, the emphasis coefficients may sit
// an ulp from the printed ones, depth 0.5 gives 9.999999 ms.

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace zpt;

namespace
{
// Units in the last place between two floats of the same sign.
int UlpDistance (float a, float b)
{
    int32_t ia, ib;
    std::memcpy (&ia, &a, 4);
    std::memcpy (&ib, &b, 4);
    return std::abs (ia - ib);
}
} // namespace

TEST (Coefficients, ConstructionValuesAt48k)
{
    auto e = MakeEngine();
    EXPECT_EQ (e->GetSampleRate(), 48000.0f);
    EXPECT_NEAR (e->GetSmoothingCoefficient(), 6.9439e-5f, 0.00005e-5f);

    // 20 Hz DC blockers until a rate change.
    for (const auto& h : e->H)
    {
        EXPECT_LE (UlpDistance (h.a1, -0.99738543f), 1);
        EXPECT_EQ (h.b0, 1.0f);
        EXPECT_EQ (h.b1, -1.0f);
    }
    for (const auto& a : e->A)
    {
        EXPECT_LE (UlpDistance (a.a1, -0.96148634f), 1);
        EXPECT_EQ (a.b0, a.a1);
        EXPECT_EQ (a.b1, 1.0f);
    }
    for (const auto* p : { &e->preL, &e->preR })
    {
        EXPECT_LE (UlpDistance (p->c, -0.75410146f), 1);
        EXPECT_EQ (p->g, 1.490536f);
    }
    for (const auto* d : { &e->deL, &e->deR })
    {
        EXPECT_LE (UlpDistance (d->c, -0.93196983f), 1);
        EXPECT_EQ (d->g, -0.37440568f);
    }

    EXPECT_EQ (e->GetOscIncrement (0), 9044);
    EXPECT_EQ (e->GetOscIncrement (1), 11853);
    EXPECT_EQ (e->GetOscIncrement (2), 4522);

    // Mix 50 %, depth 10 ms, feedback 0 %, manual 0, mode 0.
    EXPECT_EQ (e->GetWetGain(), 0.70710677f);
    EXPECT_EQ (e->GetDryGain(), 0.70710683f);
    EXPECT_NEAR (e->GetDepthTarget(), 480.0f, 0.0001f);
    EXPECT_EQ (e->GetManualTarget(), 0.0f);
    EXPECT_EQ (e->GetFeedbackCoefficient(), 0.0001f);
    EXPECT_EQ (e->GetModeNumber(), 0);
}

TEST (Coefficients, RateChangeGivesTenHertzDcBlockersAndRescales)
{
    auto e = MakeEngine();
    e->SetSampleRate (44100);
    EXPECT_EQ (e->GetSampleRate(), 44100.0f);
    EXPECT_NEAR (e->GetDepthTarget(), 441.0f, 0.0001f);
    EXPECT_EQ (e->GetOscIncrement (0), (int32_t) ((e->GetPhysical (1) * 256.0f / 44100.0f) * 16777216.0f));

    e->SetSampleRate (48000);
    for (const auto& h : e->H)
        EXPECT_LE (UlpDistance (h.a1, -0.99869186f), 1);
    // Everything else returns to the construction values.
    EXPECT_NEAR (e->GetSmoothingCoefficient(), 6.9439e-5f, 0.00005e-5f);
    EXPECT_LE (UlpDistance (e->A[0].a1, -0.96148634f), 1);
    EXPECT_LE (UlpDistance (e->preL.c, -0.75410146f), 1);
    EXPECT_LE (UlpDistance (e->deR.c, -0.93196983f), 1);
    EXPECT_EQ (e->GetOscIncrement (0), 9044);
    EXPECT_EQ (e->GetOscIncrement (1), 11853);
    EXPECT_EQ (e->GetOscIncrement (2), 4522);

    // Rates below 1 kHz are not applied (0 would divide by zero).
    e->SetSampleRate (0);
    e->SetSampleRate (-44100);
    EXPECT_EQ (e->GetSampleRate(), 48000.0f);
}

struct WarpCase
{
    int index;
    float normalized;
    float physical;
    float tolerance;
};

class Warps : public ::testing::TestWithParam<WarpCase>
{
};

TEST_P (Warps, NormalizedToPhysical)
{
    const WarpCase& wc = GetParam();
    auto e = MakeEngine();
    e->SetParameter (wc.index, wc.normalized);
    EXPECT_NEAR (e->GetPhysical (wc.index), wc.physical, wc.tolerance);
    EXPECT_EQ (e->GetNormalized (wc.index), std::min (std::max (wc.normalized, 0.0f), 1.0f));
}

INSTANTIATE_TEST_SUITE_P (Coefficients, Warps,
    ::testing::Values (
        WarpCase { 0, 0.0f, 0.0f, 0.0f }, WarpCase { 0, 0.37f, 37.0f, 2e-6f }, WarpCase { 0, 1.0f, 100.0f, 0.0f },
        WarpCase { 1, 0.5f, 0.0f, 0.0f }, WarpCase { 1, 1.0f, 10.0f, 0.0f }, WarpCase { 1, 0.0f, -10.0f, 0.0f },
        WarpCase { 1, 0.626f, 0.10108f, 0.00001f }, WarpCase { 1, 0.374f, -0.10108f, 0.00001f },
        WarpCase { 2, 0.5f, 10.0f, 2e-6f }, WarpCase { 2, 1.0f, 50.0f, 0.0f }, WarpCase { 2, 0.0f, 0.0f, 0.0f },
        WarpCase { 3, 0.0f, -100.0f, 0.0f }, WarpCase { 3, 0.5f, 0.0f, 0.0f }, WarpCase { 3, 1.0f, 100.0f, 0.0f },
        WarpCase { 4, 0.75f, 3.125f, 1e-6f }, WarpCase { 4, 0.25f, -3.125f, 1e-6f }, WarpCase { 4, 0.5f, 0.0f, 0.0f },
        WarpCase { 4, 1.0f, 50.0f, 0.0f }, WarpCase { 4, 0.0f, -50.0f, 0.0f },
        // Out of range values are clamped.
        WarpCase { 2, 1.5f, 50.0f, 0.0f }, WarpCase { 1, -0.5f, -10.0f, 0.0f }));

TEST (Coefficients, FeedbackAndMixValues)
{
    struct Case { float normalized, c; };
    for (const Case cs : { Case { 0.5f, 0.0001f }, Case { 1.0f, 0.9901f }, Case { 0.0f, -0.9899f } })
    {
        auto e = MakeEngine();
        e->SetParameter (ZPlug_Pelorin::eFeedback, cs.normalized);
        EXPECT_NEAR (e->GetFeedbackCoefficient(), cs.c, 1e-7f) << cs.normalized;
    }

    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eMix, 0.0f);
    EXPECT_EQ (e->GetWetGain(), 0.0f);
    EXPECT_EQ (e->GetDryGain(), 1.0f);
    e->SetParameter (ZPlug_Pelorin::eMix, 1.0f);
    EXPECT_EQ (e->GetWetGain(), 1.0f);
    // 3.1415925 is one float step below pi: the dry gain stays just above 0.
    EXPECT_GT (e->GetDryGain(), 0.0f);
    EXPECT_NEAR (e->GetDryGain(), 7.5e-8f, 1e-8f);
}

TEST (Coefficients, ZeroRateStopsAllButTheSlowOscillator)
{
    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eRate, 0.5f);
    EXPECT_EQ (e->GetOscIncrement (0), 0);
    EXPECT_EQ (e->GetOscIncrement (2), 0);
    EXPECT_EQ (e->GetRandomIncrement (0), 0.0f);
    EXPECT_EQ (e->GetRandomIncrement (1), 0.0f);
    // O1 keeps running at 0.07 Hz: 0.07 * 2^32 / 48000 = 6263.5.
    EXPECT_NEAR (e->GetOscIncrement (1), 6263, 1);

    e->SetParameter (ZPlug_Pelorin::eRate, 0.0f); // -10 Hz
    EXPECT_NEAR (e->GetOscIncrement (0), -894784, 1);
    EXPECT_NEAR (e->GetRandomIncrement (0), 10.0f / 48000.0f, 1e-9f);
    EXPECT_NEAR (e->GetRandomIncrement (1), 6.18f / 48000.0f, 1e-9f);
}

TEST (Coefficients, ManualTargetAndMultiplierRowFollowSign)
{
    auto e = MakeEngine();
    struct Case { float normalized, targetSamples; float m0, m1, m6, m10, m13; };
    const Case cases[] = {
        { 0.5f, 0.0f, 0.618f, 1.0f, 10.0f, 10.0f, 6.1803389f },   // 0 counts as positive
        { 0.75f, 150.0f, 0.618f, 1.0f, 10.0f, 10.0f, 6.1803389f },
        { 0.25f, -150.0f, 1.0f, 0.618f, 6.89f, 6.1803389f, 10.0f },
    };
    for (const auto& cs : cases)
    {
        e->SetParameter (ZPlug_Pelorin::eManual, cs.normalized);
        EXPECT_NEAR (e->GetManualTarget(), cs.targetSamples, 1e-4f);
        const float* m = e->GetMultipliers();
        EXPECT_EQ (m[0], cs.m0);
        EXPECT_EQ (m[1], cs.m1);
        EXPECT_EQ (m[6], cs.m6);
        EXPECT_EQ (m[10], cs.m10);
        EXPECT_EQ (m[13], cs.m13);
    }
    // The two rows are mirror images group by group.
    const float* pos = ZPlug_Pelorin::MultiplierRow (1.0f);
    const float* neg = ZPlug_Pelorin::MultiplierRow (-1.0f);
    const int groups[4][2] = { { 0, 2 }, { 2, 4 }, { 6, 4 }, { 10, 4 } };
    EXPECT_EQ (pos[0], neg[1]);
    EXPECT_EQ (pos[1], neg[0]);
    for (int g = 1; g < 4; ++g)
        for (int j = 0; j < groups[g][1]; ++j)
            if (g == 1)
                EXPECT_EQ (pos[2 + j], neg[2 + (j + 2) % 4]) << j; // TZF pairs swap channels
            else
                EXPECT_EQ (pos[groups[g][0] + j], neg[groups[g][0] + 3 - j]) << g << " " << j;
}

TEST (Coefficients, FeedbackLowpassTargetFollowsManualAndRateNotDepthAlone)
{
    auto lpTarget = [] (double depthMs, double fs) {
        const double fc = 50000.0 / (std::min (depthMs, 25.0) + 0.1);
        return (float) (1.0 - std::exp (-2.0 * M_PI * fc / fs));
    };

    auto e = MakeEngine(); // depth 10 ms, the manual applied after it
    EXPECT_NEAR (e->GetLowpassTarget(), lpTarget (10.0, 48000.0), 2e-6f);

    e->SetParameter (ZPlug_Pelorin::eDepth, 1.0f); // 50 ms
    EXPECT_NEAR (e->GetLowpassTarget(), lpTarget (10.0, 48000.0), 2e-6f);
    e->SetParameter (ZPlug_Pelorin::eManual, 0.6f);
    EXPECT_NEAR (e->GetLowpassTarget(), lpTarget (25.0, 48000.0), 2e-6f); // about 1992 Hz

    e->SetParameter (ZPlug_Pelorin::eDepth, 0.0f);
    EXPECT_NEAR (e->GetLowpassTarget(), lpTarget (25.0, 48000.0), 2e-6f);
    e->SetSampleRate (96000);
    EXPECT_EQ (e->GetLowpassTarget(), 1.0f); // 500 kHz corner: no filtering at all
    e->SetParameter (ZPlug_Pelorin::eDepth, 0.5f);
    e->SetSampleRate (44100);
    EXPECT_NEAR (e->GetLowpassTarget(), lpTarget (10.0, 44100.0), 2e-6f);
}

TEST (Coefficients, ModeMapping)
{
    auto e = MakeEngine();
    // Every grid value the editor sends lands exactly on its mode.
    for (int k = 0; k < 11; ++k)
    {
        e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (k));
        EXPECT_EQ (e->GetModeNumber(), k) << k;
    }
    struct Case { float normalized; int mode; };
    for (const Case cs : { Case { 0.0f, 0 }, Case { 1.5f / 11.0f, 0 }, Case { 6.0f / 11.0f, 5 }, Case { 0.95f, 9 },
                           Case { 0.999f, 9 }, Case { 1.0f, 10 }, Case { 7.0f, 10 }, Case { -1.0f, 0 } })
    {
        e->SetParameter (ZPlug_Pelorin::eMode, cs.normalized);
        EXPECT_EQ (e->GetModeNumber(), cs.mode) << cs.normalized;
    }
}

TEST (Coefficients, RejectedParameterCallsChangeNothing)
{
    auto e = MakeEngine();
    EXPECT_FALSE (e->SetParameter (ZPlug_Pelorin::eDepth, 0.5f)); // repeat
    EXPECT_FALSE (e->SetParameter (ZPlug_Pelorin::eDepth, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE (e->SetParameter (-1, 0.3f));
    EXPECT_FALSE (e->SetParameter (6, 0.3f));
    EXPECT_EQ (e->GetNormalized (ZPlug_Pelorin::eDepth), 0.5f);
    EXPECT_NEAR (e->GetDepthTarget(), 480.0f, 0.0001f);

    // The repeat test compares the unclamped value, so 1.5 twice recomputes twice.
    EXPECT_TRUE (e->SetParameter (ZPlug_Pelorin::eDepth, 1.5f));
    EXPECT_TRUE (e->SetParameter (ZPlug_Pelorin::eDepth, 1.5f));
    EXPECT_FALSE (e->SetParameter (ZPlug_Pelorin::eDepth, 1.0f));
}

TEST (Coefficients, OnlyAnEffectiveModeChangeClearsDelayMemory)
{
    auto countNonZero = [] (const ZPlug_Pelorin& eng) {
        const float* b = eng.Dl[0].GetBuffer();
        int count = 0;
        for (int64_t i = 0; i < eng.Dl[0].GetLength(); ++i)
            count += b[i] != 0.0f;
        return count;
    };
    const Stereo in = TestSignal (2048);
    const Stereo one = TestSignal (1);

    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (9));
    RunEngine (*e, in);
    const int before = countNonZero (*e);
    ASSERT_GT (before, 2000);

    // Same value again: no reset, the memory survives the next block.
    EXPECT_FALSE (e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (9)));
    RunEngine (*e, one);
    EXPECT_EQ (countNonZero (*e), before + 1);

    // A different value selecting the same mode still resets.
    EXPECT_TRUE (e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (9) + 0.01f));
    EXPECT_EQ (e->GetModeNumber(), 9);
    RunEngine (*e, one);
    EXPECT_LE (countNonZero (*e), 1);
}

TEST (Coefficients, DeEmphasisUndoesPreEmphasis)
{
    auto e = MakeEngine();
    for (float fs : { 48000.0f, 44100.0f, 96000.0f })
    {
        e->SetSampleRate ((int) fs);
        ZMod_Emphasis pre = e->preL, de = e->deL;
        const Stereo x = TestSignal (4096, fs);
        float worst = 0.0f;
        for (size_t i = 0; i < x.size(); ++i)
            worst = std::max (worst, std::fabs (de.Process (pre.Process (x.left[i])) - x.left[i]));
        EXPECT_LT (worst, 2e-6f) << fs; // float rounding only; the signal peaks near 0.6
    }
}
