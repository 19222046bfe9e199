#pragma once

#include <JuceHeader.h>

#include "ZPlug_Pelorin.h"

extern const char* const pelorinVersionNumber;

// The host-facing processor: six index-based parameters, the block frame
// around the engine, the plug-in's identity and its state document.
//
// Threads: processBlock, processBlockBypassed run on the audio thread;
// setParameter on whichever thread automates; the state functions on the
// host's calling thread; preset loading and the editor on the message thread.
class ZelkoraPelorin : public juce::AudioProcessor,
                       public juce::ChangeBroadcaster
{
public:
    ZelkoraPelorin();
    ~ZelkoraPelorin() override;

    //==== block frame ========================================================
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void reset() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    //==== identity ===========================================================
    const juce::String getName() const override;
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }
    bool silenceInProducesSilenceOut() const override { return false; }
    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    juce::int32 getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& mainInputLayout,
                                                const juce::AudioChannelSet& mainOutputLayout,
                                                bool idForAudioSuite) const override;

    //==== programs: none; presets live in the preset library =================
    int getNumPrograms() override { return 0; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    //==== index-based parameters =============================================
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    int getNumParameters() override;
    const juce::String getParameterName (int index) override;
    juce::String getParameterID (int index) override;
    float getParameter (int index) override;
    const juce::String getParameterText (int index) override;
    float getParameterDefaultValue (int index) override;
    void setParameter (int index, float value) override;
    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;
    using juce::AudioProcessor::getParameterName;
    using juce::AudioProcessor::getParameterText;
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    static constexpr int kNumParameters = 6;
    static const float kDefaultValues[kNumParameters];
    static const char* const kParameterNames[kNumParameters];
    static const char* const kModeNames[ZPlug_Pelorin::kNumModes];

    //==== state document =====================================================
    void saveStateToXML (juce::XmlElement& element);
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void setStateFromFile (juce::File file);

    juce::String presetName;
    bool mixLock = false;
    int uiWidth = 470;
    int uiHeight = 260;

    // The engine, for the tests, the renderer and the benchmark.
    ZPlug_Pelorin& getEngine() noexcept { return engine; }

private:
    void pickChannels (juce::AudioBuffer<float>& buffer, const float* in[2], float* out[2]);

    ZPlug_Pelorin engine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZelkoraPelorin)
};
