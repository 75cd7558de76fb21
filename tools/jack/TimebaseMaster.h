#pragma once

#include "tools/common/ClockOptions.h"

#include <jack/types.h>

#include <atomic>
#include <cstdint>

namespace quaverline
{

/** What quaverline-jack tells JACK's other clients as timebase master: bar,
    beat and tick (to the double-resolution tick) from the frame, at a tempo
    that may change while the transport rolls and a fixed meter.

    A tempo change takes effect at the frame where the master learns of it;
    the beats before it stay where they were. A relocation to a frame before
    the last change counts from frame 0 at the tempo of now.
*/
class TimebaseMaster
{
public:
    static constexpr double ticksPerBeat = 1920.0;

    TimebaseMaster (Meter meterToUse, double beatsPerMinute) noexcept;

    /** From any thread; the audio thread uses it from its next cycle. Tempos
        are kept within the tools' range.
    */
    void setTempo (double beatsPerMinute) noexcept;
    double getTempo() const noexcept { return tempo.load (std::memory_order_relaxed); }

    const Meter& getMeter() const noexcept { return meter; }

    /** Fills in the bar, beat and tick for position.frame: JACK's timebase
        callback, on the audio thread. The sample rate is the client's: JACK
        does not fill in the position's own while it relocates.
    */
    void fill (jack_position_t& position, double sampleRate) noexcept;

private:
    double beatsAt (jack_nframes_t frame, double sampleRate) const noexcept;

    const Meter meter;
    std::atomic<double> tempo;

    // Where the tempo of the last change took over; the audio thread's own.
    jack_nframes_t anchorFrame = 0;
    double anchorBeats = 0.0;
    double anchorTempo;
};

} // namespace quaverline
