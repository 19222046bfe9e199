#include "../processor/ZelkoraPelorin.h"

#include "ZelkoraPelorinStateReading.h"

// The state document: one element "ZelkoraPelorin" with the version, the
// preset name and the six normalized values; the session chunk adds the mix
// lock and the editor size. Attribute names are the host parameter names, so
// stored documents and hosts agree on them.

void ZelkoraPelorin::saveStateToXML (juce::XmlElement& element)
{
    element.setAttribute ("pluginVersion", pelorinVersionNumber);
    element.setAttribute ("presetName", presetName);

    // The double overload writes the shortest text that reads back as the same
    // double, so every stored float survives a round trip bit for bit.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    for (int index = 0; index < kNumParameters; ++index)
        element.setAttribute (getParameterName (index), (double) getParameter (index));
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
}

void ZelkoraPelorin::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement element ("ZelkoraPelorin");
    saveStateToXML (element);
    element.setAttribute ("mixLock", mixLock ? 1 : 0);
    element.setAttribute ("uiWidth", uiWidth);
    element.setAttribute ("uiHeight", uiHeight);

    // Magic, length word, one line of XML with its declaration, a 0 byte.
    copyXmlToBinary (element, destData);
}

void ZelkoraPelorin::setStateInformation (const void* data, int sizeInBytes)
{
    using namespace ZelkoraPelorinStateReading;

    const auto element = parseSessionChunk (data, sizeInBytes);
    if (element == nullptr)
        return;

    if (hasStateTag (*element))
    {
        const auto name = element->getStringAttribute ("presetName");
        presetName = decodeUtf8 (name.toRawUTF8(), name.getNumBytesAsUTF8());

        // A session restore is the host's own doing: no gestures, no host
        // notification, and the mix is restored even when it is locked.
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (int index = 0; index < kNumParameters; ++index)
            setParameter (index, readParameterValue (*element, getParameterName (index), getParameter (index)));

        // An LV2 host has no way to read parameter values back from a plug-in:
        // it only learns them from the patch messages the wrapper sends for
        // values its listeners were told about. Tell it the restored values,
        // or its controls keep showing the old ones. (Other formats read the
        // values back after a restore themselves.)
        if (wrapperType == wrapperType_LV2)
            for (int index = 0; index < kNumParameters; ++index)
                sendParamChangeMessageToListeners (index, getParameter (index));
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE

        // An open editor refreshes its name and size even if no value changed.
        sendChangeMessage();
    }

    // Lock and size are read whatever the tag; a missing lock means unlocked.
    mixLock = element->getBoolAttribute ("mixLock", false);

    // Sizes are stored as read, even absurd ones: the editor limits what it
    // applies, and keeping the number avoids losing anything the host saved.
    if (element->hasAttribute ("uiWidth"))
        uiWidth = parseLeadingInt (element->getStringAttribute ("uiWidth"));
    if (element->hasAttribute ("uiHeight"))
        uiHeight = parseLeadingInt (element->getStringAttribute ("uiHeight"));
}
