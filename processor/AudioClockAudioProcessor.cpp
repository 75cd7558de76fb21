#include "AudioClockAudioProcessor.h"

#include "AudioClockEditor.h"
#include "PluginIdentity.h"
#include "TimeSignatureParameter.h"

#include <algorithm>

namespace identity = quaverline::identity;

juce::AudioProcessor::BusesProperties AudioClockAudioProcessor::makeBusesProperties()
{
    // A synthesizer: no input bus, one output bus.
    return BusesProperties().withOutput (identity::outputBusName,
                                         juce::AudioChannelSet::canonicalChannelSet (identity::outputChannels),
                                         true);
}

AudioClockAudioProcessor::AudioClockAudioProcessor()
    : AudioProcessor (makeBusesProperties())
{
    auto parameter = std::make_unique<quaverline::TimeSignatureParameter> (timeSignature);
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

void AudioClockAudioProcessor::releaseResources()
{
}

quaverline::TransportState AudioClockAudioProcessor::readTransport() const
{
    quaverline::TransportState transport;

    // No play head, or no position from it: the block is rendered as stopped.
    if (auto* const hostPlayHead = getPlayHead())
    {
        if (const auto position = hostPlayHead->getPosition())
        {
            transport.isRunning = position->getIsPlaying() || position->getIsRecording();
            transport.bpm = position->getBpm().orFallback (0.0);
            transport.ppqPosition = position->getPpqPosition().orFallback (0.0);
        }
    }

    return transport;
}

void AudioClockAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto numSamples = buffer.getNumSamples();
    const auto numOutputs = std::min (getTotalNumOutputChannels(), buffer.getNumChannels());

    if (numSamples <= 0 || numOutputs <= 0)
        return;

    // Channels beyond the output buses (host scratch channels) carry silence.
    for (auto channel = numOutputs; channel < buffer.getNumChannels(); ++channel)
        buffer.clear (channel, 0, numSamples);

    // Render once into the first channel and copy it: every output carries the
    // same clock, and the audio thread needs no scratch memory of its own.
    auto* const firstChannel = buffer.getWritePointer (0);
    renderer.render (firstChannel, numSamples, readTransport(), timeSignature.getIndex());

    for (auto channel = 1; channel < numOutputs; ++channel)
        buffer.copyFrom (channel, 0, firstChannel, numSamples);
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

double AudioClockAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool AudioClockAudioProcessor::acceptsMidi() const
{
    return identity::wantsMidiInput;
}

bool AudioClockAudioProcessor::producesMidi() const
{
    return identity::producesMidi;
}

juce::AudioProcessorEditor* AudioClockAudioProcessor::createEditor()
{
    return std::make_unique<AudioClockEditor> (*this).release();
}

bool AudioClockAudioProcessor::hasEditor() const
{
    return identity::hasEditor;
}

int AudioClockAudioProcessor::getNumParameters()
{
    return 1;
}

const juce::String AudioClockAudioProcessor::getParameterName (int parameterIndex)
{
    return parameterIndex == 0 ? juce::String (quaverline::TimeSignatureState::parameterName) : juce::String();
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

int AudioClockAudioProcessor::getNumPrograms()
{
    return 1;
}

int AudioClockAudioProcessor::getCurrentProgram()
{
    return 0;
}

void AudioClockAudioProcessor::setCurrentProgram (int)
{
}

const juce::String AudioClockAudioProcessor::getProgramName (int)
{
    return {};
}

void AudioClockAudioProcessor::changeProgramName (int, const juce::String&)
{
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
