#pragma once

#include <JuceHeader.h>

// The processor ignores a preset or session chunk it cannot use without a
// word, as a plug-in must. A command-line user who names a file wants to know
// when it did nothing, so these checks read the file with the processor's own
// readers and say why a file is refused.
namespace PelorinRender
{

// A readable regular file.
juce::Result checkReadableFile (const juce::File& file, const juce::String& what);

// A preset: a whole-file XML document whose root element is
// "ZelkoraPelorin" in any letter case.
juce::Result checkPresetFile (const juce::File& file);

// A session chunk: the XML-in-binary block (magic, length word, UTF-8 XML text)
// holding a "ZelkoraPelorin" element. On success the bytes are in data.
juce::Result readChunkFile (const juce::File& file, juce::MemoryBlock& data);

// The target can be created or replaced: its folder exists and is writable
// and the target itself is not a folder.
juce::Result checkWritableTarget (const juce::File& file, const juce::String& what);

} // namespace PelorinRender
