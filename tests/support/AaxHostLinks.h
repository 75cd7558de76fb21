#pragma once

#include "AAX_IAutomationDelegate.h"
#include "AAX_IController.h"
#include "AAX_IMIDINode.h"
#include "AAX_ITransport.h"
#include "plugin/identity/FourCharCode.h"

#include <cstring>
#include <string>
#include <vector>

namespace quaverline::test
{

/** What a simulated AAX host gives a plug-in instance: its transport,
    controller, automation and MIDI node.
*/
namespace aaxhost
{

/** The chunks a host saves: the processor's state ("juce") and the SDK's
    controls ("elck").
*/
inline constexpr AAX_CTypeID stateChunkID = quaverline::fourCharCode ("juce");
inline constexpr AAX_CTypeID controlsChunkID = quaverline::fourCharCode ("elck");

/** The channels of a stem format; none for the marker of a count without one. */
inline int channelCountOf (AAX_EStemFormat format)
{
    return format == AAX_eStemFormat_INT32_MAX ? 0 : AAX_STEM_FORMAT_CHANNEL_COUNT (format);
}

/** The host's transport: what the tests set is what the play head reads. */
struct Transport final : AAX_ITransport
{
    AAX_Result GetCurrentTempo (double* bpm) const override { return answer (bpm, tempo); }
    AAX_Result GetCurrentMeter (int32_t* numerator, int32_t* denominator) const override
    {
        *numerator = 4;
        *denominator = 4;
        return fails ? -1 : 0;
    }
    AAX_Result IsTransportPlaying (bool* isPlaying) const override { return answer (isPlaying, playing); }
    AAX_Result GetCurrentNativeSampleLocation (int64_t* location) const override { return answer (location, sample); }
    AAX_Result GetTimelineSelectionStartPosition (int64_t* location) const override
    {
        return hasSelection ? answer (location, selectionStart) : -1;
    }
    AAX_Result GetCurrentTickPosition (int64_t* position) const override { return answer (position, ticks); }
    AAX_Result GetCurrentLoopPosition (bool* looping, int64_t* start, int64_t* end) const override
    {
        *looping = false;
        *start = *end = 0;
        return fails ? -1 : 0;
    }
    AAX_Result GetTimeCodeInfo (AAX_EFrameRate* rate, int32_t* offset) const override
    {
        if (fails || timeCodeRate == 0)
            return -1;

        *rate = static_cast<AAX_EFrameRate> (timeCodeRate);
        *offset = timeCodeOffset;
        return 0;
    }

    template <typename T>
    AAX_Result answer (T* destination, T value) const
    {
        if (fails)
            return -1;

        *destination = value;
        return 0;
    }

    double tempo = 120.0;
    bool playing = false;
    int64_t sample = 0, selectionStart = 0, ticks = 0;
    bool hasSelection = true;
    int32_t timeCodeRate = 0; // 0: the host gives no time code
    int32_t timeCodeOffset = 0;
    bool fails = false;
};

/** The MIDI packets the host delivers in the next callback. */
struct MidiNode final : AAX_IMIDINode
{
    AAX_CMidiStream* GetNodeBuffer() override
    {
        stream.mBuffer = packets.data();
        stream.mBufferSize = static_cast<uint32_t> (packets.size());
        return &stream;
    }

    AAX_Result PostMIDIPacket (AAX_CMidiPacket*) override
    {
        ++postedPackets;
        return 0;
    }

    std::vector<AAX_CMidiPacket> packets;
    AAX_CMidiStream stream;
    int postedPackets = 0;
};

/** What the host gives one instance besides its transport: the controller
    (rate, stems, latency, packets) and the automation, which records requests.
*/
class HostLinks : public AAX_IController, public AAX_IAutomationDelegate
{
public:
    explicit HostLinks (AAX_EStemFormat stem)
        : stemFormat (stem)
    {
    }

    AAX_Result GetSampleRate (float* rate) const override
    {
        *rate = sampleRate;
        return 0;
    }

    AAX_Result GetInputStemFormat (AAX_EStemFormat* format) const override
    {
        *format = stemFormat;
        return 0;
    }

    AAX_Result GetOutputStemFormat (AAX_EStemFormat* format) const override
    {
        *format = stemFormat;
        return 0;
    }

    AAX_Result SetSignalLatency (int32_t samples) override
    {
        latency = samples;
        ++latencyReports;
        return 0;
    }

    AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) override
    {
        if (field == 3 && size == sizeof (bypass))
            std::memcpy (&bypass, data, size);

        return 0;
    }

    AAX_Result PostTouchRequest (AAX_CParamID id) override
    {
        requests.push_back ("touch " + std::string (id));
        return 0;
    }

    AAX_Result PostReleaseRequest (AAX_CParamID id) override
    {
        requests.push_back ("release " + std::string (id));
        return 0;
    }

    AAX_Result PostSetValueRequest (AAX_CParamID id, double value) override
    {
        requests.push_back ("set " + std::string (id) + " " + std::to_string (value));
        return 0;
    }

    AAX_EStemFormat stemFormat;
    float sampleRate = 48000.0f;
    Transport transport;
    int32_t bypass = 0, latency = -1, latencyReports = 0;
    std::vector<std::string> requests;
};

} // namespace aaxhost

} // namespace quaverline::test
