// Delay line, oscillator tables and random generator edge cases, and the
// denormal guard.

#include "ZMod_DelayLine.h"
#include "ZMod_MultiOsc.h"
#include "ZMod_NoDenormals.h"
#include "ZPlug_Pelorin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

TEST (DelayLine, ClearZeroesMemoryButKeepsWritePosition)
{
    ZMod_DelayLine d;
    d.SetLength (16384);
    EXPECT_EQ (d.GetMask(), 16383);
    for (int i = 0; i < 100; ++i)
    {
        d.Write (1.0f + (float) i);
        (void) d.ReadAllpass (3.25f);
        d.Advance();
    }
    const int64_t pos = d.GetWritePosition();
    d.Clear();
    d.Clear();
    EXPECT_EQ (d.GetWritePosition(), pos);
    EXPECT_EQ (d.GetInterpolatorState(), 0.0f);

    // Every read is 0 until a written sample reaches the read position.
    for (int i = 0; i < 10; ++i)
    {
        d.Write (0.5f);
        const float y = d.ReadAllpass (20.0f);
        EXPECT_EQ (y, 0.0f) << i;
        d.Advance();
    }
}

TEST (DelayLine, AdvanceFromZeroWrapsToMask)
{
    for (int64_t len : { 65536, 16384 })
    {
        ZMod_DelayLine d;
        d.SetLength (len);
        ASSERT_EQ (d.GetWritePosition(), 0);
        d.Advance();
        EXPECT_EQ (d.GetWritePosition(), len - 1);
    }
}

TEST (DelayLine, UnitDelayReadsBackAConstant)
{
    ZMod_DelayLine d;
    d.SetLength (16384);
    float y[2] = {};
    for (int i = 0; i < 2000; ++i)
    {
        d.Write (0.7f);
        y[i & 1] = d.ReadAllpass (1.0f);
        d.Advance();
    }
    // The error alternates in sign and shrinks by eta = 0.99177 per step
    // until eta's distance from 1 times the error drops under half an ulp
    // of the output: there it stalls, about ulp / (2 (1 - eta)) = 3.6e-6
    // (60 ulps) either side of the constant, symmetric about it.
    EXPECT_NEAR (y[0], 0.7f, 5e-6f);
    EXPECT_NEAR (y[1], 0.7f, 5e-6f);
    EXPECT_NEAR (0.5f * (y[0] + y[1]), 0.7f, 2e-7f);
}

TEST (DelayLine, IntegerDelaysReturnTheSampleWrittenThatManyStepsEarlier)
{
    // An impulse first shows up when it reaches slot n, read with eta(0).
    for (float delay : { 1.0f, 2.0f, 37.0f })
    {
        ZMod_DelayLine d;
        d.SetLength (1024);
        int firstHit = -1;
        float value = 0.0f;
        for (int i = 0; i < 64 && firstHit < 0; ++i)
        {
            d.Write (i == 0 ? 1.0f : 0.0f);
            value = d.ReadAllpass (delay);
            if (value != 0.0f)
                firstHit = i;
            d.Advance();
        }
        EXPECT_EQ (firstHit, (int) delay) << delay;
        EXPECT_NEAR (value, 0.99177f, 1e-5f) << delay;
    }
}

TEST (DelayLine, FractionalHalfUsesOneThird)
{
    // One step, state 0: y = a * eta + b with a = slot n, b = slot n + 1.
    ZMod_DelayLine d;
    d.SetLength (1024);
    for (int i = 0; i < 8; ++i)
    {
        d.Write (0.0f);
        d.Advance();
    }
    // Build history: slot w+3 = 1 (written 3 steps ago), slot w+4 = 0.
    d.Write (1.0f);
    d.Advance();
    d.Write (0.0f);
    d.Advance();
    d.Write (0.0f);
    d.Advance();
    d.Write (0.0f);
    EXPECT_EQ (d.ReadAllpass (3.5f), 0.33333334f);

    ZMod_DelayLine e;
    e.SetLength (1024);
    e.Write (0.0f);
    e.Advance();
    e.Write (1.0f);
    e.Advance();
    e.Write (0.0f);
    // d = 1.0: a = slot 1 = 1, b = slot 2 = 0, eta(f = 0) = 0.99177...
    EXPECT_NEAR (e.ReadAllpass (1.0f), 0.99177f, 1e-5f);
}

TEST (DelayLine, ReadAtLengthMinusOneWrapsToTheSlotJustWritten)
{
    ZMod_DelayLine d;
    d.SetLength (1024);
    for (int i = 0; i < 1023; ++i)
    {
        d.Write (0.0f);
        d.Advance();
    }
    d.Write (2.0f);
    // n = 1023 reads slot w + 1023 (oldest) and w + 1024 = w, the new sample.
    const float y = d.ReadAllpass (1023.0f);
    EXPECT_EQ (y, 2.0f);
}

