#include "ZelkoraPelorinStateReading.h"

#include "../processor/ZelkoraPelorin.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
 #include <sys/stat.h>
#endif

namespace ZelkoraPelorinStateReading
{

namespace
{
    // The session chunk's magic word: the bytes "VC2!" read little-endian.
    constexpr juce::uint32 kChunkMagic = 0x21324356;

    bool isContinuation (unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

    // Length of the well-formed UTF-8 sequence at p (at most `left` bytes
    // available), or 0 when the bytes there are not one.
    size_t validSequenceLength (const unsigned char* p, size_t left) noexcept
    {
        const unsigned char c = p[0];
        if (c < 0x80)
            return 1;

        if (c >= 0xC2 && c <= 0xDF)
            return (left >= 2 && isContinuation (p[1])) ? 2 : 0;

        if (c >= 0xE0 && c <= 0xEF)
        {
            if (left < 3 || ! isContinuation (p[1]) || ! isContinuation (p[2]))
                return 0;
            if (c == 0xE0 && p[1] < 0xA0) return 0; // overlong
            if (c == 0xED && p[1] > 0x9F) return 0; // UTF-16 surrogate
            return 3;
        }

        if (c >= 0xF0 && c <= 0xF4)
        {
            if (left < 4 || ! isContinuation (p[1]) || ! isContinuation (p[2]) || ! isContinuation (p[3]))
                return 0;
            if (c == 0xF0 && p[1] < 0x90) return 0; // overlong
            if (c == 0xF4 && p[1] > 0x8F) return 0; // past U+10FFFF
            return 4;
        }

        return 0; // stray continuation byte, 0xC0/0xC1 or 0xF5..0xFF
    }

    // Every nested element the parser enters starts at a '<' that is not
    // followed by '/', so this count bounds its recursion depth from above.
    int countElementOpenings (const juce::String& text, int stopAfter) noexcept
    {
        int count = 0;
        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            if (p.getAndAdvance() == '<' && *p != '/')
                if (++count > stopAfter)
                    break;
        }
        return count;
    }
}

juce::String decodeUtf8 (const char* bytes, size_t numBytes)
{
    if (bytes == nullptr || numBytes == 0)
        return {};

    const auto* p = reinterpret_cast<const unsigned char*> (bytes);
    std::string out;
    out.reserve (numBytes);

    for (size_t i = 0; i < numBytes && p[i] != 0;)
    {
        const size_t n = validSequenceLength (p + i, numBytes - i);
        if (n == 0)
        {
            out += "\xEF\xBF\xBD"; // U+FFFD for each byte that is not UTF-8
            ++i;
        }
        else
        {
            out.append (reinterpret_cast<const char*> (p + i), n);
            i += n;
        }
    }

    return juce::String::fromUTF8 (out.data(), (int) out.size());
}

std::unique_ptr<juce::XmlElement> parseDocument (const juce::String& text)
{
    if (text.contains ("<!DOCTYPE"))
        return nullptr;

    if (countElementOpenings (text, kMaxElementOpenings) > kMaxElementOpenings)
        return nullptr;

    // JUCE's parser returns the element read so far when the text simply stops
    // (inside the attribute list, say), so a truncated document would be half
    // applied. Every complete document ends with the '>' of its last tag.
    if (! text.trimEnd().endsWithChar ('>'))
        return nullptr;

    juce::XmlDocument document (text);
    document.setEmptyTextElementsIgnored (true);
    return document.getDocumentElement();
}

std::unique_ptr<juce::XmlElement> parseSessionChunk (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data);
    if (juce::ByteOrder::littleEndianInt (bytes) != kChunkMagic)
        return nullptr;

    const auto length = (int) juce::ByteOrder::littleEndianInt (bytes + 4);
    if (length <= 0)
        return nullptr;

    // A length word larger than the block (a truncated chunk, or garbage) is
    // cut to what the block holds.
    const int available = std::min (sizeInBytes - 8, length);
    return parseDocument (decodeUtf8 (bytes + 8, (size_t) available));
}

std::unique_ptr<juce::XmlElement> parsePresetFile (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || ! file.existsAsFile())
        return nullptr;

   #if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    // Only regular files: opening a FIFO would block the message thread, and a
    // device such as /dev/zero never ends.
    struct stat info {};
    if (::stat (file.getFullPathName().toRawUTF8(), &info) != 0 || ! S_ISREG (info.st_mode))
        return nullptr;
   #endif

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return nullptr;

    juce::MemoryBlock data;
    const auto numRead = in.readIntoMemoryBlock (data, kMaxPresetFileBytes + 1);
    if (numRead == 0 || (juce::int64) numRead > kMaxPresetFileBytes)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data.getData());
    const auto size = data.getSize();

    juce::String text;
    if (size >= 2 && (juce::CharPointer_UTF16::isByteOrderMarkBigEndian (bytes)
                       || juce::CharPointer_UTF16::isByteOrderMarkLittleEndian (bytes)))
    {
        // UTF-16 arrives as a JUCE string that may still hold lone surrogates.
        const auto wide = juce::String::createStringFromData (bytes, (int) size);
        text = decodeUtf8 (wide.toRawUTF8(), wide.getNumBytesAsUTF8());
    }
    else if (size >= 3 && juce::CharPointer_UTF8::isByteOrderMark (bytes))
    {
        text = decodeUtf8 (bytes + 3, size - 3);
    }
    else
    {
        text = decodeUtf8 (bytes, size);
    }

    return parseDocument (text);
}

bool hasStateTag (const juce::XmlElement& element)
{
    return element.getTagName().equalsIgnoreCase ("ZelkoraPelorin");
}

float readParameterValue (const juce::XmlElement& element, const juce::String& name, float current)
{
    const double d = element.getDoubleAttribute (name, (double) current);
    if (std::isnan (d))
        return current;

    // Clamped in double: converting a double beyond the float range is
    // undefined, and the host must hear the value that is actually stored.
    if (! (d > 0.0))
        return 0.0f;
    if (d >= 1.0)
        return 1.0f;
    return (float) d;
}

int parseLeadingInt (const juce::String& text)
{
    const char* p = text.toRawUTF8();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;

    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');

    constexpr std::int64_t limit = (std::int64_t) std::numeric_limits<int>::max() + 1;
    std::int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = std::min<std::int64_t> (limit, magnitude * 10 + (*p - '0'));

    if (negative)
        return (int) -magnitude; // -2^31 at most
    return (int) std::min<std::int64_t> (magnitude, std::numeric_limits<int>::max());
}

bool applyPresetElement (ZelkoraPelorin& processor, const juce::XmlElement& element)
{
    if (! hasStateTag (element))
        return false;

    const auto name = element.getStringAttribute ("presetName");
    processor.presetName = decodeUtf8 (name.toRawUTF8(), name.getNumBytesAsUTF8());

    // The mix goes last, and only while it is not locked: a locked mix stays
    // where the user set it across preset changes.
    static constexpr int order[] = { 1, 2, 3, 4, 5, 0 };
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    for (const int index : order)
    {
        if (index == 0 && processor.mixLock)
            continue;

        processor.beginParameterChangeGesture (index);
        const float value = readParameterValue (element, processor.getParameterName (index), processor.getParameter (index));
        processor.setParameterNotifyingHost (index, value);
        processor.endParameterChangeGesture (index);
    }
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    return true;
}

} // namespace ZelkoraPelorinStateReading
