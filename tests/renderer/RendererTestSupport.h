#pragma once

#include <JuceHeader.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace RendererTest
{

struct RunResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the renderer with the given arguments in workingDir, capturing stdout
// and stderr separately.
RunResult runRenderer (const std::vector<std::string>& args, const juce::File& workingDir);

struct WavFile
{
    juce::AudioBuffer<float> audio;
    double sampleRate = 0.0;
    unsigned int bitsPerSample = 0;
    bool isFloat = false;
};

// 32-bit float WAV, the format that round-trips every float exactly.
void writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate);

// Fails the calling test (and returns false) when the file cannot be read.
bool readWav (const juce::File& file, WavFile& result);

// Deterministic programme material: tones plus noise at around -10 dBFS, with
// different content in each channel.
juce::AudioBuffer<float> makeSignal (int channels, int frames, juce::uint32 seed = 1);

bool channelsBitEqual (const juce::AudioBuffer<float>& a, int chA, const juce::AudioBuffer<float>& b, int chB);
bool buffersBitEqual (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b);

// One line of --print-params.
struct ParamLine
{
    int index = -1;
    std::string name;
    float value = 0.0f;
    std::string text;
    float defaultValue = 0.0f;
};

// Parses --print-params output; fails the calling test on malformed lines.
std::vector<ParamLine> parseParams (const std::string& out);

// Every file below a folder with its contents, to show that a run left a
// folder exactly as it was (no new, changed or temporary files).
std::map<std::string, std::string> snapshotFolder (const juce::File& folder);

// The text of a preset file holding the given attributes.
juce::String presetXml (const std::vector<std::pair<const char*, juce::String>>& attributes,
                        const juce::String& tag = "ZelkoraPelorin");

// A session chunk as a host stores it, holding the given attributes.
juce::MemoryBlock chunkWith (const std::vector<std::pair<const char*, juce::String>>& attributes,
                             const juce::String& tag = "ZelkoraPelorin");

// A fresh temporary folder per test, removed afterwards.
class RendererFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    juce::File file (const juce::String& name) const { return dir.getChildFile (name); }
    std::string path (const juce::String& name) const { return file (name).getFullPathName().toStdString(); }

    RunResult run (const std::vector<std::string>& args) const { return runRenderer (args, dir); }

    juce::File dir;
};

} // namespace RendererTest
