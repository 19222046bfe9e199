#pragma once

#include <cstdint>

// A power-of-two circular buffer written at a position that moves backwards,
// read at a fractional delay through a first-order allpass interpolator.
// Slot (w + k) & mask holds the sample written k steps before the current one,
// so a read at delay d only has to add to the write position.
class ZMod_DelayLine
{
public:
    ZMod_DelayLine() = default;
    ~ZMod_DelayLine();
    ZMod_DelayLine (const ZMod_DelayLine&) = delete;
    ZMod_DelayLine& operator= (const ZMod_DelayLine&) = delete;

    // Construction time only: allocates and zero-fills. A no-op when the
    // length is unchanged.
    void SetLength (int64_t newLength);

    // Zero the whole buffer and the interpolator; the write position stays.
    void Clear();

    inline void Write (float x) noexcept { buffer[writePos] = x; }

    // Delay d >= 1 in samples. The interpolator is recursive, so each line
    // has exactly one reader, called once per sample after Write.
    inline float ReadAllpass (float d) noexcept
    {
        const int64_t n = (int64_t) d;
        const float x = (d - (float) n) - 0.5f;
        // 4th-order Taylor expansion of (1 - f) / (1 + f) around f = 0.5
        const float eta = ((((64.0f * x) / 243.0f - 0.39506173f) * x + 0.5925926f) * x - 0.8888889f) * x + 0.33333334f;
        const float a = buffer[(writePos + n) & mask];
        const float b = buffer[(writePos + n + 1) & mask];
        const float y = (a - state) * eta + b;
        state = y;
        return y;
    }

    inline void Advance() noexcept { writePos = (writePos - 1) & mask; }

    int64_t GetLength() const noexcept { return length; }
    int64_t GetMask() const noexcept { return mask; }
    int64_t GetWritePosition() const noexcept { return writePos; }
    float GetInterpolatorState() const noexcept { return state; }
    const float* GetBuffer() const noexcept { return buffer; }

private:
    float* buffer = nullptr;
    int64_t length = 0;
    int64_t mask = -1;
    int64_t writePos = 0;
    float state = 0.0f;
};
