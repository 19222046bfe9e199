// The modes by what a listener would measure: pitch ratios, click-free
// crossfades, delays of an impulse, cancellation, which oscillators run.

#include "TestHelpers.h"
#include "ZMod_NoDenormals.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zpt;

namespace
{
constexpr float kFs = 48000.0f;

// Mix 100 % (the dry gain is 7.5e-8), feedback 0 % (c = 0.0001).
std::unique_ptr<ZPlug_Pelorin> WetEngine (int mode, float rate, float depth, float manual)
{
    auto e = MakeEngine();
    e->SetParameter (ZPlug_Pelorin::eMix, 1.0f);
    e->SetParameter (ZPlug_Pelorin::eFeedback, 0.5f);
    e->SetParameter (ZPlug_Pelorin::eRate, rate);
    e->SetParameter (ZPlug_Pelorin::eDepth, depth);
    e->SetParameter (ZPlug_Pelorin::eManual, manual);
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (mode));
    return e;
}

// Let the 300 ms smoothers reach their targets (they stall a fraction of a
// sample short of them).
void Settle (ZPlug_Pelorin& e, float seconds = 6.0f)
{
    RunEngine (e, Stereo ((size_t) (seconds * kFs)), 4096);
}

// Normalized manual value for a positive offset in ms (bipolar power warp,
// exponent 0.25, 50 ms full scale); negative ms mirror it.
float ManualFor (double ms)
{
    const double w = 0.5 + 0.5 * std::pow (std::fabs (ms) / 50.0, 0.25);
    return (float) (ms >= 0.0 ? w : 1.0 - w);
}

// First moment of an impulse response segment: its delay at DC for a
// response with unit DC gain (the allpass interpolator's is about n + f).
double Centroid (const std::vector<double>& h, size_t from, size_t to)
{
    double sum = 0.0, moment = 0.0;
    for (size_t i = from; i < to; ++i)
    {
        sum += h[i];
        moment += h[i] * (double) i;
    }
    return moment / sum;
}

size_t PeakIndex (const std::vector<double>& h, size_t from, size_t to)
{
    size_t best = from;
    for (size_t i = from; i < to; ++i)
        if (std::fabs (h[i]) > std::fabs (h[best]))
            best = i;
    return best;
}

// Impulse into one input channel; returns both outputs per unit of input.
// The wet paths measured are linear (the saturators sit in feedback paths
// scaled by c = 0.0001), so a tall impulse keeps the -90 dB line noise out
// of the measurement.
constexpr float kImpulse = 100.0f;

std::array<std::vector<double>, 2> ImpulseResponse (ZPlug_Pelorin& e, int channel, size_t length)
{
    Stereo in (length);
    (channel == 0 ? in.left : in.right)[0] = kImpulse;
    const Stereo out = RunEngine (e, in, 512);
    std::array<std::vector<double>, 2> h;
    for (size_t i = 0; i < length; ++i)
    {
        h[0].push_back (out.left[i] / kImpulse);
        h[1].push_back (out.right[i] / kImpulse);
    }
    return h;
}

// Undo a DC blocker y = H(x), H(z) = (1 - z^-1) / (1 + a1 z^-1), so that the
// response has a DC gain again and its centroid means something.
std::vector<double> UndoDcBlocker (const std::vector<double>& y, double a1)
{
    std::vector<double> x (y.size());
    double prevY = 0.0, prevX = 0.0;
    for (size_t i = 0; i < y.size(); ++i)
    {
        x[i] = prevX + y[i] + a1 * prevY;
        prevX = x[i];
        prevY = y[i];
    }
    return x;
}
} // namespace

