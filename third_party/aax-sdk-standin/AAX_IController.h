#pragma once

#include "AAX.h"

/** The host's view of one plug-in instance: its rate, stems, latency and the
    packets that carry values to the audio callback.
*/
class AAX_IController
{
public:
    virtual ~AAX_IController() = default;
    virtual AAX_Result GetSampleRate (AAX_CSampleRate* sampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat (AAX_EStemFormat* format) const = 0;
    virtual AAX_Result GetOutputStemFormat (AAX_EStemFormat* format) const = 0;
    virtual AAX_Result SetSignalLatency (int32_t numSamples) = 0;
    /** Delivers a data-port packet for the given field before the next callback. */
    virtual AAX_Result PostPacket (AAX_CFieldIndex field, const void* payload, uint32_t payloadSize) = 0;
};
