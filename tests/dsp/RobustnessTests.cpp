// Every mode survives hostile input and extreme settings: NaN and infinity
// bursts leave no trace once they have passed through, and full positive or
// negative feedback at maximum depth stays bounded.

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zpt;

namespace
{
bool StatesFinite (const ZPlug_Pelorin& e, std::string& where)
{
    auto check = [&] (float v, const std::string& name) {
        if (! std::isfinite (v))
            where += name + " ";
    };
    for (int j = 0; j < 8; ++j)
    {
        check (e.F[j], "F" + std::to_string (j));
        check (e.H[j].s, "H" + std::to_string (j));
        check (e.A[j].s, "A" + std::to_string (j));
    }
    for (int j = 0; j < 4; ++j)
        check (e.L[j], "L" + std::to_string (j));
    check (e.preL.s, "preL");
    check (e.preR.s, "preR");
    check (e.deL.s, "deL");
    check (e.deR.s, "deR");
    check (e.smoothD, "D");
    check (e.smoothM, "M");
    check (e.lowpassCoef, "lambda");
    for (int j = 0; j < 10; ++j)
    {
        check (e.Dl[j].GetInterpolatorState(), "interp" + std::to_string (j));
        const float* b = e.Dl[j].GetBuffer();
        for (int64_t i = 0; i < e.Dl[j].GetLength(); ++i)
            if (! std::isfinite (b[i]))
            {
                where += "D" + std::to_string (j) + "[" + std::to_string (i) + "] ";
                break;
            }
    }
    return where.empty();
}
} // namespace

class Robustness : public ::testing::TestWithParam<int>
{
};

TEST_P (Robustness, RecoversFromNonFiniteAndHugeInput)
{
    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eRate, 0.9f);
    e->SetParameter (ZPlug_Pelorin::eDepth, 0.7f);
    e->SetParameter (ZPlug_Pelorin::eFeedback, 0.9f);
    e->SetParameter (ZPlug_Pelorin::eManual, 0.3f);
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (GetParam()));

    RunEngine (*e, Stereo (24000));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float burst[] = { nan, inf, -inf, 1.0e30f, -3.0e38f, nan, 1.0e-40f, -inf };
    Stereo hostile (512);
    for (size_t i = 0; i < hostile.size(); ++i)
    {
        hostile.left[i] = burst[i % 8];
        hostile.right[i] = burst[(i + 3) % 8];
    }
    RunEngine (*e, hostile, 128);

    // The longest reads reach about 1.4 s back: after 2 s nothing of the
    // burst is left in any line.
    const size_t settle = 96000;
    const Stereo out = RunEngine (*e, Sine (settle + 9600, 330.0f, 0.5f));
    const std::vector<float> tailL (out.left.begin() + (long) settle, out.left.end());
    const std::vector<float> tailR (out.right.begin() + (long) settle, out.right.end());
    ASSERT_TRUE (AllFinite (out.left) && AllFinite (out.right));
    for (const auto* t : { &tailL, &tailR })
    {
        EXPECT_GT (Peak (*t), 0.1f);
        EXPECT_LT (Peak (*t), 3.0f);
    }
    std::string where;
    EXPECT_TRUE (StatesFinite (*e, where)) << where;
}

TEST_P (Robustness, FullFeedbackEitherSignAtMaximumDepthStaysBounded)
{
    for (const float feedback : { 1.0f, 0.0f })
    {
        auto e = MakeEngine();
        e->SetParameter (ZPlug_Pelorin::eMix, 1.0f);
        e->SetParameter (ZPlug_Pelorin::eRate, 0.95f);
        e->SetParameter (ZPlug_Pelorin::eDepth, 1.0f);
        e->SetParameter (ZPlug_Pelorin::eFeedback, feedback);
        e->SetParameter (ZPlug_Pelorin::eManual, 0.2f);
        e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (GetParam()));

        // 1000 blocks of 256: a 110 Hz saw, then a 220 Hz square, at 0.5.
        const size_t n = 1000 * 256;
        Stereo in (n);
        for (size_t i = 0; i < n; ++i)
        {
            const double t = (double) i / 48000.0;
            const float saw = (float) (2.0 * (t * 110.0 - std::floor (t * 110.0 + 0.5)));
            const float square = std::fmod (t * 220.0, 1.0) < 0.5 ? 1.0f : -1.0f;
            in.left[i] = in.right[i] = 0.5f * (i < n / 2 ? saw : square);
        }
        const Stereo out = RunEngine (*e, in);
        EXPECT_TRUE (AllFinite (out.left) && AllFinite (out.right)) << feedback;
        EXPECT_LT (Peak (out.left), 8.0f) << feedback;
        EXPECT_LT (Peak (out.right), 8.0f) << feedback;
        EXPECT_GT (Peak (out.left, n - 48000), 0.05f) << feedback; // still producing sound
    }
}

INSTANTIATE_TEST_SUITE_P (AllModes, Robustness, ::testing::Range (0, 11),
    [] (const ::testing::TestParamInfo<int>& p) { return ModeName (p.param); });
