#include "StateTestHelpers.h"

namespace StateTest
{

std::vector<char> makeRawChunk (const std::string& text, juce::uint32 lengthWord)
{
    const juce::uint32 magic = 0x21324356;
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += (char) ((magic >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i)
        bytes += (char) ((lengthWord >> (8 * i)) & 0xFF);
    bytes += text;
    return std::vector<char> (bytes.begin(), bytes.end());
}

std::vector<char> makeChunk (const std::string& text)
{
    auto chunk = makeRawChunk (text, (juce::uint32) text.size());
    chunk.push_back (0);
    return chunk;
}

std::string withDeclaration (const std::string& element)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> " + element;
}

void restore (ZelkoraPelorin& processor, const std::vector<char>& chunk)
{
    processor.setStateInformation (chunk.data(), (int) chunk.size());
}

std::vector<char> save (ZelkoraPelorin& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    const auto* p = static_cast<const char*> (block.getData());
    return std::vector<char> (p, p + block.getSize());
}

std::string chunkText (const std::vector<char>& chunk)
{
    return chunk.size() < 9 ? std::string() : std::string (chunk.begin() + 8, chunk.end() - 1);
}

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
void setValues (ZelkoraPelorin& processor, const std::vector<float>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        processor.setParameter ((int) i, values[i]);
}

std::vector<float> getValues (ZelkoraPelorin& processor)
{
    std::vector<float> values;
    for (int i = 0; i < ZelkoraPelorin::kNumParameters; ++i)
        values.push_back (processor.getParameter (i));
    return values;
}
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

void HostRecorder::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value)
{
    events.push_back ("set" + std::to_string (index));
    values.push_back (value);
}

void HostRecorder::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    events.push_back ("begin" + std::to_string (index));
}

void HostRecorder::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    events.push_back ("end" + std::to_string (index));
}

TempFolder::TempFolder()
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                  .getNonexistentChildFile ("zp-state-test", {}, false))
{
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

juce::File writeTextFile (const juce::File& file, const std::string& bytes)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    file.create(); // replaceWithData deletes instead of writing 0 bytes
    if (! bytes.empty())
        file.replaceWithData (bytes.data(), bytes.size());
    return file;
}

std::string readBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return std::string (static_cast<const char*> (block.getData()), block.getSize());
}

} // namespace StateTest
