// What the processor declares about itself: buses, accepted layouts, the
// per-layout identifiers, the description built from them, and the fixed
// answers to the host's capability questions.

#include "ProcessorTestHelpers.h"
#include "ZelkoraPelorinAAXDescription.h"

#include <gtest/gtest.h>

using namespace zpp;
using Set = juce::AudioChannelSet;

namespace
{
constexpr juce::int32 kJcaa = 0x6A636161, kJcab = 0x6A636162, kJyaa = 0x6A796161, kJyab = 0x6A796162;

juce::AudioProcessor::BusesLayout layoutOf (const Set& in, const Set& out)
{
    juce::AudioProcessor::BusesLayout l;
    l.inputBuses.add (in);
    l.outputBuses.add (out);
    return l;
}
} // namespace

TEST (Layouts, BusesAreDeclaredStereoAndActive)
{
    ZelkoraPelorin p;
    ASSERT_EQ (p.getBusCount (true), 1);
    ASSERT_EQ (p.getBusCount (false), 1);
    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (p.getBus (true, 0)->getDefaultLayout(), Set::stereo());
    EXPECT_EQ (p.getBus (false, 0)->getDefaultLayout(), Set::stereo());
    EXPECT_TRUE (p.getBus (true, 0)->isEnabledByDefault());
    EXPECT_TRUE (p.getBus (false, 0)->isEnabledByDefault());
    EXPECT_EQ (p.getTotalNumInputChannels(), 2);
    EXPECT_EQ (p.getTotalNumOutputChannels(), 2);
    EXPECT_FALSE (p.canAddBus (true));
    EXPECT_FALSE (p.canRemoveBus (false));
}

TEST (Layouts, OneOrTwoInputsIntoTwoOutputs)
{
    struct Case
    {
        const char* what;
        Set in, out;
        bool supported;
        juce::int32 nativeID, audioSuiteID;
    };
    const Case cases[] = {
        { "mono -> stereo", Set::mono(), Set::stereo(), true, kJcaa, kJyaa },
        { "stereo -> stereo", Set::stereo(), Set::stereo(), true, kJcab, kJyab },
        // Only the counts matter; only the exact mono set takes the mono identifiers.
        { "2 discrete -> stereo", Set::discreteChannels (2), Set::stereo(), true, kJcab, kJyab },
        { "1 discrete -> stereo", Set::discreteChannels (1), Set::stereo(), true, kJcab, kJyab },
        { "stereo -> 2 discrete", Set::stereo(), Set::discreteChannels (2), true, kJcab, kJyab },
        { "mono -> mono", Set::mono(), Set::mono(), false, 0, 0 },
        { "stereo -> mono", Set::stereo(), Set::mono(), false, 0, 0 },
        { "stereo -> 5.1", Set::stereo(), Set::create5point1(), false, 0, 0 },
        { "LCR -> stereo", Set::createLCR(), Set::stereo(), false, 0, 0 },
        { "none -> stereo", Set::disabled(), Set::stereo(), false, 0, 0 },
        { "stereo -> none", Set::stereo(), Set::disabled(), false, 0, 0 },
    };

    ZelkoraPelorin p;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        EXPECT_EQ (p.checkBusesLayoutSupported (layoutOf (c.in, c.out)), c.supported);
        if (c.supported)
        {
            EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (c.in, c.out, false), c.nativeID);
            EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (c.in, c.out, true), c.audioSuiteID);
        }
    }

    // A layout without any input bus at all is refused like a disabled one.
    juce::AudioProcessor::BusesLayout outputOnly;
    outputOnly.outputBuses.add (Set::stereo());
    EXPECT_FALSE (p.checkBusesLayoutSupported (outputOnly));
}

TEST (Layouts, IdentifiersIgnoreTheOutputSet)
{
    ZelkoraPelorin p;
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (Set::mono(), Set::create5point1(), false), kJcaa);
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (Set::mono(), Set::disabled(), true), kJyaa);
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (Set::stereo(), Set::mono(), false), kJcab);
}

