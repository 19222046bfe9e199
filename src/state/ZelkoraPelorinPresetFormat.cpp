#include "ZelkoraPelorinPresetFormat.h"

#include "../processor/ZelkoraPelorin.h"
#include "ZelkoraPelorinStateReading.h"

namespace
{
    juce::XmlElement::TextFormat presetFileFormat()
    {
        juce::XmlElement::TextFormat format;
        format.addDefaultHeader = true;
        format.customEncoding = "UTF-8";
        format.dtd = {};
        format.lineWrapLength = 60;
        format.newLineChars = "\r\n";
        return format;
    }
}

std::unique_ptr<juce::XmlElement> createPresetElement (ZelkoraPelorin& processor)
{
    auto element = std::make_unique<juce::XmlElement> ("ZelkoraPelorin");
    processor.saveStateToXML (*element);
    return element;
}

juce::String getPresetFileText (ZelkoraPelorin& processor)
{
    return createPresetElement (processor)->toString (presetFileFormat());
}

bool writePresetFile (ZelkoraPelorin& processor, const juce::File& target)
{
    // XmlElement::writeTo goes through juce::TemporaryFile in target's folder
    // and renames it over target (five attempts, 100 ms apart).
    if (target.getFullPathName().isEmpty() || target.isDirectory())
        return false;

    return createPresetElement (processor)->writeTo (target, presetFileFormat());
}

juce::String getClipboardText (ZelkoraPelorin& processor)
{
    return createPresetElement (processor)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
}

bool applyClipboardText (ZelkoraPelorin& processor, const juce::String& text)
{
    using namespace ZelkoraPelorinStateReading;

    // Clipboard text can be anything the user copied: re-validate it as UTF-8
    // and parse it under the same limits as a preset file.
    const auto element = parseDocument (decodeUtf8 (text.toRawUTF8(), text.getNumBytesAsUTF8()));
    return element != nullptr && applyPresetElement (processor, *element);
}
