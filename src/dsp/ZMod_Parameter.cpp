#include "ZMod_Parameter.h"

#include <cmath>

void ZMod_Parameter::Init (float minValue, float maxValue, int kind, float exponentValue) noexcept
{
    min = minValue;
    max = maxValue;
    warpKind = kind;
    exponent = exponentValue;
    normalized.store (-1.0f);
    value.store (0.0f);
}

float ZMod_Parameter::Warp (int kind, float lo, float hi, float e, float w) noexcept
{
    switch (kind)
    {
        case ePower:
        {
            // logf only sees positive arguments; w = 0 maps to the bottom of the range.
            const float p = w > 0.0f ? expf (logf (w) / e) : w;
            return lo + (hi - lo) * p;
        }
        case eBipolarPower:
            if (w > 0.5f)
                return hi * expf (logf ((w - 0.5f) * 2.0f) / e);
            if (w < 0.5f)
                return -(hi * expf (logf ((0.5f - w) * 2.0f) / e));
            return 0.0f;
        case eSpan:
            return (hi - lo) * w;
        case eLinear:
        default:
            return lo + (hi - lo) * w;
    }
}

float ZMod_Parameter::WarpVSTParameter (int kind) noexcept
{
    const float v = Warp (kind, min, max, exponent, GetNormalized());
    value.store (v, std::memory_order_relaxed);
    return v;
}