TEST (Layouts, AcceptedLayoutsCanBeAppliedAndRefusedOnesCannot)
{
    ZelkoraPelorin p;
    EXPECT_TRUE (p.setBusesLayout (layoutOf (Set::mono(), Set::stereo())));
    EXPECT_EQ (p.getTotalNumInputChannels(), 1);
    EXPECT_EQ (p.getTotalNumOutputChannels(), 2);

    EXPECT_FALSE (p.setBusesLayout (layoutOf (Set::stereo(), Set::mono())));
    EXPECT_EQ (p.getTotalNumInputChannels(), 1);

    EXPECT_TRUE (p.setBusesLayout (layoutOf (Set::stereo(), Set::stereo())));
    EXPECT_EQ (p.getTotalNumInputChannels(), 2);
}

TEST (Description, ExactlyTheMonoAndStereoConfigurations)
{
    ZelkoraPelorin p;
    const auto components = ZelkoraPelorinAAXDescription::describe (p);
    ASSERT_EQ (components.size(), 2u);

    EXPECT_EQ (components[0].input, Set::mono());
    EXPECT_EQ (components[0].output, Set::stereo());
    EXPECT_EQ (ZelkoraPelorinAAXDescription::fourCCToString (components[0].nativeID), "jcaa");
    EXPECT_EQ (ZelkoraPelorinAAXDescription::fourCCToString (components[0].audioSuiteID), "jyaa");

    EXPECT_EQ (components[1].input, Set::stereo());
    EXPECT_EQ (components[1].output, Set::stereo());
    EXPECT_EQ (ZelkoraPelorinAAXDescription::fourCCToString (components[1].nativeID), "jcab");
    EXPECT_EQ (ZelkoraPelorinAAXDescription::fourCCToString (components[1].audioSuiteID), "jyab");
}

TEST (Description, Settings)
{
    const auto s = ZelkoraPelorinAAXDescription::getSettings();
    EXPECT_EQ (s.name, "ZelkoraPelorin");
    EXPECT_EQ (s.manufacturer, "Zelkora DSP, LLC");
    EXPECT_EQ (s.effectIdentifier, "com.ZelkoraDSP.ZelkoraPelorin");
    EXPECT_EQ (s.category, 0x20u);
    EXPECT_EQ (s.version, "1.2.5");
    EXPECT_EQ (s.versionCode, 0x10205);
    EXPECT_TRUE (s.canBypass);
    EXPECT_TRUE (s.multiMono);
    EXPECT_TRUE (s.audioSuite);
    EXPECT_FALSE (s.midiInput || s.midiOutput || s.sideChain || s.meters);
    EXPECT_NE (s.manufacturerCode, 0);
    EXPECT_NE (s.productCode, 0);
}

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

TEST (Identity, FixedAnswersToTheHost)
{
    ZelkoraPelorin p;
    EXPECT_EQ (p.getName(), "ZelkoraPelorin");
    EXPECT_FALSE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (p.silenceInProducesSilenceOut());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_FALSE (p.supportsDoublePrecisionProcessing());
    EXPECT_EQ (p.getBypassParameter(), nullptr);
    EXPECT_EQ (p.getAlternateDisplayNames(), juce::StringArray ("ZelkoraPelorin"));
    EXPECT_EQ (juce::String (pelorinVersionNumber), "1.2.5");

    EXPECT_EQ (p.getInputChannelName (0), "1");
    EXPECT_EQ (p.getInputChannelName (1), "2");
    EXPECT_EQ (p.getOutputChannelName (0), "1");
    EXPECT_EQ (p.getOutputChannelName (1), "2");
    EXPECT_EQ (p.getOutputChannelName (9), "10");
    for (int i : { 0, 1, 5 })
    {
        EXPECT_TRUE (p.isInputChannelStereoPair (i));
        EXPECT_TRUE (p.isOutputChannelStereoPair (i));
    }
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

TEST (Identity, EditorIsCreatedForTheProcessor)
{
    ZelkoraPelorin p;
    std::unique_ptr<juce::AudioProcessorEditor> editor (p.createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getAudioProcessor(), &p);
}
