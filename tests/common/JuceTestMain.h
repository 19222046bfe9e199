#pragma once

// The main of the test binaries that need JUCE: one JUCE initialisation for
// the whole run, on the thread that runs the tests, so the message manager
// exists before any processor posts a change message or a plug-in is created.

#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

namespace zptest
{
inline int runAllTestsWithJuce (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
} // namespace zptest
