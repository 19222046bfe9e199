// Preset folders and preset loading: where the folders are, the host gestures
// and their order, the mix lock, and files that must change nothing.

#include "StateTestHelpers.h"
#include "ZelkoraPelorinDefaultFileLocations.h"
#include "ZelkoraPelorinPresetFormat.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace StateTest;

namespace
{
    const char* const kPresetsPath = "Application Support/Zelkora DSP, LLC/ZelkoraPelorin/Presets/";

    const std::string kPreset =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
        "<ZelkoraPelorin pluginVersion=\"1.2.5\" presetName=\"Loaded\" wetDry=\"0.25\" rate=\"0.75\"\r\n"
        "               depth=\"0.125\" feedback=\"0.875\" manual=\"0.375\" Mode=\"0.8181818127632141\"/>\r\n";
}

TEST (PresetFolders, LieBelowTheBaseFolderWhetherOrNotTheyExist)
{
    TempFolder temp;
    for (auto [kind, leaf] : { std::pair { eFactoryPresets, "Factory" },
                               std::pair { eUserPresets, "User" },
                               std::pair { eDesignerPresets, "Designer" } })
    {
        const auto folder = getDefaultFileLocation (kind, temp.folder);
        EXPECT_EQ (folder, temp.folder.getChildFile (juce::String (kPresetsPath) + leaf));
        EXPECT_FALSE (folder.exists());
    }
    EXPECT_EQ (getDefaultFileLocation ((eFileTypes) 3, temp.folder), temp.folder);
    EXPECT_EQ (temp.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0); // nothing created
}

TEST (PresetFolders, AreEmptyWhenTheBaseFolderIsMissing)
{
    TempFolder temp;
    const auto missing = temp.folder.getChildFile ("no such folder");
    for (auto kind : { eFactoryPresets, eUserPresets, eDesignerPresets })
    {
        EXPECT_EQ (getDefaultFileLocation (kind, missing).getFullPathName(), "");
        EXPECT_EQ (getDefaultFileLocation (kind, juce::File()).getFullPathName(), "");
    }
    EXPECT_FALSE (missing.exists());
}

TEST (PresetFolders, DefaultBaseIsTheCommonDataFolderUnlessOverridden)
{
    const auto common = juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
    if (common.exists())
        EXPECT_EQ (getDefaultFileLocation (eUserPresets), common.getChildFile (juce::String (kPresetsPath) + "User"));
    else
        EXPECT_EQ (getDefaultFileLocation (eUserPresets).getFullPathName(), "");

    TempFolder temp;
    setPresetBaseFolderOverride (temp.folder);
    EXPECT_EQ (getDefaultFileLocation (eDesignerPresets), temp.folder.getChildFile (juce::String (kPresetsPath) + "Designer"));
    setPresetBaseFolderOverride ({});
    EXPECT_EQ (getDefaultFileLocation (eUserPresets).getParentDirectory().getParentDirectory().getParentDirectory().getParentDirectory().getParentDirectory(),
               common.exists() ? common : juce::File());
}

TEST (PresetFolders, CreationMakesMissingFoldersAndSparesTheRest)
{
    TempFolder temp;
    const auto factory = getDefaultFileLocation (eFactoryPresets, temp.folder);
    const auto user = getDefaultFileLocation (eUserPresets, temp.folder);
    const auto designer = getDefaultFileLocation (eDesignerPresets, temp.folder);
    writeTextFile (user.getChildFile ("Mine.zpreset"), kPreset);

    createMissingPresetFolders (factory, user, designer);
    EXPECT_TRUE (factory.isDirectory());
    EXPECT_TRUE (designer.isDirectory());
    EXPECT_EQ (readBytes (user.getChildFile ("Mine.zpreset")), kPreset);

    // A file where a folder should be stays a file; empty folders are skipped.
    designer.deleteRecursively();
    writeTextFile (designer, "not a folder");
    createMissingPresetFolders ({}, {}, designer);
    EXPECT_EQ (readBytes (designer), "not a folder");
}

