#include "ZPlug_Pelorin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Manual multipliers m0..m13: Doubler (m0, m1), TZF (m2..m5), Symphonic
// (m6..m9), Ensemble360 (m10..m13). A negative manual mirrors each group.
constexpr float kMultipliers[2][14] = {
    { 0.618f, 1.0f, 0.98f, 0.49f, 1.0f, 0.5f, 10.0f, 9.1f, 7.8f, 6.89f, 10.0f, 8.5179005f, 7.2556f, 6.1803389f },
    { 1.0f, 0.618f, 1.0f, 0.5f, 0.98f, 0.49f, 6.89f, 7.8f, 9.1f, 10.0f, 6.1803389f, 7.2556f, 8.5179005f, 10.0f },
};

// Below this the emphasis prewarp and the oscillator increments stop making
// sense (and a rate of 0 would divide by zero), so such a rate is not applied.
constexpr int kMinimumSampleRate = 1000;

uint64_t PackGains (float wet, float dry) noexcept
{
    uint32_t w, d;
    std::memcpy (&w, &wet, 4);
    std::memcpy (&d, &dry, 4);
    return ((uint64_t) w << 32) | d;
}

float UnpackGain (uint64_t packed, bool wet) noexcept
{
    const uint32_t bits = wet ? (uint32_t) (packed >> 32) : (uint32_t) packed;
    float f;
    std::memcpy (&f, &bits, 4);
    return f;
}
} // namespace

ZPlug_Pelorin::ZPlug_Pelorin()
{
    // 1. Parameter records (normalized -1 until the processor applies its defaults).
    parameters[eMix].Init (0.0f, 100.0f, ZMod_Parameter::eLinear, 1.0f);
    parameters[eRate].Init (-10.0f, 10.0f, ZMod_Parameter::eBipolarPower, 0.3f);
    parameters[eDepth].Init (0.0f, 50.0f, ZMod_Parameter::ePower, 0.43067655f); // ln 0.5 / ln 0.2: 0.5 -> 10 ms
    parameters[eFeedback].Init (-100.0f, 100.0f, ZMod_Parameter::eLinear, 1.0f);
    parameters[eManual].Init (-50.0f, 50.0f, ZMod_Parameter::eBipolarPower, 0.25f);
    parameters[eMode].Init (1.0f, 12.0f, ZMod_Parameter::eSpan, 1.0f);

    // 2-3. Oscillator tables and random generators are built by the member
    // initialisers, in declaration order.

    // 4. D0..D7: 65536 slots, 1.37 s at 48 kHz, enough for 50 ms depth plus ten
    // times a 50 ms manual offset in the ensemble modes. D8, D9 only carry Tri's
    // manual delay (at most 51 ms): 16384 slots.
    for (int i = 0; i < 8; ++i)
        Dl[i].SetLength (65536);
    Dl[8].SetLength (16384);
    Dl[9].SetLength (16384);

    // 5-6. 48 kHz; the DC blockers start with a 20 Hz corner, which a later
    // sample-rate change replaces by 10 Hz.
    fs.store (48000.0f);
    CalcSampleRateCoefficients (48000.0f, 0.0079577537f);
}

const float* ZPlug_Pelorin::MultiplierRow (float manualTargetSamples) noexcept
{
    return manualTargetSamples >= 0.0f ? kMultipliers[0] : kMultipliers[1];
}

float ZPlug_Pelorin::GetWetGain() const noexcept { return UnpackGain (gains.load (std::memory_order_relaxed), true); }
float ZPlug_Pelorin::GetDryGain() const noexcept { return UnpackGain (gains.load (std::memory_order_relaxed), false); }

float ZPlug_Pelorin::GetNormalized (int index) const noexcept
{
    return (unsigned) index < (unsigned) eNumParameters ? parameters[index].GetNormalized() : 0.0f;
}

float ZPlug_Pelorin::GetPhysical (int index) const noexcept
{
    return (unsigned) index < (unsigned) eNumParameters ? parameters[index].GetValue() : 0.0f;
}

bool ZPlug_Pelorin::SetParameter (int index, float value) noexcept
{
    if ((unsigned) index >= (unsigned) eNumParameters)
        return false;

    // A NaN would otherwise be stored and propagate into every coefficient.
    if (std::isnan (value))
        return false;

    ZMod_Parameter& p = parameters[index];
    if (value == p.GetNormalized())
        return false;

    const float w = value < 0.0f ? 0.0f : std::min (value, 1.0f);
    p.SetNormalized (w);
    p.WarpVSTParameter (p.warpKind);
    CalcParameter (index);
    return true;
}

