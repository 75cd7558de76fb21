#pragma once

#include "engine/ClockRenderer.h"
#include "engine/TimeSignatureState.h"
#include "engine/TransportFollower.h"

#include "plugin/ClockProcessor.h"

namespace quaverline
{

/** Quaverline's audio processor: turns the host's transport into a clock signal
    on every output channel.

    A thin adapter: the clock signal comes from ClockRenderer, the
    parameter and state rules from TimeSignatureState. Most host
    questions get fixed answers. The legacy index-based parameter operations are
    kept for callers that use them; hosts reach the parameter through the
    "Time Signature" parameter object.
*/
class AudioClockAudioProcessor : public ClockProcessor
{
public:
    AudioClockAudioProcessor();
    ~AudioClockAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using AudioProcessor::processBlock;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    bool silenceInProducesSilenceOut() const override;

    juce::AudioProcessorEditor* createEditor() override;

    int getNumParameters() override;
    const juce::String getParameterName (int parameterIndex) override;
    float getParameter (int parameterIndex) override;
    const juce::String getParameterText (int parameterIndex) override;
    void setParameter (int parameterIndex, float newValue) override;
    using AudioProcessor::getParameterName;
    using AudioProcessor::getParameterText;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;

    /** The index, the changed flag and their rules, for the editor. */
    TimeSignatureState& getTimeSignatureState() noexcept { return timeSignature; }

    /** The "Time Signature" parameter, through which the editor tells the host. */
    juce::AudioProcessorParameter& getTimeSignatureParameter() noexcept { return *timeSignatureParameter; }

private:
    static BusesProperties makeBusesProperties();
    TransportState readTransport (int numSamples);

    TimeSignatureState timeSignature;
    ClockRenderer renderer;
    TransportFollower transportFollower;
    juce::AudioProcessorParameter* timeSignatureParameter = nullptr; // owned by the base class

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioClockAudioProcessor)
};

} // namespace quaverline
