#include "ZelkoraPelorin.h"

#include "ZelkoraPelorinIdentity.h"

#include <cmath>

const char* const pelorinVersionNumber = ZelkoraPelorinIdentity::kVersion;

const float ZelkoraPelorin::kDefaultValues[kNumParameters] = {
    0.5f,         // wetDry: 50 %
    0.626f,       // rate: 0.10 Hz
    0.5f,         // depth: 10 ms
    0.5f,         // feedback: 0 %
    0.5f,         // manual: 0 ms
    1.0f / 11.0f, // Mode: Up
};

// Host names, also the attribute names of the state document. Only "Mode"
// starts with a capital; stored documents depend on that.
const char* const ZelkoraPelorin::kParameterNames[kNumParameters] = {
    "wetDry", "rate", "depth", "feedback", "manual", "Mode"
};

const char* const ZelkoraPelorin::kModeNames[ZPlug_Pelorin::kNumModes] = {
    "Up", "Up/Down", "TZFlange+", "TZFlange-", "TriFlange", "Ocho",
    "Doubler", "VariUp", "VariUpDown", "Ensemble360", "Symphonic"
};

ZelkoraPelorin::ZelkoraPelorin()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    // The buses start active: VST3 hosts that only switch on buses flagged
    // active by default would otherwise never hand us audio. Hosts that pick
    // a layout (mono in, stereo out) still apply it before processing.
    // The engine was built for 48000 Hz; now make every derived value
    // consistent with the defaults. No listener exists yet, so nothing is posted.
    for (int i = 0; i < kNumParameters; ++i)
        setParameter (i, kDefaultValues[i]);
}

ZelkoraPelorin::~ZelkoraPelorin() = default;

//==============================================================================
void ZelkoraPelorin::prepareToPlay (double, int)
{
    // The engine learns the rate at the next block.
}

void ZelkoraPelorin::releaseResources()
{
    // All engine memory lives as long as the processor.
}

void ZelkoraPelorin::reset()
{
    // Hosts call this from the message thread as well as the audio thread;
    // the engine clears its memory at the start of the next block.
    engine.RequestReset();
}

void ZelkoraPelorin::pickChannels (juce::AudioBuffer<float>& buffer, const float* in[2], float* out[2])
{
    // Mono input feeds both halves of the engine from channel 0. A buffer with
    // fewer channels than the layout promises (a misbehaving host) falls back
    // to channel 0 rather than reading past the buffer.
    const int available = buffer.getNumChannels();
    const int inRight = (getTotalNumInputChannels() == 1 || available < 2) ? 0 : 1;
    const int outRight = (getTotalNumOutputChannels() == 1 || available < 2) ? 0 : 1;

    in[0] = buffer.getReadPointer (0);
    in[1] = buffer.getReadPointer (inRight);
    out[0] = buffer.getWritePointer (0);
    out[1] = buffer.getWritePointer (outRight);
}

void ZelkoraPelorin::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    engine.SetSampleRate ((int) getSampleRate());

    if (buffer.getNumChannels() == 0)
        return;

    const float* in[2];
    float* out[2];
    pickChannels (buffer, in, out);
    engine.Process (in, out, buffer.getNumSamples());
}

void ZelkoraPelorin::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    if (buffer.getNumChannels() == 0)
        return;

    const float* in[2];
    float* out[2];
    pickChannels (buffer, in, out);

    const int n = buffer.getNumSamples();
    for (int i = 0; i < n; ++i)
    {
        const float l = in[0][i];
        const float r = in[1][i];
        out[0][i] = l;
        out[1][i] = r;
    }
}

//==============================================================================
const juce::String ZelkoraPelorin::getName() const
{
    return ZelkoraPelorinIdentity::kName;
}

juce::AudioProcessorEditor* ZelkoraPelorin::createEditor()
{
    // JUCE's generic parameter editor until the plug-in's own window exists.
    return new juce::GenericAudioProcessorEditor (*this);
}

bool ZelkoraPelorin::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    // Only the channel counts matter: one or two in, two out.
    const int ins = layouts.getMainInputChannelSet().size();
    const int outs = layouts.getMainOutputChannelSet().size();
    return (ins == 1 || ins == 2) && outs == 2;
}

juce::int32 ZelkoraPelorin::getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& mainInputLayout,
                                                            const juce::AudioChannelSet&,
                                                            bool idForAudioSuite) const
{
    using namespace ZelkoraPelorinIdentity;
    if (mainInputLayout == juce::AudioChannelSet::mono())
        return idForAudioSuite ? kMonoOfflineID : kMonoNativeID;
    return idForAudioSuite ? kStereoOfflineID : kStereoNativeID;
}

//==============================================================================
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

int ZelkoraPelorin::getNumParameters()
{
    return kNumParameters;
}

const juce::String ZelkoraPelorin::getParameterName (int index)
{
    return juce::isPositiveAndBelow (index, kNumParameters) ? juce::String (kParameterNames[index]) : juce::String();
}

juce::String ZelkoraPelorin::getParameterID (int index)
{
    // Stable identifiers equal to the host names; LV2 builds its parameter
    // URIs from them, and the decimal default would collapse there.
    return getParameterName (index);
}

float ZelkoraPelorin::getParameter (int index)
{
    return engine.GetNormalized (index);
}

const juce::String ZelkoraPelorin::getParameterText (int index)
{
    if (! juce::isPositiveAndBelow (index, kNumParameters))
        return {};

    const float p = engine.GetPhysical (index);
    switch (index)
    {
        case ZPlug_Pelorin::eMix:      return juce::String (p, 1) + " %";
        case ZPlug_Pelorin::eRate:     return juce::String (p, 2) + " Hz";
        case ZPlug_Pelorin::eDepth:    return juce::String (p, 2) + " ms";
        case ZPlug_Pelorin::eFeedback: return juce::String (p, 1) + " %";
        case ZPlug_Pelorin::eManual:   return juce::String (p, 2) + " ms";
        default: break;
    }

    // The same rule the engine uses to pick its mode, so the text names what is heard.
    const int m = std::max (0, (int) std::floor ((double) p - 1.0));
    return kModeNames[m < ZPlug_Pelorin::kNumModes ? m : 0];
}

float ZelkoraPelorin::getParameterDefaultValue (int index)
{
    return (unsigned) index < (unsigned) kNumParameters ? kDefaultValues[index] : 0.0f;
}

void ZelkoraPelorin::setParameter (int index, float value)
{
    if (engine.SetParameter (index, value))
        sendChangeMessage(); // posts only while a listener is registered; bursts coalesce
}

const juce::String ZelkoraPelorin::getInputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

const juce::String ZelkoraPelorin::getOutputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

bool ZelkoraPelorin::isInputChannelStereoPair (int) const
{
    return true;
}

bool ZelkoraPelorin::isOutputChannelStereoPair (int) const
{
    return true;
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new ZelkoraPelorin();
}
