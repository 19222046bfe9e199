// Stored state: chunks and preset files kept in the tree must keep loading the
// same values and re-save to the same bytes; the shipped factory presets must
// be exactly what the writer produces for their table.

#include "StateTestHelpers.h"
#include "ZelkoraPelorinPresetFormat.h"
#include "FactoryPresetTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace StateTest;

namespace
{
    juce::File fixture (const char* name)
    {
        return juce::File (ZP_STATE_FIXTURES_DIR).getChildFile (name);
    }

    std::vector<char> toVector (const std::string& s) { return std::vector<char> (s.begin(), s.end()); }

    // ZP_REGENERATE_STATE_FIXTURES=1 rewrites the generated fixtures instead of
    // comparing; only do that for a deliberate change of the format.
    bool regenerating() { return std::getenv ("ZP_REGENERATE_STATE_FIXTURES") != nullptr; }

    const juce::String kCustomName = juce::CharPointer_UTF8 ("Bass & Keys \xe2\x80\x94 \"live\"");

    void makeCustomSession (ZelkoraPelorin& p)
    {
        setValues (p, { 0.75f, 0.3f, 0.8f, 0.9f, 0.25f, 1.0f });
        p.presetName = kCustomName;
        p.mixLock = true;
        p.uiWidth = 940;
        p.uiHeight = 520;
    }

    void makeTriPreset (ZelkoraPelorin& p)
    {
        setValues (p, { 0.6f, 0.55f, 0.35f, 0.8f, 0.6f, 5.0f / 11.0f });
        p.presetName = "Tri <Fixture>";
    }
}

TEST (Fixtures, SessionChunksLoadTheSameValuesAndResaveIdentically)
{
    struct Case
    {
        const char* file;
        void (*make) (ZelkoraPelorin&);
        std::vector<float> values;
        juce::String name;
        bool lock;
        int width, height;
    };
    const Case cases[] = {
        { "session-default.chunk", [] (ZelkoraPelorin&) {}, { 0.5f, 0.626f, 0.5f, 0.5f, 0.5f, 1.0f / 11.0f }, "", false, 470, 260 },
        { "session-custom.chunk", makeCustomSession, { 0.75f, 0.3f, 0.8f, 0.9f, 0.25f, 1.0f }, kCustomName, true, 940, 520 },
    };

    for (const auto& c : cases)
    {
        if (regenerating())
        {
            ZelkoraPelorin source;
            c.make (source);
            const auto bytes = save (source);
            fixture (c.file).replaceWithData (bytes.data(), bytes.size());
        }

        const auto stored = toVector (readBytes (fixture (c.file)));
        ASSERT_FALSE (stored.empty()) << c.file;

        ZelkoraPelorin processor;
        setValues (processor, { 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f });
        processor.mixLock = ! c.lock;
        restore (processor, stored);

        EXPECT_EQ (getValues (processor), c.values) << c.file;
        EXPECT_EQ (processor.presetName, c.name) << c.file;
        EXPECT_EQ (processor.mixLock, c.lock) << c.file;
        EXPECT_EQ (processor.uiWidth, c.width) << c.file;
        EXPECT_EQ (processor.uiHeight, c.height) << c.file;
        EXPECT_EQ (save (processor), stored) << c.file;
    }
}

TEST (Fixtures, PresetFileLoadsTheSameValuesAndResavesIdentically)
{
    const auto file = fixture ("preset-tri.zpreset");
    if (regenerating())
    {
        ZelkoraPelorin source;
        makeTriPreset (source);
        ASSERT_TRUE (writePresetFile (source, file));
    }

    ZelkoraPelorin processor;
    processor.setStateFromFile (file);
    EXPECT_EQ (processor.presetName, "Tri <Fixture>");
    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.6f, 0.55f, 0.35f, 0.8f, 0.6f, 5.0f / 11.0f }));
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    EXPECT_EQ (processor.getParameterText (5), "TriFlange");
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    EXPECT_EQ (getPresetFileText (processor).toStdString(), readBytes (file));
}

TEST (Fixtures, HandEditedPresetStillLoads)
{
    // Written by hand: LF line ends, a comment, attributes in another order,
    // a lower-case tag, a session attribute and an unknown one.
    ZelkoraPelorin processor;
    processor.setStateFromFile (fixture ("hand-edited.zpreset"));
    EXPECT_EQ (processor.presetName, "Hand Edited");
    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.4f, 0.7f, 0.6f, 0.3f, 0.5f, 7.0f / 11.0f }));
    EXPECT_FALSE (processor.mixLock);
}

TEST (FactoryPresets, FolderHoldsExactlyTheTableWithTwoPerMode)
{
    const juce::File folder (ZP_FACTORY_PRESETS_DIR);
    const auto files = folder.findChildFiles (juce::File::findFiles, false, "*.zpreset");
    EXPECT_EQ (files.size(), (int) std::size (FactoryPresets::kPresets));

    std::map<int, int> perMode;
    for (const auto& p : FactoryPresets::kPresets)
    {
        EXPECT_TRUE (folder.getChildFile (juce::String (p.fileName) + ".zpreset").existsAsFile()) << p.fileName;
        ++perMode[p.mode];
    }
    for (int mode = 0; mode < 11; ++mode)
        EXPECT_GE (perMode[mode], 2) << "mode " << mode;
}

TEST (FactoryPresets, EachParsesLoadsAndRoundTripsByteForByte)
{
    const juce::File folder (ZP_FACTORY_PRESETS_DIR);
    for (const auto& preset : FactoryPresets::kPresets)
    {
        SCOPED_TRACE (preset.fileName);
        const auto file = folder.getChildFile (juce::String (preset.fileName) + ".zpreset");

        const auto element = juce::parseXML (file);
        ASSERT_NE (element, nullptr);
        EXPECT_EQ (element->getTagName(), "ZelkoraPelorin");
        EXPECT_FALSE (element->hasAttribute ("mixLock"));

        ZelkoraPelorin processor;
        processor.setStateFromFile (file);
        EXPECT_EQ (processor.presetName, juce::String (juce::CharPointer_UTF8 (preset.presetName)));
        EXPECT_LE (processor.presetName.length(), 32);

        float expected[6];
        FactoryPresets::toNormalized (preset, expected);
        const auto values = getValues (processor);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ (values[(size_t) i], expected[i]) << "index " << i;

        // The mode sits exactly on its grid value and names the intended mode.
        EXPECT_EQ (values[5], (float) (preset.mode + 1) / 11.0f);
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        EXPECT_EQ (processor.getParameterText (5), ZelkoraPelorin::kModeNames[preset.mode]);
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE

        // The engine's forward warps land on the physical settings of the table.
        auto& engine = processor.getEngine();
        EXPECT_NEAR (engine.GetPhysical (0), preset.mixPercent, 1e-4);
        EXPECT_NEAR (engine.GetPhysical (1), preset.rateHz, 1e-4 + 1e-5 * std::abs (preset.rateHz) * 100);
        EXPECT_NEAR (engine.GetPhysical (2), preset.depthMs, 1e-3);
        EXPECT_NEAR (engine.GetPhysical (3), preset.feedbackPercent, 1e-4);
        EXPECT_NEAR (engine.GetPhysical (4), preset.manualMs, 1e-3);

        EXPECT_EQ (getPresetFileText (processor).toStdString(), readBytes (file));
    }
}
