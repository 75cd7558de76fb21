#include "formats/aax/JuceAAX_Processor.h"

#include "formats/aax/AaxParameterRules.h"
#include "plugin/PluginFactory.h"
#include "plugin/identity/FourCharCode.h"

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CString.h"

#include <cstring>

namespace quaverline::aax
{

namespace
{
// The AAX transport counts 960000 ticks a quarter note.
constexpr double transportTicksPerQuarterNote = 960000.0;
// The processor's state chunk, as JUCE's AAX plug-ins name it.
constexpr AAX_CTypeID stateChunkID = fourCharCode ("juce");
// GetChunk before GetChunkSize on the same thread: not an error as such, so positive.
constexpr AAX_Result chunkNotPrepared = 20700;
// An inverted parameter's orientation, on every kind of control.
constexpr AAX_EParameterOrientation invertedOrientation =
    AAX_eParameterOrientation_RightMinLeftMax | AAX_eParameterOrientation_TopMinBottomMax |
    AAX_eParameterOrientation_RotarySingleDotMode | AAX_eParameterOrientation_RotaryRightMinLeftMax;
constexpr int maximumChannels = 31;
constexpr size_t midiBufferBytes = 2048;

/** The processor made as the AAX wrapper makes it. */
std::unique_ptr<AudioClockAudioProcessor> createProcessor()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_AAX);
    std::unique_ptr<juce::AudioProcessor> created (createPluginFilter());
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return std::unique_ptr<AudioClockAudioProcessor> (dynamic_cast<AudioClockAudioProcessor*> (created.release()));
}

/** A stem's channels as a layout of discrete channels; empty for none and for
    a count with no stem format.
*/
juce::AudioChannelSet layoutForStem (AAX_EStemFormat format)
{
    const int channels = format == AAX_eStemFormat_INT32_MAX ? 0 : AAX_STEM_FORMAT_CHANNEL_COUNT (format);
    return juce::AudioChannelSet::discreteChannels (channels);
}

/** The host's time-code rate as a frame rate, and the frames per second by
    which the time-code offset becomes the edit origin.
*/
struct TimeCode
{
    juce::Optional<juce::AudioPlayHead::FrameRate> frameRate;
    double framesPerSecond = 24.0;
};

