// Fuzzes preset loading with arbitrary file contents. Invariant beyond "no
// crash": whatever a load applied, the writer's file loads back to the same
// name and values.

#include <JuceHeader.h>

#include "ZelkoraPelorin.h"
#include "ZelkoraPelorinPresetFormat.h"

#include <cstdint>

namespace
{
    struct Rig
    {
        juce::ScopedJuceInitialiser_GUI juce;
        ZelkoraPelorin loader, checker;
        juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getNonexistentChildFile ("zp-fuzz-preset", {}, false);
        juce::File input, output;

        Rig()
        {
            folder.createDirectory();
            input = folder.getChildFile ("input.zpreset");
            output = folder.getChildFile ("output.zpreset");
        }
    };

    Rig& rig()
    {
        static auto* r = new Rig(); // one rig for the run; never destroyed
        return *r;
    }
}

// libFuzzer's entry point.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& r = rig();

    // replaceWithData deletes the file for 0 bytes; an empty file is wanted.
    {
        juce::FileOutputStream out (r.input);
        if (! out.openedOk())
            return 0;
        out.setPosition (0);
        out.truncate();
        out.write (data, size);
    }

    r.loader.setStateFromFile (r.input);

    if (! writePresetFile (r.loader, r.output))
        __builtin_trap();
    r.checker.setStateFromFile (r.output);

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    bool same = r.checker.presetName == r.loader.presetName;
    for (int i = 0; i < ZelkoraPelorin::kNumParameters; ++i)
        same = same && r.checker.getParameter (i) == r.loader.getParameter (i);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    if (! same)
        __builtin_trap();

    return 0;
}
