#pragma once

#include <JuceHeader.h>

// The three machine-wide preset folders. Every user of the machine shares
// them: they live below the common application-data folder ("/Library" on
// macOS, "/opt" for JUCE on Linux), not below the user's home.
enum eFileTypes
{
    eFactoryPresets = 0,
    eUserPresets = 1,
    eDesignerPresets = 2
};

// The folder for a kind of preset, whether or not it exists yet, below the
// common application-data folder (or the override below). Empty when that base
// folder does not exist. Creates nothing.
juce::File getDefaultFileLocation (eFileTypes kind);

// The same below a given base folder: empty when base is empty or missing; a
// kind outside the table gives base itself.
juce::File getDefaultFileLocation (eFileTypes kind, const juce::File& base);

// Replaces the common application-data folder as the base of the preset
// folders (tests and tools that must not touch the machine-wide folders). An
// empty File restores the default. Message thread only.
void setPresetBaseFolderOverride (const juce::File& base);

// What the editor does when it opens: creates each of the three folders that
// is not yet a directory, in the order user, designer, factory (parents too).
// Failures (no write permission on the machine-wide folder) are ignored: the
// menu then simply lists nothing for that folder.
void createMissingPresetFolders (const juce::File& factoryFolder,
                                 const juce::File& userFolder,
                                 const juce::File& designerFolder);
