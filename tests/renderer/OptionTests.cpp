// Options that change the processor, seen through --print-params and the
// session chunk.
#include "RendererTestSupport.h"

using namespace RendererTest;

namespace
{
class OptionTest : public RendererFixture
{
protected:
    // Runs with --print-params (nothing rendered) and returns the six lines.
    std::vector<ParamLine> params (std::vector<std::string> args)
    {
        args.push_back ("--print-params");
        const auto r = run (args);
        EXPECT_EQ (r.exitCode, 0) << r.err;
        auto lines = parseParams (r.out);
        EXPECT_EQ (lines.size(), 6u) << r.out;
        lines.resize (6);
        return lines;
    }

    float value (std::vector<std::string> args, int index) { return params (std::move (args))[(size_t) index].value; }
};

TEST_F (OptionTest, PrintParamsShowsTheDefaultsAndRendersNothing)
{
    const auto lines = params ({});

    struct Expected { const char* name; float value; const char* text; };
    const Expected expected[] = {
        { "wetDry", 0.5f, "50.0 %" },     { "rate", 0.626f, "0.10 Hz" },  { "depth", 0.5f, "10.00 ms" },
        { "feedback", 0.5f, "0.0 %" },    { "manual", 0.5f, "0.00 ms" },  { "Mode", 1.0f / 11.0f, "Up" },
    };

    for (int i = 0; i < 6; ++i)
    {
        const auto& line = lines[(size_t) i];
        EXPECT_EQ (line.index, i);
        EXPECT_EQ (line.name, expected[i].name);
        EXPECT_EQ (line.value, expected[i].value) << line.name; // exact: %.9g round-trips a float
        EXPECT_EQ (line.text, expected[i].text);
        EXPECT_EQ (line.defaultValue, expected[i].value) << line.name;
    }

    EXPECT_TRUE (snapshotFolder (dir).empty()) << "asking for the parameters alone must not render the demo";
}

TEST_F (OptionTest, SetAppliesNormalizedValuesExactly)
{
    const auto lines = params ({ "--set", "rate=0", "--set", "feedback=0.0", "--set", "manual=1", "--set", "depth=0.1",
                                 "--set", "wetDry=1.0e-1", "--set", "Mode=0.5" });
    EXPECT_EQ (lines[1].text, "-10.00 Hz");
    EXPECT_EQ (lines[3].text, "-100.0 %");
    EXPECT_EQ (lines[4].text, "50.00 ms");
    EXPECT_EQ (lines[2].value, 0.1f);
    EXPECT_EQ (lines[0].value, 0.1f);
    EXPECT_EQ (lines[5].text, "TriFlange"); // between grid values: the mode below
}

TEST_F (OptionTest, ModeAcceptsEveryNameAndTheEditorsShortNamesInAnyCase)
{
    struct Case { const char* typed; int mode; const char* text; };
    const Case cases[] = {
        { "Up", 0, "Up" },           { "up/down", 1, "Up/Down" },        { "TZFlange+", 2, "TZFlange+" },
        { "tzf+", 2, "TZFlange+" },  { "TZFLANGE-", 3, "TZFlange-" },    { "TZF-", 3, "TZFlange-" },
        { "TriFlange", 4, "TriFlange" }, { "tri", 4, "TriFlange" },       { "OCHO", 5, "Ocho" },
        { "Doubler", 6, "Doubler" }, { "variup", 7, "VariUp" },          { "VariUpDown", 8, "VariUpDown" },
        { "ensemble360", 9, "Ensemble360" }, { "Symphonic", 10, "Symphonic" },
    };

    for (const auto& c : cases)
    {
        const auto line = params ({ "--mode", c.typed })[5];
        EXPECT_EQ (line.value, (float) (c.mode + 1) / 11.0f) << c.typed; // the editor's grid value
        EXPECT_EQ (line.text, c.text) << c.typed;
    }
}

TEST_F (OptionTest, StateChangesApplyInCommandLineOrder)
{
    ASSERT_TRUE (file ("p.zpreset").replaceWithText (presetXml ({ { "presetName", "Wide" }, { "wetDry", "0.9" },
                                                                  { "depth", "0.8" }, { "Mode", "0.5454545617103577" } })));
    const auto locked = chunkWith ({ { "wetDry", "0.3" }, { "depth", "0.4" }, { "mixLock", "1" } });
    ASSERT_TRUE (file ("locked.bin").replaceWithData (locked.getData(), locked.getSize()));
    const auto p = path ("p.zpreset"), c = path ("locked.bin");

    struct Case { std::vector<std::string> args; int index; float expected; const char* why; };
    const Case cases[] = {
        { { "--set", "depth=0.2", "--preset", p }, 2, 0.8f, "the preset comes last" },
        { { "--preset", p, "--set", "depth=0.2" }, 2, 0.2f, "--set comes last" },
        { { "--mode", "Up", "--preset", p }, 5, 6.0f / 11.0f, "the preset's mode wins" },
        { { "--preset", p, "--mode", "Up" }, 5, 1.0f / 11.0f, "--mode wins" },
        { { "--state-in", c, "--set", "depth=0.2" }, 2, 0.2f, "--set after the chunk" },
        { { "--set", "depth=0.2", "--state-in", c }, 2, 0.4f, "the chunk after --set" },
        { { "--state-in", c, "--preset", p }, 0, 0.3f, "the chunk's mix lock keeps wetDry from the preset" },
        { { "--state-in", c, "--preset", p }, 2, 0.8f, "the locked preset still sets depth" },
        { { "--preset", p, "--state-in", c }, 0, 0.3f, "a session restore always sets the mix" },
    };

    for (const auto& cs : cases)
        EXPECT_EQ (value (cs.args, cs.index), cs.expected) << cs.why;
}

TEST_F (OptionTest, StateOutHoldsTheFinalStateAndReadsBack)
{
    // --state-out is written after every option, wherever it stands.
    const auto r = run ({ "--state-out", path ("s.bin"), "--set", "rate=0.25", "--mode", "Ocho", "--set", "manual=0.125" });
    ASSERT_EQ (r.exitCode, 0) << r.err;
    ASSERT_TRUE (file ("s.bin").existsAsFile());
    EXPECT_EQ (snapshotFolder (dir).size(), 1u) << "writing a chunk alone must not render the demo";

    juce::MemoryBlock chunk;
    ASSERT_TRUE (file ("s.bin").loadFileAsData (chunk));
    const auto xml = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "ZelkoraPelorin");
    EXPECT_EQ ((float) xml->getDoubleAttribute ("rate"), 0.25f);
    EXPECT_EQ ((float) xml->getDoubleAttribute ("manual"), 0.125f);