TEST (PresetLoading, AppliesValuesInsideGesturesWithTheMixLast)
{
    TempFolder temp;
    const auto file = writeTextFile (temp.folder.getChildFile ("Loaded.zpreset"), kPreset);
    ZelkoraPelorin processor;
    HostRecorder host;
    processor.addListener (&host);

    processor.setStateFromFile (file);

    EXPECT_EQ (processor.presetName, "Loaded");
    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.25f, 0.75f, 0.125f, 0.875f, 0.375f, 9.0f / 11.0f }));
    EXPECT_EQ (host.events, (std::vector<std::string> { "begin1", "set1", "end1", "begin2", "set2", "end2",
                                                        "begin3", "set3", "end3", "begin4", "set4", "end4",
                                                        "begin5", "set5", "end5", "begin0", "set0", "end0" }));
    EXPECT_EQ (host.values, (std::vector<float> { 0.75f, 0.125f, 0.875f, 0.375f, 9.0f / 11.0f, 0.25f }));
    processor.removeListener (&host);
}

TEST (PresetLoading, LockedMixIsLeftAloneWithoutAGesture)
{
    TempFolder temp;
    const auto file = writeTextFile (temp.folder.getChildFile ("Loaded.zpreset"), kPreset);
    ZelkoraPelorin processor;
    processor.mixLock = true;
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    processor.setParameter (0, 0.9f);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    HostRecorder host;
    processor.addListener (&host);

    processor.setStateFromFile (file);

    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.9f, 0.75f, 0.125f, 0.875f, 0.375f, 9.0f / 11.0f }));
    EXPECT_EQ (host.events.size(), 15u);
    for (const auto& e : host.events)
        EXPECT_NE (e.back(), '0') << e; // nothing at all for the mix
    EXPECT_TRUE (processor.mixLock);
    processor.removeListener (&host);
}

