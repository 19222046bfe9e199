#pragma once

#include <JuceHeader.h>

#include <vector>

class ZelkoraPelorin;

namespace PelorinRender
{

// One change to the processor. These run in the order they were typed, so
// "--set depth=0.2 --preset X" and "--preset X --set depth=0.2" differ.
struct StateAction
{
    enum class Kind { setParameter, loadPreset, loadChunk };

    Kind kind = Kind::setParameter;
    int parameterIndex = -1;  // setParameter
    float value = 0.0f;       // setParameter: a normalized value in [0, 1]
    juce::File file;          // loadPreset, loadChunk
};

struct Options
{
    bool showHelp = false;
    bool printParameters = false;
    bool hasSeed = false;
    unsigned int seed = 0;
    int blockSize = 512;

    juce::File input;        // no input: the built-in demo
    juce::File output;       // no output given: see defaultOutputFor
    juce::File stateOut;     // no file: no session chunk is written

    std::vector<StateAction> actions;

    bool hasInput() const { return input != juce::File(); }
    bool hasOutput() const { return output != juce::File(); }
    bool hasStateOut() const { return stateOut != juce::File(); }

    // Asking only for information (--print-params or --state-out with no
    // input and no -o) renders nothing, so it leaves no stray demo file.
    bool wantsRender() const { return hasInput() || hasOutput() || ! (printParameters || hasStateOut()); }

    // "<input name>-pelorin.wav" next to the input; "pelorin-demo.wav" in the
    // current folder for the demo.
    juce::File outputFile() const;
};

// Reads the arguments (without the program name). Parameter names are looked
// up through the processor, so they are exactly what a host sees. On failure
// the result carries a one-line message.
juce::Result parseCommandLine (const juce::StringArray& args, ZelkoraPelorin& processor, Options& options);

juce::String usageText();

// Mode number for a mode's value text or the editor's short name, ignoring
// letter case; -1 when there is no such mode.
int findMode (const juce::String& name);

// The mode parameter's normalized value that selects mode k: (k + 1) / 11.
float modeValue (int k);

} // namespace PelorinRender
