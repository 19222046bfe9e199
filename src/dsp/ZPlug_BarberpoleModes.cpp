// Barberpole modes: Up (0), Up/Down (1) and Ocho (5). Every voice reads its
// line at a delay that follows O0's ramp, so the delay keeps shrinking (pitch
// up) or growing (pitch down); when the ramp wraps the voice jumps back while
// its raised-cosine weight is exactly zero.

#include "ZPlug_Frame.h"

namespace
{
// Falling and rising delays for a ramp value r.
inline float FallingDelay (float r, float D, float M) noexcept { return fabsf ((1.0f - r) * D + M) + 1.0f; }
inline float RisingDelay (float r, float D, float M) noexcept { return fabsf (r * D + M) + 1.0f; }
} // namespace

void ZPlug_Pelorin::ProcessBlockUp (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* ramp = O0.GetTable (ZMod_MultiOsc::eRamp);
    const float* cosw = O0.GetTable (ZMod_MultiOsc::eRaisedCosine);
    float F0 = F[0], F1 = F[1], F2 = F[2], F3 = F[3];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const auto pos = O0.GetPosition();
        const float r0 = O0.Read (ramp, pos, 0), r64 = O0.Read (ramp, pos, 64);
        const float r128 = O0.Read (ramp, pos, 128), r192 = O0.Read (ramp, pos, 192);
        const float w0 = O0.Read (cosw, pos, 0), w64 = O0.Read (cosw, pos, 64);
        const float w128 = O0.Read (cosw, pos, 128), w192 = O0.Read (cosw, pos, 192);
        O0.Advance();

        const float x0 = pL + F0 * c + ZMod_Noise();
        const float x1 = pL + F1 * c + ZMod_Noise();
        const float x2 = pR + F2 * c + ZMod_Noise();
        const float x3 = pR + F3 * c + ZMod_Noise();
        WriteLines<4> (Dl, { x0, x1, x2, x3 });

        // Left voices half a cycle apart, right voices a quarter cycle from them.
        const float y0 = Dl[0].ReadAllpass (FallingDelay (r0, D, M));
        const float y1 = Dl[1].ReadAllpass (FallingDelay (r128, D, M));
        const float y2 = Dl[2].ReadAllpass (FallingDelay (r64, D, M));
        const float y3 = Dl[3].ReadAllpass (FallingDelay (r192, D, M));

        F0 = ZMod_Saturate (H[0].Process (y0));
        F1 = ZMod_Saturate (H[1].Process (y1));
        F2 = ZMod_Saturate (H[2].Process (y2));
        F3 = ZMod_Saturate (H[3].Process (y3));

        wetL = w0 * y0 + w128 * y1;
        wetR = w64 * y2 + w192 * y3;

        AdvanceLines<4> (Dl);
    });

    F[0] = F0; F[1] = F1; F[2] = F2; F[3] = F3;
}

void ZPlug_Pelorin::ProcessBlockUpDown (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* ramp = O0.GetTable (ZMod_MultiOsc::eRamp);
    const float* cosw = O0.GetTable (ZMod_MultiOsc::eRaisedCosine);
    float F0 = F[0], F1 = F[1], F2 = F[2], F3 = F[3];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const auto pos = O0.GetPosition();
        const float r0 = O0.Read (ramp, pos, 0), r128 = O0.Read (ramp, pos, 128);
        const float w0 = O0.Read (cosw, pos, 0), w128 = O0.Read (cosw, pos, 128);
        O0.Advance();

        // Saturated at the line input; the feedback path is then linear.
        const float x0 = ZMod_Saturate (pL + F0 * c + ZMod_Noise());
        const float x1 = ZMod_Saturate (pL + F1 * c + ZMod_Noise());
        const float x2 = ZMod_Saturate (pR + F2 * c + ZMod_Noise());
        const float x3 = ZMod_Saturate (pR + F3 * c + ZMod_Noise());
        WriteLines<4> (Dl, { x0, x1, x2, x3 });

        // Left falls (up for a positive rate), right rises (down).
        const float y0 = Dl[0].ReadAllpass (FallingDelay (r0, D, M));
        const float y1 = Dl[1].ReadAllpass (FallingDelay (r128, D, M));
        const float y2 = Dl[2].ReadAllpass (RisingDelay (r0, D, M));
        const float y3 = Dl[3].ReadAllpass (RisingDelay (r128, D, M));

        F0 = H[0].Process (y0);
        F1 = H[1].Process (y1);
        F2 = H[2].Process (y2);
        F3 = H[3].Process (y3);

        wetL = w0 * y0 + w128 * y1;
        wetR = w0 * y2 + w128 * y3;

        AdvanceLines<4> (Dl);
    });

    F[0] = F0; F[1] = F1; F[2] = F2; F[3] = F3;
}

void ZPlug_Pelorin::ProcessBlockOcho (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* ramp = O0.GetTable (ZMod_MultiOsc::eRamp);
    const float* cosw = O0.GetTable (ZMod_MultiOsc::eRaisedCosine);

    // Line k carries the voice at this offset: even voices left (D0..D3),
    // odd voices right (D4..D7), 45 degrees apart.
    static constexpr uint32_t kOffset[8] = { 0, 128, 64, 192, 32, 160, 96, 224 };

    float Fl[8];
    for (int j = 0; j < 8; ++j)
        Fl[j] = F[j];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const auto pos = O0.GetPosition();
        float d[8], w[8];
        for (int j = 0; j < 8; ++j)
        {
            d[j] = FallingDelay (O0.Read (ramp, pos, kOffset[j]), D, M);
            w[j] = O0.Read (cosw, pos, kOffset[j]);
        }
        O0.Advance();

        float y[8];
        for (int j = 0; j < 8; ++j)
        {
            const float p = j < 4 ? pL : pR;
            Dl[j].Write (p + Fl[j] * c + ZMod_Noise());
        }
        for (int j = 0; j < 8; ++j)
            y[j] = Dl[j].ReadAllpass (d[j]);
        for (int j = 0; j < 8; ++j)
            Fl[j] = ZMod_Saturate (H[j].Process (y[j]));

        // 0.7071 as written (0.70709997), not 1/sqrt 2: four weights sum to 2.
        wetL = 0.7071f * (w[0] * y[0] + w[1] * y[1] + w[2] * y[2] + w[3] * y[3]);
        wetR = 0.7071f * (w[4] * y[4] + w[5] * y[5] + w[6] * y[6] + w[7] * y[7]);

        AdvanceLines<8> (Dl);
    });

    for (int j = 0; j < 8; ++j)
        F[j] = Fl[j];
}
