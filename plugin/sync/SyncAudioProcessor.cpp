#include "plugin/sync/SyncAudioProcessor.h"

#include "engine/HostText.h"
#include "plugin/HostReport.h"
#include "plugin/identity/PluginIdentity.h"
#include "plugin/sync/SyncParameterObjects.h"
#include "plugin/sync/editor/SyncEditor.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

namespace
{
/** A saved state as JUCE's binary XML, once its text is known to be one that
    JUCE's XML parser reads without running past its end (broken UTF-8 and
    unterminated entities make it do so); null for anything else.
*/
std::unique_ptr<juce::XmlElement> readStateXml (const void* data, int sizeInBytes)
{
    // JUCE's framing: a magic number, the text's length, then the text.
    constexpr uint32_t binaryXmlMagic = 0x21324356;
    constexpr int headerSize = 8;

    if (data == nullptr || sizeInBytes <= headerSize)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data);
    const auto textLength = static_cast<int> (juce::ByteOrder::littleEndianInt (bytes + 4));

    if (juce::ByteOrder::littleEndianInt (bytes) != binaryXmlMagic || textLength <= 0 ||
        ! hostText::isPlainXml (bytes + headerSize, size_t (std::min (sizeInBytes - headerSize, textLength))))
        return nullptr;

    return juce::AudioProcessor::getXmlFromBinary (data, sizeInBytes);
}
} // namespace

juce::AudioProcessor::BusesProperties SyncAudioProcessor::makeBusesProperties()
{
    // An instrument: no input bus, a stereo output.
    return BusesProperties().withOutput (identity::outputBusName, juce::AudioChannelSet::stereo(), true);
}

SyncAudioProcessor::SyncAudioProcessor()
    : ClockProcessor (makeBusesProperties())
{
    for (int index = 0; index < syncParameters::count; ++index)
    {
        auto parameter = SyncParameterObjects::make (index);
        parameters[size_t (index)] = parameter.get();
        addParameter (parameter.release());
    }
}

SyncAudioProcessor::~SyncAudioProcessor() = default;

const juce::String SyncAudioProcessor::getName() const
{
    return identity::pluginName;
}

void SyncAudioProcessor::prepareToPlay (double, int)
{
    renderer.setSampleRate (getSampleRate());
}

void SyncAudioProcessor::releaseResources() {}

juce::RangedAudioParameter& SyncAudioProcessor::getSyncParameter (int index) const noexcept
{
    return *parameters[size_t (std::clamp (index, 0, syncParameters::count - 1))];
}

SyncSettings SyncAudioProcessor::getSettings() const noexcept
{
    return syncParameters::settingsFrom (SyncParameterObjects::plainValuesOf (parameters));
}

SyncTransport SyncAudioProcessor::readTransport (int numSamples)
{
    const auto info = askPlayHead (getPlayHead());
    const auto position = hostPositionOf (info);
    const auto bar = hostBarOf (info);
    SyncTransport host;

    // LV2 hosts report positions only now and then, some without the beat;
    // everywhere else a block without a position is stopped.
    if (wrapperType == wrapperType_LV2)
        host.transport = transportFollower.follow (position, numSamples, renderer.getSampleRate());
    else if (position.has_value())
        host.transport = { position->isPlaying, position->bpm.value_or (0.0), position->ppqPosition.value_or (0.0) };

    host.hasBarStart = bar.startPosition.has_value();
    host.barStartPosition = bar.startPosition.value_or (0.0);
    host.numerator = bar.numerator;
    host.denominator = bar.denominator;
    return host;
}

void SyncAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto numSamples = buffer.getNumSamples();
    const auto numChannels = buffer.getNumChannels();
    auto* const* channels = buffer.getArrayOfWritePointers();

    if (numSamples <= 0 || numChannels <= 0 || channels == nullptr)
        return;

    // Channels beyond the stereo output (host scratch channels) carry silence.
    for (auto channel = 2; channel < numChannels; ++channel)
        if (channels[channel] != nullptr)
            std::fill (channels[channel], channels[channel] + numSamples, 0.0f);

    const auto host = readTransport (numSamples);
    lastBpm.store (host.transport.bpm, std::memory_order_relaxed);

    // A missing left buffer still has the clock run, so that it stays in step:
    // the right one, if there is one, gets the left signal then.
    auto* left = channels[0];
    auto* right = numChannels > 1 ? channels[1] : nullptr;

    if (left == nullptr)
        std::swap (left, right);

    if (left != nullptr)
        renderer.render (left, right, numSamples, host, getSettings());
}

bool SyncAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();
    return layouts.inputBuses.isEmpty() &&
           (output == juce::AudioChannelSet::stereo() || output == juce::AudioChannelSet::mono());
}

juce::AudioProcessorEditor* SyncAudioProcessor::createEditor()
{
    return std::make_unique<SyncEditor> (*this).release();
}

void SyncAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement state (stateTag);
    state.setAttribute ("version", stateVersion);

    for (const auto* parameter : parameters)
    {
        auto* entry = state.createNewChildElement ("PARAM");
        entry->setAttribute ("id", parameter->getParameterID());
        entry->setAttribute ("value", double (parameter->convertFrom0to1 (parameter->getValue())));
    }

    copyXmlToBinary (state, destData);
}

void SyncAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // A state that is not ours, or cut short, changes nothing; one from a newer
    // version sets the parameters this version knows and leaves the rest.
    const auto state = readStateXml (data, sizeInBytes);

    if (state == nullptr || ! state->hasTagName (stateTag))
        return;

    for (auto* parameter : parameters)
    {
        const auto* entry = state->getChildByAttribute ("id", parameter->getParameterID());

        if (entry == nullptr || ! entry->hasAttribute ("value"))
            continue;

        const auto value = entry->getDoubleAttribute ("value");

        if (std::isfinite (value))
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (static_cast<float> (value)));
    }
}

} // namespace quaverline
