#pragma once

// The factory presets, written by MakeFactoryPresets and checked by the state
// tests. Each preset is given in physical units; the normalized values are the
// inverses of the engine's warps:
//   mix       linear 0..100 %            w = pct / 100
//   rate      bipolar power, exp 0.3     w = 0.5 +- 0.5 * (|Hz| / 10)^0.3
//   depth     power, exp 0.43067655      w = (ms / 50)^0.43067655
//   feedback  linear -100..100 %         w = (pct + 100) / 200
//   manual    bipolar power, exp 0.25    w = 0.5 +- 0.5 * (|ms| / 50)^0.25
//   mode k    grid value (k + 1) / 11 as a float
// The inverses are taken in double and rounded once to float, so the engine's
// forward warp lands within a float step of the intended setting.

#include <cmath>

namespace FactoryPresets
{
    struct Preset
    {
        const char* fileName;   // without ".zpreset"; no '/' allowed in file names
        const char* presetName;
        int mode;               // 0..10
        double mixPercent;
        double rateHz;
        double depthMs;
        double feedbackPercent;
        double manualMs;
    };

    inline float mixToNormalized (double pct) { return (float) (pct / 100.0); }

    inline float bipolarPowerToNormalized (double v, double max, double exponent)
    {
        if (v == 0.0)
            return 0.5f;
        const double half = 0.5 * std::pow (std::fabs (v) / max, exponent);
        return (float) (v > 0.0 ? 0.5 + half : 0.5 - half);
    }

    inline float rateToNormalized (double hz) { return bipolarPowerToNormalized (hz, 10.0, 0.3); }
    inline float depthToNormalized (double ms) { return (float) std::pow (ms / 50.0, 0.43067655); }
    inline float feedbackToNormalized (double pct) { return (float) ((pct + 100.0) / 200.0); }
    inline float manualToNormalized (double ms) { return bipolarPowerToNormalized (ms, 50.0, 0.25); }
    inline float modeToNormalized (int k) { return (float) (k + 1) / 11.0f; }

    // Normalized values in parameter index order: wetDry, rate, depth, feedback, manual, Mode.
    inline void toNormalized (const Preset& p, float out[6])
    {
        out[0] = mixToNormalized (p.mixPercent);
        out[1] = rateToNormalized (p.rateHz);
        out[2] = depthToNormalized (p.depthMs);
        out[3] = feedbackToNormalized (p.feedbackPercent);
        out[4] = manualToNormalized (p.manualMs);
        out[5] = modeToNormalized (p.mode);
    }

    // Two or more per mode. Ensemble360 and Symphonic scale the manual offset
    // by about ten, so their small manual values are 5..20 ms of real delay.
    inline constexpr Preset kPresets[] = {
        //  file name                         preset name                       mode  mix   rate   depth  fb    manual
        { "Up - Slow Jet Rise",              "Up - Slow Jet Rise",              0,  50.0,  0.10,  5.0,  60.0,  0.0 },
        { "Up - Shepard Climb",              "Up - Shepard Climb",              0,  60.0,  0.50, 10.0,  40.0,  1.0 },
        { "Up-Down - Gentle Swirl",          "Up/Down - Gentle Swirl",          1,  40.0,  0.20,  4.0,  30.0,  0.0 },
        { "Up-Down - Seasick Wobble",        "Up/Down - Seasick Wobble",        1,  55.0,  1.50,  8.0, -30.0,  0.0 },
        { "TZF+ - Through-Zero Jet",         "TZF+ - Through-Zero Jet",         2,  50.0,  0.25,  3.0,  50.0, -1.0 },
        { "TZF+ - Random Drift",             "TZF+ - Random Drift",             2,  35.0,  0.80,  2.0,  20.0,  0.5 },
        { "TZF- - Deep Cancel Sweep",        "TZF- - Deep Cancel Sweep",        3,  50.0,  0.15,  3.0, -40.0, -2.0 },
        { "TZF- - Hollow Tape Flange",       "TZF- - Hollow Tape Flange",       3,  45.0,  0.40,  1.5,  30.0, -0.5 },
        { "Tri - Classic Flange",            "Tri - Classic Flange",            4,  50.0,  0.30,  4.0,  70.0,  1.0 },
        { "Tri - Metallic Resonator",        "Tri - Metallic Resonator",        4,  60.0,  0.08,  2.0, -85.0,  0.3 },
        { "Ocho - Octave Shimmer",           "Ocho - Octave Shimmer",           5,  40.0,  2.00, 10.0,  20.0,  0.0 },
        { "Ocho - Falling Spiral",           "Ocho - Falling Spiral",           5,  50.0, -0.30,  6.0,  50.0,  0.0 },
        { "Doubler - Tight Double",          "Doubler - Tight Double",          6,  45.0,  0.30,  1.5,   0.0, 12.0 },
        { "Doubler - Wide Slapback",         "Doubler - Wide Slapback",         6,  50.0,  0.15,  3.0,  10.0, 30.0 },
        { "VariUp - Lo-Fi Glitch Rise",      "VariUp - Lo-Fi Glitch Rise",      7,  50.0,  1.00, 20.0,  30.0,  0.0 },
        { "VariUp - Crunchy Stutter",        "VariUp - Crunchy Stutter",        7,  65.0,  4.00,  8.0,  50.0,  0.0 },
        { "VariUpDown - Broken Tape",        "VariUpDown - Broken Tape",        8,  50.0,  0.60, 15.0,  20.0,  0.0 },
        { "VariUpDown - Robot Warble",       "VariUpDown - Robot Warble",       8,  60.0,  3.00,  5.0, -40.0,  0.0 },
        { "Ensemble360 - Lush Chorus",       "Ensemble360 - Lush Chorus",       9,  45.0,  0.50,  3.0,  20.0,  0.5 },
        { "Ensemble360 - String Machine",    "Ensemble360 - String Machine",    9,  55.0,  0.80,  4.0,  35.0,  1.0 },
        { "Symphonic - Wide Strings",        "Symphonic - Wide Strings",       10,  50.0,  0.35,  5.0,  30.0,  1.5 },
        { "Symphonic - Dreamy Wash",         "Symphonic - Dreamy Wash",        10,  60.0,  0.12,  8.0,  55.0,  2.0 },
    };
}
