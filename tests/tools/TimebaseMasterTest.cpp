#include "tools/jack/TimebaseMaster.h"
#include "tools/jack/JackTransportReader.h"
#include "tools/jack/TapTempo.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quaverline::test
{

namespace
{
constexpr double sampleRate = 48000.0;

jack_position_t filledAt (TimebaseMaster& master, jack_nframes_t frame)
{
    jack_position_t position {};
    position.frame = frame;
    master.fill (position, sampleRate);
    return position;
}

/** The beats from frame 0 that the fields give. */
double beatsOf (const jack_position_t& position)
{
    return (position.bar - 1) * double (position.beats_per_bar) + position.beat - 1 +
           position.tick_double / position.ticks_per_beat;
}
} // namespace

TEST (TimebaseMaster, GivesBarBeatAndTickAtItsTempoAndMeter)
{
    TimebaseMaster master ({ 3, 4 }, 90.0);
    const auto position = filledAt (master, 100000);

    EXPECT_EQ (position.valid, JackPositionBBT | JackTickDouble);
    EXPECT_EQ (position.beats_per_minute, 90.0);
    EXPECT_EQ (position.beats_per_bar, 3.0f);
    EXPECT_EQ (position.beat_type, 4.0f);
    EXPECT_EQ (position.bar, 2); // 3.125 beats in
    EXPECT_EQ (position.beat, 1);
    EXPECT_NEAR (position.tick_double, 240.0, 1.0e-9);
    EXPECT_EQ (position.tick, 240);
    EXPECT_EQ (position.bar_start_tick, 3 * 1920.0);

    // Read back as a follower reads it: quarter notes from frame 0.
    JackTransportReader reader (120.0);
    EXPECT_NEAR (reader.read (JackTransportRolling, position, 256, sampleRate).transport.ppqPosition, 3.125, 1.0e-12);
}

TEST (TimebaseMaster, ChangesTempoWhereItIsAndCountsARelocationBeforeThatFromZero)
{
    TimebaseMaster master ({ 4, 4 }, 120.0);
    filledAt (master, 0);
    master.setTempo (60.0);

    // 2 beats at 120 bpm to frame 48000, then one a second.
    EXPECT_NEAR (beatsOf (filledAt (master, 48000)), 2.0, 1.0e-12);
    EXPECT_NEAR (beatsOf (filledAt (master, 96000)), 3.0, 1.0e-12);
    EXPECT_NEAR (beatsOf (filledAt (master, 24000)), 0.5, 1.0e-12);
}

TEST (TimebaseMaster, KeepsItsFieldsSoundForAnyTempoFrameAndRate)
{
    // Found by fuzzing: the bar of a late frame at a low rate overflowed.
    const double tempos[] { std::nan (""), 1.0e300, -5.0, 0.0 };

    for (const double tempo : tempos)
    {
        SCOPED_TRACE (tempo);
        TimebaseMaster master ({ 7, 8 }, tempo);
        master.setTempo (tempo);
        jack_position_t position {};
        position.frame = 0xffffffff;
        master.fill (position, 1.0);

        EXPECT_GE (position.beats_per_minute, 1.0);
        EXPECT_LE (position.beats_per_minute, 999.0);
        EXPECT_GE (position.bar, 1);
        EXPECT_GE (position.beat, 1);
        EXPECT_LE (position.beat, 7);
        EXPECT_GE (position.tick, 0);
    }
}

TEST (TapTempo, TakesTheMeanOfTheLastIntervals)
{
    TapTempo taps;
    EXPECT_FALSE (taps.tap (10.0).has_value());
    EXPECT_DOUBLE_EQ (*taps.tap (10.5), 120.0);
    EXPECT_DOUBLE_EQ (*taps.tap (11.1), 60.0 / 0.55);

    // More than two seconds: a new count.
    EXPECT_FALSE (taps.tap (14.0).has_value());
    EXPECT_DOUBLE_EQ (*taps.tap (14.001), 999.0);
}

} // namespace quaverline::test
