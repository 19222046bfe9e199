#include "CommandLine.h"

#include "ZelkoraPelorin.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace PelorinRender
{

namespace
{
    constexpr int kMaxBlockSize = 65536;

    // The editor's mode selector shortens three names; accept those too.
    struct ShortModeName { const char* name; int mode; };
    constexpr ShortModeName kShortModeNames[] = { { "TZF+", 2 }, { "TZF-", 3 }, { "Tri", 4 } };

    // A decimal number that uses the whole text: "0.5x", "", " " and "nan" fail.
    bool parseFiniteDouble (const juce::String& text, double& result)
    {
        const auto utf8 = text.toStdString();
        if (utf8.empty())
            return false;

        char* end = nullptr;
        errno = 0;
        const double v = std::strtod (utf8.c_str(), &end);
        if (end != utf8.c_str() + utf8.size() || ! std::isfinite (v))
            return false;

        result = v;
        return true;
    }

    // A plain unsigned decimal integer (no sign, no spaces) no larger than limit.
    bool parseUnsigned (const juce::String& text, unsigned long long limit, unsigned long long& result)
    {
        if (text.isEmpty() || ! text.containsOnly ("0123456789") || text.length() > 20)
            return false;

        const auto utf8 = text.toStdString();
        errno = 0;
        const unsigned long long v = std::strtoull (utf8.c_str(), nullptr, 10);
        if (errno == ERANGE || v > limit)
            return false;

        result = v;
        return true;
    }

    juce::String quoted (const juce::String& s) { return "'" + s + "'"; }

    juce::String parameterNameList (ZelkoraPelorin& processor)
    {
        juce::StringArray names;
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (int i = 0; i < processor.getNumParameters(); ++i)
            names.add (processor.getParameterName (i));
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
        return names.joinIntoString (", ");
    }

    int findParameter (ZelkoraPelorin& processor, const juce::String& name)
    {
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (int i = 0; i < processor.getNumParameters(); ++i)
            if (processor.getParameterName (i) == name) // exact: "Mode" is not "mode"
                return i;
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
        return -1;
    }

    juce::Result parseSet (const juce::String& arg, ZelkoraPelorin& processor, StateAction& action)
    {
        const int eq = arg.indexOfChar ('=');
        if (eq <= 0)
            return juce::Result::fail ("--set expects NAME=VALUE, got " + quoted (arg));

        const auto name = arg.substring (0, eq);
        const auto valueText = arg.substring (eq + 1);

        const int index = findParameter (processor, name);
        if (index < 0)
            return juce::Result::fail ("unknown parameter " + quoted (name) + " (parameters: "
                                       + parameterNameList (processor) + ")");

        double v = 0.0;
        if (! parseFiniteDouble (valueText, v))
            return juce::Result::fail ("value for " + name + " is not a number: " + quoted (valueText));

        // Normalized values only: "--set depth=20" meaning 20 ms would
        // otherwise be clamped silently to the full 50 ms.
        auto value = (float) v;
        if (! (value >= 0.0f && value <= 1.0f))
            return juce::Result::fail ("value for " + name + " must be a normalized value from 0 to 1, got "
                                       + quoted (valueText));

        action.kind = StateAction::Kind::setParameter;
        action.parameterIndex = index;
        action.value = value + 0.0f; // -0 becomes +0
        return juce::Result::ok();
    }
} // namespace

int findMode (const juce::String& name)
{
    for (int k = 0; k < ZPlug_Pelorin::kNumModes; ++k)
        if (name.equalsIgnoreCase (ZelkoraPelorin::kModeNames[k]))
            return k;

    for (const auto& s : kShortModeNames)
        if (name.equalsIgnoreCase (s.name))
            return s.mode;

    return -1;
}

float modeValue (int k)
{
    // Both operands are exact, so the quotient is the float nearest (k + 1)/11,
    // the same grid value the editor writes.
    return (float) (k + 1) / 11.0f;
}

juce::File Options::outputFile() const
{
    if (hasOutput())
        return output;

    if (hasInput())
        return input.getSiblingFile (input.getFileNameWithoutExtension() + "-pelorin.wav");

    return juce::File::getCurrentWorkingDirectory().getChildFile ("pelorin-demo.wav");
}

juce::Result parseCommandLine (const juce::StringArray& args, ZelkoraPelorin& processor, Options& options)
{
    bool optionsEnded = false;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        auto next = [&] (juce::String& value) -> juce::Result
        {
            if (i + 1 >= args.size())
                return juce::Result::fail ("option " + arg + " needs an argument");
            value = args[++i];
            return juce::Result::ok();
        };

        auto nextFile = [&] (juce::File& file) -> juce::Result
        {
            juce::String path;
            auto r = next (path);
            if (r.failed())
                return r;
            if (path.isEmpty())
                return juce::Result::fail ("option " + arg + " needs a file name");
            file = juce::File::getCurrentWorkingDirectory().getChildFile (path);
            return juce::Result::ok();
        };

        if (optionsEnded || ! arg.startsWithChar ('-') || arg == "-")
        {
            if (options.hasInput())
                return juce::Result::fail ("only one input file can be given (" + quoted (options.input.getFullPathName())
                                           + " and " + quoted (arg) + ")");
            if (arg.isEmpty())
                return juce::Result::fail ("empty input file name");
            options.input = juce::File::getCurrentWorkingDirectory().getChildFile (arg);
            continue;
        }

        juce::String value;
        juce::Result r = juce::Result::ok();

        if (arg == "--")
        {
            optionsEnded = true;
        }
        else if (arg == "-h" || arg == "--help")
        {
            options.showHelp = true;
        }
        else if (arg == "--print-params")
        {
            options.printParameters = true;
        }
        else if (arg == "--set")
        {
            if ((r = next (value)).wasOk())
            {
                StateAction action;
                if ((r = parseSet (value, processor, action)).wasOk())
                    options.actions.push_back (action);
            }
        }
        else if (arg == "--mode")
        {
            if ((r = next (value)).wasOk())
            {
                const int k = findMode (value);
                if (k < 0)
                    return juce::Result::fail ("unknown mode " + quoted (value) + " (modes: "
                                               + juce::StringArray (ZelkoraPelorin::kModeNames, ZPlug_Pelorin::kNumModes)
                                                     .joinIntoString (", ")
                                               + "; also TZF+, TZF-, Tri)");
                StateAction action;
                action.kind = StateAction::Kind::setParameter;
                action.parameterIndex = ZPlug_Pelorin::eMode;
                action.value = modeValue (k);
                options.actions.push_back (action);
            }
        }
        else if (arg == "--preset" || arg == "--state-in")
        {
            StateAction action;
            action.kind = arg == "--preset" ? StateAction::Kind::loadPreset : StateAction::Kind::loadChunk;
            if ((r = nextFile (action.file)).wasOk())
                options.actions.push_back (action);
        }
        else if (arg == "--state-out")
        {
            r = nextFile (options.stateOut);
        }
        else if (arg == "-o" || arg == "--output")
        {
            r = nextFile (options.output);
        }
        else if (arg == "--block")
        {
            unsigned long long n = 0;
            if ((r = next (value)).wasOk())
            {
                if (! parseUnsigned (value, kMaxBlockSize, n) || n < 1)
                    return juce::Result::fail ("block size must be a whole number from 1 to "
                                               + juce::String (kMaxBlockSize) + ", got " + quoted (value));
                options.blockSize = (int) n;
            }
        }
        else if (arg == "--seed")
        {
            unsigned long long n = 0;
            if ((r = next (value)).wasOk())
            {
                if (! parseUnsigned (value, 0xFFFFFFFFull, n))
                    return juce::Result::fail ("seed must be a whole number from 0 to 4294967295, got " + quoted (value));
                options.hasSeed = true;
                options.seed = (unsigned int) n;
            }
        }
        else
        {
            return juce::Result::fail ("unknown option " + quoted (arg) + " (try --help)");
        }

        if (r.failed())
            return r;
    }

    return juce::Result::ok();
}

