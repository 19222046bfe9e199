// Rendering: the demo, the dry path for mono and stereo files, and the
// guarantees that make renders comparable (block size and seed).
#include "RendererTestSupport.h"

#include <cmath>

using namespace RendererTest;

namespace
{
class RenderTest : public RendererFixture
{
};

TEST_F (RenderTest, DemoWritesSixSecondsOfFloatStereoAt48kInTheWorkingFolder)
{
    const auto r = run ({ "--seed", "1" });
    ASSERT_EQ (r.exitCode, 0) << r.err;
    EXPECT_EQ (r.err, "");

    const auto out = file ("pelorin-demo.wav");
    EXPECT_NE (r.out.find (out.getFullPathName().toStdString()), std::string::npos) << r.out;

    WavFile wav;
    ASSERT_TRUE (readWav (out, wav));
    EXPECT_EQ (wav.sampleRate, 48000.0);
    EXPECT_EQ (wav.audio.getNumChannels(), 2);
    EXPECT_EQ (wav.bitsPerSample, 32u);
    EXPECT_TRUE (wav.isFloat);
    EXPECT_EQ (wav.audio.getNumSamples(), 6 * 48000);

    // Sound in both channels, all of it finite and below full scale.
    for (int ch = 0; ch < 2; ++ch)
    {
        const auto* d = wav.audio.getReadPointer (ch);
        for (int i = 0; i < wav.audio.getNumSamples(); ++i)
            ASSERT_TRUE (std::isfinite (d[i])) << "channel " << ch << " frame " << i;
        EXPECT_GT (wav.audio.getRMSLevel (ch, 0, wav.audio.getNumSamples()), 0.03f);
        EXPECT_LT (wav.audio.getMagnitude (ch, 0, wav.audio.getNumSamples()), 1.0f);
    }

    // Nothing else (no temporary file) is left in the folder.
    const auto files = snapshotFolder (dir);
    ASSERT_EQ (files.size(), 1u);
    EXPECT_EQ (files.begin()->first, "pelorin-demo.wav");
}

// At mix 0 the output is the input, bit for bit, in every mode; a mono file
// feeds both halves of the engine, so both output channels carry it. Odd
// lengths and other sample rates check that the last, shorter block and the
// file's rate are kept.
struct DryCase
{
    int channels;
    double sampleRate;
    int frames;
    const char* mode;
};

void PrintTo (const DryCase& c, std::ostream* os)
{
    *os << c.channels << " channel(s), " << c.sampleRate << " Hz, " << c.frames << " frames, " << c.mode;
}

class DryPathTest : public RendererFixture, public ::testing::WithParamInterface<DryCase>
{
};

TEST_P (DryPathTest, MixZeroOutputEqualsInputOnBothChannels)
{
    const auto c = GetParam();
    const auto input = makeSignal (c.channels, c.frames, 3);
    writeWav (file ("in.wav"), input, c.sampleRate);

    const auto r = run ({ path ("in.wav"), "--mode", c.mode, "--set", "wetDry=0", "-o", path ("out.wav") });
    ASSERT_EQ (r.exitCode, 0) << r.err;

    WavFile out;
    ASSERT_TRUE (readWav (file ("out.wav"), out));
    ASSERT_EQ (out.audio.getNumChannels(), 2);
    EXPECT_EQ (out.sampleRate, c.sampleRate);
    EXPECT_TRUE (out.isFloat);
    EXPECT_EQ (out.audio.getNumSamples(), c.frames);

    for (int ch = 0; ch < 2; ++ch)
        EXPECT_TRUE (channelsBitEqual (out.audio, ch, input, c.channels == 1 ? 0 : ch)) << "output channel " << ch;
}

INSTANTIATE_TEST_SUITE_P (MonoAndStereo, DryPathTest,
                          ::testing::Values (DryCase { 1, 48000.0, 48000, "Up" },
                                             DryCase { 2, 48000.0, 48000, "Up" },
                                             DryCase { 1, 44100.0, 30001, "Symphonic" },
                                             DryCase { 2, 96000.0, 40000, "TZF+" },
                                             DryCase { 2, 22050.0, 511, "VariUpDown" },
                                             DryCase { 1, 48000.0, 1, "Ocho" }));

TEST_F (RenderTest, MonoFileSoundsLikeStereoFileWithTheSameSignalInBothChannels)
{
    // The mono layout must feed the engine exactly what a stereo host feeds
    // it when both channels are the same, wet part included.
    const auto mono = makeSignal (1, 24000, 5);
    juce::AudioBuffer<float> dual (2, mono.getNumSamples());
    dual.copyFrom (0, 0, mono, 0, 0, mono.getNumSamples());
    dual.copyFrom (1, 0, mono, 0, 0, mono.getNumSamples());
    writeWav (file ("mono.wav"), mono, 48000.0);
    writeWav (file ("dual.wav"), dual, 48000.0);

    for (const char* mode : { "Up", "Ensemble360" })
    {
        ASSERT_EQ (run ({ path ("mono.wav"), "--mode", mode, "--seed", "9", "-o", path ("a.wav") }).exitCode, 0);
        ASSERT_EQ (run ({ path ("dual.wav"), "--mode", mode, "--seed", "9", "-o", path ("b.wav") }).exitCode, 0);

        WavFile a, b;
        ASSERT_TRUE (readWav (file ("a.wav"), a));
        ASSERT_TRUE (readWav (file ("b.wav"), b));
        EXPECT_TRUE (buffersBitEqual (a.audio, b.audio)) << mode;
        EXPECT_FALSE (channelsBitEqual (a.audio, 0, mono, 0)) << mode << ": the effect should be heard at 50 % mix";
    }
}

// The engine runs sample by sample, so the block size must not change a
// single sample once the noise is seeded. 333 and 4096 leave a short last block.
TEST_F (RenderTest, BlockSizeDoesNotChangeTheOutput)
{
    writeWav (file ("in.wav"), makeSignal (2, 20000, 7), 48000.0);

    for (const char* mode : { "Up", "VariUpDown", "Symphonic" })
    {
        WavFile reference;
        bool haveReference = false;
        for (const char* block : { "512", "1", "333", "4096" })
        {
            const auto r = run ({ path ("in.wav"), "--mode", mode, "--set", "feedback=0.8", "--seed", "1234",
                                  "--block", block, "-o", path ("out.wav") });
            ASSERT_EQ (r.exitCode, 0) << r.err;

            WavFile out;
            ASSERT_TRUE (readWav (file ("out.wav"), out));
            if (! haveReference)
            {
                reference = out;
                haveReference = true;
                continue;
            }
            EXPECT_TRUE (buffersBitEqual (out.audio, reference.audio)) << mode << " with block " << block;
        }
    }
}

TEST_F (RenderTest, SeedMakesTheInjectedNoiseRepeatable)
{
    writeWav (file ("in.wav"), makeSignal (2, 12000, 2), 48000.0);

    auto render = [this] (const char* seed, const char* name)
    {
        const auto r = run ({ path ("in.wav"), "--seed", seed, "-o", path (name) });
        EXPECT_EQ (r.exitCode, 0) << r.err;
        WavFile out;
        readWav (file (name), out);
        return out.audio;
    };

    const auto a = render ("42", "a.wav");
    const auto b = render ("42", "b.wav");
    const auto c = render ("43", "c.wav");
    EXPECT_TRUE (buffersBitEqual (a, b));
    EXPECT_FALSE (buffersBitEqual (a, c)) << "the seed should reach the engine's noise";
}

// The random through-zero modes draw their first modulation points when the
// processor is built, from a time-based seed; --seed must redraw them, or two
// renders with the same seed a second apart would differ.
TEST_F (RenderTest, SeedAlsoRepeatsRandomModulation)
{
    writeWav (file ("in.wav"), makeSignal (2, 48000, 4), 48000.0);
    ASSERT_EQ (run ({ path ("in.wav"), "--mode", "TZF+", "--seed", "5", "-o", path ("a.wav") }).exitCode, 0);
    juce::Thread::sleep (1100);
    ASSERT_EQ (run ({ path ("in.wav"), "--mode", "TZF+", "--seed", "5", "-o", path ("b.wav") }).exitCode, 0);

    WavFile a, b;
    ASSERT_TRUE (readWav (file ("a.wav"), a));
    ASSERT_TRUE (readWav (file ("b.wav"), b));
    EXPECT_TRUE (buffersBitEqual (a.audio, b.audio));
}

TEST_F (RenderTest, DefaultOutputIsNextToTheInputAndReplacesAnOldRender)
{
    ASSERT_TRUE (file ("sub").createDirectory().wasOk());
    const auto input = makeSignal (2, 4800, 6);
    writeWav (file ("sub/take 1.wav"), input, 48000.0);
    ASSERT_TRUE (file ("sub/take 1-pelorin.wav").replaceWithText ("an old render"));

    // Run from another folder: the output follows the input, not the working folder.
    const auto r = run ({ "sub/take 1.wav", "--set", "wetDry=0" });
    ASSERT_EQ (r.exitCode, 0) << r.err;

    WavFile out;
    ASSERT_TRUE (readWav (file ("sub/take 1-pelorin.wav"), out));
    EXPECT_TRUE (buffersBitEqual (out.audio, input));
    EXPECT_EQ (snapshotFolder (dir).size(), 3u); // sub, the input, the output
}
} // namespace
