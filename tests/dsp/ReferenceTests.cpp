// Every mode, sample by sample, against the plain reference in
// PelorinReference.h: same input, same rand() sequence, same starting points
// of the random generators, non-default parameters with a change half way.
// The outputs must agree bit for bit.

#include "PelorinReference.h"
#include "TestHelpers.h"
#include "ZMod_NoDenormals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

using namespace zpt;

namespace
{
struct Scenario
{
    const char* name;
    int sampleRate;
    float mix, rate, depth, feedback, manual;
    float depthLater, manualLater; // applied between two blocks half way through
};

// Rates wrap O0 several times over the run; feedback is far from 0; the
// manual is negative in at least one half of each scenario, and its sign
// flips at the change (switching the multiplier row).
const Scenario kScenarios[] = {
    { "Plus10HzNegManual", 48000, 0.8f, 1.0f, 0.55f, 0.9f, 0.3f, 0.35f, 0.8f },
    { "Minus7HzNegFeedback44k", 44100, 0.6f, 0.05f, 0.7f, 0.08f, 0.62f, 1.0f, 0.1f },
    { "Plus3HzFullFeedback", 48000, 1.0f, 0.85f, 0.45f, 1.0f, 0.2f, 0.9f, 0.5f },
};

constexpr size_t kLength = 24000;
constexpr unsigned kSeed = 20240611u;

uint32_t Bits (float x)
{
    uint32_t b;
    std::memcpy (&b, &x, 4);
    return b;
}

void ExpectIdentical (const std::vector<float>& engine, const std::vector<float>& reference, const char* channel)
{
    ASSERT_EQ (engine.size(), reference.size());
    size_t mismatches = 0, first = engine.size();
    for (size_t i = 0; i < engine.size(); ++i)
        if (Bits (engine[i]) != Bits (reference[i]))
        {
            if (mismatches++ == 0)
                first = i;
        }
    EXPECT_EQ (mismatches, 0u) << channel << ": first at sample " << first << ", engine "
                               << (first < engine.size() ? engine[first] : 0.0f) << " reference "
                               << (first < engine.size() ? reference[first] : 0.0f);
}
} // namespace

class ReferenceMatch : public ::testing::TestWithParam<std::tuple<int, int>>
{
};

TEST_P (ReferenceMatch, BitExactOverAWholeRun)
{
    const int mode = std::get<0> (GetParam());
    const Scenario& sc = kScenarios[std::get<1> (GetParam())];

    auto e = MakeEngine();
    ref::Engine r;
    for (int i = 0; i < 6; ++i)
        r.set (i, kDefaults[(size_t) i]);

    // The random generators drew their points from the clock at construction.
    r.G[0].phase = e->G0.phase; r.G[0].p1 = e->G0.p1; r.G[0].p2 = e->G0.p2; r.G[0].p3 = e->G0.p3;
    r.G[1].phase = e->G1.phase; r.G[1].p1 = e->G1.p1; r.G[1].p2 = e->G1.p2; r.G[1].p3 = e->G1.p3;
    r.O[0].phase = e->O0.phase;
    r.O[1].phase = e->O1.phase;
    r.O[2].phase = e->O2.phase;

    e->SetSampleRate (sc.sampleRate);
    r.setRate (sc.sampleRate);
    const float values[6] = { sc.mix, sc.rate, sc.depth, sc.feedback, sc.manual, ModeValue (mode) };
    for (int i = 0; i < 6; ++i)
    {
        e->SetParameter (i, values[i]);
        r.set (i, values[i]);
    }

    const Stereo in = TestSignal (kLength, (float) sc.sampleRate);
    const size_t half = kLength / 2;

    // Engine: irregular blocks, including single samples.
    Stereo outE (kLength);
    {
        ZMod_NoDenormals noDenormals;
        srand (kSeed);
        const int blocks[] = { 64, 1, 333, 512, 7, 1024 };
        size_t pos = 0;
        int b = 0;
        while (pos < kLength)
        {
            if (pos == half)
            {
                e->SetParameter (ZPlug_Pelorin::eDepth, sc.depthLater);
                e->SetParameter (ZPlug_Pelorin::eManual, sc.manualLater);
            }
            const size_t limit = pos < half ? half : kLength;
            const int n = (int) std::min ((size_t) blocks[b++ % 6], limit - pos);
            const float* ins[2] = { in.left.data() + pos, in.right.data() + pos };
            float* outs[2] = { outE.left.data() + pos, outE.right.data() + pos };
            e->Process (ins, outs, n);
            pos += (size_t) n;
        }
    }

    Stereo outR (kLength);
    {
        ZMod_NoDenormals noDenormals;
        srand (kSeed);
        r.process (in.left.data(), in.right.data(), outR.left.data(), outR.right.data(), (int) half);
        r.set (2, sc.depthLater);
        r.set (4, sc.manualLater);
        r.process (in.left.data() + half, in.right.data() + half, outR.left.data() + half, outR.right.data() + half,
                   (int) (kLength - half));
    }

    ExpectIdentical (outE.left, outR.left, "left");
    ExpectIdentical (outE.right, outR.right, "right");

    // The wet path is really in play: the output differs from the dry part.
    float wetEnergy = 0.0f;
    for (size_t i = 0; i < kLength; ++i)
        wetEnergy += std::fabs (outE.left[i] - r.dry * in.left[i]);
    EXPECT_GT (wetEnergy, 100.0f);

    // The carried state agrees as well.
    EXPECT_EQ (e->smoothD, r.D);
    EXPECT_EQ (e->smoothM, r.M);
    EXPECT_EQ (e->lowpassCoef, r.lam);
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ (e->F[j], r.F[j]) << j;
    EXPECT_EQ (e->O0.phase, r.O[0].phase);
    EXPECT_EQ (e->O1.phase, r.O[1].phase);
    EXPECT_EQ (e->O2.phase, r.O[2].phase);
    EXPECT_EQ (e->G0.phase, r.G[0].phase);
    EXPECT_EQ (e->G1.p3, r.G[1].p3);
}

INSTANTIATE_TEST_SUITE_P (AllModes, ReferenceMatch,
    ::testing::Combine (::testing::Range (0, 11), ::testing::Range (0, 3)),
    [] (const ::testing::TestParamInfo<std::tuple<int, int>>& p) {
        return ModeName (std::get<0> (p.param)) + "_" + kScenarios[std::get<1> (p.param)].name;
    });
