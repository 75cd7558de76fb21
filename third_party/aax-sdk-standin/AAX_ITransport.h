#pragma once

#include "AAX.h"

/** The host's transport, as a play head reads it. */
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
    virtual AAX_Result GetTimeCodeInfo (AAX_EFrameRate* frameRate, int32_t* offset) const = 0;
};
