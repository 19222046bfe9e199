#pragma once

#include <JuceHeader.h>

#include "ZelkoraPelorin.h"

#include <string>
#include <vector>

namespace StateTest
{
    // The session chunk as the host stores it: magic, length word, text, 0.
    std::vector<char> makeChunk (const std::string& text);

    // The same with an explicit length word and no trailing 0 byte.
    std::vector<char> makeRawChunk (const std::string& text, juce::uint32 lengthWord);

    // A state-document line with the declaration, as getStateInformation writes.
    std::string withDeclaration (const std::string& element);

    void restore (ZelkoraPelorin& processor, const std::vector<char>& chunk);
    std::vector<char> save (ZelkoraPelorin& processor);
    std::string chunkText (const std::vector<char>& chunk); // bytes 8 .. size-2

    // Sets all six normalized values (no host notification).
    void setValues (ZelkoraPelorin& processor, const std::vector<float>& values);
    std::vector<float> getValues (ZelkoraPelorin& processor);

    // Records what the host would hear: gestures and notified values.
    struct HostRecorder : juce::AudioProcessorListener
    {
        std::vector<std::string> events;
        std::vector<float> values; // one per "set" event

        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override;
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;
    };

    struct ChangeCounter : juce::ChangeListener
    {
        int count = 0;
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    };

    // A fresh folder below the system's temporary folder, removed afterwards.
    struct TempFolder
    {
        TempFolder();
        ~TempFolder();
        juce::File folder;
    };

    juce::File writeTextFile (const juce::File& file, const std::string& bytes);
    std::string readBytes (const juce::File& file);
}