void ZPlug_Pelorin::CalcParameter (int index) noexcept
{
    switch (index)
    {
        case eMix:
        {
            const float theta = parameters[eMix].GetValue() * 0.01f * 3.1415925f * 0.5f;
            gains.store (PackGains (sinf (theta), cosf (theta)), std::memory_order_relaxed);
            break;
        }
        case eFeedback:
            feedbackC.store (parameters[eFeedback].GetValue() * 0.01f * 0.99f + 0.0001f, std::memory_order_relaxed);
            break;
        case eMode:
        {
            const int mode = std::max (0, (int) floorf (parameters[eMode].GetValue()) - 1);
            uint32_t w = modeWord.load (std::memory_order_relaxed);
            while (! modeWord.compare_exchange_weak (w, ((w & ~0xFFu) + 0x100u) | (uint32_t) mode, std::memory_order_release, std::memory_order_relaxed))
            {
            }
            break;
        }
        case eRate:
        case eDepth:
        case eManual:
        {
            // These depend on the sample rate, which the audio thread may change
            // at the same moment. The physical value is published before fs is
            // read (and SetSampleRate publishes fs before reading the physical
            // values), so if the rate moved while we computed, one more pass
            // with the new rate leaves the newest pair in place.
            std::atomic_thread_fence (std::memory_order_seq_cst);
            float f = fs.load (std::memory_order_relaxed);
            for (;;)
            {
                if (index == eRate)
                    CalcRate (f);
                else if (index == eDepth)
                    CalcDepth (f);
                else
                    CalcManual (f);

                std::atomic_thread_fence (std::memory_order_seq_cst);
                const float now = fs.load (std::memory_order_relaxed);
                if (now == f)
                    break;
                f = now;
            }
            break;
        }
        default:
            break;
    }
}

void ZPlug_Pelorin::CalcRate (float sampleRate) noexcept
{
    const float r = parameters[eRate].GetValue();
    oscIncrement[0].store (ZMod_MultiOsc::IncrementFor (r, sampleRate), std::memory_order_relaxed);
    oscIncrement[1].store (ZMod_MultiOsc::IncrementFor (0.07f + 0.618f * r, sampleRate), std::memory_order_relaxed);
    oscIncrement[2].store (ZMod_MultiOsc::IncrementFor (0.5f * r, sampleRate), std::memory_order_relaxed);
    randomIncrement[0].store (fabsf (r) / sampleRate, std::memory_order_relaxed);
    randomIncrement[1].store (fabsf (0.618f * r) / sampleRate, std::memory_order_relaxed);
}

void ZPlug_Pelorin::CalcDepth (float sampleRate) noexcept
{
    depthTarget.store (parameters[eDepth].GetValue() * sampleRate / 1000.0f, std::memory_order_relaxed);
}

void ZPlug_Pelorin::CalcManual (float sampleRate) noexcept
{
    // The multiplier row follows the sign of this target; it is picked from
    // the target itself when a block starts, so the two never disagree.
    manualTarget.store (parameters[eManual].GetValue() * sampleRate / 1000.0f, std::memory_order_relaxed);

    // Feedback low-pass of the ensemble modes, from the depth as it stands now:
    // 50000 / (depth ms + 0.1) Hz, the depth capped at 25 ms (about 1992 Hz).
    const float d = parameters[eDepth].GetValue();
    const float fc = 50000.0f / (fabsf (std::min (d, 25.0f)) + 0.1f);
    lowpassTarget.store (1.0f - expf (fc * (-6.2831855f) / sampleRate), std::memory_order_relaxed);
}