TEST (PresetLoading, SessionAttributesInAFileAreIgnored)
{
    // A session-style document saved as a file, with a lower-case tag and no
    // "presetName": name cleared, lock and size untouched.
    TempFolder temp;
    const auto file = writeTextFile (temp.folder.getChildFile ("session.zpreset"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <zelkorapelorin wetDry=\"0.3\" rate=\"0.4\" depth=\"0.5\" "
        "feedback=\"0.6\" manual=\"0.7\" Mode=\"0.1818181872367859\" mixLock=\"1\" uiWidth=\"900\" uiHeight=\"498\"/>");
    ZelkoraPelorin processor;
    processor.presetName = "Previous";

    processor.setStateFromFile (file);

    EXPECT_EQ (processor.presetName, "");
    EXPECT_EQ (getValues (processor), (std::vector<float> { 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 2.0f / 11.0f }));
    EXPECT_FALSE (processor.mixLock);
    EXPECT_EQ (processor.uiWidth, 470);
    EXPECT_EQ (processor.uiHeight, 260);
}

TEST (PresetLoading, MissingOrBadValuesStillReachTheHostSanely)
{
    // Missing attributes are announced with the current value; out-of-range
    // and infinite texts are clamped before the host hears them; NaN keeps
    // the current value.
    TempFolder temp;
    const auto file = writeTextFile (temp.folder.getChildFile ("odd.zpreset"),
        "<ZelkoraPelorin presetName=\"Odd\" rate=\"1.5\" depth=\"-inf\" feedback=\"nan\" manual=\"abc\"/>");
    ZelkoraPelorin processor;
    HostRecorder host;
    processor.addListener (&host);

    processor.setStateFromFile (file);

    const std::vector<float> expected { 0.5f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f / 11.0f };
    EXPECT_EQ (getValues (processor), expected);
    EXPECT_EQ (host.values, (std::vector<float> { 1.0f, 0.0f, 0.5f, 0.0f, 1.0f / 11.0f, 0.5f }));
    EXPECT_EQ (host.events.size(), 18u);
    processor.removeListener (&host);
}

// Files that are not presets: nothing changes and the host hears nothing.
class UnreadablePreset : public ::testing::TestWithParam<const char*> {};

TEST_P (UnreadablePreset, ChangesNothing)
{
    TempFolder temp;
    const std::string kind = GetParam();
    juce::File file = temp.folder.getChildFile ("bad.zpreset");

    if (kind == "missing")        {}
    else if (kind == "folder")    file.createDirectory();
    else if (kind == "empty")     writeTextFile (file, "");
    else if (kind == "dangling")  ASSERT_EQ (::symlink (temp.folder.getChildFile ("gone").getFullPathName().toRawUTF8(), file.getFullPathName().toRawUTF8()), 0);
    else if (kind == "fifo")      ASSERT_EQ (::mkfifo (file.getFullPathName().toRawUTF8(), 0600), 0);
    else if (kind == "device")    file = juce::File ("/dev/zero");
    else if (kind == "text")      writeTextFile (file, "wetDry=0.1 rate=0.1 this is not XML");
    else if (kind == "binary")    writeTextFile (file, std::string ("\x00\xff\xfe\x01<ZelkoraPelorin wetDry=\"0.1\"/>", 33));
    else if (kind == "foreign")   writeTextFile (file, "<?xml version=\"1.0\"?>\n<OtherPlugin presetName=\"x\" wetDry=\"0.1\"/>\n");
    else if (kind == "truncated") writeTextFile (file, kPreset.substr (0, kPreset.size() - 20));
    else if (kind == "huge")      writeTextFile (file, "<ZelkoraPelorin presetName=\"Huge\" wetDry=\"0.1\"/>" + std::string (2u << 20, ' '));
    else if (kind == "nested")
    {
        std::string deep = "<ZelkoraPelorin presetName=\"Deep\" wetDry=\"0.1\">";
        for (int i = 0; i < 100000; ++i) deep += "<a>";
        writeTextFile (file, deep + "</ZelkoraPelorin>");
    }
    else if (kind == "external-entity")
    {
        // A DTD naming another file: JUCE would read it and expand its entities.
        writeTextFile (temp.folder.getChildFile ("secret.dtd"), "<!ENTITY secret \"stolen\">");
        writeTextFile (file, "<!DOCTYPE ZelkoraPelorin SYSTEM \"secret.dtd\"><ZelkoraPelorin presetName=\"&secret;\" wetDry=\"0.1\"/>");
    }
    else if (kind == "recursive-entity")
        writeTextFile (file, "<!DOCTYPE z [<!ENTITY a \"&a;&a;\">]><ZelkoraPelorin presetName=\"&a;\" wetDry=\"0.1\"/>");
    else
        FAIL() << kind;

    if (kind == "device" && ! file.exists())
        GTEST_SKIP() << "no /dev/zero";

    ZelkoraPelorin processor;
    processor.presetName = "Unchanged";
    const auto before = getValues (processor);
    HostRecorder host;
    processor.addListener (&host);

    processor.setStateFromFile (file);

    EXPECT_EQ (processor.presetName, "Unchanged");
    EXPECT_EQ (getValues (processor), before);
    EXPECT_TRUE (host.events.empty());
    processor.removeListener (&host);
}

INSTANTIATE_TEST_SUITE_P (PresetLoading, UnreadablePreset,
    ::testing::Values ("missing", "folder", "empty", "dangling", "fifo", "device", "text", "binary", "foreign",
                       "truncated", "huge", "nested", "external-entity", "recursive-entity"),
    [] (const auto& testInfo)
    {
        auto s = std::string (testInfo.param);
        std::replace (s.begin(), s.end(), '-', '_');
        return s;
    });

TEST (PresetLoading, EmptyFileObjectChangesNothing)
{
    ZelkoraPelorin processor;
    const auto before = save (processor);
    processor.setStateFromFile (juce::File());
    EXPECT_EQ (save (processor), before);
}

TEST (PresetLoading, ByteOrderMarksAreAccepted)
{
    TempFolder temp;
    const auto utf8 = writeTextFile (temp.folder.getChildFile ("bom8.zpreset"), "\xEF\xBB\xBF" + kPreset);

    // The same document in UTF-16 little-endian with its mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : kPreset)
    {
        utf16 += c;
        utf16 += '\0';
    }
    const auto wide = writeTextFile (temp.folder.getChildFile ("bom16.zpreset"), utf16);

    for (const auto& file : { utf8, wide })
    {
        ZelkoraPelorin processor;
        processor.setStateFromFile (file);
        EXPECT_EQ (processor.presetName, "Loaded") << file.getFileName();
        EXPECT_EQ (getValues (processor)[0], 0.25f) << file.getFileName();
    }
}
