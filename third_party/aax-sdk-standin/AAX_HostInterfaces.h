#pragma once

// What an AAX host implements and hands to the plug-in. The plug-in only calls
// these; a host (in the tests, the simulated one) provides them.

#include "AAX.h"

/** The root of the objects a host passes to the entry points. */
class IACFUnknown
{
public:
    virtual ~IACFUnknown() = default;
};

/** The host's view of one plug-in instance: its rate, stems, latency and the
    packets that carry values to the audio callback.
*/
class AAX_IController
{
public:
    virtual ~AAX_IController() = default;
    virtual AAX_Result GetSampleRate (float* sampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat (AAX_EStemFormat* format) const = 0;
    virtual AAX_Result GetOutputStemFormat (AAX_EStemFormat* format) const = 0;
    virtual AAX_Result SetSignalLatency (int32_t numSamples) = 0;
    /** Delivers a data-port packet for the given field before the next callback. */
    virtual AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) = 0;
};

/** The host's transport, as the play head reads it. */
class AAX_ITransport
{
public:
    virtual ~AAX_ITransport() = default;
    virtual AAX_Result GetCurrentTempo (double* bpm) const = 0;
    virtual AAX_Result GetCurrentMeter (int32_t* numerator, int32_t* denominator) const = 0;
    virtual AAX_Result IsTransportPlaying (bool* isPlaying) const = 0;
    virtual AAX_Result GetCurrentNativeSampleLocation (int64_t* sampleLocation) const = 0;
    virtual AAX_Result GetTimelineSelectionStartPosition (int64_t* sampleLocation) const = 0;
    /** Ticks: 960000 a quarter note. */
    virtual AAX_Result GetCurrentTickPosition (int64_t* ticks) const = 0;
    virtual AAX_Result GetCurrentLoopPosition (bool* isLooping, int64_t* loopStartTick, int64_t* loopEndTick) const = 0;
    virtual AAX_Result GetTimeCodeInfo (int32_t* rate, int64_t* offset) const = 0;
};

/** The host's automation: touches, releases and set-value requests. */
class AAX_IAutomationDelegate
{
public:
    virtual ~AAX_IAutomationDelegate() = default;
    virtual AAX_Result PostTouchRequest (AAX_CParamID parameterId) = 0;
    virtual AAX_Result PostReleaseRequest (AAX_CParamID parameterId) = 0;
    virtual AAX_Result PostSetValueRequest (AAX_CParamID parameterId, double normalizedValue) = 0;
};

/** A host window that shows a plug-in's view. */
class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() = default;
    virtual int32_t GetType() const = 0;
    virtual void* GetPtr() const = 0;
    virtual AAX_Result SetViewSize (float vertical, float horizontal) = 0;
    virtual AAX_Result GetModifiers (uint32_t* modifiers) const = 0;
    virtual AAX_Result HandleParameterMouseDown (AAX_CParamID parameterId, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag (AAX_CParamID parameterId, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp (AAX_CParamID parameterId, uint32_t modifiers) = 0;
};

/** One MIDI message with its time stamp in the callback. */
struct AAX_CMidiPacket
{
    uint32_t mTimestamp = 0;
    uint32_t mLength = 0;
    uint8_t mData[4] {};
    bool mIsImmediate = false;
};

/** The MIDI packets of one callback. */
struct AAX_CMidiStream
{
    uint32_t mBufferSize = 0;
    AAX_CMidiPacket* mBuffer = nullptr;
};

/** A MIDI node of the algorithm context. */
class AAX_IMIDINode
{
public:
    virtual ~AAX_IMIDINode() = default;
    virtual AAX_CMidiStream* GetNodeBuffer() = 0;
    virtual AAX_Result PostMIDIPacket (AAX_CMidiPacket* packet) = 0;
};
