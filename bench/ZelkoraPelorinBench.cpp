// One benchmark per mode at 48 kHz, 512-sample blocks, default parameters
// apart from the mode, flush-to-zero set as in the plug-in.
//
// Counters: ns_per_frame (one stereo frame) and x_realtime (how many times
// faster than real time at 48 kHz: 20833 ns per frame is 1x).

#include "ZMod_NoDenormals.h"
#include "ZPlug_Pelorin.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
constexpr int kBlock = 512;
constexpr double kFrameBudgetNs = 1.0e9 / 48000.0;

const char* const kModeNames[ZPlug_Pelorin::kNumModes] = {
    "Up", "UpDown", "TZFPlus", "TZFMinus", "Tri", "Ocho", "Doubler", "VariUp", "VariUpDown", "Ensemble360", "Symphonic"
};

void BM_Mode (benchmark::State& state, int mode)
{
    auto engine = std::make_unique<ZPlug_Pelorin>();
    const float defaults[6] = { 0.5f, 0.626f, 0.5f, 0.5f, 0.5f, 1.0f / 11.0f };
    for (int i = 0; i < 6; ++i)
        engine->SetParameter (i, defaults[i]);
    engine->SetParameter (ZPlug_Pelorin::eMode, (float) (mode + 1) / 11.0f);
    engine->SetSampleRate (48000);

    // A guitar-like level: two partials, different on each side.
    std::vector<float> inL (kBlock), inR (kBlock), outL (kBlock), outR (kBlock);
    for (int i = 0; i < kBlock; ++i)
    {
        inL[i] = 0.3f * std::sin (0.0287f * (float) i) + 0.1f * std::sin (0.41f * (float) i);
        inR[i] = 0.3f * std::sin (0.0311f * (float) i) + 0.1f * std::sin (0.37f * (float) i);
    }
    const float* ins[2] = { inL.data(), inR.data() };
    float* outs[2] = { outL.data(), outR.data() };

    ZMod_NoDenormals noDenormals;

    // Settle the smoothers and fill the lines before timing.
    for (int i = 0; i < 200; ++i)
        engine->Process (ins, outs, kBlock);

    for (auto _ : state)
    {
        engine->Process (ins, outs, kBlock);
        benchmark::DoNotOptimize (outL.data());
        benchmark::DoNotOptimize (outR.data());
        benchmark::ClobberMemory();
    }

    const double frames = (double) state.iterations() * kBlock;
    // Both from CPU time (robust on a shared machine). kIsRate divides by the
    // measured seconds and kInvert then gives seconds per unit, so counting
    // units of 1e-9 frames yields ns per frame. The console reporter appends
    // "s" and "/s" to rate counters: read ns_per_frame=124.6s as 124.6 ns.
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1.0e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Seconds of audio per second of processing.
    state.counters["x_realtime"] = benchmark::Counter (frames * kFrameBudgetNs * 1.0e-9, benchmark::Counter::kIsRate);
}
} // namespace

int main (int argc, char** argv)
{
    for (int mode = 0; mode < ZPlug_Pelorin::kNumModes; ++mode)
        benchmark::RegisterBenchmark (kModeNames[mode], BM_Mode, mode)->Unit (benchmark::kMicrosecond);

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
