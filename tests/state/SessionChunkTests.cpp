// The session chunk: exact bytes written, round trip, and the tolerant reading
// hosts rely on when they hand back chunks from older or edited sessions.

#include "StateTestHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using namespace StateTest;

namespace
{
    const std::string kDefaultText =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <ZelkoraPelorin pluginVersion=\"1.2.5\" presetName=\"\""
        " wetDry=\"0.5\" rate=\"0.6259999871253967\" depth=\"0.5\" feedback=\"0.5\" manual=\"0.5\""
        " Mode=\"0.09090909361839294\" mixLock=\"0\" uiWidth=\"470\" uiHeight=\"260\"/>";

    juce::uint32 readLE (const std::vector<char>& bytes, size_t at)
    {
        juce::uint32 v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | (juce::uint8) bytes[at + (size_t) i];
        return v;
    }

    juce::uint32 bitsOf (float f)
    {
        juce::uint32 bits;
        std::memcpy (&bits, &f, sizeof (bits));
        return bits;
    }

    // A processor whose state differs from the defaults everywhere, so that
    // "unchanged" and "restored" are distinguishable.
    void makeDistinct (ZelkoraPelorin& p)
    {
        setValues (p, { 0.125f, 0.3f, 0.8f, 0.9f, 0.25f, 10.0f / 11.0f });
        p.presetName = "Before";
        p.mixLock = true;
        p.uiWidth = 640;
        p.uiHeight = 354;
    }
}

TEST (SessionChunk, FreshProcessorWritesExactBytes)
{
    ZelkoraPelorin processor;
    juce::MemoryBlock block;
    block.append ("stale contents that must disappear", 34);
    processor.getStateInformation (block);

    const auto* p = static_cast<const char*> (block.getData());
    const std::vector<char> bytes (p, p + block.getSize());

    ASSERT_EQ (bytes.size(), 8 + kDefaultText.size() + 1);
    EXPECT_EQ (std::string (bytes.begin(), bytes.begin() + 4), "VC2!");
    EXPECT_EQ (readLE (bytes, 0), 0x21324356u);
    EXPECT_EQ (readLE (bytes, 4), (juce::uint32) kDefaultText.size());
    EXPECT_EQ (chunkText (bytes), kDefaultText);
    EXPECT_EQ (bytes.back(), 0);
}

TEST (SessionChunk, RoundTripIsBitExact)
{
    ZelkoraPelorin source;
    // Values with long decimal expansions, a subnormal-free tiny value and the ends.
    setValues (source, { 0.1f, 0.62599998712539673f, 1.0e-7f, 1.0f, 0.0f, 7.0f / 11.0f });
    source.presetName = juce::CharPointer_UTF8 ("Caf\xc3\xa9 & \"Friends\" <live> \xe2\x9c\x93\nline2");
    source.mixLock = true;
    source.uiWidth = 5405;
    source.uiHeight = 2990;
    const auto chunk = save (source);

    ZelkoraPelorin target;
    restore (target, chunk);

    const auto expected = getValues (source);
    const auto actual = getValues (target);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ (bitsOf (actual[i]), bitsOf (expected[i])) << "index " << i;
    EXPECT_EQ (target.presetName, source.presetName);
    EXPECT_TRUE (target.mixLock);
    EXPECT_EQ (target.uiWidth, 5405);
    EXPECT_EQ (target.uiHeight, 2990);
    EXPECT_EQ (save (target), chunk);
}

TEST (SessionChunk, NumbersUseTheShortestExactText)
{
    ZelkoraPelorin processor;
    setValues (processor, { 0.0f, 1.0f, 0.25f, 0.1f, 0.5f, 1.0f });
    const auto text = chunkText (save (processor));
    EXPECT_NE (text.find (" wetDry=\"0.0\" rate=\"1.0\" depth=\"0.25\" feedback=\"0.1000000014901161\" manual=\"0.5\" Mode=\"1.0\" "),
               std::string::npos) << text;
}

