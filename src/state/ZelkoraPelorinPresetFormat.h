#pragma once

#include <JuceHeader.h>

#include <memory>

class ZelkoraPelorin;

// The two text forms of the state document outside the host session. Both hold
// the version, the preset name and the six values, never the mix lock or the
// editor size, which belong to the session.

// The state as an element "ZelkoraPelorin" (saveStateToXML).
std::unique_ptr<juce::XmlElement> createPresetElement (ZelkoraPelorin& processor);

// The preset file text: declaration, an empty line, the element with its
// attributes wrapped after 60 characters, CRLF line ends.
juce::String getPresetFileText (ZelkoraPelorin& processor);

// Writes the preset file text to a temporary file beside target that then
// replaces target, so a failed write never leaves a half-written preset.
// Returns false when the file could not be written (any temporary is removed).
bool writePresetFile (ZelkoraPelorin& processor, const juce::File& target);

// The clipboard text: the element on one line, without declaration.
juce::String getClipboardText (ZelkoraPelorin& processor);

// Applies clipboard text as a preset load does (gestures, mix lock). Text that
// is not a state document changes nothing; returns whether it was applied.
bool applyClipboardText (ZelkoraPelorin& processor, const juce::String& text);
