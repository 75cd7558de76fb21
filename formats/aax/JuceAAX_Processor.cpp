#include "formats/aax/JuceAAX_Processor.h"

#include "formats/aax/AaxParameterRules.h"
#include "plugin/PluginFactory.h"

#include <cstring>

namespace AAXClasses
{
namespace rules = quaverline::aax;

namespace
{
// The AAX transport counts 960000 ticks a quarter note.
constexpr double transportTicksPerQuarterNote = 960000.0;
constexpr int maximumChannels = 31;
constexpr size_t midiBufferBytes = 2048;

bool isBypass (AAX_CParamID id)
{
    return id != nullptr && std::strcmp (id, AAX_CEffectParameters::masterBypassId) == 0;
}

/** The processor made as the AAX wrapper makes it. */
std::unique_ptr<AudioClockAudioProcessor> createProcessor()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_AAX);
    std::unique_ptr<juce::AudioProcessor> created (createPluginFilter());
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return std::unique_ptr<AudioClockAudioProcessor> (dynamic_cast<AudioClockAudioProcessor*> (created.release()));
}

/** A stem's channels as a layout of discrete channels; empty for none. */
juce::AudioChannelSet layoutForStem (AAX_EStemFormat format)
{
    return juce::AudioChannelSet::discreteChannels (aax::stem::channelCount (format));
}

/** The host's time-code rate as a frame rate, and the frames per second by
    which the time-code offset becomes the edit origin.
*/
struct TimeCode
{
    juce::Optional<juce::AudioPlayHead::FrameRate> frameRate;
    double framesPerSecond = 24.0;
};

TimeCode timeCodeForRate (int32_t rate)
{
    using FrameRate = juce::AudioPlayHead::FrameRate;

    switch (rate)
    {
        case 1:
            return { FrameRate().withBaseRate (24), 24.0 };
        case 2:
            return { FrameRate().withBaseRate (25), 25.0 };
        case 3:
            return { FrameRate().withBaseRate (30).withPullDown(), 29.97002997 };
        case 4:
            return { FrameRate().withBaseRate (30).withPullDown().withDrop(), 29.97002997 };
        case 5:
            return { FrameRate().withBaseRate (30), 30.0 };
        case 6:
            return { FrameRate().withBaseRate (30).withDrop(), 30.0 };
        case 7:
            return { FrameRate().withBaseRate (24), 23.976 };
        default:
            return {};
    }
}
} // namespace

JuceAAX_Processor::JuceAAX_Processor()
    : pluginInstance (createProcessor())
{
    pluginInstance->setPlayHead (this);
    pluginInstance->addListener (this);
}

JuceAAX_Processor::~JuceAAX_Processor()
{
    pluginInstance->removeListener (this);
}

AAX_IEffectParameters* JuceAAX_Processor::create()
{
    return std::make_unique<JuceAAX_Processor>().release();
}

