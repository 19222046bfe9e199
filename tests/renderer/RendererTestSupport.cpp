#include "RendererTestSupport.h"

#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace RendererTest
{

RunResult runRenderer (const std::vector<std::string>& args, const juce::File& workingDir)
{
    // Captured outside workingDir, so that the folder only shows what the renderer wrote.
    juce::TemporaryFile outCapture (".out"), errCapture (".err");

    std::vector<std::string> argvStrings;
    argvStrings.push_back (ZP_RENDERER_PATH);
    argvStrings.insert (argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argvStrings)
        argv.push_back (s.data());
    argv.push_back (nullptr);

    const auto cwd = workingDir.getFullPathName().toStdString();
    const auto outPath = outCapture.getFile().getFullPathName().toStdString();
    const auto errPath = errCapture.getFile().getFullPathName().toStdString();

    RunResult result;
    const pid_t pid = fork();
    if (pid == 0)
    {
        const int out = open (outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open (errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir (cwd.c_str()) != 0 || dup2 (out, 1) < 0 || dup2 (err, 2) < 0)
            _exit (126);
        execv (argv[0], argv.data());
        _exit (127);
    }

    if (pid < 0)
    {
        ADD_FAILURE() << "fork failed";
        return result;
    }

    int status = 0;
    waitpid (pid, &status, 0);
    if (WIFEXITED (status))
        result.exitCode = WEXITSTATUS (status);
    else
        ADD_FAILURE() << "renderer did not exit normally (signal " << (WIFSIGNALED (status) ? WTERMSIG (status) : 0) << ")";

    result.out = outCapture.getFile().loadFileAsString().toStdString();
    result.err = errCapture.getFile().loadFileAsString().toStdString();
    return result;
}

void writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    ASSERT_TRUE (stream->openedOk());
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()));
}

bool readWav (const juce::File& file, WavFile& result)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (new juce::FileInputStream (file), true));
    if (reader == nullptr)
    {
        ADD_FAILURE() << "not a readable WAV file: " << file.getFullPathName();
        return false;
    }

    result.sampleRate = reader->sampleRate;
    result.bitsPerSample = reader->bitsPerSample;
    result.isFloat = reader->usesFloatingPointData;
    result.audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    if (! reader->read (result.audio.getArrayOfWritePointers(), (int) reader->numChannels, 0, (int) reader->lengthInSamples))
    {
        ADD_FAILURE() << "cannot read samples of " << file.getFullPathName();
        return false;
    }
    return true;
}

juce::AudioBuffer<float> makeSignal (int channels, int frames, juce::uint32 seed)
{
    juce::AudioBuffer<float> audio (channels, frames);
    juce::uint32 state = seed * 2654435761u + 12345u;
    for (int ch = 0; ch < channels; ++ch)
    {
        auto* d = audio.getWritePointer (ch);
        const double f1 = 220.0 * (1.0 + 0.5 * ch), f2 = 1375.0 + 310.0 * ch;
        for (int i = 0; i < frames; ++i)
        {
            state = state * 1664525u + 1013904223u;
            const double noise = (double) (state >> 8) / 8388608.0 - 1.0;
            const double t = i / 48000.0;
            d[i] = (float) (0.25 * std::sin (6.283185307 * f1 * t) + 0.1 * std::sin (6.283185307 * f2 * t) + 0.05 * noise);
        }
    }
    return audio;
}

bool channelsBitEqual (const juce::AudioBuffer<float>& a, int chA, const juce::AudioBuffer<float>& b, int chB)
{
    return a.getNumSamples() == b.getNumSamples()
           && std::memcmp (a.getReadPointer (chA), b.getReadPointer (chB), sizeof (float) * (size_t) a.getNumSamples()) == 0;
}

bool buffersBitEqual (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels())
        return false;
    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        if (! channelsBitEqual (a, ch, b, ch))
            return false;
    return true;
}

std::vector<ParamLine> parseParams (const std::string& out)
{
    // "<index>  <name>  <value>  <text, may hold one space>  default <value>"
    std::vector<ParamLine> lines;
    std::istringstream in (out);
    std::string line;
    while (std::getline (in, line))
    {
        if (line.rfind ("pelorin-render:", 0) == 0)
            continue; // status lines

        const auto def = line.rfind ("  default ");
        std::istringstream fields (line.substr (0, def));
        ParamLine p;
        std::string value;
        if (def == std::string::npos || ! (fields >> p.index >> p.name >> value))
        {
            ADD_FAILURE() << "malformed parameter line: '" << line << "'";
            continue;
        }
        std::getline (fields >> std::ws, p.text);
        p.text.erase (p.text.find_last_not_of (' ') + 1);
        p.value = std::strtof (value.c_str(), nullptr);
        p.defaultValue = std::strtof (line.c_str() + def + 10, nullptr);
        lines.push_back (p);
    }
    return lines;
}

std::map<std::string, std::string> snapshotFolder (const juce::File& folder)
{
    std::map<std::string, std::string> files;
    // Hidden files included: the renderer's temporary files are hidden.
    for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
    {
        const auto f = entry.getFile();
        juce::MemoryBlock data;
        if (! f.isDirectory())
            f.loadFileAsData (data);
        files[f.getRelativePathFrom (folder).toStdString()] =
            f.isDirectory() ? std::string ("<folder>") : std::string (static_cast<const char*> (data.getData()), data.getSize());
    }
    return files;
}

juce::String presetXml (const std::vector<std::pair<const char*, juce::String>>& attributes, const juce::String& tag)
{
    juce::XmlElement e (tag);
    for (const auto& [name, value] : attributes)
        e.setAttribute (name, value);
    return e.toString();
}

juce::MemoryBlock chunkWith (const std::vector<std::pair<const char*, juce::String>>& attributes, const juce::String& tag)
{
    juce::XmlElement e (tag);
    for (const auto& [name, value] : attributes)
        e.setAttribute (name, value);
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (e, block);
    return block;
}

void RendererFixture::SetUp()
{
    dir = juce::File::getSpecialLocation (juce::File::tempDirectory)
              .getNonexistentChildFile ("zp-renderer-test", "", false);
    ASSERT_TRUE (dir.createDirectory().wasOk());
}

void RendererFixture::TearDown()
{
    dir.deleteRecursively();
}

} // namespace RendererTest
