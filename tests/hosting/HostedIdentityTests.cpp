// What a host sees when it scans and loads the built plug-ins.

#include "HostedPlugin.h"

#include <gtest/gtest.h>

using namespace zph;

namespace
{
struct Expected
{
    const char* name;
    double defaultValue;
    const char* defaultText;
};

const Expected kParameters[] = {
    { "wetDry", 0.5, "50.0 %" },
    { "rate", 0.626, "0.10 Hz" },
    { "depth", 0.5, "10.00 ms" },
    { "feedback", 0.5, "0.0 %" },
    { "manual", 0.5, "0.00 ms" },
    { "Mode", 1.0 / 11.0, "Up" },
};

std::string formatLabel (const ::testing::TestParamInfo<Format>& info)
{
    return formatName (info.param);
}
} // namespace

class Hosted : public ::testing::TestWithParam<Format>
{
};

TEST_P (Hosted, ScannerReportsTheIdentity)
{
    juce::String error;
    const auto d = describe (GetParam(), error);
    ASSERT_NE (d, nullptr) << error;

    EXPECT_EQ (d->name, "ZelkoraPelorin");
    EXPECT_EQ (d->manufacturerName, "Zelkora DSP, LLC");
    EXPECT_FALSE (d->isInstrument);

    // The main buses are active by default, so a scan sees stereo in and out.
    EXPECT_EQ (d->numInputChannels, 2);
    EXPECT_EQ (d->numOutputChannels, 2);

    if (GetParam() == Format::vst3)
    {
        EXPECT_EQ (d->version, "1.2.5");
        EXPECT_EQ (d->category, "Fx|Modulation");
    }
    else
    {
        // LV2 reports the plug-in class label; the version lives only in the
        // bundle's Turtle (JUCE's LV2 scanner leaves the description's empty).
        EXPECT_EQ (d->fileOrIdentifier, ZP_LV2_URI);
        EXPECT_TRUE (d->category.containsIgnoreCase ("Flanger")) << d->category;
        const auto ttl = lv2Bundle().getChildFile ("dsp.ttl").loadFileAsString();
        EXPECT_TRUE (ttl.contains ("doap:revision \"1.2.5\"")) << "release 1.2.5";
        EXPECT_TRUE (ttl.contains ("lv2:minorVersion 2 ;"));
        EXPECT_TRUE (ttl.contains ("lv2:microVersion 5 ;"));
    }
}

TEST_P (Hosted, SixParametersWithTheirNamesAndDefaults)
{
    juce::String error;
    auto instance = load (GetParam(), 48000.0, 512, error);
    ASSERT_NE (instance, nullptr) << error;

    EXPECT_EQ (instance->getName(), "ZelkoraPelorin");
    EXPECT_FALSE (instance->acceptsMidi());
    EXPECT_FALSE (instance->producesMidi());

    const auto params = ownParameters (*instance);
    ASSERT_EQ (params.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
    {
        SCOPED_TRACE (kParameters[i].name);
        auto* p = parameterNamed (*instance, kParameters[i].name);
        ASSERT_NE (p, nullptr);
        // LV2 carries defaults as Turtle decimals with six significant digits.
        EXPECT_NEAR (p->getDefaultValue(), kParameters[i].defaultValue, 1e-6);
        EXPECT_NEAR (p->getValue(), kParameters[i].defaultValue, 1e-6);

        // VST3 keeps the index order; LV2 properties have none (JUCE's LV2
        // host lists them by URI).
        if (GetParam() == Format::vst3)
            EXPECT_EQ (params[i]->getName (100), juce::String (kParameters[i].name));
    }
}

// VST3 asks the plug-in for its texts. LV2 has no way to ask a plug-in for the
// text of a continuous value: JUCE's LV2 host prints the number, so there is
// nothing of ours to check there.
TEST (HostedVST3, ValueTextsOfTheDefaults)
{
    juce::String error;
    auto instance = load (Format::vst3, 48000.0, 512, error);
    ASSERT_NE (instance, nullptr) << error;

    const auto params = ownParameters (*instance);
    ASSERT_EQ (params.size(), 6u);
    for (size_t i = 0; i < params.size(); ++i)
        EXPECT_EQ (params[i]->getCurrentValueAsText(), juce::String (kParameters[i].defaultText)) << kParameters[i].name;

    // The text follows a host change.
    params[5]->setValue (2.0f / 11.0f);
    EXPECT_EQ (params[5]->getCurrentValueAsText(), juce::String ("Up/Down"));
}

INSTANTIATE_TEST_SUITE_P (Formats, Hosted, ::testing::Values (Format::vst3, Format::lv2), formatLabel);
