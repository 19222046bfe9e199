#include "HostedPlugin.h"

#include <unistd.h>

namespace zph
{
const char* formatName (Format f)
{
    return f == Format::vst3 ? "VST3" : "LV2";
}

juce::File vst3Bundle()
{
    // <bundle>.vst3/Contents/x86_64-linux holds the module; hosts want the bundle.
    return juce::File (ZP_VST3_BINARY_DIR).getParentDirectory().getParentDirectory();
}

juce::File lv2Bundle()
{
    return juce::File (ZP_LV2_BUNDLE);
}

juce::File renderer()
{
    const juce::String path (ZP_RENDERER);
    return path.isEmpty() ? juce::File() : juce::File (path);
}

namespace
{
// The formats live as long as the test run: LV2 instances refer to the
// format's plug-in world.
juce::VST3PluginFormat& vst3Format()
{
    static juce::VST3PluginFormat format;
    return format;
}

juce::LV2PluginFormat& lv2Format()
{
    static juce::LV2PluginFormat format;
    static const bool scanned = []
    {
        // JUCE's LV2 host finds plug-ins by URI among the bundles on the search
        // path it is given (it sets lilv's LV2_PATH option from it); the
        // system folders stay loaded from the format's construction, so the
        // plug-in classes of lv2core are known.
        format.searchPathsForPlugins (juce::FileSearchPath (lv2Bundle().getParentDirectory().getFullPathName()), true, false);
        return true;
    }();
    juce::ignoreUnused (scanned);
    return format;
}

juce::AudioPluginFormat& formatFor (Format f)
{
    if (f == Format::vst3)
        return vst3Format();
    return lv2Format();
}
} // namespace

std::unique_ptr<juce::PluginDescription> describe (Format f, juce::String& error)
{
    juce::OwnedArray<juce::PluginDescription> types;
    if (f == Format::vst3)
        vst3Format().findAllTypesForFile (types, vst3Bundle().getFullPathName());
    else
        lv2Format().findAllTypesForFile (types, ZP_LV2_URI);

    if (types.size() != 1)
    {
        error = juce::String (types.size()) + " plug-in types found";
        return nullptr;
    }
    return std::make_unique<juce::PluginDescription> (*types[0]);
}

std::unique_ptr<juce::AudioPluginInstance> load (Format f, double sampleRate, int blockSize, juce::String& error)
{
    const auto description = describe (f, error);
    if (description == nullptr)
        return nullptr;

    auto instance = formatFor (f).createInstanceFromDescription (*description, sampleRate, blockSize, error);
    if (instance == nullptr)
        return nullptr;

    // The plug-in declares its buses inactive until a host chooses a layout.
    juce::AudioProcessor::BusesLayout stereo;
    stereo.inputBuses.add (juce::AudioChannelSet::stereo());
    stereo.outputBuses.add (juce::AudioChannelSet::stereo());
    if (! instance->setBusesLayout (stereo))
    {
        error = "stereo layout refused";
        return nullptr;
    }

    instance->prepareToPlay (sampleRate, blockSize);
    return instance;
}

std::vector<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& instance)
{
    std::vector<juce::AudioProcessorParameter*> result;
    for (auto* p : instance.getParameters())
        if (p != instance.getBypassParameter())
            result.push_back (p);
    return result;
}

juce::AudioProcessorParameter* parameterNamed (juce::AudioPluginInstance& instance, const juce::String& name)
{
    for (auto* p : ownParameters (instance))
        if (p->getName (100) == name)
            return p;
    return nullptr;
}

juce::File scratchFolder()
{
    static const juce::File folder = []
    {
        // ctest runs each test in its own process, several at once: one folder
        // per process, or two renders of the same mode overwrite each other.
        auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getNonexistentChildFile ("zp-hosting-tests-" + juce::String ((int) getpid()), "", false);
        f.createDirectory();
        return f;
    }();
    return folder;
}

void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
} // namespace zph