//==============================================================================
AAX_Result JuceAAX_Processor::EffectInit()
{
    if (auto* controller = Controller())
        controller->GetSampleRate (&sampleRate);

    if (const auto prepared = preparePlugin(); prepared != aax::result::success)
        return prepared;

    publishParameters();
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::preparePlugin()
{
    auto inputStem = aax::stem::none;
    auto outputStem = aax::stem::none;

    if (auto* controller = Controller())
    {
        controller->GetInputStemFormat (&inputStem);
        controller->GetOutputStemFormat (&outputStem);
    }

    const auto inputLayout = layoutForStem (inputStem);
    const auto outputLayout = layoutForStem (outputStem);

    if ((inputLayout.isDisabled() && inputStem != aax::stem::none) ||
        (outputLayout.isDisabled() && outputStem != aax::stem::none))
        return aax::result::unimplemented;

    auto& processor = *pluginInstance;
    auto layouts = processor.getBusesLayout();
    const auto hasInput = ! layouts.inputBuses.isEmpty();

    if (hasInput)
        layouts.inputBuses.getReference (0) = inputLayout;

    if (! layouts.outputBuses.isEmpty())
        layouts.outputBuses.getReference (0) = outputLayout;

    processor.setBusesLayout (layouts);

    if ((hasInput && processor.getChannelLayoutOfBus (true, 0) != inputLayout) ||
        (processor.getBusCount (false) > 0 && processor.getChannelLayoutOfBus (false, 0) != outputLayout))
        return aax::result::unimplemented;

    processor.setRateAndBufferSizeDetails (sampleRate, maxBufferSize);
    processor.prepareToPlay (sampleRate, lastBufferSize);
    maxBufferSize = lastBufferSize;

    // Room for the MIDI of a callback, so that taking it allocates nothing on
    // the audio thread.
    midiBuffer.ensureSize (midiBufferBytes);

    if (auto* controller = Controller())
        controller->SetSignalLatency (processor.getLatencySamples());

    return aax::result::success;
}

void JuceAAX_Processor::publishParameters()
{
    auto bypass =
        std::make_unique<AAX_CParameter<bool>> (masterBypassId,
                                                rules::masterBypassName,
                                                false,
                                                std::make_unique<AAX_CBinaryTaperDelegate<bool>>(),
                                                std::make_unique<AAX_CBinaryDisplayDelegate<bool>> ("bypass", "on"),
                                                true);
    bypass->SetNumberOfSteps (2);
    bypass->SetType (AAX_EParameterType::discrete);
    mParameterManager.AddParameter (std::move (bypass));
    RegisterPacket (masterBypassId, bypassField);

    for (int i = 0; i < pluginInstance->getNumParameters(); ++i)
    {
        const auto& parameter = *pluginInstance->getParameters()[i];
        const auto steps = parameter.getNumSteps();
        auto published =
            std::make_unique<AAX_CParameter<float>> (rules::parameterIdFromNumber (i),
                                                     parameter.getName (31).toStdString(),
                                                     parameter.getDefaultValue(),
                                                     std::make_unique<AAX_CLinearTaperDelegate<float>> (0.0f, 1.0f),
                                                     std::make_unique<AAX_CNumberDisplayDelegate<float, 3>>(),
                                                     parameter.isAutomatable());
        published->AddShortenedName (parameter.getName (4).toStdString());
        published->SetNumberOfSteps (steps);
        published->SetType (steps > 1000 ? AAX_EParameterType::continuous : AAX_EParameterType::discrete);
        published->SetOrientation (parameter.isOrientationInverted() ? 19 : 0);
        mParameterManager.AddParameter (std::move (published));
    }
}

AAX_Result JuceAAX_Processor::ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size)
{
    if (field == pluginInstanceField)
    {
        auto* slots = static_cast<JuceAAX_Processor**> (data);

        for (uint32_t i = 0; data != nullptr && i < size / sizeof (JuceAAX_Processor*); ++i)
            slots[i] = this;

        return aax::result::success;
    }

    if (field == preparedFlagField)
    {
        preparePlugin();
        auto* flags = static_cast<int32_t*> (data);

        for (uint32_t i = 0; data != nullptr && i < size / sizeof (int32_t); ++i)
            flags[i] = 1;

        return aax::result::success;
    }

    return AAX_CEffectParameters::ResetFieldData (field, data, size);
}

//==============================================================================
void JuceAAX_Processor::algorithmProcessFunction (void* const instancesBegin[], const void* instancesEnd)
{
    for (auto* const* walk = instancesBegin; walk < instancesEnd; ++walk)
    {
        const auto& context = *static_cast<const AlgorithmContext*> (*walk);
        auto* instance = *context.pluginInstance;
        instance->process (context.outputChannels, *context.bufferSize, *context.bypass != 0, context.midiNodeIn);
    }
}

