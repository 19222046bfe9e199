#include "ZelkoraPelorinDefaultFileLocations.h"

#include "../processor/ZelkoraPelorin.h"
#include "ZelkoraPelorinStateReading.h"

namespace
{
    juce::File& baseFolderOverride()
    {
        static juce::File base;
        return base;
    }

    const char* relativePresetPath (eFileTypes kind) noexcept
    {
        switch (kind)
        {
            case eFactoryPresets:  return "Application Support/Zelkora DSP, LLC/ZelkoraPelorin/Presets/Factory";
            case eUserPresets:     return "Application Support/Zelkora DSP, LLC/ZelkoraPelorin/Presets/User";
            case eDesignerPresets: return "Application Support/Zelkora DSP, LLC/ZelkoraPelorin/Presets/Designer";
            default: break;
        }
        return "";
    }
}

juce::File getDefaultFileLocation (eFileTypes kind, const juce::File& base)
{
    // An existence test, not a directory test: the folders below need not
    // exist yet, only the machine-wide base.
    if (base.getFullPathName().isEmpty() || ! base.exists())
        return {};

    return base.getChildFile (relativePresetPath (kind));
}

juce::File getDefaultFileLocation (eFileTypes kind)
{
    const auto& custom = baseFolderOverride();
    const auto base = custom.getFullPathName().isNotEmpty()
                          ? custom
                          : juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
    return getDefaultFileLocation (kind, base);
}

void setPresetBaseFolderOverride (const juce::File& base)
{
    baseFolderOverride() = base;
}

void createMissingPresetFolders (const juce::File& factoryFolder,
                                 const juce::File& userFolder,
                                 const juce::File& designerFolder)
{
    for (const auto* folder : { &userFolder, &designerFolder, &factoryFolder })
        if (folder->getFullPathName().isNotEmpty() && ! folder->isDirectory())
            (void) folder->createDirectory();
}

void ZelkoraPelorin::setStateFromFile (juce::File file)
{
    // Message thread. Anything that is not a readable state document (missing,
    // a folder, empty, not XML, too large, another tag) changes nothing.
    if (const auto element = ZelkoraPelorinStateReading::parsePresetFile (file))
        ZelkoraPelorinStateReading::applyPresetElement (*this, *element);
}
