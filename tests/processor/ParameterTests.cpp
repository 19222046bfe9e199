// The six host parameters: names, defaults, value texts, clamping, the mode
// names and the empty program list.

#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zpp;

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace
{
uint32_t bitsOf (float x)
{
    uint32_t u;
    std::memcpy (&u, &x, sizeof u);
    return u;
}

struct ParameterRow
{
    const char* name;
    uint32_t defaultBits;
    const char* textAfterConstruction;
};

// Host names, defaults as bit patterns, and the texts a fresh instance shows.
const ParameterRow kTable[] = {
    { "wetDry", 0x3F000000u, "50.0 %" },
    { "rate", 0x3F204189u, "0.10 Hz" },
    { "depth", 0x3F000000u, "10.00 ms" },
    { "feedback", 0x3F000000u, "0.0 %" },
    { "manual", 0x3F000000u, "0.00 ms" },
    { "Mode", 0x3DBA2E8Cu, "Up" },
};
} // namespace

TEST (Parameters, NamesDefaultsAndTextsOfAFreshInstance)
{
    ZelkoraPelorin p;
    ASSERT_EQ (p.getNumParameters(), 6);

    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (p.getParameterName (i), kTable[i].name);
        EXPECT_EQ (bitsOf (p.getParameterDefaultValue (i)), kTable[i].defaultBits);
        EXPECT_EQ (bitsOf (p.getParameter (i)), kTable[i].defaultBits);
        EXPECT_EQ (p.getParameterText (i), kTable[i].textAfterConstruction);
    }
}

TEST (Parameters, IndicesOutsideTheTableHaveNoNameAndDefaultZero)
{
    ZelkoraPelorin p;
    for (int index : { 6, 7, 1000, -1, std::numeric_limits<int>::min() })
    {
        SCOPED_TRACE (index);
        EXPECT_TRUE (p.getParameterName (index).isEmpty());
        EXPECT_EQ (bitsOf (p.getParameterDefaultValue (index)), 0u);
    }
}

TEST (Parameters, ValueTextsFollowTheStoredPhysicalValue)
{
    struct Case
    {
        int index;
        float value;
        const char* text;
    };
    const Case cases[] = {
        { 0, 0.0f, "0.0 %" },
        { 0, 1.0f, "100.0 %" },
        { 0, 0.25f, "25.0 %" },
        { 1, 0.0f, "-10.00 Hz" },
        { 1, 1.0f, "10.00 Hz" },
        { 2, 0.0f, "0.00 ms" },
        { 2, 1.0f, "50.00 ms" },
        { 3, 0.0f, "-100.0 %" },
        { 3, 1.0f, "100.0 %" },
        { 3, 0.75f, "50.0 %" },
        { 4, 0.0f, "-50.00 ms" },
        { 4, 1.0f, "50.00 ms" },
        { 5, 2.0f / 11.0f, "Up/Down" },
        { 5, 1.0f, "Symphonic" },
        { 5, 0.0f, "Up" },
        { 5, 0.5f, "TriFlange" },
        // Out of range: clamped first, so the text names the clamped value.
        { 0, -3.0f, "0.0 %" },
        { 1, 7.0f, "10.00 Hz" },
        { 5, 2.0f, "Symphonic" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.index) + " <- " + juce::String (c.value, 6));
        ZelkoraPelorin p;
        p.setParameter (c.index, c.value);
        EXPECT_EQ (p.getParameterText (c.index), c.text);
    }
}

// Every grid value names its mode, a value between two grid points names the
// lower one, and in each case the engine runs the mode that is named.
TEST (Parameters, ModeTextNamesTheModeTheEngineRuns)
{
    ZelkoraPelorin p;
    for (int k = 0; k < 11; ++k)
    {
        for (float w : { modeValue (k), (float) (k + 1.5) / 11.0f })
        {
            if (w > 1.0f)
                continue;
            SCOPED_TRACE (juce::String (k) + " at " + juce::String (w, 8));
            p.setParameter (5, w);
            EXPECT_EQ (p.getParameterText (5), ZelkoraPelorin::kModeNames[k]);
            EXPECT_EQ (p.getEngine().GetModeNumber(), k);
        }
    }

    // Below the first grid value there is no mode of its own: "Up", mode 0.
    p.setParameter (5, 0.05f);
    EXPECT_EQ (p.getParameterText (5), "Up");
    EXPECT_EQ (p.getEngine().GetModeNumber(), 0);
}

TEST (Parameters, ClampingStoresTheClampedValue)
{
    ZelkoraPelorin p;
    p.setParameter (0, 1.5f);
    EXPECT_EQ (bitsOf (p.getParameter (0)), bitsOf (1.0f));
    EXPECT_EQ (p.getParameterText (0), "100.0 %");

    p.setParameter (3, -0.25f);
    EXPECT_EQ (bitsOf (p.getParameter (3)), bitsOf (0.0f));
    EXPECT_EQ (p.getParameterText (3), "-100.0 %");
}

TEST (Parameters, NoHostPrograms)
{
    ZelkoraPelorin p;
    EXPECT_EQ (p.getNumPrograms(), 0);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    p.setCurrentProgram (3);
    p.changeProgramName (0, "x");
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_TRUE (p.getProgramName (0).isEmpty());
    EXPECT_TRUE (p.getProgramName (5).isEmpty());
}

// The units live in the value texts; hosts see continuous, automatable values.
TEST (Parameters, IndexParametersKeepTheHostDefaults)
{
    ZelkoraPelorin p;
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_TRUE (p.getParameterLabel (i).isEmpty());
        EXPECT_FALSE (p.isParameterDiscrete (i));
        EXPECT_TRUE (p.isParameterAutomatable (i));
    }
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
