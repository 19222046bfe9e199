// Fuzzes the session-chunk reader with whatever a host might hand back.
// Invariant beyond "no crash": whatever was accepted saves and restores to
// the same bytes.

#include <JuceHeader.h>

#include "ZelkoraPelorin.h"

#include <cstdint>
#include <cstring>

namespace
{
    ZelkoraPelorin& processor()
    {
        // One processor for the whole run: constructing one per input would
        // spend the time building delay lines instead of parsing.
        static auto* juce = new juce::ScopedJuceInitialiser_GUI();
        static auto* p = new ZelkoraPelorin();
        juce::ignoreUnused (juce);
        return *p;
    }

    juce::MemoryBlock save (ZelkoraPelorin& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return block;
    }
}

// libFuzzer's entry point.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = processor();
    p.setStateInformation (data, (int) std::min<size_t> (size, 1u << 30));

    const auto first = save (p);
    p.setStateInformation (first.getData(), (int) first.getSize());
    const auto second = save (p);
    if (first != second)
        __builtin_trap();

    return 0;
}
