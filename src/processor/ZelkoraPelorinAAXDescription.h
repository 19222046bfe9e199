#pragma once

#include <JuceHeader.h>

#include <vector>

// The plug-in's description for the AAX host interface, kept as data: the
// identity settings and one component description per main-bus configuration
// the processor accepts. Built by asking the processor, as the AAX client
// does when a host scans the plug-in.
namespace ZelkoraPelorinAAXDescription
{
struct Settings
{
    juce::String name;          // also the description text
    juce::String manufacturer;
    juce::String effectIdentifier;
    juce::uint32 category;      // AAX category bits
    juce::int32 manufacturerCode;
    juce::int32 productCode;
    juce::String version;
    juce::int32 versionCode;
    bool canBypass;
    bool multiMono;
    bool audioSuite;
    bool midiInput, midiOutput, sideChain, meters;
};

struct ComponentDescription
{
    juce::AudioChannelSet input;
    juce::AudioChannelSet output;
    juce::int32 nativeID;
    juce::int32 audioSuiteID;
};

Settings getSettings();

// The stem formats an AAX host offers: mono, stereo, LCR, quadraphonic,
// 5.0, 5.1, 7.0, 7.1 (and 7.1.2 for good measure).
juce::Array<juce::AudioChannelSet> getStemFormats();

// One description per (input, output) pair of stem formats that the
// processor's isBusesLayoutSupported accepts, in stem-format order.
std::vector<ComponentDescription> describe (juce::AudioProcessor& processor);

// "jcaa" style text of a four-character code.
juce::String fourCCToString (juce::int32 code);
} // namespace ZelkoraPelorinAAXDescription
