// Every refusal: a non-zero exit, one line on stderr, and the folder exactly
// as it was, whether or not the output file existed before.
#include "RendererTestSupport.h"

using namespace RendererTest;

namespace
{
struct ErrorCase
{
    const char* name;
    std::vector<std::string> args; // "@" starts a path inside the test folder
    const char* message;           // part of the error line
};

void PrintTo (const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ErrorTest : public RendererFixture, public ::testing::WithParamInterface<ErrorCase>
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();

        writeWav (file ("in.wav"), makeSignal (2, 2000), 48000.0);
        writeWav (file ("three.wav"), makeSignal (3, 2000), 48000.0);
        ASSERT_TRUE (file ("text.wav").replaceWithText ("RIFF? no, just text\n"));
        ASSERT_TRUE (file ("folder").createDirectory().wasOk());
        ASSERT_TRUE (file ("empty").create().wasOk());
        ASSERT_TRUE (file ("notxml.zpreset").replaceWithText ("wetDry=0.5\n"));
        ASSERT_TRUE (file ("broken.zpreset").replaceWithText ("<ZelkoraPelorin wetDry=\"0.5\">")); // never closed
        ASSERT_TRUE (file ("foreign.zpreset").replaceWithText (presetXml ({ { "wetDry", "0.1" } }, "OtherPlugin")));

        auto writeChunk = [this] (const char* name, juce::MemoryBlock block)
        { ASSERT_TRUE (file (name).replaceWithData (block.getData(), block.getSize())); };

        const auto good = chunkWith ({ { "wetDry", "0.1" } });
        auto badMagic = good;
        badMagic[0] = 'X';
        juce::MemoryBlock truncated (good.getData(), good.getSize() - 20);
        auto zeroLength = good;
        zeroLength[4] = zeroLength[5] = zeroLength[6] = zeroLength[7] = 0;
        juce::MemoryBlock notXml;
        {
            const char text[] = "not xml at all";
            notXml.append ("VC2!", 4);
            const juce::uint32 length = sizeof (text) - 1;
            notXml.append (&length, 4);
            notXml.append (text, sizeof (text));
        }
        writeChunk ("badmagic.bin", badMagic);
        writeChunk ("truncated.bin", truncated);
        writeChunk ("zerolength.bin", zeroLength);
        writeChunk ("notxml.bin", notXml);
        writeChunk ("foreign.bin", chunkWith ({ { "mixLock", "1" } }, "OtherPlugin"));
        writeChunk ("short.bin", juce::MemoryBlock (good.getData(), 8));
    }

    std::vector<std::string> resolve (const std::vector<std::string>& args) const
    {
        std::vector<std::string> result;
        for (const auto& a : args)
            result.push_back (a.rfind ("@", 0) == 0 ? path (a.substr (1)) : a);
        return result;
    }

