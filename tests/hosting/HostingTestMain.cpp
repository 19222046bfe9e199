// The hosting tests' main: JUCE's message manager on the test thread, which
// is where plug-ins are created and their state exchanged.

#include "HostedPlugin.h"

#include <gtest/gtest.h>

namespace
{
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override
    {
        zph::scratchFolder().deleteRecursively();
        juce.reset();
    }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
};
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    ::testing::AddGlobalTestEnvironment (new JuceEnvironment());
    return RUN_ALL_TESTS();
}