TEST (MultiOsc, TableReadsAtKnownPhases)
{
    ZMod_MultiOsc o;
    o.phase = 0xFF800000u; // index 255, fraction 0.5
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eRamp, 0), 0.998046875f);
    o.phase = 0x40000000u; // a quarter cycle
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eTriangle, 0), 1.0f);
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eSine, 0), sinf (64.0f * 0.00390625f * 6.283185f));
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eRamp, 64), 0.5f);  // offsets add in 1/256 cycles
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eTriangle, 128), -1.0f);

    // The ramp wraps from its guard value 1.0 to 0 where the raised cosine is 0.
    o.phase = 0;
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eRamp, 0), 0.0f);
    EXPECT_EQ (o.Read (ZMod_MultiOsc::eRaisedCosine, 0), 0.0f);
}

TEST (MultiOsc, RaisedCosinesHalfACycleApartSumToOne)
{
    ZMod_MultiOsc o;
    o.increment = 7919 * 4099;
    for (int i = 0; i < 20000; ++i)
    {
        for (uint32_t k : { 0u, 32u, 64u, 96u })
            ASSERT_NEAR (o.Read (ZMod_MultiOsc::eRaisedCosine, k) + o.Read (ZMod_MultiOsc::eRaisedCosine, k + 128), 1.0f, 3e-7f) << i;
        o.Advance();
    }
}

TEST (MultiOsc, IncrementWrapsAndRunsBackwards)
{
    ZMod_MultiOsc o;
    o.increment = ZMod_MultiOsc::IncrementFor (-10.0f, 48000.0f);
    EXPECT_LT (o.increment, 0);
    o.Advance();
    EXPECT_EQ (o.phase, (uint32_t) o.increment); // wrapped below 0
    const float r = o.Read (ZMod_MultiOsc::eRamp, 0);
    o.Advance();
    EXPECT_LT (o.Read (ZMod_MultiOsc::eRamp, 0), r);

    o.increment = 0;
    const uint32_t p = o.phase;
    for (int i = 0; i < 100; ++i)
        o.Advance();
    EXPECT_EQ (o.phase, p);
}

TEST (RandomLFO, PassesThroughNextPointAtTheSegmentBoundary)
{
    ZMod_RandomLFO g;
    g.phase = 0.0f;
    g.increment = 0.25f;
    g.p1 = -0.5f;
    g.p2 = 0.75f;
    g.p3 = 0.125f;
    srand (7);

    // Steps 1..4 glide from p1 to p2; the 4th lands on phase 1.0 exactly.
    float y[4];
    for (float& v : y)
        v = g.Step();
    EXPECT_LT (y[0], y[1]);
    EXPECT_LT (y[1], y[2]);
    EXPECT_EQ (y[3], 0.75f);
    EXPECT_EQ (g.p1, -0.5f); // nothing drawn yet

    // The 5th step starts the next segment: one draw, points shift.
    srand (7);
    const float expected = 2.0f * ((float) rand() / 2147483648.0f) - 1.0f;
    srand (7);
    g.Step();
    EXPECT_EQ (g.p1, 0.75f);
    EXPECT_EQ (g.p2, 0.125f);
    EXPECT_EQ (g.p3, expected);
    for (int i = 0; i < 2; ++i)
        g.Step();
    EXPECT_EQ (g.Step(), 0.125f); // one draw every 4 steps
    EXPECT_EQ (g.p1, 0.75f);
}

TEST (RandomLFO, ZeroIncrementHoldsItsOutput)
{
    ZMod_RandomLFO g;
    g.increment = 0.0f;
    const float p1 = g.p1, p2 = g.p2, p3 = g.p3;
    const float first = g.Step();
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ (g.Step(), first);
    EXPECT_EQ (g.p1, p1);
    EXPECT_EQ (g.p2, p2);
    EXPECT_EQ (g.p3, p3);
    EXPECT_EQ (first, p1 + (p2 - p1) * 0.5f); // phase 0.5: halfway
}

TEST (Denormals, GuardFlushesSubnormalResultsAndRestores)
{
    volatile float tiny = 1.0e-30f;
    volatile float scale = 1.0e-10f;
    {
        ZMod_NoDenormals guard;
        const float flushed = tiny * scale;
        EXPECT_EQ (flushed, 0.0f);
        volatile float subnormalIn = 1.0e-40f; // DAZ: read as 0
        EXPECT_EQ (subnormalIn * 2.0f, 0.0f);
    }
    const float kept = tiny * scale;
    EXPECT_NE (kept, 0.0f);
    EXPECT_EQ (std::fpclassify (kept), FP_SUBNORMAL);
}