TimeCode timeCodeForRate (AAX_EFrameRate rate)
{
    using FrameRate = juce::AudioPlayHead::FrameRate;

    switch (rate)
    {
        case AAX_eFrameRate_24Frame:
            return { FrameRate().withBaseRate (24), 24.0 };
        case AAX_eFrameRate_25Frame:
            return { FrameRate().withBaseRate (25), 25.0 };
        case AAX_eFrameRate_2997NonDrop:
            return { FrameRate().withBaseRate (30).withPullDown(), 29.97002997 };
        case AAX_eFrameRate_2997DropFrame:
            return { FrameRate().withBaseRate (30).withPullDown().withDrop(), 29.97002997 };
        case AAX_eFrameRate_30NonDrop:
            return { FrameRate().withBaseRate (30), 30.0 };
        case AAX_eFrameRate_30DropFrame:
            return { FrameRate().withBaseRate (30).withDrop(), 30.0 };
        case AAX_eFrameRate_23976:
            return { FrameRate().withBaseRate (24), 23.976 };
        case AAX_eFrameRate_Undeclared:
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

bool JuceAAX_Processor::isMasterBypass (AAX_CParamID id) noexcept
{
    return id != nullptr && std::strcmp (id, cDefaultMasterBypassID) == 0;
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

    if (const auto prepared = preparePlugin(); prepared != AAX_SUCCESS)
        return prepared;

    publishParameters();
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::preparePlugin()
{
    auto inputStem = AAX_eStemFormat_None;
    auto outputStem = AAX_eStemFormat_None;

    if (auto* controller = Controller())
    {
        controller->GetInputStemFormat (&inputStem);
        controller->GetOutputStemFormat (&outputStem);
    }

    const auto inputLayout = layoutForStem (inputStem);
    const auto outputLayout = layoutForStem (outputStem);

    if ((inputLayout.isDisabled() && inputStem != AAX_eStemFormat_None) ||
        (outputLayout.isDisabled() && outputStem != AAX_eStemFormat_None))
        return AAX_ERROR_UNIMPLEMENTED;

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
        return AAX_ERROR_UNIMPLEMENTED;

    processor.setRateAndBufferSizeDetails (sampleRate, maxBufferSize);
    processor.prepareToPlay (sampleRate, lastBufferSize);
    maxBufferSize = lastBufferSize;

    // Room for the MIDI of a callback, so that taking it allocates nothing on
    // the audio thread.
    midiBuffer.ensureSize (midiBufferBytes);

    if (auto* controller = Controller())
        controller->SetSignalLatency (processor.getLatencySamples());

    return AAX_SUCCESS;
}

void JuceAAX_Processor::publishParameters()
{
    // The parameter manager takes ownership of what it is given.
    auto bypass = std::make_unique<AAX_CParameter<bool>> (cDefaultMasterBypassID,
                                                          AAX_CString (masterBypassName),
                                                          false,
                                                          AAX_CBinaryTaperDelegate<bool>(),
                                                          AAX_CBinaryDisplayDelegate<bool> ("bypass", "on"),
                                                          true);
    bypass->SetNumberOfSteps (2);
    bypass->SetType (AAX_eParameterType_Discrete);
    mParameterManager.AddParameter (bypass.release());
    mPacketDispatcher.RegisterPacket (cDefaultMasterBypassID, bypassField);

    for (int i = 0; i < pluginInstance->getNumParameters(); ++i)
    {
        const auto& parameter = *pluginInstance->getParameters()[i];
        const auto steps = parameter.getNumSteps();
        auto published = std::make_unique<AAX_CParameter<float>> (parameterIdFromNumber (i).c_str(),
                                                                  AAX_CString (parameter.getName (31).toRawUTF8()),
                                                                  parameter.getDefaultValue(),
                                                                  AAX_CLinearTaperDelegate<float, 0>(),
                                                                  AAX_CNumberDisplayDelegate<float, 3>(),
                                                                  parameter.isAutomatable());
        published->AddShortenedName (AAX_CString (parameter.getName (4).toRawUTF8()));
        published->SetNumberOfSteps (static_cast<uint32_t> (steps));
        published->SetType (steps > 1000 ? AAX_eParameterType_Continuous : AAX_eParameterType_Discrete);
        published->SetOrientation (parameter.isOrientationInverted() ? invertedOrientation
                                                                     : AAX_eParameterOrientation_Default);
        mParameterManager.AddParameter (published.release());
    }
}

AAX_Result JuceAAX_Processor::ResetFieldData (AAX_CFieldIndex fieldIndex, void* data, uint32_t dataSize) const
{
    // The SDK declares this const; the instance pointer and the preparation
    // it asks for are this object's own, as in JUCE's AAX wrapper.
    auto* self = const_cast<JuceAAX_Processor*> (this);

    if (fieldIndex == pluginInstanceField)
    {
        auto* slots = static_cast<JuceAAX_Processor**> (data);

        for (uint32_t i = 0; data != nullptr && i < dataSize / sizeof (JuceAAX_Processor*); ++i)
            slots[i] = self;

        return AAX_SUCCESS;
    }

    if (fieldIndex == preparedFlagField)
    {
        self->preparePlugin();
        auto* flags = static_cast<int32_t*> (data);

        for (uint32_t i = 0; data != nullptr && i < dataSize / sizeof (int32_t); ++i)
            flags[i] = 1;

        return AAX_SUCCESS;
    }

    return AAX_CEffectParameters::ResetFieldData (fieldIndex, data, dataSize);
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

    if (double bpm = 0.0; transport->GetCurrentTempo (&bpm) == AAX_SUCCESS)
        info.setBpm (bpm);

    if (int32_t numerator = 4, denominator = 4; transport->GetCurrentMeter (&numerator, &denominator) == AAX_SUCCESS)
        info.setTimeSignature (TimeSignature { numerator, denominator });

    bool isPlaying = false;

    if (transport->IsTransportPlaying (&isPlaying) != AAX_SUCCESS)
        isPlaying = false;

    info.setIsPlaying (isPlaying);

    int64_t samplePosition = 0;

    if (isPlaying || transport->GetTimelineSelectionStartPosition (&samplePosition) != AAX_SUCCESS)
        transport->GetCurrentNativeSampleLocation (&samplePosition);

    info.setTimeInSamples (samplePosition);
    info.setTimeInSeconds (static_cast<double> (static_cast<float> (samplePosition) / sampleRate));

    int64_t ticks = 0;
    transport->GetCurrentTickPosition (&ticks);
    info.setPpqPosition (static_cast<double> (ticks) / transportTicksPerQuarterNote);

    bool isLooping = false;
    int64_t loopStart = 0, loopEnd = 0;

    if (transport->GetCurrentLoopPosition (&isLooping, &loopStart, &loopEnd) == AAX_SUCCESS)
    {
        info.setIsLooping (isLooping);
        info.setLoopPoints (LoopPoints { static_cast<double> (loopStart) / transportTicksPerQuarterNote,
                                         static_cast<double> (loopEnd) / transportTicksPerQuarterNote });
    }

    auto rate = AAX_eFrameRate_Undeclared;
    int32_t offset = 0;

    if (transport->GetTimeCodeInfo (&rate, &offset) == AAX_SUCCESS)
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
    return isMasterBypass (id) || isNumericId (id) ||
           (id != nullptr && mParameterManager.GetParameterByID (id) != nullptr);
}

template <typename BypassText, typename ProcessorText>
AAX_Result JuceAAX_Processor::answerText (AAX_CParamID id,
                                          AAX_IString* text,
                                          BypassText&& bypassText,
                                          ProcessorText&& processorText) const
{
    if (text == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (isMasterBypass (id))
    {
        text->Set (bypassText().c_str());
        return AAX_SUCCESS;
    }

    // A number the processor has no parameter for has no text.
    const auto* parameter = processorParameter (parameterNumberFromId (id));
    text->Set (parameter != nullptr ? processorText (*parameter).toRawUTF8() : "");
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::GetParameterName (AAX_CParamID id, AAX_IString* name) const
{
    return answerText (
        id,
        name,
        [] { return std::string (masterBypassName); },
        [] (const juce::AudioProcessorParameter& p) { return p.getName (31); });
}

AAX_Result JuceAAX_Processor::GetParameterNameOfLength (AAX_CParamID id, AAX_IString* name, int32_t maximumLength) const
{
    return answerText (
        id,
        name,
        [=] { return bypassNameOfLength (maximumLength); },
        [=] (const juce::AudioProcessorParameter& p) { return p.getName (juce::jmax (0, maximumLength)); });
}

AAX_Result JuceAAX_Processor::GetParameterStringFromValue (AAX_CParamID id,
                                                           double value,
                                                           AAX_IString* text,
                                                           int32_t maximumLength) const
{
    // A processor parameter gives its current text; the asked value is not used.
    return answerText (
        id,
        text,
        [=] { return bypassText (value, maximumLength); },
        [=] (const juce::AudioProcessorParameter& p)
        { return p.getText (p.getValue(), juce::jmax (0, maximumLength)); });
}

AAX_Result
    JuceAAX_Processor::GetParameterValueFromString (AAX_CParamID id, double* value, const AAX_IString& text) const
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (! isMasterBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterValueFromString (id, value, text);

    *value = bypassValueFromText (text.Get());
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::GetParameterNormalizedValue (AAX_CParamID id, double* value) const
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (isMasterBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterNormalizedValue (id, value);

    *value = static_cast<double> (pluginInstance->getParameter (parameterNumberFromId (id)));
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (isMasterBypass (id) || value == nullptr)
        return AAX_CEffectParameters::GetParameterDefaultNormalizedValue (id, value);

    const auto* parameter = processorParameter (parameterNumberFromId (id));
    *value = parameter != nullptr ? static_cast<double> (parameter->getDefaultValue()) : 0.0;
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source)
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    const auto result = AAX_CEffectParameters::UpdateParameterNormalizedValue (id, value, source);

    if (! isMasterBypass (id))
        pluginInstance->setParameter (parameterNumberFromId (id), static_cast<float> (value));

    return result;
}

AAX_Result JuceAAX_Processor::SetParameterNormalizedValue (AAX_CParamID id, double value)
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (isMasterBypass (id))
        return AAX_CEffectParameters::SetParameterNormalizedValue (id, value);

    if (auto* published = mParameterManager.GetParameterByID (id))
        published->SetNormalizedValue (static_cast<float> (value));

    pluginInstance->setParameter (parameterNumberFromId (id), static_cast<float> (value));
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::SetParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    if (! isKnownId (id))
        return AAX_ERROR_INVALID_PARAMETER_ID;

    if (isMasterBypass (id))
        return AAX_CEffectParameters::SetParameterNormalizedRelative (id, delta);

    const auto number = parameterNumberFromId (id);
    const auto newValue = pluginInstance->getParameter (number) + static_cast<float> (delta);
    pluginInstance->setParameter (number, juce::jlimit (0.0f, 1.0f, newValue));

    if (auto* published = mParameterManager.GetParameterByID (id))
        published->UpdateNormalizedValue (newValue);

    return AAX_SUCCESS;
}

//==============================================================================
AAX_Result JuceAAX_Processor::GetNumberOfChunks (int32_t* count) const
{
    if (count == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *count = 2;
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::GetChunkIDFromIndex (int32_t index, AAX_CTypeID* chunkId) const
{
    if (index != 1)
        return AAX_CEffectParameters::GetChunkIDFromIndex (index, chunkId);

    if (chunkId == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *chunkId = stateChunkID;
    return AAX_SUCCESS;
}

JuceAAX_Processor::ChunkMemoryBlock& JuceAAX_Processor::chunkBlockForThisThread() const
{
    const auto thread = juce::Thread::getCurrentThreadId();
    const juce::ScopedLock lock (perThreadChunks.getLock());

    if (! perThreadChunks.contains (thread))
        perThreadChunks.set (thread, std::make_shared<ChunkMemoryBlock>());

    return *perThreadChunks[thread];
}

AAX_Result JuceAAX_Processor::GetChunkSize (AAX_CTypeID chunkId, uint32_t* size) const
{
    if (chunkId != stateChunkID)
        return AAX_CEffectParameters::GetChunkSize (chunkId, size);

    if (size == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    auto& block = chunkBlockForThisThread();
    block.reset();
    pluginInstance->getStateInformation (block);
    *size = static_cast<uint32_t> (block.getSize());
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::GetChunk (AAX_CTypeID chunkId, AAX_SPlugInChunk* chunk) const
{
    if (chunkId != stateChunkID)
        return AAX_CEffectParameters::GetChunk (chunkId, chunk);

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    auto& block = chunkBlockForThisThread();

    if (block.isEmpty())
        return chunkNotPrepared;

    chunk->fSize = static_cast<int32_t> (block.getSize());
    block.copyTo (chunk->fData, 0, block.getSize());
    block.reset();
    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::SetChunk (AAX_CTypeID chunkId, const AAX_SPlugInChunk* chunk)
{
    if (chunkId != stateChunkID)
        return AAX_CEffectParameters::SetChunk (chunkId, chunk);

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    pluginInstance->setStateInformation (chunk->fData, chunk->fSize);

    for (int i = 0; i < pluginInstance->getNumParameters(); ++i)
        SetParameterNormalizedValue (parameterIdFromNumber (i).c_str(),
                                     static_cast<double> (pluginInstance->getParameter (i)));

    return AAX_SUCCESS;
}

AAX_Result JuceAAX_Processor::NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size)
{
    if (type == AAX_eNotificationEvent_EnteringOfflineMode)
        pluginInstance->setNonRealtime (true);
    else if (type == AAX_eNotificationEvent_ExitingOfflineMode)
        pluginInstance->setNonRealtime (false);
    else if (type == AAX_eNotificationEvent_ASPreviewState && data != nullptr && size >= sizeof (int32_t))
        if (auto* preview = mParameterManager.GetParameterByID ("PreviewID"))
            preview->UpdateNormalizedValue (*static_cast<const int32_t*> (data) != 0 ? 1.0 : 0.0);

    return AAX_SUCCESS;
}

//==============================================================================
void JuceAAX_Processor::audioProcessorParameterChanged (juce::AudioProcessor*, int parameterIndex, float newValue)
{
    SetParameterNormalizedValue (parameterIdFromNumber (parameterIndex).c_str(), static_cast<double> (newValue));
}

void JuceAAX_Processor::audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&)
{
    ++mNumPlugInChanges;

    if (auto* controller = Controller())
        controller->SetSignalLatency (pluginInstance->getLatencySamples());
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int parameterIndex)
{
    if (auto* published = mParameterManager.GetParameterByID (parameterIdFromNumber (parameterIndex).c_str()))
        published->Touch();
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int parameterIndex)
{
    if (auto* published = mParameterManager.GetParameterByID (parameterIdFromNumber (parameterIndex).c_str()))
        published->Release();
}

} // namespace quaverline::aax