TEST (SessionChunk, RestoreSetsEverythingWithoutTellingTheHost)
{
    ZelkoraPelorin processor;
    makeDistinct (processor);
    HostRecorder host;
    processor.addListener (&host);

    restore (processor, makeChunk (withDeclaration (
        "<ZelkoraPelorin pluginVersion=\"0.1\" presetName=\"Restored\" wetDry=\"0.75\" rate=\"0.5\" depth=\"0.2\""
        " feedback=\"0.4\" manual=\"0.6\" Mode=\"0.2727272689342499\" mixLock=\"0\" uiWidth=\"600\" uiHeight=\"332\"/>")));

    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.75f, 0.5f, 0.2f, 0.4f, 0.6f, 3.0f / 11.0f }));
    EXPECT_EQ (processor.presetName, "Restored");
    EXPECT_FALSE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 600);
    EXPECT_EQ (processor.uiHeight, 332);
    EXPECT_TRUE (host.events.empty()); // a restore is the host's own doing
    processor.removeListener (&host);
}

TEST (SessionChunk, LockedChunkStillRestoresTheMix)
{
    ZelkoraPelorin processor;
    processor.mixLock = true;
    restore (processor, makeChunk (withDeclaration ("<ZelkoraPelorin wetDry=\"0.9\" mixLock=\"1\"/>")));
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    EXPECT_EQ (processor.getParameter (0), 0.9f);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    EXPECT_TRUE (processor.mixLock);
}

TEST (SessionChunk, RestorePostsOneRefreshEvenWithoutChanges)
{
    ZelkoraPelorin processor;
    ChangeCounter editor;
    processor.addChangeListener (&editor);
    const auto chunk = save (processor);

    restore (processor, chunk);
    processor.dispatchPendingMessages();
    EXPECT_EQ (editor.count, 1);

    // A foreign document touches only the lock and size; no refresh is posted.
    restore (processor, makeChunk (withDeclaration ("<Other mixLock=\"1\"/>")));
    processor.dispatchPendingMessages();
    EXPECT_EQ (editor.count, 1);
    processor.removeChangeListener (&editor);
}

// Parameter attribute texts and what they become. "keep" is the value held
// before the restore (the distinct state).
struct ParameterTextCase
{
    const char* name;
    const char* attribute; // nullptr: attribute missing
    float expected;
    bool keep;
};

class ParameterText : public ::testing::TestWithParam<ParameterTextCase> {};

TEST_P (ParameterText, IsReadTolerantly)
{
    const auto& c = GetParam();
    ZelkoraPelorin processor;
    makeDistinct (processor);
    const auto before = getValues (processor);

    std::string element = "<ZelkoraPelorin presetName=\"x\"";
    if (c.attribute != nullptr)
        element += std::string (" rate=\"") + c.attribute + "\"";
    restore (processor, makeChunk (withDeclaration (element + "/>")));

    const auto after = getValues (processor);
    EXPECT_EQ (after[1], c.keep ? before[1] : c.expected);
    // The other five attributes are missing and keep their values.
    for (size_t i : { 0u, 2u, 3u, 4u, 5u })
        EXPECT_EQ (after[i], before[i]) << "index " << i;
}

