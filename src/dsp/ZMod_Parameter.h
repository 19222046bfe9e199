#pragma once

#include <atomic>

// One parameter: its physical range, warp and the current normalized and
// physical values. The two values are atomics because the host, the editor
// and the audio thread all see them; each is written by one setter at a time.
class ZMod_Parameter
{
public:
    enum WarpKind { eLinear = 0, ePower = 1, eBipolarPower = 2, eSpan = 3 };

    void Init (float minValue, float maxValue, int kind, float exponentValue) noexcept;

    // Physical value from the stored normalized value; stores and returns it.
    float WarpVSTParameter (int kind) noexcept;

    // Pure form of the warp, for callers that want the mapping alone.
    static float Warp (int kind, float minValue, float maxValue, float exponentValue, float w) noexcept;

    float GetNormalized() const noexcept { return normalized.load (std::memory_order_relaxed); }
    float GetValue() const noexcept { return value.load (std::memory_order_relaxed); }
    void SetNormalized (float w) noexcept { normalized.store (w, std::memory_order_relaxed); }

    float min = 0.0f;
    float max = 1.0f;
    int warpKind = eLinear;
    float exponent = 1.0f;

private:
    std::atomic<float> value { 0.0f };
    // -1 until the first value is applied, so that it is never taken for a repeat.
    std::atomic<float> normalized { -1.0f };
};
