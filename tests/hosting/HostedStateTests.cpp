// The session state through a hosted plug-in: what a user relies on is that a
// saved project reopens with the same settings.
//
// JUCE's LV2 wrapper stores the processor's session chunk as one base64
// string property ("<URI>:StateString") of the LV2 state, and JUCE's LV2 host
// serialises the whole LV2 state as Turtle. The tests below go through both.

#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zph;

namespace
{
const char* const kNames[6] = { "wetDry", "rate", "depth", "feedback", "manual", "Mode" };

// Values that need all nine significant digits to survive as floats.
const float kDistinct[6] = { 0.123456789f, 0.876543212f, 0.333333343f, 0.0101010101f, 0.707106769f, 7.0f / 11.0f };

uint32_t bitsOf (float x)
{
    uint32_t u;
    std::memcpy (&u, &x, sizeof u);
    return u;
}

void processOneBlock (juce::AudioPluginInstance& instance)
{
    juce::AudioBuffer<float> b (2, 64);
    b.clear();
    juce::MidiBuffer midi;
    instance.processBlock (b, midi);
}

// The hosted state's session chunk: the string after "StateString".
struct ChunkLocation
{
    int start = -1, end = -1;
};

ChunkLocation findChunk (const juce::String& turtle)
{
    const int key = turtle.indexOf ("StateString");
    if (key < 0)
        return {};
    const int open = turtle.indexOfChar (key, '"');
    if (open < 0)
        return {};
    int start = open;
    while (start < turtle.length() && turtle[start] == '"')
        ++start;
    const int end = turtle.indexOfChar (start, '"');
    return end > start ? ChunkLocation { start, end } : ChunkLocation {};
}

std::unique_ptr<juce::XmlElement> chunkDocument (juce::AudioPluginInstance& instance, juce::String* turtleOut = nullptr)
{
    juce::MemoryBlock state;
    instance.getStateInformation (state);
    const auto turtle = state.toString();
    if (turtleOut != nullptr)
        *turtleOut = turtle;

    const auto where = findChunk (turtle);
    if (where.start < 0)
        return nullptr;
    juce::MemoryBlock chunk;
    if (! chunk.fromBase64Encoding (turtle.substring (where.start, where.end)))
        return nullptr;
    return juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());
}

// A session as a host keeps it: one instance gets the distinct values and a
// block to take them in, its state is saved, and a fresh instance of the same
// format restores it. Null (with error set) when a step fails.
std::unique_ptr<juce::AudioPluginInstance> restoreSavedSession (Format format, juce::String& error)
{
    auto first = load (format, 48000.0, 512, error);
    if (first == nullptr)
        return nullptr;
    for (int i = 0; i < 6; ++i)
        parameterNamed (*first, kNames[i])->setValue (kDistinct[i]);
    processOneBlock (*first); // LV2 delivers parameter changes with the next block

    juce::MemoryBlock session;
    first->getStateInformation (session);
    first.reset();
    if (session.getSize() == 0)
    {
        error = "the saved session state is empty";
        return nullptr;
    }

    auto second = load (format, 48000.0, 512, error);
    if (second != nullptr)
        second->setStateInformation (session.getData(), (int) session.getSize());
    return second;
}

// What the host shows for each parameter equals the distinct values, bit for bit.
void expectHostShowsDistinctValues (juce::AudioPluginInstance& instance)
{
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (bitsOf (parameterNamed (instance, kNames[i])->getValue()), bitsOf (kDistinct[i])) << kNames[i];
}
} // namespace

TEST (HostedLV2State, SixValuesSurviveASessionBitForBit)
{
    juce::String error;
    auto second = restoreSavedSession (Format::lv2, error);
    ASSERT_NE (second, nullptr) << error;
    // What the restored plug-in holds, read back through its own chunk.
    const auto doc = chunkDocument (*second);
    ASSERT_NE (doc, nullptr) << "no session chunk in the restored state";
    EXPECT_TRUE (doc->hasTagName ("ZelkoraPelorin"));
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE (kNames[i]);
        ASSERT_TRUE (doc->hasAttribute (kNames[i]));
        EXPECT_EQ (bitsOf ((float) doc->getDoubleAttribute (kNames[i])), bitsOf (kDistinct[i]));
    }
}

// After a restore the host must show the restored values, which it can only
// learn from the plug-in: a fresh instance's host side still holds the
// defaults from the bundle's Turtle.
TEST (HostedLV2State, HostShowsTheRestoredValues)
{
    juce::String error;
    auto second = restoreSavedSession (Format::lv2, error);
    ASSERT_NE (second, nullptr) << error;
    processOneBlock (*second); // the wrapper reports changes with the next block
    pumpMessages (50);
    expectHostShowsDistinctValues (*second);
}

// The chunk also carries the preset name, the mix lock and the editor size,
// which no host parameter shows. A chunk with all of them set is put into an
// LV2 session as the wrapper would have stored it; the restored plug-in must
// write the same values into its next chunk.
TEST (HostedLV2State, PresetNameMixLockAndEditorSizeSurviveASession)
{
    juce::XmlElement crafted ("ZelkoraPelorin");
    crafted.setAttribute ("pluginVersion", "1.2.5");
    crafted.setAttribute ("presetName", "Slow <Sweep> & \"Friends\"");
    for (int i = 0; i < 6; ++i)
        crafted.setAttribute (kNames[i], (double) kDistinct[i]);
    crafted.setAttribute ("mixLock", 1);
    crafted.setAttribute ("uiWidth", 612);
    crafted.setAttribute ("uiHeight", 338);
    juce::MemoryBlock chunk;
    juce::AudioProcessor::copyXmlToBinary (crafted, chunk);

    juce::String error;
    auto source = load (Format::lv2, 48000.0, 512, error);
    ASSERT_NE (source, nullptr) << error;
    juce::String turtle;
    chunkDocument (*source, &turtle);
    const auto where = findChunk (turtle);
    ASSERT_GE (where.start, 0) << "the LV2 state has no StateString:\n" << turtle;
    const auto session = turtle.substring (0, where.start) + chunk.toBase64Encoding() + turtle.substring (where.end);
    source.reset();

    auto restored = load (Format::lv2, 48000.0, 512, error);
    ASSERT_NE (restored, nullptr) << error;
    restored->setStateInformation (session.toRawUTF8(), (int) session.getNumBytesAsUTF8());

    const auto doc = chunkDocument (*restored);
    ASSERT_NE (doc, nullptr);
    EXPECT_EQ (doc->getStringAttribute ("presetName"), "Slow <Sweep> & \"Friends\"");
    EXPECT_EQ (doc->getStringAttribute ("mixLock"), "1");
    EXPECT_EQ (doc->getStringAttribute ("uiWidth"), "612");
    EXPECT_EQ (doc->getStringAttribute ("uiHeight"), "338");
    EXPECT_EQ (doc->getStringAttribute ("pluginVersion"), "1.2.5");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (bitsOf ((float) doc->getDoubleAttribute (kNames[i])), bitsOf (kDistinct[i])) << kNames[i];
}

// The same round trip through the VST3 wrapper, whose host state is JUCE's
// own XML around the component state.
TEST (HostedVST3State, SixValuesSurviveASessionBitForBit)
{
    juce::String error;
    auto second = restoreSavedSession (Format::vst3, error);
    ASSERT_NE (second, nullptr) << error;
    processOneBlock (*second);
    pumpMessages (50);
    expectHostShowsDistinctValues (*second);
}