TEST (ModeBehaviour, UpDownShiftsLeftUpAndRightDownByTheSameRatio)
{
    // 10 Hz, 10 ms: the delays move by D r / fs = 480 * 10 / 48000 = 0.1
    // samples per sample. At 1 kHz the two voices of a channel, half a ramp
    // apart (240 samples = 5 cycles), are in phase, so the sum is a clean sine.
    auto e = WetEngine (1, 1.0f, 0.5f, 0.5f);
    Settle (*e);
    const Stereo out = RunEngine (*e, Sine (48000, 1000.0f, 0.1f));
    EXPECT_NEAR (ZeroCrossingFrequency (out.left, 0, out.size(), kFs), 1100.0, 1.0);
    EXPECT_NEAR (ZeroCrossingFrequency (out.right, 0, out.size(), kFs), 900.0, 1.0);

    // A negative rate runs the ramp backwards and swaps the directions.
    e->SetParameter (ZPlug_Pelorin::eRate, 0.0f);
    const Stereo back = RunEngine (*e, Sine (48000, 1000.0f, 0.1f));
    EXPECT_NEAR (ZeroCrossingFrequency (back.left, 0, back.size(), kFs), 900.0, 1.0);
    EXPECT_NEAR (ZeroCrossingFrequency (back.right, 0, back.size(), kFs), 1100.0, 1.0);
}

TEST (ModeBehaviour, VariUpDownShiftsLeftUpAndRightDownBetweenJumps)
{
    // A single voice per channel; its jump of D = 480 samples is a whole
    // number of 1 kHz cycles, so zero crossings measure the shift alone.
    auto e = WetEngine (8, 1.0f, 0.5f, 0.5f);
    Settle (*e);
    const Stereo out = RunEngine (*e, Sine (48000, 1000.0f, 0.25f));
    EXPECT_NEAR (ZeroCrossingFrequency (out.left, 0, out.size(), kFs), 1100.0, 1.5);
    EXPECT_NEAR (ZeroCrossingFrequency (out.right, 0, out.size(), kFs), 900.0, 1.5);

    // VariUp: both channels up.
    e->SetParameter (ZPlug_Pelorin::eMode, ModeValue (7));
    Settle (*e, 0.1f);
    const Stereo up = RunEngine (*e, Sine (48000, 1000.0f, 0.25f));
    EXPECT_NEAR (ZeroCrossingFrequency (up.right, 0, up.size(), kFs), 1100.0, 1.5);
}

TEST (ModeBehaviour, BarberpoleCrossfadeHidesTheRampWrapWhileGlitchModesJump)
{
    // 440 Hz: a jump of 480 samples is 4.4 cycles, a clearly audible step
    // unless the jumping voice is faded out.
    auto maxStep = [] (int mode) {
        auto e = WetEngine (mode, 1.0f, 0.5f, 0.5f);
        Settle (*e);
        const Stereo out = RunEngine (*e, Sine (24000, 440.0f, 0.25f));
        float worst = 0.0f;
        for (size_t i = 1; i < out.size(); ++i)
            worst = std::max (worst, std::fabs (out.left[i] - out.left[i - 1]));
        return worst;
    };
    // A 484 Hz sine of amplitude 0.25 moves at most 0.016 per sample.
    const float smoothSlope = 0.25f * 2.0f * 3.14159265f * 484.0f / kFs;
    EXPECT_LT (maxStep (0), 1.3f * smoothSlope); // Up
    EXPECT_LT (maxStep (5), 1.3f * smoothSlope); // Ocho
    EXPECT_GT (maxStep (7), 5.0f * smoothSlope); // VariUp: the jumps are heard
}

TEST (ModeBehaviour, QuantizerKeepsFourSignificantBits)
{
    struct Case { float in, out; };
    for (const Case cs : { Case { 0.3f, 0.28125f }, Case { -0.3f, -0.3125f }, Case { 1.0f, 1.0f }, Case { 0.99f, 0.9375f },
                           Case { 0.0f, 0.0f }, Case { -1.0f, -1.0f }, Case { 3.0f, 3.0f }, Case { -0.99f, -1.0f },
                           Case { 0.5f, 0.5f } })
        EXPECT_EQ (ZPlug_Pelorin::Quantize (cs.in), cs.out) << cs.in;

    // Monotonic, sign-preserving, within 1/8 of the value (one step of 4 bits).
    float prev = ZPlug_Pelorin::Quantize (-4.0f);
    for (float x = -4.0f; x <= 4.0f; x += 0.001f)
    {
        const float q = ZPlug_Pelorin::Quantize (x);
        ASSERT_GE (q, prev) << x;
        ASSERT_LE (std::fabs (q - x), 0.125f * std::fabs (x) + 1e-12f) << x;
        ASSERT_TRUE (x == 0.0f || (q > 0.0f) == (x > 0.0f)) << x;
        prev = q;
    }
}

