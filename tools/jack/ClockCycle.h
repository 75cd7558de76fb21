#pragma once

#include "engine/ClockRenderer.h"
#include "engine/SyncClockRenderer.h"
#include "tools/jack/JackOptions.h"
#include "tools/jack/JackTransportReader.h"

#include <jack/types.h>

#include <optional>

namespace quaverline
{

/** One JACK cycle of quaverline-jack's clock, without libjack: the cycle's
    transport read as the clock needs it, and both ports rendered, by
    Quaverline Sync's engine or by the classic clock (its signal on both).

    Real-time safe: render() allocates nothing, takes no lock and throws nothing.
*/
class ClockCycle
{
public:
    explicit ClockCycle (const JackOptions& options);

    void render (float* left,
                 float* right,
                 jack_transport_state_t state,
                 const jack_position_t& position,
                 jack_nframes_t numFrames,
                 double sampleRate) noexcept;

    /** Quaverline Sync's settings; nothing for the classic clock. */
    const std::optional<SyncSettings>& getSyncSettings() const noexcept { return syncSettings; }

    /** The clock's resolution: Quaverline Sync's, or the classic clock's. */
    int pulsesPerQuarterNote() const noexcept;

private:
    const std::optional<SyncSettings> syncSettings;
    const uint8_t timeSignatureIndex;
    ClockRenderer classicClock;
    SyncClockRenderer syncClock;
    JackTransportReader reader;
    double renderedSampleRate = 0.0;
};

} // namespace quaverline
