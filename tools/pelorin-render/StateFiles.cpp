#include "StateFiles.h"

#include "ZelkoraPelorinStateReading.h"

namespace PelorinRender
{

namespace
{
    // The chunk's first word, "VC2!" little-endian, as juce::AudioProcessor::copyXmlToBinary writes it.
    constexpr juce::uint32 kChunkMagic = 0x21324356;
    constexpr int kChunkHeaderBytes = 8;

    // A chunk is a few hundred bytes; anything this large is not one.
    constexpr juce::int64 kMaxChunkFileBytes = 16 * 1024 * 1024;

    juce::String quotedPath (const juce::File& f) { return "'" + f.getFullPathName() + "'"; }
} // namespace

juce::Result checkReadableFile (const juce::File& file, const juce::String& what)
{
    if (file.isDirectory())
        return juce::Result::fail ("cannot read " + what + " " + quotedPath (file) + ": it is a folder");

    if (! file.existsAsFile())
        return juce::Result::fail ("cannot read " + what + " " + quotedPath (file) + ": no such file");

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return juce::Result::fail ("cannot read " + what + " " + quotedPath (file) + ": "
                                   + in.getStatus().getErrorMessage());

    return juce::Result::ok();
}

juce::Result checkPresetFile (const juce::File& file)
{
    auto r = checkReadableFile (file, "preset");
    if (r.failed())
        return r;

    // The processor reads no preset larger than this.
    if (file.getSize() > ZelkoraPelorinStateReading::kMaxPresetFileBytes)
        return juce::Result::fail ("preset " + quotedPath (file) + " is too large to be a preset");

    // Parsed by the processor's own reader, so what passes here is what it applies.
    const auto xml = ZelkoraPelorinStateReading::parsePresetFile (file);
    if (xml == nullptr)
        return juce::Result::fail ("preset " + quotedPath (file) + " is not an XML document this plug-in reads");

    if (! ZelkoraPelorinStateReading::hasStateTag (*xml))
        return juce::Result::fail ("preset " + quotedPath (file) + " is not a ZelkoraPelorin preset (root element '"
                                   + xml->getTagName() + "')");

    return juce::Result::ok();
}

juce::Result readChunkFile (const juce::File& file, juce::MemoryBlock& data)
{
    auto r = checkReadableFile (file, "session chunk");
    if (r.failed())
        return r;

    if (file.getSize() > kMaxChunkFileBytes)
        return juce::Result::fail ("session chunk " + quotedPath (file) + " is too large to be a session chunk");

    data.reset();
    if (! file.loadFileAsData (data))
        return juce::Result::fail ("cannot read session chunk " + quotedPath (file));

    const auto size = data.getSize();
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());

    if (size <= (size_t) kChunkHeaderBytes || juce::ByteOrder::littleEndianInt (bytes) != kChunkMagic)
        return juce::Result::fail ("session chunk " + quotedPath (file) + " does not start with the chunk header");

    // The length word counts the XML text; the writer adds one terminating 0.
    const auto length = (int) juce::ByteOrder::littleEndianInt (bytes + 4);
    if (length <= 0 || (size_t) length > size - (size_t) kChunkHeaderBytes)
        return juce::Result::fail ("session chunk " + quotedPath (file) + " is truncated or has a bad length ("
                                   + juce::String (length) + " bytes of text, "
                                   + juce::String ((juce::int64) size - kChunkHeaderBytes) + " present)");

    const auto xml = ZelkoraPelorinStateReading::parseSessionChunk (data.getData(), (int) size);
    if (xml == nullptr)
        return juce::Result::fail ("session chunk " + quotedPath (file) + " does not hold an XML document");

    // The processor would still take the mix lock and editor size from a
    // foreign element; here that is almost surely the wrong file.
    if (! ZelkoraPelorinStateReading::hasStateTag (*xml))
        return juce::Result::fail ("session chunk " + quotedPath (file) + " is not a ZelkoraPelorin state (root element '"
                                   + xml->getTagName() + "')");

    return juce::Result::ok();
}

juce::Result checkWritableTarget (const juce::File& file, const juce::String& what)
{
    if (file.isDirectory())
        return juce::Result::fail ("cannot write " + what + " " + quotedPath (file) + ": it is a folder");

    const auto folder = file.getParentDirectory();
    if (! folder.isDirectory())
        return juce::Result::fail ("cannot write " + what + " " + quotedPath (file) + ": folder "
                                   + quotedPath (folder) + " does not exist");

    if (! folder.hasWriteAccess())
        return juce::Result::fail ("cannot write " + what + " " + quotedPath (file) + ": folder "
                                   + quotedPath (folder) + " is not writable");

    return juce::Result::ok();
}

} // namespace PelorinRender
