// Untrusted bytes: invalid UTF-8, blocks without a terminating zero, deep
// nesting and DTD entities must neither crash nor change state unexpectedly.

#include "StateTestHelpers.h"
#include "ZelkoraPelorinStateReading.h"

#include <gtest/gtest.h>

using namespace StateTest;
using namespace ZelkoraPelorinStateReading;

struct Utf8Case
{
    const char* name;
    std::string bytes;
    std::string expected;
};

class Utf8Decoding : public ::testing::TestWithParam<Utf8Case> {};

TEST_P (Utf8Decoding, KeepsValidSequencesAndReplacesTheRest)
{
    const auto& c = GetParam();
    const auto decoded = decodeUtf8 (c.bytes.data(), c.bytes.size());
    EXPECT_EQ (std::string (decoded.toRawUTF8()), c.expected);
}

namespace
{
    const std::string kBad = "\xEF\xBF\xBD"; // U+FFFD
}

INSTANTIATE_TEST_SUITE_P (Hardening, Utf8Decoding, ::testing::Values (
    Utf8Case { "Ascii", "plain", "plain" },
    Utf8Case { "TwoThreeFourBytes", "\xC3\xA9\xE2\x9C\x93\xF0\x9F\x8E\xB8", "\xC3\xA9\xE2\x9C\x93\xF0\x9F\x8E\xB8" },
    Utf8Case { "Latin1", "Caf\xE9!", "Caf" + kBad + "!" },
    Utf8Case { "OverlongZero", "a\xC0\x80z", "a" + kBad + kBad + "z" },
    Utf8Case { "OverlongThreeByte", "\xE0\x80\xAF", kBad + kBad + kBad },
    Utf8Case { "Surrogate", "\xED\xA0\x80", kBad + kBad + kBad },
    Utf8Case { "BeyondUnicode", "\xF4\x90\x80\x80", kBad + kBad + kBad + kBad },
    Utf8Case { "StrayContinuation", "\x80x", kBad + "x" },
    Utf8Case { "TruncatedAtEnd", "ok\xF0\x9F\x8E", "ok" + kBad + kBad + kBad },
    Utf8Case { "StopsAtZero", std::string ("ab\0cd", 5), "ab" }),
    [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (Hardening, NonUtf8PresetNameIsRepairedNotFatal)
{
    ZelkoraPelorin processor;
    restore (processor, makeChunk (withDeclaration ("<ZelkoraPelorin presetName=\"Caf\xE9 \xC0\x80\xFF\" wetDry=\"0.25\"/>")));
    EXPECT_EQ (std::string (processor.presetName.toRawUTF8()), "Caf" + kBad + " " + kBad + kBad + kBad);
    EXPECT_EQ (getValues (processor)[0], 0.25f);

    // The repaired name saves and restores like any other.
    ZelkoraPelorin copy;
    restore (copy, save (processor));
    EXPECT_EQ (copy.presetName, processor.presetName);
}

TEST (Hardening, EntitiesCannotSmuggleInvalidCharacters)
{
    // Character references beyond Unicode or to surrogates become U+FFFD.
    ZelkoraPelorin processor;
    restore (processor, makeChunk (withDeclaration ("<ZelkoraPelorin presetName=\"a&#xD800;b&#x7FFFFFFF;c\"/>")));
    EXPECT_EQ (std::string (processor.presetName.toRawUTF8()).find ("\xED"), std::string::npos);
    EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (processor.presetName.toRawUTF8(), (int) processor.presetName.getNumBytesAsUTF8()));
    EXPECT_TRUE (processor.presetName.startsWith ("a"));
    EXPECT_TRUE (processor.presetName.endsWith ("c"));
}

TEST (Hardening, BlockEndingInsideASequenceIsNotReadPast)
{
    // Exactly sized block, no trailing zero, a length word claiming more, and a
    // lead byte as the very last byte. Under AddressSanitizer any read past
    // the block is reported.
    for (const std::string tail : { "\xF0", "\xE2\x9C", "\xC3" })
    {
        const std::string text = withDeclaration ("<Foreign uiWidth=\"321\"/>") + tail;
        const auto chunk = makeRawChunk (text, 0x7FFFFFFF);
        std::unique_ptr<char[]> exact (new char[chunk.size()]);
        std::copy (chunk.begin(), chunk.end(), exact.get());

        ZelkoraPelorin processor;
        processor.setStateInformation (exact.get(), (int) chunk.size());
        EXPECT_EQ (processor.uiWidth, 470); // text no longer ends with its tag
    }
}

TEST (Hardening, DeepNestingIsRefusedShallowForeignDocumentsAreNot)
{
    ZelkoraPelorin processor;
    std::string deep = "<Foreign mixLock=\"1\" uiWidth=\"111\">";
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    for (int i = 0; i < 200000; ++i)
        deep += "</a>";
    restore (processor, makeChunk (withDeclaration (deep + "</Foreign>")));
    EXPECT_FALSE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 470);

    restore (processor, makeChunk (withDeclaration ("<Foreign mixLock=\"1\" uiWidth=\"111\"><a><b x=\"1\"/>text<!-- note --></a></Foreign>")));
    EXPECT_TRUE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 111);
}

TEST (Hardening, DocumentTypeDefinitionsAreRefused)
{
    // An entity that expands itself would recurse until the stack is gone.
    ZelkoraPelorin processor;
    restore (processor, makeChunk (
        "<?xml version=\"1.0\"?><!DOCTYPE ZelkoraPelorin [<!ENTITY a \"&a;\">]>"
        "<ZelkoraPelorin presetName=\"&a;\" uiWidth=\"9\" mixLock=\"1\"/>"));
    EXPECT_EQ (processor.presetName, "");
    EXPECT_FALSE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 470);
}

TEST (Hardening, LeadingIntegerMatchesAtoiWithinRange)
{
    struct { const char* text; int expected; } cases[] = {
        { "470", 470 }, { "  \t\n-12x", -12 }, { "+7", 7 }, { "", 0 }, { "-", 0 }, { "x12", 0 },
        { "2147483647", 2147483647 }, { "2147483648", 2147483647 }, { "-2147483648", -2147483647 - 1 },
        { "-2147483649", -2147483647 - 1 }, { "00000000000000000000000000042", 42 }, { "12 34", 12 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (parseLeadingInt (c.text), c.expected) << '"' << c.text << '"';
}
