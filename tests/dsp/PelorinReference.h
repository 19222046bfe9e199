#pragma once

// A second, deliberately plain statement of the engine's signal path, written
// from the algorithm description rather than from the engine's code: one
// sample at a time, a switch on the mode inside the sample loop, its own
// tables, lines, filters, warps and coefficients. The engine's optimised
// loops must match it bit for bit.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace ref
{
struct Tables
{
    float sine[257], tri[257], ramp[257], rcos[257];

    Tables()
    {
        for (int i = 0; i <= 256; ++i)
            sine[i] = sinf ((float) i * 0.00390625f * 6.283185f);
        for (int i = 0; i < 256; ++i)
        {
            if (i < 64)
                tri[i] = (float) i / 64.0f;
            else if (i < 128)
                tri[i] = (float) (128 - i) / 64.0f;
            else if (i < 192)
                tri[i] = -((float) (i - 128) / 64.0f);
            else
                tri[i] = (float) (i - 256) / 64.0f;
            ramp[i] = (float) i / 256.0f;
            rcos[i] = (1.0f - cosf ((float) i * 0.00390625f * 6.283185f)) * 0.5f;
        }
        tri[256] = 0.0f;
        ramp[256] = 1.0f;
        rcos[256] = 0.0f;
    }
};

inline const Tables& T()
{
    static const Tables t;
    return t;
}

struct Osc
{
    uint32_t phase = 0;
    int32_t inc = 0;

    float read (const float* table, uint32_t offset) const
    {
        const uint32_t i = phase >> 24;
        const float fr = (float) (phase & 0xFFFFFFu) * 5.9604645e-8f;
        const uint32_t j = (i + offset) & 255u;
        return table[j] * (1.0f - fr) + table[j + 1] * fr;
    }

    void advance() { phase = phase + (uint32_t) inc; }
};

inline int32_t incrementFor (float r, float fs)
{
    return (int32_t) ((r * 256.0f / fs) * 16777216.0f);
}

struct Random
{
    float phase = 0.5f, inc = 0.0f, p1 = 0.0f, p2 = 0.0f, p3 = 0.0f;

    float step()
    {
        if (phase >= 1.0f)
        {
            phase = phase - 1.0f;
            p1 = p2;
            p2 = p3;
            p3 = 2.0f * ((float) rand() / 2147483648.0f) - 1.0f;
        }
        phase = phase + inc;
        const float X = 1.0f - 2.0f * phase;
        const float w = ((X * X) / (-3.0f) + 1.0f) * (X * (-0.75f)) + 0.5f;
        return p1 + (p2 - p1) * w;
    }
};

struct Line
{
    std::vector<float> buf;
    int64_t mask;
    int64_t w = 0;
    float state = 0.0f;

    explicit Line (int64_t length) : buf ((size_t) length, 0.0f), mask (length - 1) {}

    void write (float x) { buf[(size_t) w] = x; }

    float read (float d)
    {
        const int64_t n = (int64_t) d;
        const float f = d - (float) n;
        const float x = f - 0.5f;
        const float eta = ((((64.0f * x) / 243.0f - 0.39506173f) * x + 0.5925926f) * x - 0.8888889f) * x + 0.33333334f;
        const float a = buf[(size_t) ((w + n) & mask)];
        const float b = buf[(size_t) ((w + n + 1) & mask)];
        const float y = (a - state) * eta + b;
        state = y;
        return y;
    }

    void advance() { w = (w - 1) & mask; }

    void clear()
    {
        for (auto& s : buf)
            s = 0.0f;
        state = 0.0f;
    }
};

struct Section
{
    float a1 = 0.0f, b0 = 0.0f, b1 = 0.0f, s = 0.0f;

    float run (float x)
    {
        const float y = b0 * x + s;
        s = b1 * x - a1 * y;
        return y;
    }
};

struct Emphasis
{
    float s = 0.0f, c = 0.0f, g = 0.0f;

    float run (float x)
    {
        const float w = x - c * s;
        const float a = c * w + s;
        s = w;
        return x + g * (x - a);
    }
};

inline float S (float x) { return 0.5f * tanhf (2.0f * x); }
inline float N() { return ((float) rand() / 2147483648.0f - 0.5f) * 3.1622778e-5f; }

inline float Q (float x)
{
    int e = 0;
    const float m = frexpf (x, &e);
    int32_t q = (int32_t) (m * 65536.0f);
    q = (int32_t) ((uint32_t) q & 0xFFFFF000u);
    return ldexpf ((float) q * 1.5258789e-5f, e);
}

inline float bipolar (float mx, float e, float w)
{
    if (w > 0.5f)
        return mx * expf (logf ((w - 0.5f) * 2.0f) / e);
    if (w < 0.5f)
        return -(mx * expf (logf ((0.5f - w) * 2.0f) / e));
    return 0.0f;
}

inline float physical (int index, float w)
{
    switch (index)
    {
        case 0: return 0.0f + (100.0f - 0.0f) * w;
        case 1: return bipolar (10.0f, 0.3f, w);
        case 2: return 0.0f + (50.0f - 0.0f) * (w > 0.0f ? expf (logf (w) / 0.43067655f) : w);
        case 3: return -100.0f + (100.0f - -100.0f) * w;
        case 4: return bipolar (50.0f, 0.25f, w);
        default: return (12.0f - 1.0f) * w;
    }
}

struct Engine
{
    static constexpr float rows[2][14] = {
        { 0.618f, 1.0f, 0.98f, 0.49f, 1.0f, 0.5f, 10.0f, 9.1f, 7.8f, 6.89f, 10.0f, 8.5179005f, 7.2556f, 6.1803389f },
        { 1.0f, 0.618f, 1.0f, 0.5f, 0.98f, 0.49f, 6.89f, 7.8f, 9.1f, 10.0f, 6.1803389f, 7.2556f, 8.5179005f, 10.0f },
    };

    float fs = 48000.0f;
    float norm[6] = { -1, -1, -1, -1, -1, -1 };
    float val[6] = {};
    int mode = 0;
    float wet = 0, dry = 0, c = 0, depthT = 0, manualT = 0, lpT = 0, lam = 0, k = 0;
    const float* m = rows[0];
    float F[8] = {}, L[4] = {}, D = 0, M = 0;
    Section H[8], A[8];
    Emphasis preL, preR, deL, deR;
    Osc O[3];
    Random G[2];
    std::vector<Line> Dl;

    Engine()
    {
        for (int i = 0; i < 8; ++i)
            Dl.emplace_back (65536);
        Dl.emplace_back (16384);
        Dl.emplace_back (16384);
        rateCoefficients (0.0079577537f);
    }

    void rateCoefficients (float dcScale)
    {
        const float K = 2.0f * fs * dcScale;
        for (auto& h : H)
        {
            h.a1 = (1.0f - K) / (1.0f + K);
            h.b0 = 1.0f;
            h.b1 = -1.0f;
        }
        const float t = tanf (6685.3096f / fs);
        preL.c = preR.c = (t - 1.0f) / (t + 1.0f);
        preL.g = preR.g = 1.490536f;
        deL.c = deR.c = (0.25118864f * t - 1.0f) / (0.25118864f * t + 1.0f);
        deL.g = deR.g = -0.37440568f;
        k = 1.0f - expf (-1000.0f / (300.0f * fs));
        const float Ka = 2.0f * fs * 0.0005305169f;
        const float w = (1.0f - Ka) / (1.0f + Ka);
        for (auto& a : A)
        {
            a.a1 = w;
            a.b0 = w;
            a.b1 = 1.0f;
        }
    }

    void set (int index, float v)
    {
        if (v == norm[index])
            return;
        const float w = v < 0.0f ? 0.0f : (v < 1.0f ? v : 1.0f);
        norm[index] = w;
        val[index] = physical (index, w);
        calc (index);
    }

    void calcRate()
    {
        const float r = val[1];
        O[0].inc = incrementFor (r, fs);
        O[1].inc = incrementFor (0.07f + 0.618f * r, fs);
        O[2].inc = incrementFor (0.5f * r, fs);
        G[0].inc = fabsf (r) / fs;
        G[1].inc = fabsf (0.618f * r) / fs;
    }

    void calcManual()
    {
        manualT = val[4] * fs / 1000.0f;
        m = manualT >= 0.0f ? rows[0] : rows[1];
        const float d = val[2];
        const float fc = 50000.0f / (fabsf (d < 25.0f ? d : 25.0f) + 0.1f);
        lpT = 1.0f - expf (fc * (-6.2831855f) / fs);
    }

    void calc (int index)
    {
        switch (index)
        {
            case 0:
            {
                const float theta = val[0] * 0.01f * 3.1415925f * 0.5f;
                wet = sinf (theta);
                dry = cosf (theta);
                break;
            }
            case 1: calcRate(); break;
            case 2: depthT = val[2] * fs / 1000.0f; break;
            case 3: c = val[3] * 0.01f * 0.99f + 0.0001f; break;
            case 4: calcManual(); break;
            default:
            {
                const int n = (int) floorf (val[5]) - 1;
                mode = n > 0 ? n : 0;
                reset();
                break;
            }
        }
    }

    void setRate (int rate)
    {
        if ((float) rate == fs)
            return;
        fs = (float) rate;
        for (auto& l : Dl)
            l.clear();
        for (auto& h : H)
            h.s = 0.0f;
        calcRate();
        depthT = val[2] * fs / 1000.0f;
        calcManual();
        rateCoefficients (0.015915507f);
    }

    void reset()
    {
        for (auto& l : Dl)
            l.clear();
        for (auto& h : H)
            h.s = 0.0f;
        for (auto& a : A)
            a.s = 0.0f;
    }

    void process (const float* inL, const float* inR, float* outL, float* outR, int n);
};

inline void Engine::process (const float* inL, const float* inR, float* outL, float* outR, int n)
{
    const Tables& tb = T();
    for (int i = 0; i < n; ++i)
    {
        // 1. smoothing
        D = D + k * (depthT - D);
        M = M + k * (manualT - M);
        if (mode == 9 || mode == 10)
            lam = lam + k * (lpT - lam);

        // 3. input (pre-emphasis; no state is shared with the modulation)
        const float xL = inL[i];
        const float xR = inR[i];
        const float pL = preL.run (xL);
        const float pR = preR.run (xR);

        float wetL = 0.0f, wetR = 0.0f;
        int used = 0;

        switch (mode)
        {
            case 0:
            case 1:
            case 5:
            {
                const Osc& o = O[0];
                auto R = [&] (uint32_t off) { return o.read (tb.ramp, off); };
                auto W = [&] (uint32_t off) { return o.read (tb.rcos, off); };
                auto dF = [&] (uint32_t off) { return fabsf ((1.0f - R (off)) * D + M) + 1.0f; };
                auto dR = [&] (uint32_t off) { return fabsf (R (off) * D + M) + 1.0f; };

                if (mode == 0)
                {
                    const float x0 = pL + F[0] * c + N();
                    const float x1 = pL + F[1] * c + N();
                    const float x2 = pR + F[2] * c + N();
                    const float x3 = pR + F[3] * c + N();
                    Dl[0].write (x0); Dl[1].write (x1); Dl[2].write (x2); Dl[3].write (x3);
                    const float y0 = Dl[0].read (dF (0));
                    const float y1 = Dl[1].read (dF (128));
                    const float y2 = Dl[2].read (dF (64));
                    const float y3 = Dl[3].read (dF (192));
                    F[0] = S (H[0].run (y0));
                    F[1] = S (H[1].run (y1));
                    F[2] = S (H[2].run (y2));
                    F[3] = S (H[3].run (y3));
                    wetL = W (0) * y0 + W (128) * y1;
                    wetR = W (64) * y2 + W (192) * y3;
                    used = 4;
                }
                else if (mode == 1)
                {
                    const float x0 = S (pL + F[0] * c + N());
                    const float x1 = S (pL + F[1] * c + N());
                    const float x2 = S (pR + F[2] * c + N());
                    const float x3 = S (pR + F[3] * c + N());
                    Dl[0].write (x0); Dl[1].write (x1); Dl[2].write (x2); Dl[3].write (x3);
                    const float y0 = Dl[0].read (dF (0));
                    const float y1 = Dl[1].read (dF (128));
                    const float y2 = Dl[2].read (dR (0));
                    const float y3 = Dl[3].read (dR (128));
                    F[0] = H[0].run (y0);
                    F[1] = H[1].run (y1);
                    F[2] = H[2].run (y2);
                    F[3] = H[3].run (y3);
                    wetL = W (0) * y0 + W (128) * y1;
                    wetR = W (0) * y2 + W (128) * y3;
                    used = 4;
                }
                else
                {
                    const uint32_t off[8] = { 0, 128, 64, 192, 32, 160, 96, 224 };
                    float y[8];
                    for (int j = 0; j < 8; ++j)
                        Dl[j].write ((j < 4 ? pL : pR) + F[j] * c + N());
                    for (int j = 0; j < 8; ++j)
                        y[j] = Dl[j].read (dF (off[j]));
                    for (int j = 0; j < 8; ++j)
                        F[j] = S (H[j].run (y[j]));
                    wetL = 0.7071f * (W (0) * y[0] + W (128) * y[1] + W (64) * y[2] + W (192) * y[3]);
                    wetR = 0.7071f * (W (32) * y[4] + W (160) * y[5] + W (96) * y[6] + W (224) * y[7]);
                    used = 8;
                }
                O[0].advance();
                break;
            }

            case 7:
            case 8:
            {
                const float r0 = O[0].read (tb.ramp, 0);
                const float r128 = O[0].read (tb.ramp, 128);
                O[0].advance();
                const float d0 = fabsf ((1.0f - r0) * D + M) + 1.0f;
                const float d1 = mode == 7 ? fabsf ((1.0f - r128) * D + M) + 1.0f : fabsf (r128 * D + M) + 1.0f;
                const float a = pL + F[0] * c;
                const float b = pR + F[1] * c;
                const float x0 = Q (a) + N();
                const float x1 = Q (b) + N();
                Dl[0].write (x0);
                Dl[1].write (x1);
                const float y0 = Dl[0].read (d0);
                const float y1 = Dl[1].read (d1);
                F[0] = S (H[0].run (y0));
                F[1] = S (H[1].run (y1));
                wetL = y0;
                wetR = y1;
                used = 2;
                break;
            }

            case 2:
            case 3:
            {
                const float g0 = G[0].step();
                const float g1 = G[1].step();
                const float r0 = g0 + 1.0f + 0.5f;
                const float r1 = g1 + 1.0f + 0.5f;
                float d0, d1, d2, d3;
                if (mode == 2)
                {
                    d0 = fabsf (m[2] * M + D * r0) + 1.0f;
                    d1 = fabsf (m[3] * M + D * r1) + 1.0f;
                    d2 = fabsf (m[4] * M + (D * 0.991f) * r0) + 1.0f;
                    d3 = fabsf (m[5] * M + (D * 0.977f) * r1) + 1.0f;
                }
                else
                {
                    d0 = fabsf (m[4] * M + D * r0) + 1.0f;
                    d1 = fabsf (m[5] * M + D * r1) + 1.0f;
                    d2 = fabsf (m[2] * M + (D * 0.977f) * r0) + 1.0f;
                    d3 = fabsf (m[3] * M + (D * 0.991f) * r1) + 1.0f;
                }
                const float x0 = pL + F[0] * c + N();
                const float x1 = pL + F[1] * c + N();
                const float x2 = pR + F[2] * c + N();
                const float x3 = pR + F[3] * c + N();
                Dl[0].write (x0); Dl[1].write (x1); Dl[2].write (x2); Dl[3].write (x3);
                const float y0 = Dl[0].read (d0);
                const float y1 = Dl[1].read (d1);
                const float y2 = Dl[2].read (d2);
                const float y3 = Dl[3].read (d3);
                F[0] = F[1] = S (H[0].run (y0));
                F[2] = F[3] = S (H[2].run (y2));
                if (mode == 2)
                {
                    wetL = 0.7071f * (y0 + y1);
                    wetR = 0.7071f * (y2 + y3);
                }
                else
                {
                    wetL = 0.7071f * (y1 - y0);
                    wetR = 0.7071f * (y3 - y2);
                }
                used = 4;
                break;
            }

            case 4:
            {
                const float Tv = O[0].read (tb.tri, 0);
                O[0].advance();
                const float dA = (Tv + 1.0f) * 0.5f * D + 1.0f;
                const float dB = (1.0f - Tv) * 0.5f * D + 1.0f;
                const float dC = fabsf (M * 0.813f) + 1.0f;
                const float dD = fabsf (M) + 1.0f;
                const float x0 = pL + F[0] * c + N();
                const float x1 = pR + F[1] * c + N();
                Dl[0].write (x0);
                Dl[1].write (x1);
                const float y0 = Dl[0].read (dA);
                const float a1 = A[1].run (A[0].run (y0));
                const float a3 = A[3].run (A[2].run (a1));
                F[0] = S (H[0].run (y0));
                const float y1 = Dl[1].read (dB);
                const float b1 = A[5].run (A[4].run (y1));
                const float b3 = A[7].run (A[6].run (b1));
                F[1] = S (H[1].run (y1));
                Dl[8].write (a1);
                Dl[9].write (b1);
                const float z8 = Dl[8].read (dC);
                const float z9 = Dl[9].read (dD);
                wetL = 0.7071f * (z8 + b3);
                wetR = 0.7071f * (z9 + a3);
                Dl[8].advance();
                Dl[9].advance();
                used = 2;
                break;
            }

            case 6:
            {
                const float t = O[0].read (tb.tri, 0) * 0.667f;
                O[0].advance();
                const float q0 = G[0].step();
                const float q1 = G[1].step();
                const float modL = q0 * 0.333f + t;
                const float modR = t + q1 * 0.333f;
                const float dL = fabsf (m[0] * M) + (modL + 1.0f) * 0.5f * D + 1.0f;
                const float dR = fabsf (m[1] * M) + (1.0f - modR) * 0.5f * D + 1.0f;
                const float x0 = pL + F[0] * c + N();
                const float x1 = pR + F[1] * c + N();
                Dl[0].write (x0);
                Dl[1].write (x1);
                const float y0 = Dl[0].read (dL);
                const float y1 = Dl[1].read (dR);
                F[0] = S (H[0].run (y0));
                F[1] = S (H[1].run (y1));
                wetL = y0;
                wetR = y1;
                used = 2;
                break;
            }

            default: // 9 and 10
            {
                float d[4];
                if (mode == 9)
                {
                    const float u = (O[0].read (tb.sine, 0) + 1.0f) * 0.5f;
                    const float v = (O[0].read (tb.sine, 64) + 1.0f) * 0.5f;
                    O[0].advance();
                    d[0] = fabsf (m[10] * M + D * u) + 1.0f;
                    d[1] = fabsf (m[11] * M + D * v) + 1.0f;
                    d[2] = fabsf (m[12] * M + (1.0f - u) * D) + 1.0f;
                    d[3] = fabsf (m[13] * M + (1.0f - v) * D) + 1.0f;
                }
                else
                {
                    const float w = (O[1].read (tb.sine, 0) + 1.0f) * 0.5f;
                    const float a = (O[2].read (tb.sine, 0) + 1.0f) * 0.5f;
                    const float b = (O[2].read (tb.sine, 64) + 1.0f) * 0.5f;
                    O[1].advance();
                    O[2].advance();
                    d[0] = fabsf (m[6] * M + D * w) + 1.0f;
                    d[1] = fabsf (m[7] * M + D * b) + 1.0f;
                    d[2] = fabsf (m[8] * M + D * a) + 1.0f;
                    d[3] = fabsf (m[9] * M + (1.0f - w) * D) + 1.0f;
                }
                const float x0 = pL + F[0] * c + N();
                const float x1 = pL + F[1] * c + N();
                const float x2 = pR + F[2] * c + N();
                const float x3 = pR + F[3] * c + N();
                float z[4], t[4], X[4];
                const float x[4] = { x0, x1, x2, x3 };
                for (int j = 0; j < 4; ++j)
                {
                    Dl[j].write (x[j]);
                    z[j] = H[j].run (Dl[j].read (d[j]));
                    t[j] = S (z[j]);
                }
                if (mode == 9)
                {
                    const float h = ((((0.0f + t[0]) + t[1]) + t[2]) + t[3]) * 0.5f;
                    for (int j = 0; j < 4; ++j)
                        X[j] = t[j] - h;
                }
                else
                {
                    const float g = 0.70710677f;
                    X[0] = (t[1] - t[2]) * g;
                    X[1] = (t[0] + t[3]) * g;
                    X[2] = (t[0] - t[3]) * g;
                    X[3] = (t[1] + t[2]) * g;
                }
                for (int j = 0; j < 4; ++j)
                {
                    L[j] = L[j] + lam * (X[j] - L[j]);
                    F[j] = L[j];
                }
                wetL = 0.7071f * (z[0] + z[1]);
                wetR = 0.7071f * (z[2] + z[3]);
                used = 4;
                break;
            }
        }

        // 5. de-emphasis, 6. mix
        const float eL = deL.run (wetL);
        const float eR = deR.run (wetR);
        outL[i] = wet * eL + dry * xL;
        outR[i] = wet * eR + dry * xR;

        // 7. advance the lines the mode wrote (Tri's D8, D9 advanced above)
        for (int j = 0; j < used; ++j)
            Dl[j].advance();
    }
}
} // namespace ref
