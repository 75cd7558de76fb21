#pragma once

#include "AAX_CEffectParameters.h"
#include "AAX_IMIDINode.h"
#include "plugin/AudioClockAudioProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace quaverline::aax
{

/** The fields of the algorithm context that every component declares, and
    the record the host fills before each audio callback: one pointer a field.
*/
enum ContextField : AAX_CFieldIndex
{
    inputChannelsField = 0,
    outputChannelsField = 1,
    bufferSizeField = 2,
    bypassField = 3,
    midiNodeInField = 4,
    midiNodeOutField = 5,
    pluginInstanceField = 6,
    preparedFlagField = 7
};

class JuceAAX_Processor;

struct AlgorithmContext
{
    float** inputChannels;
    float** outputChannels;
    int32_t* bufferSize;
    int32_t* bypass;
    AAX_IMIDINode* midiNodeIn;
    AAX_IMIDINode* midiNodeOut;
    JuceAAX_Processor** pluginInstance;
    int32_t* isPrepared;
};

/** A plug-in instance's parameters object: owns the processor, prepares it for
    the host's stems, runs it from the audio callback with the host transport
    as its play head, and carries its parameter and state to the host.
*/
class JuceAAX_Processor final : public AAX_CEffectParameters,
                                public juce::AudioPlayHead,
                                public juce::AudioProcessorListener
{
public:
    JuceAAX_Processor();
    ~JuceAAX_Processor() override;

    /** The creation procedure the description registers (procedure ID 0). */
    static AAX_IEffectParameters* create();

    /** Whether an ID is the master bypass's. */
    static bool isMasterBypass (AAX_CParamID id) noexcept;

    /** The process procedure of every component. */
    static void algorithmProcessFunction (void* const instancesBegin[], const void* instancesEnd);

    AudioClockAudioProcessor& getPluginInstance() noexcept { return *pluginInstance; }

    AAX_Result ResetFieldData (AAX_CFieldIndex fieldIndex, void* data, uint32_t dataSize) const override;

    AAX_Result GetParameterName (AAX_CParamID id, AAX_IString* name) const override;
    AAX_Result GetParameterNameOfLength (AAX_CParamID id, AAX_IString* name, int32_t maximumLength) const override;
    AAX_Result GetParameterStringFromValue (AAX_CParamID id,
                                            double value,
                                            AAX_IString* text,
                                            int32_t maximumLength) const override;
    AAX_Result GetParameterValueFromString (AAX_CParamID id, double* value, const AAX_IString& text) const override;
    AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* value) const override;
    AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const override;
    AAX_Result SetParameterNormalizedValue (AAX_CParamID id, double value) override;
    AAX_Result SetParameterNormalizedRelative (AAX_CParamID id, double delta) override;
    AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source) override;

    AAX_Result GetNumberOfChunks (int32_t* count) const override;
    AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* chunkId) const override;
    AAX_Result GetChunkSize (AAX_CTypeID chunkId, uint32_t* size) const override;
    AAX_Result GetChunk (AAX_CTypeID chunkId, AAX_SPlugInChunk* chunk) const override;
    AAX_Result SetChunk (AAX_CTypeID chunkId, const AAX_SPlugInChunk* chunk) override;

    AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) override;

    juce::Optional<PositionInfo> getPosition() const override;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int parameterIndex, float newValue) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override;
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int parameterIndex) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int parameterIndex) override;

private:
    /** The processor's state, captured for the thread that asked for its size
        and kept until that thread gets it.
    */
    using ChunkMemoryBlock = juce::MemoryBlock;

    AAX_Result EffectInit() override;
    AAX_Result preparePlugin();
    void publishParameters();
    void process (float* const* channels, int numSamples, bool bypassed, AAX_IMIDINode* midiNodeIn);
    juce::AudioProcessorParameter* processorParameter (int number) const;

    /** A text about a parameter: the bypass's from its rule, a processor
        parameter's from the processor.
    */
    bool isKnownId (AAX_CParamID id) const;

    template <typename BypassText, typename ProcessorText>
    AAX_Result
        answerText (AAX_CParamID id, AAX_IString* text, BypassText&& bypassText, ProcessorText&& processorText) const;
    ChunkMemoryBlock& chunkBlockForThisThread() const;

    juce::ScopedJuceInitialiser_GUI libraryInitialiser;
    std::unique_ptr<AudioClockAudioProcessor> pluginInstance;
    float sampleRate = 0.0f;
    int lastBufferSize = 1024, maxBufferSize = 1024;
    juce::MidiBuffer midiBuffer;
    mutable juce::HashMap<juce::Thread::ThreadID,
                          std::shared_ptr<ChunkMemoryBlock>,
                          juce::DefaultHashFunctions,
                          juce::CriticalSection>
        perThreadChunks;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceAAX_Processor)
};

} // namespace quaverline::aax
