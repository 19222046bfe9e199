// pelorin-render: runs audio through the same processor a host loads, so what
// it writes is what a user of the plug-in hears.

#include "CommandLine.h"
#include "DemoSignal.h"
#include "StateFiles.h"

#include "ZelkoraPelorin.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace PelorinRender
{

namespace
{
    constexpr int kExitFileError = 1;
    constexpr int kExitUsageError = 2;

    // Inputs shorter than this finish before a progress line would be read.
    constexpr double kProgressMinSeconds = 10.0;

    // Frames read and written per file access; a whole number of blocks, so
    // the block sequence never depends on it.
    constexpr int kChunkFrames = 65536;

    // Every failure is one line on stderr and an exit status.
    int fail (const juce::String& message, int exitCode)
    {
        std::fprintf (stderr, "pelorin-render: %s\n", message.toRawUTF8());
        return exitCode;
    }

    juce::String quotedPath (const juce::File& f) { return "'" + f.getFullPathName() + "'"; }

    // Where the audio comes from: the input file or the demo.
    struct Source
    {
        int numChannels = 0;
        double sampleRate = 0.0;
        juce::int64 length = 0;
        // Reads frames [start, start + n) into the first numChannels channels.
        std::function<bool (juce::AudioBuffer<float>&, juce::int64 start, int n)> read;
    };

    juce::Result openInput (const Options& options, juce::AudioFormatManager& formats,
                            std::unique_ptr<juce::AudioFormatReader>& reader, juce::AudioBuffer<float>& demo,
                            Source& source)
    {
        if (! options.hasInput())
        {
            demo = makeDemoSignal();
            source.numChannels = demo.getNumChannels();
            source.sampleRate = kDemoSampleRate;
            source.length = demo.getNumSamples();
            source.read = [&demo] (juce::AudioBuffer<float>& dest, juce::int64 start, int n)
            {
                for (int ch = 0; ch < demo.getNumChannels(); ++ch)
                    dest.copyFrom (ch, 0, demo, ch, (int) start, n);
                return true;
            };
            return juce::Result::ok();
        }

        auto r = checkReadableFile (options.input, "input");
        if (r.failed())
            return r;

        reader.reset (formats.createReaderFor (options.input));
        if (reader == nullptr)
            return juce::Result::fail ("cannot read input " + quotedPath (options.input)
                                       + ": not a WAV or AIFF file this program can decode");

        if (reader->numChannels < 1 || reader->numChannels > 2)
            return juce::Result::fail ("input " + quotedPath (options.input) + " has " + juce::String (reader->numChannels)
                                       + " channels; only mono and stereo files can be processed");

        // Far outside any rate an audio host runs at; the engine truncates the rate to an int.
        if (! (reader->sampleRate >= 1000.0 && reader->sampleRate <= 768000.0))
            return juce::Result::fail ("input " + quotedPath (options.input) + " has an unsupported sample rate ("
                                       + juce::String (reader->sampleRate) + " Hz)");

        source.numChannels = (int) reader->numChannels;
        source.sampleRate = reader->sampleRate;
        source.length = reader->lengthInSamples;
        auto* rd = reader.get();
        source.read = [rd] (juce::AudioBuffer<float>& dest, juce::int64 start, int n)
        {
            return rd->read (dest.getArrayOfWritePointers(), (int) rd->numChannels, start, n);
        };
        return juce::Result::ok();
    }

    juce::Result applyActions (const Options& options, ZelkoraPelorin& processor)
    {
        for (const auto& action : options.actions)
        {
            switch (action.kind)
            {
                case StateAction::Kind::setParameter:
                    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
                    processor.setParameter (action.parameterIndex, action.value);
                    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
                    break;

                case StateAction::Kind::loadPreset:
                {
                    auto r = checkPresetFile (action.file);
                    if (r.failed())
                        return r;
                    processor.setStateFromFile (action.file);
                    break;
                }

                case StateAction::Kind::loadChunk:
                {
                    juce::MemoryBlock chunk;
                    auto r = readChunkFile (action.file, chunk);
                    if (r.failed())
                        return r;
                    processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
                    break;
                }
            }
        }
        return juce::Result::ok();
    }

    void printParameters (ZelkoraPelorin& processor)
    {
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (int i = 0; i < processor.getNumParameters(); ++i)
        {
            // %.9g prints every float exactly enough to read it back bit for bit.
            const auto value = juce::String::formatted ("%.9g", (double) processor.getParameter (i));
            std::printf ("%d  %-8s  %-14s  %-11s  default %.9g\n", i,
                         processor.getParameterName (i).toRawUTF8(), value.toRawUTF8(),
                         processor.getParameterText (i).toRawUTF8(), (double) processor.getParameterDefaultValue (i));
        }
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
        std::fflush (stdout);
    }

    // Written in full under a temporary name in the target's folder; the caller
    // moves it into place once everything else has succeeded.
    juce::Result writeStateChunk (ZelkoraPelorin& processor, const juce::TemporaryFile& temp)
    {
        juce::MemoryBlock chunk;
        processor.getStateInformation (chunk);
        if (! temp.getFile().replaceWithData (chunk.getData(), chunk.getSize()))
            return juce::Result::fail ("cannot write session chunk " + quotedPath (temp.getTargetFile()));
        return juce::Result::ok();
    }

    class Progress
    {
    public:
        Progress (juce::int64 totalFrames, double sampleRate)
            : total (totalFrames),
              enabled (isatty (STDERR_FILENO) && (double) totalFrames > kProgressMinSeconds * sampleRate)
        {
        }

        ~Progress()
        {
            if (shown)
                std::fprintf (stderr, "\r%*s\r", 30, "");
        }

        void update (juce::int64 done)
        {
            if (! enabled)
                return;
            const int percent = (int) (100 * done / total);
            if (percent != lastPercent)
            {
                std::fprintf (stderr, "\rpelorin-render: %3d%%", percent);
                std::fflush (stderr);
                lastPercent = percent;
                shown = true;
            }
        }

    private:
        juce::int64 total;
        bool enabled;
        bool shown = false;
        int lastPercent = -1;
    };

    juce::Result render (const Options& options, ZelkoraPelorin& processor, const Source& source,
                         const juce::TemporaryFile& temp)
    {
        const int block = options.blockSize;
        const double fs = source.sampleRate;

        // What a host does before it starts the audio.
        processor.setNonRealtime (true);
        processor.setRateAndBufferSizeDetails (fs, block);
        processor.prepareToPlay (fs, block);

        std::unique_ptr<juce::AudioFormatWriter> writer;
        {
            auto stream = std::make_unique<juce::FileOutputStream> (temp.getFile());
            if (! stream->openedOk())
                return juce::Result::fail ("cannot write output " + quotedPath (temp.getTargetFile()) + ": "
                                           + stream->getStatus().getErrorMessage());

            juce::WavAudioFormat wav;
            // 32 bits per sample makes JUCE's WAV writer store IEEE floats.
            writer.reset (wav.createWriterFor (stream.get(), fs, 2, 32, {}, 0));
            if (writer == nullptr)
                return juce::Result::fail ("cannot write output " + quotedPath (temp.getTargetFile())
                                           + ": the WAV writer refused the format");
            stream.release(); // the writer owns it now
        }

        const int chunkFrames = ((kChunkFrames + block - 1) / block) * block;
        juce::AudioBuffer<float> chunk (2, chunkFrames);
        juce::MidiBuffer midi;
        Progress progress (source.length, fs);
        bool seeded = false;

        for (juce::int64 pos = 0; pos < source.length; pos += chunkFrames)
        {
            const int frames = (int) std::min<juce::int64> (chunkFrames, source.length - pos);

            chunk.clear();
            if (! source.read (chunk, pos, frames))
                return juce::Result::fail ("cannot read input " + quotedPath (options.input) + " at frame "
                                           + juce::String (pos));

            for (int start = 0; start < frames; start += block)
            {
                const int n = std::min (block, frames - start);
                juce::AudioBuffer<float> view (chunk.getArrayOfWritePointers(), 2, start, n);

                if (options.hasSeed && ! seeded)
                {
                    // The random generators drew their first points from a
                    // time-based seed when the processor was built; redraw them
                    // from the seed, then seed again so the injected noise
                    // starts exactly where a host's srand (seed) would.
                    std::srand (options.seed);
                    processor.getEngine().RestartRandomGenerators();
                    std::srand (options.seed);
                    seeded = true;
                }

                const juce::ScopedLock lock (processor.getCallbackLock());
                processor.processBlock (view, midi);
            }

            if (! writer->writeFromAudioSampleBuffer (chunk, 0, frames))
                return juce::Result::fail ("cannot write output " + quotedPath (temp.getTargetFile()));

            progress.update (pos + frames);
        }

        processor.releaseResources();

        // The header's sizes are written when the writer closes; check the
        // file is complete rather than trusting the stream.
        writer.reset();
        const juce::int64 expectedDataBytes = source.length * 2 * 4;
        if (temp.getFile().getSize() < expectedDataBytes + 44)
            return juce::Result::fail ("cannot write output " + quotedPath (temp.getTargetFile())
                                       + ": the file is incomplete (disk full?)");

        return juce::Result::ok();
    }

    int run (const juce::StringArray& args)
    {
        ZelkoraPelorin processor;

        Options options;
        if (auto r = parseCommandLine (args, processor, options); r.failed())
            return fail (r.getErrorMessage(), kExitUsageError);

        if (options.showHelp)
        {
            std::fputs (usageText().toRawUTF8(), stdout);
            return 0;
        }

        const bool rendering = options.wantsRender();
        const auto outputFile = options.outputFile();

        // Refuse unwritable targets before any work is done.
        if (rendering)
            if (auto r = checkWritableTarget (outputFile, "output"); r.failed())
                return fail (r.getErrorMessage(), kExitFileError);

        if (options.hasStateOut())
            if (auto r = checkWritableTarget (options.stateOut, "session chunk"); r.failed())
                return fail (r.getErrorMessage(), kExitFileError);

        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader;
        juce::AudioBuffer<float> demo;
        Source source;

        if (rendering)
        {
            if (auto r = openInput (options, formats, reader, demo, source); r.failed())
                return fail (r.getErrorMessage(), kExitFileError);

            // A host offers the layout before it restores state or plays.
            juce::AudioProcessor::BusesLayout layout;
            layout.inputBuses.add (source.numChannels == 1 ? juce::AudioChannelSet::mono()
                                                           : juce::AudioChannelSet::stereo());
            layout.outputBuses.add (juce::AudioChannelSet::stereo());
            processor.enableAllBuses();
            if (! processor.setBusesLayout (layout))
                return fail ("the processor refused a " + juce::String (source.numChannels)
                                 + "-channel input layout", kExitFileError);
        }

        if (auto r = applyActions (options, processor); r.failed())
            return fail (r.getErrorMessage(), kExitFileError);

        if (options.printParameters)
            printParameters (processor);

        // Temporary files are deleted by their destructors unless moved into place.
        std::unique_ptr<juce::TemporaryFile> stateTemp;
        if (options.hasStateOut())
        {
            stateTemp = std::make_unique<juce::TemporaryFile> (options.stateOut, juce::TemporaryFile::useHiddenFile);
            if (auto r = writeStateChunk (processor, *stateTemp); r.failed())
                return fail (r.getErrorMessage(), kExitFileError);
        }

        std::unique_ptr<juce::TemporaryFile> audioTemp;
        if (rendering)
        {
            audioTemp = std::make_unique<juce::TemporaryFile> (outputFile, juce::TemporaryFile::useHiddenFile);
            if (auto r = render (options, processor, source, *audioTemp); r.failed())
                return fail (r.getErrorMessage(), kExitFileError);

            if (! audioTemp->overwriteTargetFileWithTemporary())
                return fail ("cannot replace output " + quotedPath (outputFile), kExitFileError);
        }

        if (stateTemp != nullptr && ! stateTemp->overwriteTargetFileWithTemporary())
            return fail ("cannot replace session chunk " + quotedPath (options.stateOut), kExitFileError);

        if (rendering)
            std::printf ("pelorin-render: wrote %s (%lld frames, 2 channels, %g Hz, 32-bit float)\n",
                         outputFile.getFullPathName().toRawUTF8(), (long long) source.length, source.sampleRate);
        if (options.hasStateOut())
            std::printf ("pelorin-render: wrote session chunk %s\n", options.stateOut.getFullPathName().toRawUTF8());

        return 0;
    }
} // namespace

} // namespace PelorinRender

int main (int argc, char* argv[])
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    // The processor is a ChangeBroadcaster, which needs a message manager;
    // everything JUCE made is gone before the initialiser shuts JUCE down.
    const juce::ScopedJuceInitialiser_GUI juce;
    return PelorinRender::run (args);
}
