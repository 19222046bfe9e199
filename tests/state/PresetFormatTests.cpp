// The preset-file and clipboard texts: exact bytes, the 60-character wrap,
// escaping of the preset name, and the replace-through-a-temporary write.

#include "StateTestHelpers.h"
#include "ZelkoraPelorinPresetFormat.h"

#include <gtest/gtest.h>

using namespace StateTest;

namespace
{
    // A wrapped attribute: line end, 15 spaces (the tag's length plus one),
    // then the space every attribute starts with.
    const std::string kIndent = "\r\n               ";

    juce::Array<juce::File> filesIn (const juce::File& folder)
    {
        return folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*", juce::File::FollowSymlinks::no);
    }
}

TEST (PresetFile, DefaultStateTextWrapsAfterSixtyCharacters)
{
    // The first line carries 75 characters of attributes, so "depth" starts a
    // new line; session-only attributes are absent.
    ZelkoraPelorin processor;
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
        "<ZelkoraPelorin pluginVersion=\"1.2.5\" presetName=\"\" wetDry=\"0.5\" rate=\"0.6259999871253967\""
        + kIndent + " depth=\"0.5\" feedback=\"0.5\" manual=\"0.5\" Mode=\"0.09090909361839294\"/>\r\n";
    EXPECT_EQ (getPresetFileText (processor).toStdString(), expected);
}

TEST (PresetFile, LongNameMovesTheWrapPoints)
{
    ZelkoraPelorin processor;
    processor.presetName = "A very long preset name for wrapping"; // 36 characters
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
        "<ZelkoraPelorin pluginVersion=\"1.2.5\" presetName=\"A very long preset name for wrapping\""
        + kIndent + " wetDry=\"0.5\" rate=\"0.6259999871253967\" depth=\"0.5\" feedback=\"0.5\""
        + kIndent + " manual=\"0.5\" Mode=\"0.09090909361839294\"/>\r\n";
    EXPECT_EQ (getPresetFileText (processor).toStdString(), expected);
}

TEST (PresetFile, WriteProducesTheTextAndReplacesTheTarget)
{
    TempFolder temp;
    const auto target = writeTextFile (temp.folder.getChildFile ("Chorus.zpreset"), "old contents, much longer than nothing");

    ZelkoraPelorin processor;
    processor.presetName = "Chorus";
    ASSERT_TRUE (writePresetFile (processor, target));

    EXPECT_EQ (readBytes (target), getPresetFileText (processor).toStdString());
    EXPECT_EQ (filesIn (temp.folder).size(), 1); // no temporary file left behind
}

TEST (PresetFile, FailedWriteIsReportedAndLeavesNothing)
{
    TempFolder temp;
    ZelkoraPelorin processor;

    // No such folder: the temporary cannot be created.
    EXPECT_FALSE (writePresetFile (processor, temp.folder.getChildFile ("missing/Preset.zpreset")));
    EXPECT_FALSE (temp.folder.getChildFile ("missing").exists());

    // A folder in the way is neither replaced nor filled.
    const auto folderTarget = temp.folder.getChildFile ("Taken.zpreset");
    folderTarget.createDirectory();
    writeTextFile (folderTarget.getChildFile ("inside.txt"), "keep");
    EXPECT_FALSE (writePresetFile (processor, folderTarget));
    EXPECT_EQ (readBytes (folderTarget.getChildFile ("inside.txt")), "keep");

    EXPECT_FALSE (writePresetFile (processor, juce::File()));
    EXPECT_EQ (filesIn (temp.folder).size(), 1);
}

TEST (Clipboard, TextIsOneLineWithoutDeclaration)
{
    ZelkoraPelorin processor;
    processor.presetName = "A very long preset name for wrapping";
    processor.mixLock = true;
    EXPECT_EQ (getClipboardText (processor).toStdString(),
               "<ZelkoraPelorin pluginVersion=\"1.2.5\" presetName=\"A very long preset name for wrapping\""
               " wetDry=\"0.5\" rate=\"0.6259999871253967\" depth=\"0.5\" feedback=\"0.5\" manual=\"0.5\""
               " Mode=\"0.09090909361839294\"/>");
}

TEST (PresetText, SpecialCharactersInTheNameAreEscapedAndRoundTrip)
{
    const juce::String name = juce::CharPointer_UTF8 ("Tom & \"Jerry\" <b>'s</b> \xc3\xa9\xe2\x9c\x93 tab\there\r\nnext");

    ZelkoraPelorin source;
    source.presetName = name;
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    source.setParameter (2, 0.3f);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    const auto clip = getClipboardText (source).toStdString();
    for (const char* escaped : { "&amp;", "&quot;Jerry&quot;", "&lt;b&gt;", "&#9;", "&#13;&#10;" })
        EXPECT_NE (clip.find (escaped), std::string::npos) << escaped << " in " << clip;
    EXPECT_EQ (clip.find ('\n'), std::string::npos);

    // Through the clipboard...
    ZelkoraPelorin pasted;
    ASSERT_TRUE (applyClipboardText (pasted, juce::String (juce::CharPointer_UTF8 (clip.c_str()))));
    EXPECT_EQ (pasted.presetName, name);
    EXPECT_EQ (getValues (pasted), getValues (source));

    // ...and through a preset file.
    TempFolder temp;
    const auto file = temp.folder.getChildFile ("Special.zpreset");
    ASSERT_TRUE (writePresetFile (source, file));
    ZelkoraPelorin loaded;
    loaded.setStateFromFile (file);
    EXPECT_EQ (loaded.presetName, name);
    EXPECT_EQ (getValues (loaded), getValues (source));
}

TEST (Clipboard, PasteAppliesLikeAPresetAndIgnoresOtherText)
{
    ZelkoraPelorin processor;
    processor.mixLock = true;
    HostRecorder host;
    processor.addListener (&host);

    EXPECT_FALSE (applyClipboardText (processor, "just some copied words"));
    EXPECT_FALSE (applyClipboardText (processor, "<Other wetDry=\"0.1\"/>"));
    EXPECT_TRUE (host.events.empty());

    EXPECT_TRUE (applyClipboardText (processor, "<zelkorapelorin presetName=\"Pasted\" wetDry=\"0.1\" depth=\"0.2\"/>"));
    EXPECT_EQ (processor.presetName, "Pasted");
    EXPECT_EQ (getValues (processor)[0], 0.5f); // locked
    EXPECT_EQ (getValues (processor)[2], 0.2f);
    EXPECT_EQ (host.events.size(), 15u);        // five gestures, none for the mix
    processor.removeListener (&host);
}
