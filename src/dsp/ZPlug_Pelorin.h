#pragma once

#include "ZMod_DelayLine.h"
#include "ZMod_MultiOsc.h"
#include "ZMod_Parameter.h"
#include "ZPlug_Primitives.h"

#include <atomic>
#include <cstdint>

// The modulation engine: every delay line, oscillator, filter and feedback
// state, and every value derived from the six parameters and the sample rate.
//
// Threads. SetParameter runs on whichever thread the host or editor calls from;
// everything else (SetSampleRate, Reset, the Process* routines) runs on the
// audio thread. Parameter-derived values cross over as relaxed atomics that
// the audio thread loads once per block. A reset requested from another
// thread (a mode change, a host reset) bumps a generation counter packed with
// the mode number into one atomic word; the audio thread performs the clear at
// the start of the next block, so that block runs the new mode on cleared
// memory and the memory is never cleared under a running block.
class ZPlug_Pelorin
{
public:
    enum ParameterIndex { eMix = 0, eRate, eDepth, eFeedback, eManual, eMode, eNumParameters };
    static constexpr int kNumModes = 11;

    ZPlug_Pelorin();

    // ---- any thread --------------------------------------------------------

    // Engine side of the processor's setParameter. Returns false (and does
    // nothing) when value equals the stored normalized value; otherwise clamps,
    // warps, recomputes the derived values and returns true.
    bool SetParameter (int index, float value) noexcept;

    float GetNormalized (int index) const noexcept;
    float GetPhysical (int index) const noexcept;
    int GetModeNumber() const noexcept { return (int) (modeWord.load (std::memory_order_acquire) & 0xFFu); }

    // Ask the audio thread to run Reset before its next block.
    void RequestReset() noexcept;

    // ---- audio thread ------------------------------------------------------

    // Returns at once when the rate is unchanged; otherwise clears delay memory
    // and recomputes every rate-dependent value.
    void SetSampleRate (int rate) noexcept;

    // Clears D0..D9 and the DC-blocker and allpass states.
    void Reset() noexcept;

    // Restarts G0 and G1 from the current rand() state (offline renders with a seed).
    void RestartRandomGenerators() noexcept
    {
        G0.Restart();
        G1.Restart();
    }

    // Runs a pending reset, then the current mode's routine over n samples.
    void Process (const float* const in[2], float* const out[2], int n) noexcept;

    void ProcessBlockUp (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockUpDown (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockTZFPlus (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockTZFMinus (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockTri (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockOcho (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockDoubler (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockVariUp (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockVariUpDown (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockEnsemble360 (const float* const in[2], float* const out[2], int n) noexcept;
    void ProcessBlockSymphonic (const float* const in[2], float* const out[2], int n) noexcept;

    // Four-significant-bit float quantizer of the glitch modes.
    static float Quantize (float x) noexcept;

    // ---- inspection (tests, benchmark) -------------------------------------

    float GetSampleRate() const noexcept { return fs.load (std::memory_order_relaxed); }
    float GetWetGain() const noexcept;
    float GetDryGain() const noexcept;
    float GetFeedbackCoefficient() const noexcept { return feedbackC.load (std::memory_order_relaxed); }
    float GetDepthTarget() const noexcept { return depthTarget.load (std::memory_order_relaxed); }
    float GetManualTarget() const noexcept { return manualTarget.load (std::memory_order_relaxed); }
    float GetLowpassTarget() const noexcept { return lowpassTarget.load (std::memory_order_relaxed); }
    int32_t GetOscIncrement (int i) const noexcept { return oscIncrement[i].load (std::memory_order_relaxed); }
    float GetRandomIncrement (int i) const noexcept { return randomIncrement[i].load (std::memory_order_relaxed); }
    // The manual multipliers m0..m13 for the current sign of the manual target.
    const float* GetMultipliers() const noexcept { return MultiplierRow (GetManualTarget()); }
    float GetSmoothingCoefficient() const noexcept { return k; }

    static const float* MultiplierRow (float manualTargetSamples) noexcept;

    ZMod_Parameter parameters[eNumParameters];

    ZMod_MultiOsc O0, O1, O2;
    ZMod_RandomLFO G0, G1;
    ZMod_DelayLine Dl[10];
    ZMod_FirstOrder H[8];
    ZMod_FirstOrder A[8];
    ZMod_Emphasis preL, preR, deL, deR;

    float F[8] {};
    float L[4] {};
    float smoothD = 0.0f;
    float smoothM = 0.0f;
    float lowpassCoef = 0.0f;
    float k = 0.0f;

private:
    // Values the audio thread reads once per block.
    struct BlockValues
    {
        float wet, dry, c, depthTarget, manualTarget, lowpassTarget;
        const float* m;
    };

    // Start of every mode routine: the parameter-derived values for this
    // block, with the oscillator and random-generator increments put in place.
    BlockValues BeginBlock() noexcept;

    // The sample-step frame shared by every mode; Voice supplies the mode's
    // modulation and network and returns the wet pair.
    template <typename Voice>
    void RunFrame (const float* const in[2], float* const out[2], int n, const BlockValues& bv, Voice&& voice) noexcept;

    template <bool minus>
    void ProcessTZF (const float* const in[2], float* const out[2], int n) noexcept;
    template <bool upDown>
    void ProcessVari (const float* const in[2], float* const out[2], int n) noexcept;
    template <bool symphonic>
    void ProcessEnsemble (const float* const in[2], float* const out[2], int n) noexcept;

    void CalcParameter (int index) noexcept;
    void CalcRate (float sampleRate) noexcept;
    void CalcDepth (float sampleRate) noexcept;
    void CalcManual (float sampleRate) noexcept;
    void CalcSampleRateCoefficients (float sampleRate, float dcCornerScale) noexcept;

    std::atomic<float> fs { 48000.0f };
    std::atomic<uint64_t> gains { 0 };  // wet and dry bits, published together
    std::atomic<float> feedbackC { 0.0f };
    std::atomic<float> depthTarget { 0.0f };
    std::atomic<float> manualTarget { 0.0f };
    std::atomic<float> lowpassTarget { 0.0f };
    std::atomic<int32_t> oscIncrement[3] {};
    std::atomic<float> randomIncrement[2] {};

    // Low 8 bits: mode number. Upper 24 bits: reset generation.
    std::atomic<uint32_t> modeWord { 0 };
    uint32_t appliedResetGeneration = 0;  // audio thread only
};
