#include "TestHelpers.h"

#include "ZMod_NoDenormals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zpt
{
std::string ModeName (int mode)
{
    static const char* names[] = { "Up", "UpDown", "TZFPlus", "TZFMinus", "Tri", "Ocho",
                                   "Doubler", "VariUp", "VariUpDown", "Ensemble360", "Symphonic" };
    return mode >= 0 && mode < 11 ? names[mode] : "Invalid";
}

std::unique_ptr<ZPlug_Pelorin> MakeEngine()
{
    auto e = std::make_unique<ZPlug_Pelorin>();
    for (int i = 0; i < 6; ++i)
        e->SetParameter (i, kDefaults[(size_t) i]);
    return e;
}

Stereo RunEngine (ZPlug_Pelorin& e, const Stereo& in, int blockSize)
{
    ZMod_NoDenormals noDenormals;
    Stereo out (in.size());
    for (size_t pos = 0; pos < in.size(); pos += (size_t) blockSize)
    {
        const int n = (int) std::min ((size_t) blockSize, in.size() - pos);
        const float* ins[2] = { in.left.data() + pos, in.right.data() + pos };
        float* outs[2] = { out.left.data() + pos, out.right.data() + pos };
        e.Process (ins, outs, n);
    }
    return out;
}

Stereo TestSignal (size_t n, float fs)
{
    Stereo s (n);
    uint32_t lcg = 12345u;
    for (size_t i = 0; i < n; ++i)
    {
        lcg = lcg * 1664525u + 1013904223u;
        const float noise = ((float) (lcg >> 8) / 16777216.0f - 0.5f) * 0.05f;
        const double t = (double) i / fs;
        s.left[i] = (float) (0.35 * std::sin (2.0 * M_PI * 220.0 * t) + 0.2 * std::sin (2.0 * M_PI * 3150.0 * t)) + noise;
        s.right[i] = (float) (0.3 * std::sin (2.0 * M_PI * 331.0 * t + 1.0) + 0.25 * std::sin (2.0 * M_PI * 7020.0 * t)) - noise;
    }
    return s;
}

Stereo Sine (size_t n, float hz, float amplitude, float fs)
{
    Stereo s (n);
    for (size_t i = 0; i < n; ++i)
        s.left[i] = s.right[i] = (float) (amplitude * std::sin (2.0 * M_PI * hz * (double) i / fs));
    return s;
}

double ZeroCrossingFrequency (const std::vector<float>& x, size_t from, size_t to, double fs)
{
    // Schmitt trigger at +-30 % of the peak, so that small ripples near zero
    // are not counted; each cycle is timed where it rises through +30 %.
    float peak = 0.0f;
    for (size_t i = from; i < to; ++i)
        peak = std::max (peak, std::fabs (x[i]));
    const float h = 0.3f * peak;

    double first = -1.0, last = -1.0;
    int count = 0;
    bool armed = false;
    for (size_t i = from + 1; i < to; ++i)
    {
        if (x[i] < -h)
            armed = true;
        else if (armed && x[i - 1] < h && x[i] >= h)
        {
            armed = false;
            const double t = (double) (i - 1) + (double) (h - x[i - 1]) / ((double) x[i] - (double) x[i - 1]);
            if (first < 0.0)
                first = t;
            last = t;
            ++count;
        }
    }
    return count > 1 ? (count - 1) * fs / (last - first) : 0.0;
}

bool AllFinite (const std::vector<float>& x)
{
    return std::all_of (x.begin(), x.end(), [] (float v) { return std::isfinite (v); });
}

float Peak (const std::vector<float>& x, size_t from)
{
    float p = 0.0f;
    for (size_t i = from; i < x.size(); ++i)
        p = std::max (p, std::fabs (x[i]));
    return p;
}
} // namespace zpt
