#include "tools/jack/TimebaseMaster.h"

#include "engine/MusicalTime.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

namespace
{
/** The tempos a user can set, whatever reaches the master. */
double soundTempo (double beatsPerMinute) noexcept
{
    return std::isnan (beatsPerMinute) ? 120.0 : std::clamp (beatsPerMinute, lowestTempo, highestTempo);
}

// Beyond this many beats from frame 0 the bar would not fit JACK's field.
constexpr double latestBeat = 1.0e9;
} // namespace

TimebaseMaster::TimebaseMaster (Meter meterToUse, double beatsPerMinute) noexcept
    : meter (meterToUse)
    , tempo (soundTempo (beatsPerMinute))
    , anchorTempo (soundTempo (beatsPerMinute))
{
}

void TimebaseMaster::setTempo (double beatsPerMinute) noexcept
{
    tempo.store (soundTempo (beatsPerMinute), std::memory_order_relaxed);
}

double TimebaseMaster::beatsAt (jack_nframes_t frame, double sampleRate) const noexcept
{
    const double frames = double (int64_t (frame) - int64_t (anchorFrame));
    return anchorBeats + frames * anchorTempo / (musicalTime::secondsPerMinute * sampleRate);
}

void TimebaseMaster::fill (jack_position_t& position, double sampleRate) noexcept
{
    if (! (sampleRate > 0.0) || ! std::isfinite (sampleRate))
        return;

    if (position.frame < anchorFrame)
    {
        anchorFrame = 0;
        anchorBeats = 0.0;
    }

    if (const auto now = tempo.load (std::memory_order_relaxed); now != anchorTempo)
    {
        anchorBeats = beatsAt (position.frame, sampleRate);
        anchorFrame = position.frame;
        anchorTempo = now;
    }

    const double beats = std::clamp (beatsAt (position.frame, sampleRate), 0.0, latestBeat);
    const double wholeBeats = std::floor (beats);
    const double bars = std::floor (wholeBeats / meter.numerator);

    position.valid = jack_position_bits_t (JackPositionBBT | JackTickDouble);
    position.bar = int32_t (bars) + 1;
    position.beat = int32_t (wholeBeats - bars * meter.numerator) + 1;
    position.tick_double = (beats - wholeBeats) * ticksPerBeat;
    position.tick = int32_t (position.tick_double);
    position.bar_start_tick = bars * meter.numerator * ticksPerBeat;
    position.beats_per_bar = float (meter.numerator);
    position.beat_type = float (meter.denominator);
    position.ticks_per_beat = ticksPerBeat;
    position.beats_per_minute = anchorTempo;
}

} // namespace quaverline
