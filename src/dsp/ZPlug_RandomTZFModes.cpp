// Random through-zero modes: TZF+ (2) and TZF- (3). Two lines per channel
// whose delays wander on the smoothed random curves of G0 and G1; the lines
// of a channel are added (TZF+) or subtracted (TZF-). With a negative manual
// the delays pass through one sample, where TZF- cancels.

#include "ZPlug_Frame.h"

template <bool minus>
void ZPlug_Pelorin::ProcessTZF (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* m = bv.m;
    // TZF- uses the TZF+ multipliers of the other channel and swaps the two
    // right-channel depth scales.
    const float mA = minus ? m[4] : m[2];
    const float mB = minus ? m[5] : m[3];
    const float mC = minus ? m[2] : m[4];
    const float mD = minus ? m[3] : m[5];
    const float sC = minus ? 0.977f : 0.991f;
    const float sD = minus ? 0.991f : 0.977f;
    float F0 = F[0], F1 = F[1], F2 = F[2], F3 = F[3];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const float g0 = G0.Step();
        const float g1 = G1.Step();
        const float r0 = g0 + 1.0f + 0.5f;
        const float r1 = g1 + 1.0f + 0.5f;

        const float d0 = fabsf (mA * M + D * r0) + 1.0f;
        const float d1 = fabsf (mB * M + D * r1) + 1.0f;
        const float d2 = fabsf (mC * M + (D * sC) * r0) + 1.0f;
        const float d3 = fabsf (mD * M + (D * sD) * r1) + 1.0f;

        const float x0 = pL + F0 * c + ZMod_Noise();
        const float x1 = pL + F1 * c + ZMod_Noise();
        const float x2 = pR + F2 * c + ZMod_Noise();
        const float x3 = pR + F3 * c + ZMod_Noise();
        WriteLines<4> (Dl, { x0, x1, x2, x3 });
        const float y0 = Dl[0].ReadAllpass (d0);
        const float y1 = Dl[1].ReadAllpass (d1);
        const float y2 = Dl[2].ReadAllpass (d2);
        const float y3 = Dl[3].ReadAllpass (d3);

        // Both lines of a channel are fed back from its first line.
        F0 = F1 = ZMod_Saturate (H[0].Process (y0));
        F2 = F3 = ZMod_Saturate (H[2].Process (y2));

        if (minus)
        {
            wetL = 0.7071f * (y1 - y0);
            wetR = 0.7071f * (y3 - y2);
        }
        else
        {
            wetL = 0.7071f * (y0 + y1);
            wetR = 0.7071f * (y2 + y3);
        }

        AdvanceLines<4> (Dl);
    });

    F[0] = F0; F[1] = F1; F[2] = F2; F[3] = F3;
}

void ZPlug_Pelorin::ProcessBlockTZFPlus (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessTZF<false> (in, out, n);
}

void ZPlug_Pelorin::ProcessBlockTZFMinus (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessTZF<true> (in, out, n);
}
