#include "ZMod_DelayLine.h"

#include <cstring>

ZMod_DelayLine::~ZMod_DelayLine()
{
    delete[] buffer;
}

void ZMod_DelayLine::SetLength (int64_t newLength)
{
    if (newLength == length)
        return;

    delete[] buffer;
    buffer = new float[(size_t) newLength]();
    length = newLength;
    mask = newLength - 1;
    writePos = 0;
    state = 0.0f;
}

void ZMod_DelayLine::Clear()
{
    if (buffer != nullptr)
        std::memset (buffer, 0, sizeof (float) * (size_t) length);
    state = 0.0f;
}
