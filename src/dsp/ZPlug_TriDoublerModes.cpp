// Triangle-driven modes: Tri (4), an antiphase flanger with cross-coupled
// allpass colouring, and Doubler (6), one voice per channel on the triangle in
// opposite directions plus independent random drift.

#include "ZPlug_Frame.h"

void ZPlug_Pelorin::ProcessBlockTri (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* tri = O0.GetTable (ZMod_MultiOsc::eTriangle);
    float F0 = F[0], F1 = F[1];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const float T = O0.Read (tri, O0.GetPosition(), 0);
        O0.Advance();

        // D0 and D1 sweep in antiphase between 1 and D + 1 samples; D8 and D9
        // sit at the manual delay.
        const float dA = (T + 1.0f) * 0.5f * D + 1.0f;
        const float dB = (1.0f - T) * 0.5f * D + 1.0f;
        const float dC = fabsf (M * 0.813f) + 1.0f;
        const float dD = fabsf (M) + 1.0f;

        const float x0 = pL + F0 * c + ZMod_Noise();
        const float x1 = pR + F1 * c + ZMod_Noise();
        Dl[0].Write (x0);
        Dl[1].Write (x1);

        const float y0 = Dl[0].ReadAllpass (dA);
        const float a1 = A[1].Process (A[0].Process (y0));
        const float a3 = A[3].Process (A[2].Process (a1));
        F0 = ZMod_Saturate (H[0].Process (y0));

        const float y1 = Dl[1].ReadAllpass (dB);
        const float b1 = A[5].Process (A[4].Process (y1));
        const float b3 = A[7].Process (A[6].Process (b1));
        F1 = ZMod_Saturate (H[1].Process (y1));

        Dl[8].Write (a1);
        Dl[9].Write (b1);
        const float z8 = Dl[8].ReadAllpass (dC);
        const float z9 = Dl[9].ReadAllpass (dD);

        // Each side hears its own voice after two allpasses and the manual
        // delay, plus the other side's voice after four allpasses.
        wetL = 0.7071f * (z8 + b3);
        wetR = 0.7071f * (z9 + a3);

        Dl[0].Advance();
        Dl[1].Advance();
        Dl[8].Advance();
        Dl[9].Advance();
    });

    F[0] = F0;
    F[1] = F1;
}

void ZPlug_Pelorin::ProcessBlockDoubler (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    // One side's manual offset is 0.618 times the other's; the sign of the
    // manual picks which side is longer.
    const float m0 = bv.m[0];
    const float m1 = bv.m[1];
    const float* tri = O0.GetTable (ZMod_MultiOsc::eTriangle);
    float F0 = F[0], F1 = F[1];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const float t = O0.Read (tri, O0.GetPosition(), 0) * 0.667f;
        O0.Advance();
        const float q0 = G0.Step();
        const float q1 = G1.Step();
        const float modL = q0 * 0.333f + t;
        const float modR = t + q1 * 0.333f;

        const float dL = fabsf (m0 * M) + (modL + 1.0f) * 0.5f * D + 1.0f;
        const float dR = fabsf (m1 * M) + (1.0f - modR) * 0.5f * D + 1.0f;

        const float x0 = pL + F0 * c + ZMod_Noise();
        const float x1 = pR + F1 * c + ZMod_Noise();
        WriteLines<2> (Dl, { x0, x1 });
        const float y0 = Dl[0].ReadAllpass (dL);
        const float y1 = Dl[1].ReadAllpass (dR);

        F0 = ZMod_Saturate (H[0].Process (y0));
        F1 = ZMod_Saturate (H[1].Process (y1));

        wetL = y0;
        wetR = y1;

        AdvanceLines<2> (Dl);
    });

    F[0] = F0;
    F[1] = F1;
}
