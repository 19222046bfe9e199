#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <vector>

namespace zph
{
enum class Format { vst3, lv2 };

const char* formatName (Format f);

// Where the build put the bundles.
juce::File vst3Bundle();
juce::File lv2Bundle();
juce::File renderer(); // a nonexistent File when the renderer is not built

// The plug-in's description as the format's scanner reports it.
std::unique_ptr<juce::PluginDescription> describe (Format f, juce::String& error);

// A fresh instance with stereo in and out enabled and prepared to play.
std::unique_ptr<juce::AudioPluginInstance> load (Format f, double sampleRate, int blockSize, juce::String& error);

// The instance's own parameters in index order: a host-added bypass
// parameter (VST3 adds one, LV2's "enabled" port becomes one) is left out.
std::vector<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& instance);

juce::AudioProcessorParameter* parameterNamed (juce::AudioPluginInstance& instance, const juce::String& name);

// A scratch folder for the test run, removed at exit.
juce::File scratchFolder();

void pumpMessages (int milliseconds);
} // namespace zph
