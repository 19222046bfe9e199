#include "DemoSignal.h"

#include <cmath>

namespace PelorinRender
{

namespace
{
    constexpr double kTwoPi = 6.283185307179586;

    // Sawtooth with a polyBLEP correction at the wrap, which keeps the
    // aliasing of the upper harmonics well below the signal.
    struct SawVoice
    {
        double phase = 0.0;
        double increment = 0.0;

        static double blep (double t, double dt)
        {
            if (t < dt)
            {
                t /= dt;
                return t + t - t * t - 1.0;
            }
            if (t > 1.0 - dt)
            {
                t = (t - 1.0) / dt;
                return t * t + t + t + 1.0;
            }
            return 0.0;
        }

        double next()
        {
            const double v = 2.0 * phase - 1.0 - blep (phase, increment);
            phase += increment;
            if (phase >= 1.0)
                phase -= 1.0;
            return v;
        }
    };

    // A 32-bit linear congruential generator (Numerical Recipes constants).
    struct Noise
    {
        juce::uint32 state = 0x2545F491u;
        double next()
        {
            state = state * 1664525u + 1013904223u;
            return (double) (state >> 8) / 8388608.0 - 1.0;
        }
    };
} // namespace

juce::AudioBuffer<float> makeDemoSignal()
{
    const double fs = kDemoSampleRate;
    const int n = kDemoLengthFrames;
    juce::AudioBuffer<float> buffer (2, n);

    // A major chord around A (110, 164.8, 220, 277.2 Hz, and 329.6 Hz on top),
    // each voice slightly detuned and placed at its own stereo position.
    const double freqs[] = { 110.0, 164.81, 220.0, 277.18, 329.63 };
    const double detune[] = { 0.9994, 1.0007, 1.0003, 0.9996, 1.0005 };
    const double pan[] = { 0.5, 0.2, 0.8, 0.35, 0.65 }; // 0 left, 1 right
    SawVoice voices[5];
    for (int v = 0; v < 5; ++v)
        voices[v].increment = freqs[v] * detune[v] / fs;

    const double beat = 0.5 * fs; // 120 beats per minute
    Noise noise;
    double kickPhase = 0.0;
    double hatState = 0.0;

    auto* left = buffer.getWritePointer (0);
    auto* right = buffer.getWritePointer (1);

    for (int i = 0; i < n; ++i)
    {
        const double t = (double) i / fs;

        // Chord: 50 ms attack, slow swell, 0.5 s release at the end.
        double env = std::min (1.0, t / 0.05) * (0.75 + 0.25 * std::sin (kTwoPi * 0.25 * t));
        env *= std::min (1.0, std::max (0.0, ((double) n / fs - t) / 0.5));

        double l = 0.0, r = 0.0;
        for (int v = 0; v < 5; ++v)
        {
            const double s = voices[v].next() * env * 0.07;
            l += s * std::cos (pan[v] * kTwoPi * 0.25);
            r += s * std::sin (pan[v] * kTwoPi * 0.25);
        }

        // Kick on each beat: a sine falling from 150 Hz to 45 Hz.
        const double sinceBeat = std::fmod ((double) i, beat) / fs;
        const double kickFreq = 45.0 + 105.0 * std::exp (-sinceBeat / 0.03);
        kickPhase += kickFreq / fs;
        const double kick = 0.45 * std::sin (kTwoPi * kickPhase) * std::exp (-sinceBeat / 0.12);

        // Noise hit half a beat later, high-passed by a one-pole difference.
        const double sinceOffBeat = std::fmod ((double) i + beat * 0.5, beat) / fs;
        const double raw = noise.next();
        const double hat = raw - hatState;
        hatState = raw;
        const double hit = 0.12 * hat * std::exp (-sinceOffBeat / 0.04);

        left[i] = (float) (l + kick + hit * 0.8);
        right[i] = (float) (r + kick + hit);
    }

    return buffer;
}

} // namespace PelorinRender