TEST (ModeBehaviour, Ensemble360ManualOffsetReadsTenfoldDelays)
{
    auto e = WetEngine (9, 0.626f, 0.0f, ManualFor (5.0));
    ASSERT_NEAR (e->GetManualTarget(), 240.0f, 0.01f);
    Settle (*e);
    const double a1 = e->H[0].a1;

    // Left hears D0 and D1, right D2 and D3; DC blockers sit in the wet path.
    const auto hl = ImpulseResponse (*e, 0, 3000);
    Settle (*e, 1.0f);
    const auto hr = ImpulseResponse (*e, 1, 3000);
    const std::vector<double> left = UndoDcBlocker (hl[0], a1);
    const std::vector<double> right = UndoDcBlocker (hr[1], a1);

    // m * M + 1 for M = 240 and m = 10, 8.5179005, 7.2556, 6.1803389.
    const double expected[4] = { 2401.0, 2045.3, 1742.3, 1484.3 };
    const double multiplier[4] = { 10.0, 8.5179005, 7.2556, 6.1803389 };
    const std::vector<double>* resp[4] = { &left, &left, &right, &right };
    for (int j = 0; j < 4; ++j)
    {
        const size_t from = (size_t) expected[j] - 100; // the taps lie 300 samples apart
        const size_t peak = PeakIndex (*resp[j], from, from + 200);
        const double measured = Centroid (*resp[j], peak - 20, peak + 60);
        // The smoothed manual stalls up to about 0.11 samples from its target
        // (where k times the gap drops under half an ulp of 240), and the
        // multiplier scales that stall up to about 1.1 samples.
        EXPECT_NEAR (measured, expected[j], 0.12 * multiplier[j] + 0.1) << "line " << j;
        EXPECT_NEAR (measured, multiplier[j] * e->smoothM + 1.0, 0.1) << "line " << j;
    }
    EXPECT_NEAR (e->smoothM, 240.0f, 0.12f);
}

TEST (ModeBehaviour, DoublerManualOffsetsDifferBetweenSidesAndSwapWithSign)
{
    for (const double ms : { 20.0, -20.0 })
    {
        auto e = WetEngine (6, 0.626f, 0.0f, ManualFor (ms));
        ASSERT_NEAR (std::fabs (e->GetManualTarget()), 960.0f, 0.01f);
        Settle (*e);
        const auto hl = ImpulseResponse (*e, 0, 1500);
        Settle (*e, 1.0f);
        const auto hr = ImpulseResponse (*e, 1, 1500);

        const double shortDelay = 0.618 * 960.0 + 1.0, longDelay = 961.0;
        const double expectL = ms > 0 ? shortDelay : longDelay;
        const double expectR = ms > 0 ? longDelay : shortDelay;
        const size_t pl = PeakIndex (hl[0], 0, 1500), pr = PeakIndex (hr[1], 0, 1500);
        EXPECT_NEAR (Centroid (hl[0], pl - 20, pl + 80), expectL, 0.5) << ms;
        EXPECT_NEAR (Centroid (hr[1], pr - 20, pr + 80), expectR, 0.5) << ms;
        // Wet left is D0 alone: nothing of the left impulse reaches the right.
        EXPECT_LT (*std::max_element (hl[1].begin(), hl[1].end()), 1e-3);
    }
}

