// Glitch modes: VariUp (7) and VariUpDown (8). One ramp-driven voice per
// channel and no crossfade, so the jump at each ramp wrap is heard; the line
// input is coarsened to four significant bits first.

#include "ZPlug_Frame.h"

float ZPlug_Pelorin::Quantize (float x) noexcept
{
    int e = 0;
    const float m = frexpf (x, &e);
    // Clearing the low 12 bits of m * 2^16 keeps one implicit and three more
    // mantissa bits; in two's complement that rounds a negative value away
    // from zero.
    const int32_t q = (int32_t) (m * 65536.0f) & (int32_t) 0xFFFFF000u;
    return ldexpf ((float) q * 0x1p-16f, e);
}

template <bool upDown>
void ZPlug_Pelorin::ProcessVari (const float* const in[2], float* const out[2], int n) noexcept
{
    if (n <= 0)
        return;

    const BlockValues bv = BeginBlock();
    const float c = bv.c;
    const float* ramp = O0.GetTable (ZMod_MultiOsc::eRamp);
    float F0 = F[0], F1 = F[1];

    RunFrame (in, out, n, bv, [&] (float D, float M, float pL, float pR, float& wetL, float& wetR) noexcept {
        const auto pos = O0.GetPosition();
        const float r0 = O0.Read (ramp, pos, 0);
        const float r128 = O0.Read (ramp, pos, 128);
        O0.Advance();

        const float d0 = fabsf ((1.0f - r0) * D + M) + 1.0f;
        const float d1 = upDown ? fabsf (r128 * D + M) + 1.0f
                                : fabsf ((1.0f - r128) * D + M) + 1.0f;

        // Input and feedback are quantized together, so the quantization
        // error recirculates; the noise goes in afterwards.
        const float a = pL + F0 * c;
        const float b = pR + F1 * c;
        const float x0 = Quantize (a) + ZMod_Noise();
        const float x1 = Quantize (b) + ZMod_Noise();
        WriteLines<2> (Dl, { x0, x1 });
        const float y0 = Dl[0].ReadAllpass (d0);
        const float y1 = Dl[1].ReadAllpass (d1);

        F0 = ZMod_Saturate (H[0].Process (y0));
        F1 = ZMod_Saturate (H[1].Process (y1));

        wetL = y0;
        wetR = y1;

        AdvanceLines<2> (Dl);
    });

    F[0] = F0;
    F[1] = F1;
}

void ZPlug_Pelorin::ProcessBlockVariUp (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessVari<false> (in, out, n);
}

void ZPlug_Pelorin::ProcessBlockVariUpDown (const float* const in[2], float* const out[2], int n) noexcept
{
    ProcessVari<true> (in, out, n);
}