juce::String usageText()
{
    return R"(Usage: pelorin-render [INPUT] [options]

Runs INPUT (a mono or stereo WAV or AIFF file) through the ZelkoraPelorin
processor the way a host does, at the file's sample rate, and writes a 32-bit
float stereo WAV. Without INPUT it renders a 6-second built-in demo (a chord
and drum hits) at 48000 Hz.

Changes to the processor, applied in the order given:
  --set NAME=VALUE   set a parameter, by its host name, to a normalized value
                     from 0 to 1: wetDry, rate, depth, feedback, manual, Mode
                     (names are case-sensitive)
  --mode NAME        select a mode: Up, Up/Down, TZFlange+ (TZF+), TZFlange-
                     (TZF-), TriFlange (Tri), Ocho, Doubler, VariUp, VariUpDown,
                     Ensemble360, Symphonic (any letter case)
  --preset FILE      load a preset file as the editor's preset menu does
                     (wetDry is kept while the mix lock is on)
  --state-in FILE    restore a session chunk as a host does

Other options:
  -o, --output FILE  output WAV; default "<INPUT name>-pelorin.wav" next to
                     INPUT, or "pelorin-demo.wav" in the current folder
  --block N          frames per processing call, 1 to 65536 (default 512);
                     the last block may be shorter
  --seed N           seed the C library's rand() with N just before the first
                     block, so that the engine's injected noise and later
                     random modulation points repeat from run to run
  --print-params     print the six parameters once all options are applied
  --state-out FILE   write the session chunk once all options are applied
  -h, --help         show this text

With --print-params or --state-out and neither INPUT nor -o, nothing is
rendered. Output files are first written next to their target under a
temporary name and moved into place only when complete; after an error no
output file is created or changed. Exit status: 0 on success, 1 when a file
cannot be read or written, 2 for a bad command line.
)";
}

} // namespace PelorinRender