void ZPlug_Pelorin::CalcSampleRateCoefficients (float sampleRate, float dcCornerScale) noexcept
{
    // DC blockers: bilinear one-pole high-pass, K = 2 fs / (2 pi fc).
    const float kDc = 2.0f * sampleRate * dcCornerScale;
    for (auto& h : H)
    {
        h.a1 = (1.0f - kDc) / (1.0f + kDc);
        h.b0 = 1.0f;
        h.b1 = -1.0f;
    }

    // Emphasis: shelf corner at 2128 Hz, prewarped (6685.3096 = pi * 2128).
    const float t = tanf (6685.3096f / sampleRate);
    for (auto* e : { &preL, &preR })
    {
        e->c = (t - 1.0f) / (t + 1.0f);
        e->g = 1.490536f;
    }
    for (auto* e : { &deL, &deR })
    {
        e->c = (0.25118864f * t - 1.0f) / (0.25118864f * t + 1.0f);
        e->g = -0.37440568f;
    }

    // 300 ms one-pole for depth, manual and the ensemble low-pass coefficient.
    k = 1.0f - expf (-1000.0f / (300.0f * sampleRate));

    // Tri's allpass sections: 300 Hz corner.
    const float kAp = 2.0f * sampleRate * 0.0005305169f;
    const float w = (1.0f - kAp) / (1.0f + kAp);
    for (auto& a : A)
    {
        a.a1 = w;
        a.b0 = w;
        a.b1 = 1.0f;
    }
}

void ZPlug_Pelorin::SetSampleRate (int rate) noexcept
{
    if (rate < kMinimumSampleRate)
        return;

    const float f = (float) rate;
    if (f == fs.load (std::memory_order_relaxed))
        return;

    fs.store (f, std::memory_order_relaxed);
    std::atomic_thread_fence (std::memory_order_seq_cst);

    for (auto& d : Dl)
        d.Clear();
    for (auto& h : H)
        h.s = 0.0f;

    CalcRate (f);
    CalcDepth (f);
    CalcManual (f);

    // The allpass states are left alone here; the DC blockers get their
    // 10 Hz corner.
    CalcSampleRateCoefficients (f, 0.015915507f);
}

void ZPlug_Pelorin::Reset() noexcept
{
    for (auto& d : Dl)
        d.Clear();
    for (auto& h : H)
        h.s = 0.0f;
    for (auto& a : A)
        a.s = 0.0f;
}

void ZPlug_Pelorin::RequestReset() noexcept
{
    uint32_t w = modeWord.load (std::memory_order_relaxed);
    while (! modeWord.compare_exchange_weak (w, w + 0x100u, std::memory_order_release, std::memory_order_relaxed))
    {
    }
}

ZPlug_Pelorin::BlockValues ZPlug_Pelorin::BeginBlock() noexcept
{
    O0.increment = oscIncrement[0].load (std::memory_order_relaxed);
    O1.increment = oscIncrement[1].load (std::memory_order_relaxed);
    O2.increment = oscIncrement[2].load (std::memory_order_relaxed);
    G0.increment = randomIncrement[0].load (std::memory_order_relaxed);
    G1.increment = randomIncrement[1].load (std::memory_order_relaxed);

    const uint64_t g = gains.load (std::memory_order_relaxed);
    BlockValues bv;
    bv.wet = UnpackGain (g, true);
    bv.dry = UnpackGain (g, false);
    bv.c = feedbackC.load (std::memory_order_relaxed);
    bv.depthTarget = depthTarget.load (std::memory_order_relaxed);
    bv.manualTarget = manualTarget.load (std::memory_order_relaxed);
    bv.lowpassTarget = lowpassTarget.load (std::memory_order_relaxed);
    bv.m = MultiplierRow (bv.manualTarget);
    return bv;
}

void ZPlug_Pelorin::Process (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const uint32_t word = modeWord.load (std::memory_order_acquire);
    const uint32_t generation = word >> 8;
    if (generation != appliedResetGeneration)
    {
        appliedResetGeneration = generation;
        Reset();
    }

    switch (word & 0xFFu)
    {
        case 1:  ProcessBlockUpDown (in, out, n); break;
        case 2:  ProcessBlockTZFPlus (in, out, n); break;
        case 3:  ProcessBlockTZFMinus (in, out, n); break;
        case 4:  ProcessBlockTri (in, out, n); break;
        case 5:  ProcessBlockOcho (in, out, n); break;
        case 6:  ProcessBlockDoubler (in, out, n); break;
        case 7:  ProcessBlockVariUp (in, out, n); break;
        case 8:  ProcessBlockVariUpDown (in, out, n); break;
        case 9:  ProcessBlockEnsemble360 (in, out, n); break;
        case 10: ProcessBlockSymphonic (in, out, n); break;
        case 0:
        default: ProcessBlockUp (in, out, n); break;
    }
}
