#pragma once

#include <JuceHeader.h>

namespace PelorinRender
{

constexpr double kDemoSampleRate = 48000.0;
constexpr int kDemoLengthFrames = 6 * 48000;

// Six seconds of stereo test material with the spectra a modulation effect
// shows off on: a sustained chord of bright sawtooth voices spread across the
// stereo field, a kick on every beat and noise hits on the off-beats. The
// signal is the same on every run and uses its own noise generator, so it
// leaves the C library's rand() sequence to the engine.
juce::AudioBuffer<float> makeDemoSignal();

} // namespace PelorinRender