void JuceAAX_Processor::process (float* const* channels, int numSamples, bool bypassed, AAX_IMIDINode* midiNodeIn)
{
    auto& processor = *pluginInstance;
    const auto numChannels = juce::jmin (processor.getTotalNumOutputChannels(), maximumChannels);

    midiBuffer.clear();

    if (midiNodeIn != nullptr)
    {
        if (const auto* stream = midiNodeIn->GetNodeBuffer())
        {
            for (uint32_t i = 0; stream->mBuffer != nullptr && i < stream->mBufferSize; ++i)
            {
                const auto& packet = stream->mBuffer[i];
                const auto time =
                    juce::jlimit (0, juce::jmax (0, numSamples - 1), static_cast<int> (packet.mTimestamp));
                midiBuffer.addEvent (packet.mData,
                                     static_cast<int> (juce::jmin<uint32_t> (packet.mLength, sizeof (packet.mData))),
                                     time);
            }
        }
    }

    if (numSamples != lastBufferSize)
    {
        lastBufferSize = numSamples;
        processor.setRateAndBufferSizeDetails (sampleRate, numSamples);

        if (numSamples > maxBufferSize)
        {
            processor.prepareToPlay (sampleRate, numSamples);
            maxBufferSize = numSamples;
        }
    }

    // A bypassed block leaves the host's buffers as the host wrote them. (JUCE 7's
    // default processBlockBypassed clears the outputs, so it is not called.)
    if (bypassed || numSamples <= 0)
        return;

    juce::AudioBuffer<float> buffer (const_cast<float**> (channels), numChannels, numSamples);
    const juce::ScopedLock lock (processor.getCallbackLock());
    processor.processBlock (buffer, midiBuffer);
}

//==============================================================================
juce::Optional<juce::AudioPlayHead::PositionInfo> JuceAAX_Processor::getPosition() const
{
    PositionInfo info;
    info.setBpm (0.0);
    info.setTimeSignature (TimeSignature { 4, 4 });
    info.setTimeInSamples (0);
    info.setIsLooping (false);
    info.setIsRecording (false);
    info.setPpqPositionOfLastBarStart (0.0);
    info.setEditOriginTime (0.0);

    auto* transport = Transport();

    if (transport == nullptr)
    {
        info.setIsPlaying (false);
        info.setTimeInSeconds (0.0);
        info.setPpqPosition (0.0);
        return info;
    }

    if (double bpm = 0.0; transport->GetCurrentTempo (&bpm) == aax::result::success)
        info.setBpm (bpm);

    if (int32_t numerator = 4, denominator = 4;
        transport->GetCurrentMeter (&numerator, &denominator) == aax::result::success)
        info.setTimeSignature (TimeSignature { numerator, denominator });

    bool isPlaying = false;

    if (transport->IsTransportPlaying (&isPlaying) != aax::result::success)
        isPlaying = false;

    info.setIsPlaying (isPlaying);

    int64_t samplePosition = 0;

    if (isPlaying || transport->GetTimelineSelectionStartPosition (&samplePosition) != aax::result::success)
        transport->GetCurrentNativeSampleLocation (&samplePosition);

    info.setTimeInSamples (samplePosition);
    info.setTimeInSeconds (static_cast<double> (static_cast<float> (samplePosition) / sampleRate));

    int64_t ticks = 0;
    transport->GetCurrentTickPosition (&ticks);
    info.setPpqPosition (static_cast<double> (ticks) / transportTicksPerQuarterNote);

    bool isLooping = false;
    int64_t loopStart = 0, loopEnd = 0;

    if (transport->GetCurrentLoopPosition (&isLooping, &loopStart, &loopEnd) == aax::result::success)
    {
        info.setIsLooping (isLooping);
        info.setLoopPoints (LoopPoints { static_cast<double> (loopStart) / transportTicksPerQuarterNote,
                                         static_cast<double> (loopEnd) / transportTicksPerQuarterNote });
    }

    int32_t rate = 0;
    int64_t offset = 0;

    if (transport->GetTimeCodeInfo (&rate, &offset) == aax::result::success)
    {
        const auto timeCode = timeCodeForRate (rate);
        info.setFrameRate (timeCode.frameRate);
        info.setEditOriginTime (static_cast<double> (offset) / timeCode.framesPerSecond);
    }

    return info;
}

//==============================================================================
juce::AudioProcessorParameter* JuceAAX_Processor::processorParameter (int number) const
{
    return pluginInstance->getParameters()[number];
}

