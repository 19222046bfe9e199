// Writes the factory presets into a folder with the plug-in's own preset
// writer, so the shipped files are byte for byte what a user's save produces.
//   zp_make_factory_presets <folder>

#include "../src/processor/ZelkoraPelorin.h"
#include "../src/state/ZelkoraPelorinPresetFormat.h"
#include "FactoryPresetTable.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    if (! folder.createDirectory())
        return 1;

    int failures = 0;
    for (const auto& preset : FactoryPresets::kPresets)
    {
        ZelkoraPelorin processor;
        float values[6];
        FactoryPresets::toNormalized (preset, values);
        processor.presetName = juce::CharPointer_UTF8 (preset.presetName);
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (int index = 0; index < 6; ++index)
            processor.setParameter (index, values[index]);

        const auto file = folder.getChildFile (juce::String (preset.fileName) + ".zpreset");
        const bool ok = writePresetFile (processor, file);
        std::printf ("%s %-34s %s | %s | %s | %s | %s | %s\n", ok ? "wrote" : "FAILED", preset.fileName,
                     processor.getParameterText (0).toRawUTF8(), processor.getParameterText (1).toRawUTF8(),
                     processor.getParameterText (2).toRawUTF8(), processor.getParameterText (3).toRawUTF8(),
                     processor.getParameterText (4).toRawUTF8(), processor.getParameterText (5).toRawUTF8());
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
