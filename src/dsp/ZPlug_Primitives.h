#pragma once

#include <cmath>
#include <cstdlib>

// Per-sample building blocks shared by every mode routine.

// First-order section, transposed direct form II. With b0 = 1, b1 = -1 it is
// a DC blocker; with a1 = b0 = w, b1 = 1 a first-order allpass.
struct ZMod_FirstOrder
{
    float a1 = 0.0f, b0 = 1.0f, b1 = 0.0f, s = 0.0f;

    inline float Process (float x) noexcept
    {
        const float y = b0 * x + s;
        s = b1 * x - a1 * y;
        return y;
    }
};

// First-order high shelf built from a first-order allpass: x - a is twice the
// high-pass part of x, so the high-frequency gain is 1 + 2g. Pre- and
// de-emphasis use matched coefficients and gains so one undoes the other.
struct ZMod_Emphasis
{
    float s = 0.0f, c = 0.0f, g = 0.0f;

    inline float Process (float x) noexcept
    {
        const float w = x - c * s;
        const float a = c * w + s;
        s = w;
        return x + g * (x - a);
    }
};

// Saturator with unity slope at 0, bounded to +-0.5.
inline float ZMod_Saturate (float x) noexcept
{
    return 0.5f * tanhf (2.0f * x);
}

// Uniform noise of +-1.58e-5 (-90 dB peak to peak) injected into every line
// so that the recirculating paths never settle into exact zeros.
inline float ZMod_Noise() noexcept
{
    return ((float) rand() * 0x1p-31f - 0.5f) * 3.1622778e-5f;
}
