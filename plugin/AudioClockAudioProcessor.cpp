#include "plugin/AudioClockAudioProcessor.h"

#include "plugin/HostReport.h"
#include "plugin/TimeSignatureParameter.h"
#include "plugin/editor/AudioClockEditor.h"
#include "plugin/identity/PluginIdentity.h"

#include <algorithm>

namespace quaverline
{

juce::AudioProcessor::BusesProperties AudioClockAudioProcessor::makeBusesProperties()
{
    // A synthesizer: no input bus, one output bus.
    return BusesProperties().withOutput (
        identity::outputBusName, juce::AudioChannelSet::canonicalChannelSet (identity::outputChannels), true);
}

AudioClockAudioProcessor::AudioClockAudioProcessor()
    : ClockProcessor (makeBusesProperties())
{
    const auto normalisedFormat = wrapperType == wrapperType_VST3 || wrapperType == wrapperType_LV2;
    auto parameter = std::make_unique<TimeSignatureParameter> (timeSignature, normalisedFormat);
    timeSignatureParameter = parameter.get();
    addParameter (parameter.release());
}

AudioClockAudioProcessor::~AudioClockAudioProcessor() = default;

const juce::String AudioClockAudioProcessor::getName() const
{
    return identity::pluginName;
}

void AudioClockAudioProcessor::prepareToPlay (double, int)
{
    // The wrappers store the host's rate in the processor just before they call
    // this; nothing else is reset, so a clock in progress carries on.
    renderer.setSampleRate (getSampleRate());
}

void AudioClockAudioProcessor::releaseResources() {}

TransportState AudioClockAudioProcessor::readTransport (int numSamples)
{
    const auto reported = hostPositionOf (askPlayHead (getPlayHead()));

    // LV2 hosts report positions only now and then, some without the beat.
    if (wrapperType == wrapperType_LV2)
        return transportFollower.follow (reported, numSamples, renderer.getSampleRate());

    // Everywhere else a block without a position is stopped, and a missing
    // tempo or position reads as 0.
    if (! reported.has_value())
        return {};

    return { reported->isPlaying, reported->bpm.value_or (0.0), reported->ppqPosition.value_or (0.0) };
}

void AudioClockAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto numSamples = buffer.getNumSamples();
    const auto numChannels = buffer.getNumChannels();
    const auto numOutputs = std::min (getTotalNumOutputChannels(), numChannels);
    auto* const* channels = buffer.getArrayOfWritePointers();

    if (numSamples <= 0 || numOutputs <= 0 || channels == nullptr)
        return;

    // Channels beyond the output buses (host scratch channels) carry silence.
    // A wrapper may hand over null channels (a bus the host has not given
    // buffers for): those are left alone.
    for (auto channel = numOutputs; channel < numChannels; ++channel)
        if (channels[channel] != nullptr)
            std::fill (channels[channel], channels[channel] + numSamples, 0.0f);

    // Render once into the first channel there is and copy it: every output
    // carries the same clock, and the audio thread needs no scratch memory.
    // The transport is read even when no channel has a buffer, so that a
    // follower carrying the position on stays in step.
    const auto transport = readTransport (numSamples);
    float* rendered = nullptr;

    for (auto channel = 0; channel < numOutputs; ++channel)
    {
        auto* const destination = channels[channel];

        if (destination == nullptr)
            continue;

        if (rendered == nullptr)
        {
            rendered = destination;
            renderer.render (rendered, numSamples, transport, timeSignature.getIndex());
        }
        else if (destination != rendered)
        {
            std::copy (rendered, rendered + numSamples, destination);
        }
    }
}

bool AudioClockAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    // VST 2.4 hosts see a fixed stereo output (the face refuses speaker
    // arrangements); every other face may ask the output bus for any layout.
    if (wrapperType == wrapperType_VST)
        return layouts.inputBuses.isEmpty() && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();

    return true;
}

bool AudioClockAudioProcessor::silenceInProducesSilenceOut() const
{
    return false;
}

juce::AudioProcessorEditor* AudioClockAudioProcessor::createEditor()
{
    return std::make_unique<AudioClockEditor> (*this).release();
}

int AudioClockAudioProcessor::getNumParameters()
{
    return 1;
}

const juce::String AudioClockAudioProcessor::getParameterName (int parameterIndex)
{
    return parameterIndex == 0 ? juce::String (timeSignature::parameterName) : juce::String();
}

float AudioClockAudioProcessor::getParameter (int)
{
    return timeSignature.getParameterValue();
}

const juce::String AudioClockAudioProcessor::getParameterText (int)
{
    return {};
}

void AudioClockAudioProcessor::setParameter (int parameterIndex, float newValue)
{
    if (parameterIndex == 0)
        timeSignature.setParameterValue (newValue);
}

void AudioClockAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const auto state = timeSignature.getState();
    destData.replaceAll (state.data(), state.size());
}

void AudioClockAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    timeSignature.setState (data, sizeInBytes);
}

const juce::String AudioClockAudioProcessor::getInputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

const juce::String AudioClockAudioProcessor::getOutputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

bool AudioClockAudioProcessor::isInputChannelStereoPair (int) const
{
    return true;
}

bool AudioClockAudioProcessor::isOutputChannelStereoPair (int) const
{
    return true;
}

} // namespace quaverline
