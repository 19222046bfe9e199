#include "ZelkoraPelorinAAXDescription.h"

#include "ZelkoraPelorinIdentity.h"

namespace ZelkoraPelorinAAXDescription
{
Settings getSettings()
{
    using namespace ZelkoraPelorinIdentity;
    Settings s;
    s.name = kName;
    s.manufacturer = kManufacturer;
    s.effectIdentifier = kEffectIdentifier;
    s.category = kCategoryModulation;
    s.manufacturerCode = kManufacturerCode;
    s.productCode = kProductCode;
    s.version = kVersion;
    s.versionCode = kVersionCode;
    s.canBypass = true;  // the host adds its own "Master Bypass"; the processor declares none
    s.multiMono = true;
    s.audioSuite = true;
    s.midiInput = s.midiOutput = s.sideChain = s.meters = false;
    return s;
}

juce::Array<juce::AudioChannelSet> getStemFormats()
{
    using S = juce::AudioChannelSet;
    return { S::mono(), S::stereo(), S::createLCR(), S::quadraphonic(),
             S::create5point0(), S::create5point1(), S::create7point0(), S::create7point1(),
             S::create7point1point2() };
}

std::vector<ComponentDescription> describe (juce::AudioProcessor& processor)
{
    std::vector<ComponentDescription> result;
    const auto formats = getStemFormats();

    for (const auto& in : formats)
    {
        for (const auto& out : formats)
        {
            juce::AudioProcessor::BusesLayout layout;
            layout.inputBuses.add (in);
            layout.outputBuses.add (out);

            if (! processor.checkBusesLayoutSupported (layout))
                continue;

            result.push_back ({ in, out,
                                processor.getAAXPluginIDForMainBusConfig (in, out, false),
                                processor.getAAXPluginIDForMainBusConfig (in, out, true) });
        }
    }
    return result;
}

juce::String fourCCToString (juce::int32 code)
{
    const auto u = (juce::uint32) code;
    const char chars[5] = { (char) (u >> 24), (char) (u >> 16), (char) (u >> 8), (char) u, 0 };
    return juce::String (chars);
}
} // namespace ZelkoraPelorinAAXDescription