INSTANTIATE_TEST_SUITE_P (SessionChunk, ParameterText, ::testing::Values (
    ParameterTextCase { "Missing", nullptr, 0.0f, true },
    ParameterTextCase { "Number", "0.25", 0.25f, false },
    ParameterTextCase { "LeadingSpace", "  0.25", 0.25f, false },
    ParameterTextCase { "TrailingJunk", "0.25ms", 0.25f, false },
    ParameterTextCase { "NotANumber", "abc", 0.0f, false },
    ParameterTextCase { "Empty", "", 0.0f, false },
    ParameterTextCase { "AboveRange", "1.5", 1.0f, false },
    ParameterTextCase { "BelowRange", "-0.25", 0.0f, false },
    ParameterTextCase { "NaNKeepsValue", "nan", 0.0f, true },
    ParameterTextCase { "Infinity", "inf", 1.0f, false },
    ParameterTextCase { "MinusInfinity", "-inf", 0.0f, false },
    ParameterTextCase { "OverflowsDouble", "1e999", 1.0f, false },
    ParameterTextCase { "OverflowsFloat", "1e300", 1.0f, false },
    ParameterTextCase { "NegativeOverflow", "-1e300", 0.0f, false }),
    [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (SessionChunk, NotANumberTextGivesMinusTenHertz)
{
    ZelkoraPelorin processor;
    restore (processor, makeChunk (withDeclaration ("<ZelkoraPelorin rate=\"abc\"/>")));
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    EXPECT_EQ (processor.getParameterText (1), "-10.00 Hz");
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
}

TEST (SessionChunk, TagIsMatchedIgnoringCaseButAttributesAreNot)
{
    ZelkoraPelorin processor;
    restore (processor, makeChunk (withDeclaration ("<zelkorapelorin presetName=\"lower\" WETDRY=\"0.9\" depth=\"0.7\"/>")));
    EXPECT_EQ (processor.presetName, "lower");
    EXPECT_EQ (getValues (processor)[0], 0.5f); // "WETDRY" is not "wetDry"
    EXPECT_EQ (getValues (processor)[2], 0.7f);
}

TEST (SessionChunk, MissingPresetNameClearsIt)
{
    ZelkoraPelorin processor;
    processor.presetName = "Old";
    restore (processor, makeChunk (withDeclaration ("<ZelkoraPelorin/>")));
    EXPECT_EQ (processor.presetName, "");
}

TEST (SessionChunk, ForeignTagAppliesOnlyLockAndSize)
{
    ZelkoraPelorin processor;
    makeDistinct (processor);
    const auto before = getValues (processor);
    restore (processor, makeChunk (withDeclaration (
        "<OtherPlugin presetName=\"Foreign\" wetDry=\"0.9\" mixLock=\"0\" uiWidth=\"800\" uiHeight=\"450\"><child/></OtherPlugin>")));
    EXPECT_EQ (getValues (processor), before);
    EXPECT_EQ (processor.presetName, "Before");
    EXPECT_FALSE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 800);
    EXPECT_EQ (processor.uiHeight, 450);
}

// Lock and size attributes, read whatever the tag. The processor starts
// locked at 640 x 354.
struct LockSizeCase
{
    const char* name;
    const char* attributes;
    bool lock;
    int width;
    int height;
};

class LockAndSize : public ::testing::TestWithParam<LockSizeCase> {};

TEST_P (LockAndSize, AreReadLikeTheHostSavedThem)
{
    const auto& c = GetParam();
    for (const char* tag : { "ZelkoraPelorin", "Foreign" })
    {
        ZelkoraPelorin processor;
        makeDistinct (processor);
        restore (processor, makeChunk (withDeclaration (std::string ("<") + tag + " " + c.attributes + "/>")));
        EXPECT_EQ (processor.mixLock, c.lock) << tag;
        EXPECT_EQ (processor.uiWidth, c.width) << tag;
        EXPECT_EQ (processor.uiHeight, c.height) << tag;
    }
}

INSTANTIATE_TEST_SUITE_P (SessionChunk, LockAndSize, ::testing::Values (
    LockSizeCase { "LockOne", "mixLock=\"1\"", true, 640, 354 },
    LockSizeCase { "LockTrue", "mixLock=\"true\"", true, 640, 354 },
    LockSizeCase { "LockYes", "mixLock=\"yes\"", true, 640, 354 },
    LockSizeCase { "LockSpaceOne", "mixLock=\" 1\"", true, 640, 354 },
    LockSizeCase { "LockCapitalT", "mixLock=\"T\"", true, 640, 354 },
    LockSizeCase { "UnlockZero", "mixLock=\"0\"", false, 640, 354 },
    LockSizeCase { "UnlockFalse", "mixLock=\"false\"", false, 640, 354 },
    LockSizeCase { "UnlockNo", "mixLock=\"no\"", false, 640, 354 },
    LockSizeCase { "UnlockEmpty", "mixLock=\"\"", false, 640, 354 },
    LockSizeCase { "MissingLockUnlocks", "uiWidth=\"700\"", false, 700, 354 },
    LockSizeCase { "WidthWithUnit", "mixLock=\"1\" uiWidth=\"600px\"", true, 600, 354 },
    LockSizeCase { "WidthEmpty", "mixLock=\"1\" uiWidth=\"\"", true, 0, 354 },
    LockSizeCase { "HeightSigned", "mixLock=\"1\" uiHeight=\" +332\"", true, 640, 332 },
    LockSizeCase { "NegativeKeptAsRead", "mixLock=\"1\" uiWidth=\"-5\"", true, -5, 354 },
    LockSizeCase { "HugeSaturates", "mixLock=\"1\" uiWidth=\"99999999999\" uiHeight=\"-99999999999\"", true, INT_MAX, INT_MIN },
    LockSizeCase { "NotANumber", "mixLock=\"1\" uiHeight=\"tall\"", true, 640, 0 }),
    [] (const auto& testInfo) { return std::string (testInfo.param.name); });

// Blocks that must leave every part of the state as it was.
struct RejectedCase
{
    const char* name;
    std::vector<char> bytes;
};

class RejectedChunk : public ::testing::TestWithParam<RejectedCase> {};

TEST_P (RejectedChunk, ChangesNothing)
{
    ZelkoraPelorin processor;
    makeDistinct (processor);
    const auto before = save (processor);
    const auto& bytes = GetParam().bytes;
    processor.setStateInformation (bytes.empty() ? nullptr : bytes.data(), (int) bytes.size());
    EXPECT_EQ (save (processor), before);
}

namespace
{
    const std::string kValidElement = "<ZelkoraPelorin presetName=\"New\" wetDry=\"0.9\" mixLock=\"0\" uiWidth=\"500\"/>";

    std::vector<char> withMagic (juce::uint32 magic)
    {
        auto chunk = makeChunk (kValidElement);
        for (int i = 0; i < 4; ++i)
            chunk[(size_t) i] = (char) ((magic >> (8 * i)) & 0xFF);
        return chunk;
    }
}

INSTANTIATE_TEST_SUITE_P (SessionChunk, RejectedChunk, ::testing::Values (
    RejectedCase { "Empty", {} },
    RejectedCase { "HeaderOnly", makeRawChunk ("", 4) },
    RejectedCase { "WrongMagic", withMagic (0x21324357) },
    RejectedCase { "BigEndianMagic", withMagic (0x56433221) },
    RejectedCase { "LengthZero", makeRawChunk (kValidElement, 0) },
    RejectedCase { "LengthNegative", makeRawChunk (kValidElement, 0x80000000u) },
    RejectedCase { "LengthMinusOne", makeRawChunk (kValidElement, 0xFFFFFFFFu) },
    RejectedCase { "NotXml", makeChunk ("mixLock=\"0\" this is not xml") },
    RejectedCase { "TextAfterZeroByteOnly", makeChunk (std::string ("\0", 1) + kValidElement) }),
    [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (SessionChunk, LengthWordIsCutToTheBlock)
{
    // A length word far beyond the block: the text that is there is used.
    ZelkoraPelorin processor;
    restore (processor, makeRawChunk (kValidElement, 0x7FFFFFFF));
    EXPECT_EQ (processor.presetName, "New");
    EXPECT_EQ (processor.uiWidth, 500);
}

TEST (SessionChunk, TextEndsAtTheLengthWordOrAZeroByte)
{
    ZelkoraPelorin processor;
    // Bytes past the length word are not part of the text.
    auto chunk = makeRawChunk (kValidElement + "<garbage", (juce::uint32) kValidElement.size());
    restore (processor, chunk);
    EXPECT_EQ (processor.presetName, "New");

    ZelkoraPelorin second;
    restore (second, makeChunk (kValidElement + std::string ("\0<garbage", 9)));
    EXPECT_EQ (second.presetName, "New");
}

TEST (SessionChunk, EveryTruncatedChunkChangesNothing)
{
    // Hosts have been known to cut chunks short; a prefix of a document must
    // not be half applied (JUCE's parser returns what it read so far).
    ZelkoraPelorin source;
    source.presetName = "Saved";
    source.mixLock = false;
    const auto text = chunkText (save (source));

    ZelkoraPelorin processor;
    makeDistinct (processor);
    const auto before = save (processor);
    for (size_t n = 1; n < text.size(); ++n)
    {
        restore (processor, makeChunk (text.substr (0, n)));
        ASSERT_EQ (save (processor), before) << "prefix of " << n << " bytes";
    }
}
