#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace quaverline
{

/** What both clocks answer alike: an instrument with no tail, MIDI as its
    identity says, an editor, and one program without a name.
*/
class ClockProcessor : public juce::AudioProcessor
{
public:
    using AudioProcessor::AudioProcessor;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
};

} // namespace quaverline
