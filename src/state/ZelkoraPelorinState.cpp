// Placeholder: the state document is being written.
#include "../processor/ZelkoraPelorin.h"

void ZelkoraPelorin::saveStateToXML (juce::XmlElement&) {}
void ZelkoraPelorin::getStateInformation (juce::MemoryBlock&) {}
void ZelkoraPelorin::setStateInformation (const void*, int) {}
void ZelkoraPelorin::setStateFromFile (juce::File) {}
