// Diffuse ensemble modes: Ensemble360 (9) and Symphonic (10). Four
// sine-modulated lines whose saturated outputs are mixed by an orthogonal
// 4 x 4 matrix, low-passed and fed back into all four lines.

#include "ZPlug_Frame.h"

template <bool symphonic>
void ZPlug_Pelorin::ProcessEnsemble (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float kS = k;
    const float lpTarget = bv.lowpassTarget;
    // Manual multipliers between 6.18 and 10: the manual delay of these modes
    // is roughly ten times the displayed value.
    const float* m = bv.m + (symphonic ? 6 : 10);
    const float m0 = m[0], m1 = m[1], m2 = m[2], m3 = m[3];
    const float* sine0 = O0.GetTable (ZMod_MultiOsc::eSine);
    const float* sine1 = O1.GetTable (ZMod_MultiOsc::eSine);
    const float* sine2 = O2.GetTable (ZMod_MultiOsc::eSine);

    float lambda = lowpassCoef;
    float F0 = F[0], F1 = F[1], F2 = F[2], F3 = F[3];
    float L0 = L[0], L1 = L[1], L2 = L[2], L3 = L[3];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        lambda = lambda + kS * (lpTarget - lambda);

        float d0, d1, d2, d3;
        if (symphonic)
        {
            // Three sources at unrelated rates: O1 and O2 (two phases); O0 stands still.
            const float w = (O1.Read (sine1, O1.GetPosition(), 0) + 1.0f) * 0.5f;
            const auto p2 = O2.GetPosition();
            const float a = (O2.Read (sine2, p2, 0) + 1.0f) * 0.5f;
            const float b = (O2.Read (sine2, p2, 64) + 1.0f) * 0.5f;
            O1.Advance();
            O2.Advance();
            d0 = fabsf (m0 * M + D * w) + 1.0f;
            d1 = fabsf (m1 * M + D * b) + 1.0f;
            d2 = fabsf (m2 * M + D * a) + 1.0f;
            d3 = fabsf (m3 * M + (1.0f - w) * D) + 1.0f;
        }
        else
        {
            const auto p0 = O0.GetPosition();
            const float u = (O0.Read (sine0, p0, 0) + 1.0f) * 0.5f;
            const float v = (O0.Read (sine0, p0, 64) + 1.0f) * 0.5f;
            O0.Advance();
            d0 = fabsf (m0 * M + D * u) + 1.0f;
            d1 = fabsf (m1 * M + D * v) + 1.0f;
            d2 = fabsf (m2 * M + (1.0f - u) * D) + 1.0f;
            d3 = fabsf (m3 * M + (1.0f - v) * D) + 1.0f;
        }

        const float x0 = pL + F0 * c + ZMod_Noise();
        const float x1 = pL + F1 * c + ZMod_Noise();
        const float x2 = pR + F2 * c + ZMod_Noise();
        const float x3 = pR + F3 * c + ZMod_Noise();
        WriteLines<4> (Dl, { x0, x1, x2, x3 });
        const float z0 = H[0].Process (Dl[0].ReadAllpass (d0));
        const float z1 = H[1].Process (Dl[1].ReadAllpass (d1));
        const float z2 = H[2].Process (Dl[2].ReadAllpass (d2));
        const float z3 = H[3].Process (Dl[3].ReadAllpass (d3));
        const float t0 = ZMod_Saturate (z0);
        const float t1 = ZMod_Saturate (z1);
        const float t2 = ZMod_Saturate (z2);
        const float t3 = ZMod_Saturate (z3);

        float X0, X1, X2, X3;
        if (symphonic)
        {
            // Orthonormal rows: each line hears two others, one from the other side.
            const float g = 0.70710677f;
            X0 = (t1 - t2) * g;
            X1 = (t0 + t3) * g;
            X2 = (t0 - t3) * g;
            X3 = (t1 + t2) * g;
        }
        else
        {
            // Householder reflection I - 1/2 * ones.
            const float h = ((((0.0f + t0) + t1) + t2) + t3) * 0.5f;
            X0 = t0 - h;
            X1 = t1 - h;
            X2 = t2 - h;
            X3 = t3 - h;
        }

        L0 = L0 + lambda * (X0 - L0);
        L1 = L1 + lambda * (X1 - L1);
        L2 = L2 + lambda * (X2 - L2);
        L3 = L3 + lambda * (X3 - L3);
        F0 = L0;
        F1 = L1;
        F2 = L2;
        F3 = L3;

        wetL = 0.7071f * (z0 + z1);
        wetR = 0.7071f * (z2 + z3);

        AdvanceLines<4> (Dl);
    });

    lowpassCoef = lambda;
    F[0] = F0; F[1] = F1; F[2] = F2; F[3] = F3;
    L[0] = L0; L[1] = L1; L[2] = L2; L[3] = L3;
}

void ZPlug_Pelorin::ProcessBlockEnsemble360 (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessEnsemble<false> (in, out, n);
}

void ZPlug_Pelorin::ProcessBlockSymphonic (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessEnsemble<true> (in, out, n);
}
