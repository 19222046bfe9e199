#include "ZMod_MultiOsc.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

ZMod_MultiOsc::ZMod_MultiOsc()
{
    for (int i = 0; i <= kTableSize; ++i)
        tables[eSine][i] = sinf ((float) i * 0.00390625f * 6.283185f);

    for (int i = 0; i < kTableSize; ++i)
    {
        float tri;
        if (i < 64)        tri = (float) i / 64.0f;
        else if (i < 128)  tri = (float) (128 - i) / 64.0f;
        else if (i < 192)  tri = -(float) (i - 128) / 64.0f;
        else               tri = (float) (i - 256) / 64.0f;

        tables[eTriangle][i] = tri;
        tables[eRamp][i] = (float) i / 256.0f;
        tables[eRaisedCosine][i] = (1.0f - cosf ((float) i * 0.00390625f * 6.283185f)) * 0.5f;
    }

    // Guard entries continue the cycle so that index 255 interpolates toward it.
    tables[eTriangle][kTableSize] = 0.0f;
    tables[eRamp][kTableSize] = 1.0f;
    tables[eRaisedCosine][kTableSize] = 0.0f;
}

int32_t ZMod_MultiOsc::IncrementFor (float rateHz, float sampleRate) noexcept
{
    const float inc = ((rateHz * 256.0f) / sampleRate) * 16777216.0f;
    return (int32_t) inc;
}

ZMod_RandomLFO::ZMod_RandomLFO()
{
    srand ((unsigned) time (nullptr));
    p1 = DrawPoint();
    p2 = DrawPoint();
    p3 = DrawPoint();
}

void ZMod_RandomLFO::Restart() noexcept
{
    phase = 0.5f;
    p1 = DrawPoint();
    p2 = DrawPoint();
    p3 = DrawPoint();
}

float ZMod_RandomLFO::DrawPoint() noexcept
{
    return 2.0f * ((float) rand() * 0x1p-31f) - 1.0f;
}
