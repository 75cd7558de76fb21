#include "tools/jack/ClockCycle.h"

#include "engine/MusicalTime.h"

#include <algorithm>

namespace quaverline
{

ClockCycle::ClockCycle (const JackOptions& options)
    : syncSettings (options.sync ? std::optional (syncParameters::settingsFrom (*options.sync)) : std::nullopt)
    , timeSignatureIndex (uint8_t (options.timeSignatureIndex))
    , reader (options.bpm)
{
}

void ClockCycle::render (float* left,
                         float* right,
                         jack_transport_state_t state,
                         const jack_position_t& position,
                         jack_nframes_t numFrames,
                         double sampleRate) noexcept
{
    if (sampleRate != renderedSampleRate)
    {
        classicClock.setSampleRate (sampleRate);
        syncClock.setSampleRate (sampleRate);
        renderedSampleRate = sampleRate;
    }

    const auto transport = reader.read (state, position, numFrames, sampleRate);
    const auto length = int (numFrames);

    if (syncSettings)
    {
        syncClock.render (left, right, length, transport, *syncSettings);
    }
    else
    {
        classicClock.render (left, length, transport.transport, timeSignatureIndex);
        std::copy (left, left + length, right);
    }
}

int ClockCycle::pulsesPerQuarterNote() const noexcept
{
    return syncSettings ? syncSettings->pulsesPerQuarterNote : musicalTime::ticksPerQuarterNote;
}

} // namespace quaverline