// The IDs the face answers for: the bypass, the published parameters and the
// processor's parameter numbers. Any other ID is refused and changes nothing.
bool JuceAAX_Processor::isKnownId (AAX_CParamID id) const
{
    return isBypass (id) || rules::isNumericId (id) ||
           (id != nullptr && mParameterManager.GetParameterByID (id) != nullptr);
}

template <typename BypassText, typename ProcessorText>
AAX_Result JuceAAX_Processor::answerText (AAX_CParamID id,
                                          std::string* text,
                                          BypassText&& bypassText,
                                          ProcessorText&& processorText) const
{
    if (text == nullptr)
        return aax::result::nullObject;

    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (isBypass (id))
    {
        *text = bypassText();
        return aax::result::success;
    }

    // A number the processor has no parameter for has no text.
    const auto* parameter = processorParameter (rules::parameterNumberFromId (id));
    *text = parameter != nullptr ? processorText (*parameter).toStdString() : std::string();
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::GetParameterName (AAX_CParamID id, std::string* name) const
{
    return answerText (
        id,
        name,
        [] { return std::string (rules::masterBypassName); },
        [] (const juce::AudioProcessorParameter& p) { return p.getName (31); });
}

AAX_Result JuceAAX_Processor::GetParameterNameOfLength (AAX_CParamID id, std::string* name, int32_t maximumLength) const
{
    return answerText (
        id,
        name,
        [=] { return rules::bypassNameOfLength (maximumLength); },
        [=] (const juce::AudioProcessorParameter& p) { return p.getName (juce::jmax (0, maximumLength)); });
}

AAX_Result JuceAAX_Processor::GetParameterStringFromValue (AAX_CParamID id,
                                                           double value,
                                                           std::string* text,
                                                           int32_t maximumLength) const
{
    // A processor parameter gives its current text; the asked value is not used.
    return answerText (
        id,
        text,
        [=] { return rules::bypassText (value, maximumLength); },
        [=] (const juce::AudioProcessorParameter& p)
        { return p.getText (p.getValue(), juce::jmax (0, maximumLength)); });
}

AAX_Result
    JuceAAX_Processor::GetParameterValueFromString (AAX_CParamID id, double* value, const std::string& text) const
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (! isBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterValueFromString (id, value, text);

    *value = rules::bypassValueFromText (text);
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::GetParameterNormalizedValue (AAX_CParamID id, double* value) const
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (isBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterNormalizedValue (id, value);

    *value = static_cast<double> (pluginInstance->getParameter (rules::parameterNumberFromId (id)));
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (isBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterDefaultNormalizedValue (id, value);

    const auto* parameter = processorParameter (rules::parameterNumberFromId (id));
    *value = parameter != nullptr ? static_cast<double> (parameter->getDefaultValue()) : 0.0;
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::UpdateParameterNormalizedValue (AAX_CParamID id, double value)
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    const auto result = AAX_CEffectParameters::UpdateParameterNormalizedValue (id, value);

    if (! isBypass (id))
        pluginInstance->setParameter (rules::parameterNumberFromId (id), static_cast<float> (value));

    return result;
}

AAX_Result JuceAAX_Processor::SetParameterNormalizedValue (AAX_CParamID id, double value)
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (isBypass (id))
        return AAX_CEffectParameters::SetParameterNormalizedValue (id, value);

    if (auto* published = mParameterManager.GetParameterByID (id))
        published->SetNormalizedValue (static_cast<float> (value));

    pluginInstance->setParameter (rules::parameterNumberFromId (id), static_cast<float> (value));
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::SetParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    if (! isKnownId (id))
        return aax::result::invalidParameterId;

    if (isBypass (id))
        return AAX_CEffectParameters::SetParameterNormalizedRelative (id, delta);

    const auto number = rules::parameterNumberFromId (id);
    const auto newValue = pluginInstance->getParameter (number) + static_cast<float> (delta);
    pluginInstance->setParameter (number, juce::jlimit (0.0f, 1.0f, newValue));

    if (auto* published = mParameterManager.GetParameterByID (id))
        published->UpdateNormalizedValue (newValue);

    return aax::result::success;
}

//==============================================================================
AAX_Result JuceAAX_Processor::GetNumberOfChunks (int32_t* count) const
{
    if (count == nullptr)
        return aax::result::nullObject;

    *count = 2;
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::GetChunkIDFromIndex (int32_t index, uint32_t* chunkId) const
{
    if (index != 1)
        return AAX_CEffectParameters::GetChunkIDFromIndex (index, chunkId);

    if (chunkId == nullptr)
        return aax::result::nullObject;

    *chunkId = aax::code::stateChunk;
    return aax::result::success;
}

JuceAAX_Processor::ChunkMemoryBlock& JuceAAX_Processor::chunkBlockForThisThread()
{
    const auto thread = juce::Thread::getCurrentThreadId();
    const juce::ScopedLock lock (perThreadChunks.getLock());

    if (! perThreadChunks.contains (thread))
        perThreadChunks.set (thread, std::make_shared<ChunkMemoryBlock>());

    return *perThreadChunks[thread];
}

AAX_Result JuceAAX_Processor::GetChunkSize (uint32_t chunkId, uint32_t* size)
{
    if (chunkId != aax::code::stateChunk)
        return AAX_CEffectParameters::GetChunkSize (chunkId, size);

    if (size == nullptr)
        return aax::result::nullObject;

    auto& block = chunkBlockForThisThread();
    block.reset();
    pluginInstance->getStateInformation (block);
    *size = static_cast<uint32_t> (block.getSize());
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::GetChunk (uint32_t chunkId, AAX_SPlugInChunk* chunk)
{
    if (chunkId != aax::code::stateChunk)
        return AAX_CEffectParameters::GetChunk (chunkId, chunk);

    if (chunk == nullptr)
        return aax::result::nullObject;

    auto& block = chunkBlockForThisThread();

    if (block.isEmpty())
        return aax::result::chunkNotPrepared;

    chunk->fSize = static_cast<int32_t> (block.getSize());
    block.copyTo (chunk->fData, 0, block.getSize());
    block.reset();
    return aax::result::success;
}

AAX_Result JuceAAX_Processor::SetChunk (uint32_t chunkId, const AAX_SPlugInChunk* chunk)
{
    if (chunkId != aax::code::stateChunk)
        return AAX_CEffectParameters::SetChunk (chunkId, chunk);

    if (chunk == nullptr)
        return aax::result::nullObject;

    pluginInstance->setStateInformation (chunk->fData, chunk->fSize);

    for (int i = 0; i < pluginInstance->getNumParameters(); ++i)
        SetParameterNormalizedValue (rules::parameterIdFromNumber (i).c_str(),
                                     static_cast<double> (pluginInstance->getParameter (i)));

    return aax::result::success;
}

AAX_Result JuceAAX_Processor::NotificationReceived (uint32_t type, const void* data, uint32_t size)
{
    if (type == aax::code::enterOfflineMode)
        pluginInstance->setNonRealtime (true);
    else if (type == aax::code::exitOfflineMode)
        pluginInstance->setNonRealtime (false);
    else if (type == aax::code::audioSuitePreview && data != nullptr && size >= sizeof (int32_t))
        if (auto* preview = mParameterManager.GetParameterByID ("PreviewID"))
            preview->UpdateNormalizedValue (*static_cast<const int32_t*> (data) != 0 ? 1.0 : 0.0);

    return aax::result::success;
}

//==============================================================================
void JuceAAX_Processor::audioProcessorParameterChanged (juce::AudioProcessor*, int parameterIndex, float newValue)
{
    SetParameterNormalizedValue (rules::parameterIdFromNumber (parameterIndex).c_str(), static_cast<double> (newValue));
}

void JuceAAX_Processor::audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&)
{
    AddToChangeCount();

    if (auto* controller = Controller())
        controller->SetSignalLatency (pluginInstance->getLatencySamples());
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int parameterIndex)
{
    if (auto* published = mParameterManager.GetParameterByID (rules::parameterIdFromNumber (parameterIndex).c_str()))
        published->Touch();
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int parameterIndex)
{
    if (auto* published = mParameterManager.GetParameterByID (rules::parameterIdFromNumber (parameterIndex).c_str()))
        published->Release();
}

} // namespace AAXClasses
