#include "tools/jack/JackTransportReader.h"

#include "engine/MusicalTime.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quaverline
{

namespace
{
/** Bar, beat and tick as quarter notes from frame 0. */
struct BarBeatTick
{
    double bpm = 0.0; // quarter notes per minute
    double position = 0.0;
    double barStart = 0.0;
    double tick = 0.0; // one tick, in quarter notes
    int numerator = 0;
    int denominator = 0;
};

bool isPositiveAndFinite (double value) noexcept
{
    return std::isfinite (value) && value > 0.0;
}

int nearestInt (double value) noexcept
{
    constexpr double largest = std::numeric_limits<int>::max();
    return int (std::lround (std::fmin (std::fmax (value, -largest), largest)));
}

/** The bar, beat and tick fields as quarter notes, if the master gave them and
    they describe a position at all.
*/
std::optional<BarBeatTick> barBeatTick (const jack_position_t& position, double sampleRate) noexcept
{
    const auto valid = validBits (position);

    if ((valid & JackPositionBBT) == 0)
        return std::nullopt;

    const double beatsPerBar = position.beats_per_bar;
    const double beatType = position.beat_type;
    const double ticksPerBeat = position.ticks_per_beat;
    const double tick = (valid & JackTickDouble) != 0 ? position.tick_double : double (position.tick);

    if (! isPositiveAndFinite (beatsPerBar) || ! isPositiveAndFinite (beatType) ||
        ! isPositiveAndFinite (ticksPerBeat) || ! isPositiveAndFinite (position.beats_per_minute) || position.bar < 1 ||
        position.beat < 1 || ! std::isfinite (tick) || tick < 0.0)
        return std::nullopt;

    // Many masters leave the bar's start tick at zero; then it is the bars so far.
    double barStartTick = (position.bar - 1.0) * beatsPerBar * ticksPerBeat;

    if (position.bar > 1 && isPositiveAndFinite (position.bar_start_tick))
        barStartTick = position.bar_start_tick;

    const double quarterNotesPerBeat = 4.0 / beatType;
    BarBeatTick result;
    result.bpm = position.beats_per_minute * quarterNotesPerBeat;
    result.barStart = barStartTick / ticksPerBeat * quarterNotesPerBeat;
    result.position = (barStartTick + (position.beat - 1.0) * ticksPerBeat + tick) / ticksPerBeat * quarterNotesPerBeat;
    result.tick = quarterNotesPerBeat / ticksPerBeat;
    result.numerator = nearestInt (beatsPerBar);
    result.denominator = nearestInt (beatType);

    // The fields may describe a frame some way before this cycle's first.
    if ((valid & JackBBTFrameOffset) != 0 && sampleRate > 0.0)
        result.position += double (position.bbt_offset) * musicalTime::quarterNotesPerSample (result.bpm, sampleRate);

    if (! std::isfinite (result.position) || ! std::isfinite (result.barStart))
        return std::nullopt;

    return result;
}
} // namespace

uint32_t validBits (const jack_position_t& position) noexcept
{
    uint32_t bits = 0;
    static_assert (sizeof (bits) == sizeof (position.valid));
    std::memcpy (&bits, &position.valid, sizeof (bits));
    return bits;
}

JackTransportReader::JackTransportReader (double tempoOfFrames) noexcept
    : frameTempo (tempoOfFrames)
{
}

SyncTransport JackTransportReader::read (jack_transport_state_t state,
                                         const jack_position_t& position,
                                         jack_nframes_t numFrames,
                                         double sampleRate) noexcept
{
    const bool rolling = state == JackTransportRolling || state == JackTransportLooping;
    SyncTransport result;
    const auto fields = barBeatTick (position, sampleRate);

    if (! fields)
    {
        continuing = false;
        HostPosition host;
        host.isPlaying = rolling;
        host.bpm = frameTempo;
        host.timeInSamples = position.frame;
        result.transport = follower.follow (host, int (numFrames), sampleRate);
        return result;
    }

    double quarterNotes = fields->position;
    const double rate = sampleRate > 0.0 ? musicalTime::quarterNotesPerSample (fields->bpm, sampleRate) : 0.0;

    if ((validBits (position) & JackTickDouble) == 0 && continuing && rolling)
    {
        // Whole ticks lag the true position by up to a tick. Where the report is
        // that close to where the last cycle leads (frames skipped in an xrun
        // included), go on from there, moving up to the report when it is ahead.
        const double skipped = double (int64_t (position.frame) - int64_t (nextFrame));
        const double expected = nextPosition + skipped * rate;
        const double ahead = quarterNotes - expected;
        const double tolerance = 1.01 * fields->tick; // a tick, and the master's rounding

        if (std::abs (ahead) < tolerance)
            quarterNotes = std::max (quarterNotes, expected);
    }

    result.transport = { rolling, fields->bpm, quarterNotes };
    result.hasBarStart = true;
    result.barStartPosition = fields->barStart;
    result.numerator = fields->numerator;
    result.denominator = fields->denominator;

    continuing = rolling;
    nextFrame = position.frame + numFrames;
    nextPosition = quarterNotes + double (numFrames) * rate;

    return result;
}

} // namespace quaverline