TEST (ModeBehaviour, TriManualDelaysSitAfterTheAllpassPair)
{
    // Left impulse -> left output: D0 at 1 sample, A0 and A1, then D8 at
    // |0.813 M| + 1. Each allpass delays DC by (1 - w) / (1 + w) samples.
    auto e = WetEngine (4, 0.626f, 0.0f, ManualFor (10.0));
    ASSERT_NEAR (e->GetManualTarget(), 480.0f, 0.01f);
    Settle (*e);
    const double K = 2.0 * 48000.0 * (1.0 / (2.0 * M_PI * 300.0));
    const double w = (1.0 - K) / (1.0 + K);
    const double allpassDelay = (1.0 - w) / (1.0 + w);

    const auto hl = ImpulseResponse (*e, 0, 4000);
    Settle (*e, 1.0f);
    const auto hr = ImpulseResponse (*e, 1, 4000);
    // Own side: D0 (1 sample), two allpasses, the manual line. The 0.7071
    // scale does not move a centroid.
    EXPECT_NEAR (Centroid (hl[0], 0, 4000) - 1.0 - 2.0 * allpassDelay, 391.24, 0.5);
    EXPECT_NEAR (Centroid (hr[1], 0, 4000) - 1.0 - 2.0 * allpassDelay, 481.0, 0.5);
    // Cross side: four allpasses, no manual line.
    EXPECT_NEAR (Centroid (hl[1], 0, 4000) - 1.0, 4.0 * allpassDelay, 0.5);
}

TEST (ModeBehaviour, TZFMinusCancelsAndTZFPlusDoublesAtZeroDelay)
{
    const Stereo in = Sine (9600, 500.0f, 0.5f);
    for (const int mode : { 2, 3 })
    {
        auto e = WetEngine (mode, 0.9f, 0.0f, 0.5f);
        Settle (*e, 0.5f);
        const Stereo out = RunEngine (*e, in);
        float worst = 0.0f;
        for (size_t i = 1000; i < in.size(); ++i)
        {
            const float expected = mode == 2 ? 1.4142f * in.left[i - 1] : 0.0f;
            worst = std::max (worst, std::fabs (out.left[i] - expected));
            worst = std::max (worst, std::fabs (out.right[i] - expected));
        }
        // TZF-: only the difference of two noise samples remains.
        EXPECT_LT (worst, mode == 2 ? 5e-3f : 1e-4f) << ModeName (mode);
    }
}

// Which modulation sources each mode advances, and by how much per block.
class ModulationSources : public ::testing::TestWithParam<int>
{
};

TEST_P (ModulationSources, EachModeAdvancesOnlyItsOwn)
{
    const int mode = GetParam();
    auto e = WetEngine (mode, 0.9f, 0.5f, 0.5f);
    e->O0.phase = 11u;
    e->O1.phase = 22u;
    e->O2.phase = 33u;
    const float g0 = e->G0.phase, g1 = e->G1.phase;
    RunEngine (*e, TestSignal (1000), 1000);

    const bool usesO0 = mode != 2 && mode != 3 && mode != 10;
    const bool usesO12 = mode == 10;
    const bool usesG = mode == 2 || mode == 3 || mode == 6;
    EXPECT_EQ (e->O0.phase, usesO0 ? 11u + 1000u * (uint32_t) e->GetOscIncrement (0) : 11u);
    EXPECT_EQ (e->O1.phase, usesO12 ? 22u + 1000u * (uint32_t) e->GetOscIncrement (1) : 22u);
    EXPECT_EQ (e->O2.phase, usesO12 ? 33u + 1000u * (uint32_t) e->GetOscIncrement (2) : 33u);
    EXPECT_EQ (e->G0.phase != g0, usesG);
    EXPECT_EQ (e->G1.phase != g1, usesG);
}

INSTANTIATE_TEST_SUITE_P (AllModes, ModulationSources, ::testing::Range (0, 11),
    [] (const ::testing::TestParamInfo<int>& p) { return ModeName (p.param); });
