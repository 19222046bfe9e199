// The processor's change messages: posted only to a registered listener, only
// for an effective change, and merged until the message thread delivers them.

#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

using namespace zpp;

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace
{
constexpr int kPumpMs = 60;

struct CountingListener : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
    int calls = 0;
};

class ChangeMessages : public ::testing::Test
{
protected:
    void TearDown() override
    {
        processor.removeAllChangeListeners();
        pumpMessages (5);
    }

    // Delivers whatever is pending and returns the callbacks since the last call.
    int deliveredSinceLastTime()
    {
        pumpMessages (kPumpMs);
        const int n = listener.calls;
        listener.calls = 0;
        return n;
    }

    ZelkoraPelorin processor;
    CountingListener listener;
};
} // namespace

TEST_F (ChangeMessages, NothingIsPostedWithoutAListener)
{
    processor.setParameter (2, 0.3f);
    processor.setParameter (5, modeValue (4));

    processor.addChangeListener (&listener);
    EXPECT_EQ (deliveredSinceLastTime(), 0);
}

TEST_F (ChangeMessages, ABurstOfChangesIsDeliveredOnce)
{
    processor.addChangeListener (&listener);
    for (int i = 0; i < 100; ++i)
        processor.setParameter (i % 6, (float) i / 100.0f);

    EXPECT_EQ (deliveredSinceLastTime(), 1);
    EXPECT_EQ (deliveredSinceLastTime(), 0);
}

TEST_F (ChangeMessages, OnlyAnEffectiveChangeIsPosted)
{
    processor.addChangeListener (&listener);

    // The values a fresh instance already holds.
    for (int i = 0; i < 6; ++i)
        processor.setParameter (i, ZelkoraPelorin::kDefaultValues[i]);
    EXPECT_EQ (deliveredSinceLastTime(), 0);

    processor.setParameter (1, 0.3f);
    EXPECT_EQ (deliveredSinceLastTime(), 1);
    processor.setParameter (1, 0.3f);
    EXPECT_EQ (deliveredSinceLastTime(), 0);
}

// A clamped value is stored as the bound, so a repeat of the out-of-range
// argument counts as a change again, but the bound itself does not.
TEST_F (ChangeMessages, ClampedValuesCompareAgainstTheStoredBound)
{
    processor.addChangeListener (&listener);

    processor.setParameter (0, 1.5f);
    EXPECT_EQ (deliveredSinceLastTime(), 1);
    EXPECT_EQ (processor.getParameter (0), 1.0f);

    processor.setParameter (0, 1.5f);
    EXPECT_EQ (deliveredSinceLastTime(), 1);
    EXPECT_EQ (processor.getParameterText (0), "100.0 %");

    processor.setParameter (0, 1.0f);
    EXPECT_EQ (deliveredSinceLastTime(), 0);
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
