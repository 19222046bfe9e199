#pragma once

#include <cstdint>

// Table-lookup oscillator: one 32-bit phase (a full cycle is 2^32) and four
// 256-entry tables with a guard entry, so voices read the same phase at fixed
// offsets (in 1/256 cycles) and interpolation never wraps.
class ZMod_MultiOsc
{
public:
    enum Table { eSine = 0, eTriangle, eRamp, eRaisedCosine, eNumTables };

    static constexpr int kTableSize = 256;

    ZMod_MultiOsc();

    // Table index (top 8 bits) and fraction (low 24 bits) of the current
    // phase. All reads of one sample step share them.
    struct Position
    {
        uint32_t index;
        float fraction;
        float oneMinusFraction;
    };

    inline Position GetPosition() const noexcept
    {
        const float fr = (float) (phase & 0xFFFFFFu) * 0x1p-24f;
        return { phase >> 24, fr, 1.0f - fr };
    }

    inline float Read (const float* table, const Position& p, uint32_t offset) const noexcept
    {
        const uint32_t j = (p.index + offset) & 255u;
        return table[j] * p.oneMinusFraction + table[j + 1] * p.fraction;
    }

    // Convenience for set-up code and tests; the mode loops use the form above.
    float Read (Table t, uint32_t offset) const noexcept { return Read (GetTable (t), GetPosition(), offset); }

    inline void Advance() noexcept { phase += (uint32_t) increment; }

    // Phase increment for a rate in Hz: (r * 256 / fs) * 2^24, in single
    // precision in that order, truncated toward zero.
    static int32_t IncrementFor (float rateHz, float sampleRate) noexcept;

    const float* GetTable (Table t) const noexcept { return tables[t]; }

    uint32_t phase = 0;
    int32_t increment = 0;

private:
    float tables[eNumTables][kTableSize + 1];
};

// Smoothed random segments: glides between random points in [-1, 1) with a
// smoothstep, one segment every 1/increment samples.
class ZMod_RandomLFO
{
public:
    // Reseeds the C library generator from the clock and draws three points.
    ZMod_RandomLFO();

    inline float Step() noexcept
    {
        if (phase >= 1.0f)
        {
            phase = phase - 1.0f;
            p1 = p2;
            p2 = p3;
            p3 = DrawPoint();
        }
        phase = phase + increment;
        const float X = 1.0f - 2.0f * phase;
        const float w = ((X * X) / (-3.0f) + 1.0f) * (X * (-0.75f)) + 0.5f;
        return p1 + (p2 - p1) * w;
    }

    static float DrawPoint() noexcept;

    // Back to the start of a segment with three fresh points from the C
    // library generator as it stands, without reseeding it. Lets an offline
    // render that seeds rand() repeat its random modulation too.
    void Restart() noexcept;

    float phase = 0.5f;
    float increment = 2.0833333e-5f;
    float p1 = 0.0f, p2 = 0.0f, p3 = 0.0f;
};
