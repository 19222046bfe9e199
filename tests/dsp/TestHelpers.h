#pragma once

#include "ZPlug_Pelorin.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace zpt
{
// The processor's default normalized values, applied in index order.
constexpr std::array<float, 6> kDefaults { 0.5f, 0.626f, 0.5f, 0.5f, 0.5f, 1.0f / 11.0f };

// Normalized value that selects mode k.
inline float ModeValue (int mode) { return (float) (mode + 1) / 11.0f; }

std::string ModeName (int mode);

// The engine is about 2.3 MB of delay memory plus tables: keep it on the heap.
std::unique_ptr<ZPlug_Pelorin> MakeEngine();

struct Stereo
{
    std::vector<float> left, right;

    explicit Stereo (size_t n = 0) : left (n, 0.0f), right (n, 0.0f) {}
    size_t size() const { return left.size(); }
};

// Runs the engine over the whole signal in blocks of blockSize, with FTZ/DAZ set.
Stereo RunEngine (ZPlug_Pelorin& e, const Stereo& in, int blockSize = 256);

// Different, non-trivial material on the two channels: two sines each plus
// a little deterministic noise, peak about 0.6.
Stereo TestSignal (size_t n, float fs = 48000.0f);
Stereo Sine (size_t n, float hz, float amplitude, float fs = 48000.0f);

// Frequency from the mean spacing of rising crossings in [from, to), with
// hysteresis against ripple near zero.
double ZeroCrossingFrequency (const std::vector<float>& x, size_t from, size_t to, double fs);

bool AllFinite (const std::vector<float>& x);
float Peak (const std::vector<float>& x, size_t from = 0);
} // namespace zpt