    void expectRefusedAndUntouched (const RunResult& r, const std::map<std::string, std::string>& before)
    {
        const auto& c = GetParam();
        EXPECT_NE (r.exitCode, 0);
        EXPECT_EQ (r.err.rfind ("pelorin-render: ", 0), 0u) << r.err;
        EXPECT_EQ (std::count (r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE (r.err.find (c.message), std::string::npos) << "stderr: " << r.err;
        EXPECT_EQ (r.out, "");
        EXPECT_TRUE (snapshotFolder (dir) == before) << "the folder changed";
    }
};

TEST_P (ErrorTest, RefusesWithOneLineAndLeavesNoOutput)
{
    const auto before = snapshotFolder (dir);
    expectRefusedAndUntouched (run (resolve (GetParam().args)), before);
}

TEST_P (ErrorTest, RefusesWithoutTouchingAnExistingOutput)
{
    ASSERT_TRUE (file ("out.wav").replaceWithText ("the previous render"));
    ASSERT_TRUE (file ("pelorin-demo.wav").replaceWithText ("the previous demo"));
    ASSERT_TRUE (file ("s.bin").replaceWithText ("the previous chunk"));
    const auto before = snapshotFolder (dir);
    expectRefusedAndUntouched (run (resolve (GetParam().args)), before);
}

const ErrorCase kErrorCases[] = {
    // input
    { "MissingInput", { "@nothere.wav", "-o", "@out.wav" }, "no such file" },
    { "InputIsFolder", { "@folder", "-o", "@out.wav" }, "is a folder" },
    { "InputIsNotAudio", { "@text.wav", "-o", "@out.wav" }, "not a WAV or AIFF" },
    { "InputIsEmpty", { "@empty", "-o", "@out.wav" }, "not a WAV or AIFF" },
    { "InputHasThreeChannels", { "@three.wav", "-o", "@out.wav" }, "3 channels" },
    { "TwoInputs", { "@in.wav", "@in.wav", "-o", "@out.wav" }, "only one input" },
    // parameters and modes
    { "UnknownParameter", { "@in.wav", "--set", "volume=1", "-o", "@out.wav" }, "unknown parameter 'volume'" },
    { "ParameterNameIsCaseSensitive", { "@in.wav", "--set", "mode=0.5", "-o", "@out.wav" }, "unknown parameter 'mode'" },
    { "SetWithoutEquals", { "@in.wav", "--set", "depth", "-o", "@out.wav" }, "NAME=VALUE" },
    { "SetWithoutName", { "@in.wav", "--set", "=0.5", "-o", "@out.wav" }, "NAME=VALUE" },
    { "ValueNotANumber", { "@in.wav", "--set", "depth=abc", "-o", "@out.wav" }, "not a number" },
    { "ValueEmpty", { "@in.wav", "--set", "depth=", "-o", "@out.wav" }, "not a number" },
    { "ValueTrailingText", { "@in.wav", "--set", "depth=0.5x", "-o", "@out.wav" }, "not a number" },
    { "ValueNaN", { "@in.wav", "--set", "depth=nan", "-o", "@out.wav" }, "not a number" },
    { "ValueInfinite", { "@in.wav", "--set", "depth=inf", "-o", "@out.wav" }, "not a number" },
    { "ValueAboveOne", { "@in.wav", "--set", "depth=20", "-o", "@out.wav" }, "from 0 to 1" },
    { "ValueBelowZero", { "@in.wav", "--set", "rate=-0.5", "-o", "@out.wav" }, "from 0 to 1" },
    { "UnknownMode", { "@in.wav", "--mode", "Flanger", "-o", "@out.wav" }, "unknown mode 'Flanger'" },
    // block and seed
    { "BlockZero", { "@in.wav", "--block", "0", "-o", "@out.wav" }, "block size" },
    { "BlockTooLarge", { "@in.wav", "--block", "65537", "-o", "@out.wav" }, "block size" },
    { "BlockNegative", { "@in.wav", "--block", "-5", "-o", "@out.wav" }, "block size" },
    { "BlockNotANumber", { "@in.wav", "--block", "big", "-o", "@out.wav" }, "block size" },
    { "SeedNegative", { "@in.wav", "--seed", "-1", "-o", "@out.wav" }, "seed" },
    { "SeedTooLarge", { "@in.wav", "--seed", "4294967296", "-o", "@out.wav" }, "seed" },
    // the command line itself
    { "UnknownOption", { "@in.wav", "--frobnicate", "-o", "@out.wav" }, "unknown option '--frobnicate'" },
    { "SetMissingArgument", { "@in.wav", "-o", "@out.wav", "--set" }, "--set needs an argument" },
    { "ModeMissingArgument", { "@in.wav", "-o", "@out.wav", "--mode" }, "--mode needs an argument" },
    { "OutputMissingArgument", { "@in.wav", "-o" }, "-o needs an argument" },
    { "PresetMissingArgument", { "-o", "@out.wav", "--preset" }, "--preset needs an argument" },
    { "DemoWithBadOption", { "--block", "x" }, "block size" },
    // presets
    { "PresetMissing", { "@in.wav", "--preset", "@nothere.zpreset", "-o", "@out.wav" }, "no such file" },
    { "PresetIsFolder", { "@in.wav", "--preset", "@folder", "-o", "@out.wav" }, "is a folder" },
    { "PresetEmpty", { "@in.wav", "--preset", "@empty", "-o", "@out.wav" }, "not an XML document" },
    { "PresetNotXml", { "@in.wav", "--preset", "@notxml.zpreset", "-o", "@out.wav" }, "not an XML document" },
    { "PresetBrokenXml", { "@in.wav", "--preset", "@broken.zpreset", "-o", "@out.wav" }, "not an XML document" },
    { "PresetForeign", { "@in.wav", "--preset", "@foreign.zpreset", "-o", "@out.wav" }, "not a ZelkoraPelorin preset" },
    { "PresetAfterGoodOptions", { "--set", "depth=0.1", "--preset", "@notxml.zpreset" }, "not an XML document" },
    // session chunks
    { "ChunkMissing", { "@in.wav", "--state-in", "@nothere.bin", "-o", "@out.wav" }, "no such file" },
    { "ChunkIsFolder", { "@in.wav", "--state-in", "@folder", "-o", "@out.wav" }, "is a folder" },
    { "ChunkEmpty", { "@in.wav", "--state-in", "@empty", "-o", "@out.wav" }, "chunk header" },
    { "ChunkHeaderOnly", { "@in.wav", "--state-in", "@short.bin", "-o", "@out.wav" }, "chunk header" },
    { "ChunkBadMagic", { "@in.wav", "--state-in", "@badmagic.bin", "-o", "@out.wav" }, "chunk header" },
    { "ChunkIsAPreset", { "@in.wav", "--state-in", "@foreign.zpreset", "-o", "@out.wav" }, "chunk header" },
    { "ChunkTruncated", { "@in.wav", "--state-in", "@truncated.bin", "-o", "@out.wav" }, "bad length" },
    { "ChunkZeroLength", { "@in.wav", "--state-in", "@zerolength.bin", "-o", "@out.wav" }, "bad length" },
    { "ChunkNotXml", { "@in.wav", "--state-in", "@notxml.bin", "-o", "@out.wav" }, "does not hold an XML document" },
    { "ChunkForeign", { "@in.wav", "--state-in", "@foreign.bin", "-o", "@out.wav" }, "not a ZelkoraPelorin state" },
    // outputs
    { "OutputFolderMissing", { "@in.wav", "-o", "@nowhere/out.wav" }, "does not exist" },
    { "OutputUnderAFile", { "@in.wav", "-o", "@in.wav/out.wav" }, "does not exist" },
    { "OutputIsFolder", { "@in.wav", "-o", "@folder" }, "is a folder" },
    { "StateOutFolderMissing", { "@in.wav", "-o", "@out.wav", "--state-out", "@nowhere/s.bin" }, "does not exist" },
    { "StateOutIsFolder", { "--set", "depth=0.1", "--state-out", "@folder" }, "is a folder" },
    // a bad state file stops a run that also writes a chunk, before anything is written
    { "StateOutWithBadPreset", { "@in.wav", "-o", "@out.wav", "--state-out", "@s.bin", "--preset", "@empty" },
      "not an XML document" },
};

INSTANTIATE_TEST_SUITE_P (Table, ErrorTest, ::testing::ValuesIn (kErrorCases),
                          [] (const ::testing::TestParamInfo<ErrorCase>& p) { return std::string (p.param.name); });
} // namespace
