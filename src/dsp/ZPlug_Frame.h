#pragma once

// The sample-step frame every mode routine runs. Included only by the mode
// routine sources; each instantiation with a mode's voice lambda compiles to
// that mode's own specialised loop.

#include "ZPlug_Pelorin.h"

#include <cstddef>

// What enters the wet path. A NaN or infinity (hosts do send them) would stay
// in the emphasis, interpolator and feedback states for good, so it enters as
// silence; finite samples beyond +-1e15 (300 dB over full scale) are held
// there so the recursive states cannot overflow. Every other sample passes
// unchanged, and the dry path always gets the input as it came.
inline float ZPlug_WetInput (float x) noexcept
{
    constexpr float kLimit = 1.0e15f;
    const float clamped = x < -kLimit ? -kLimit : (x > kLimit ? kLimit : x);
    return x == x ? clamped : 0.0f;
}

// Write one sample into each of the first N lines, in line order.
template <size_t N>
inline void WriteLines (ZMod_DelayLine* lines, const float (&x)[N]) noexcept
{
    for (size_t j = 0; j < N; ++j)
        lines[j].Write (x[j]);
}

// Frame step 7 for the first N lines: every write position moves one slot back.
template <size_t N>
inline void AdvanceLines (ZMod_DelayLine* lines) noexcept
{
    for (size_t j = 0; j < N; ++j)
        lines[j].Advance();
}

template <typename Voice>
inline void ZPlug_Pelorin::RunFrame (const float* const in[2], float* const out[2], int n, const BlockValues& bv, Voice&& voice) noexcept
{
    const float* inL = in[0];
    const float* inR = in[1];
    float* outL = out[0];
    float* outR = out[1];

    const float kS = k;
    const float depthT = bv.depthTarget;
    const float manualT = bv.manualTarget;
    const float wet = bv.wet;
    const float dry = bv.dry;

    float D = smoothD;
    float M = smoothM;
    ZMod_Emphasis pl = preL, pr = preR, dl = deL, dr = deR;

    for (int i = 0; i < n; ++i)
    {
        // 1. smoothing
        D = D + kS * (depthT - D);
        M = M + kS * (manualT - M);

        // 3. input and pre-emphasis (read both before any output is stored,
        // since the buffers may alias)
        const float xL = inL[i];
        const float xR = inR[i];
        const float pL = pl.Process (ZPlug_WetInput (xL));
        const float pR = pr.Process (ZPlug_WetInput (xR));

        // 2 and 4. the mode's modulation and voice network, 7. line advance
        float wetL, wetR;
        voice (D, M, pL, pR, wetL, wetR);

        // 5. de-emphasis, 6. equal-power mix, left stored first
        const float eL = dl.Process (wetL);
        const float eR = dr.Process (wetR);
        outL[i] = wet * eL + dry * xL;
        outR[i] = wet * eR + dry * xR;
    }

    smoothD = D;
    smoothM = M;
    preL = pl;
    preR = pr;
    deL = dl;
    deR = dr;
}
