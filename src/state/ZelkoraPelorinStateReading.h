#pragma once

#include <JuceHeader.h>

#include <cstddef>
#include <memory>

class ZelkoraPelorin;

// Reading state documents from untrusted bytes: host chunks, preset files and
// clipboard text all come through here. Every function is total: bad input
// yields nothing (nullptr / false), never a crash or an unbounded read.
namespace ZelkoraPelorinStateReading
{
    // Preset files are a few hundred bytes; anything past this is not ours and
    // is not read at all (so a stray device file or a huge download is harmless).
    constexpr juce::int64 kMaxPresetFileBytes = 1 << 20;

    // JUCE's XML parser recurses once per nested element. Our document has no
    // children at all, so refusing text that could nest deeper than this keeps
    // the parser far from the end of a host thread's stack (512 kB on some hosts).
    constexpr int kMaxElementOpenings = 256;

    // Copies at most numBytes bytes, stopping at the first 0 byte, into valid
    // UTF-8: every byte that is not part of a well-formed sequence (overlong
    // forms, surrogates, code points past U+10FFFF, truncated sequences)
    // becomes U+FFFD. JUCE's String assumes valid UTF-8 and may write past its
    // buffer otherwise.
    juce::String decodeUtf8 (const char* bytes, size_t numBytes);

    // Parses a whole document (empty text elements ignored). Returns nullptr for
    // text that is not XML, for text that stops before its last tag is closed
    // (a truncated chunk or file), for documents with a DTD (whose entities
    // could read other files or recurse without end) and for text that could
    // nest deeper than kMaxElementOpenings.
    std::unique_ptr<juce::XmlElement> parseDocument (const juce::String& text);

    // The session chunk: magic 0x21324356, a signed length word, UTF-8 text.
    // Reads min(size - 8, length) bytes and never past the block.
    std::unique_ptr<juce::XmlElement> parseSessionChunk (const void* data, int sizeInBytes);

    // A preset file: a regular file of at most kMaxPresetFileBytes, UTF-8 (BOM
    // skipped) or UTF-16 with a BOM.
    std::unique_ptr<juce::XmlElement> parsePresetFile (const juce::File& file);

    // The tag test of every reader: the tag ignoring letter case.
    bool hasStateTag (const juce::XmlElement& element);

    // A parameter attribute as the float to apply: the attribute's number
    // (non-numeric text gives 0.0), the current value when the attribute is
    // missing or reads as NaN, and clamped to [0, 1] so that out-of-range or
    // infinite text ("1e999") neither reaches the host unclamped nor overflows
    // the conversion to float.
    float readParameterValue (const juce::XmlElement& element, const juce::String& name, float current);

    // C's atoi on the attribute text (leading white space, optional sign,
    // digits up to the first non-digit, 0 when there are none), except that a
    // value beyond the range of int saturates instead of being undefined.
    int parseLeadingInt (const juce::String& text);

    // Applies an element the way a user action does (preset file or clipboard
    // paste): preset name, then indices 1..5 and index 0 unless the mix is
    // locked, each inside its own host gesture. Elements with another tag are
    // ignored; returns whether it was applied.
    bool applyPresetElement (ZelkoraPelorin& processor, const juce::XmlElement& element);
}
