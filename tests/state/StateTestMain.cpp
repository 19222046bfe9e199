#include <JuceHeader.h>
#include <gtest/gtest.h>

// One JUCE initialisation for the whole run: the message manager must exist
// before any processor posts a change message.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