    const auto lines = params ({ "--state-in", path ("s.bin") });
    EXPECT_EQ (lines[1].value, 0.25f);
    EXPECT_EQ (lines[4].value, 0.125f);
    EXPECT_EQ (lines[5].text, "Ocho");
    EXPECT_EQ (lines[0].value, 0.5f);
}

TEST_F (OptionTest, StateOutWithARenderWritesBoth)
{
    writeWav (file ("in.wav"), makeSignal (1, 1000), 48000.0);
    const auto r = run ({ path ("in.wav"), "--set", "depth=0.75", "--state-out", path ("s.bin"), "-o", path ("o.wav") });
    ASSERT_EQ (r.exitCode, 0) << r.err;
    WavFile out;
    EXPECT_TRUE (readWav (file ("o.wav"), out));
    EXPECT_EQ (value ({ "--state-in", path ("s.bin") }, 2), 0.75f);
}

TEST_F (OptionTest, HelpPrintsUsageAndWritesNothing)
{
    const auto r = run ({ "--help" });
    EXPECT_EQ (r.exitCode, 0);
    EXPECT_EQ (r.out.rfind ("Usage: pelorin-render", 0), 0u) << r.out;
    for (const char* option : { "--set", "--mode", "--block", "--print-params", "--preset", "--state-in", "--state-out",
                                "--seed", "-o" })
        EXPECT_NE (r.out.find (option), std::string::npos) << option;
    EXPECT_TRUE (snapshotFolder (dir).empty());
    EXPECT_EQ (run ({ "-h" }).out, r.out);
}
} // namespace
