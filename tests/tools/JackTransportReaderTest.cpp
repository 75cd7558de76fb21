#include "tools/jack/JackTransportReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace quaverline::test
{

namespace
{
constexpr double sampleRate = 48000.0;

/** A position as a master with bar, beat and tick gives it. */
jack_position_t barBeatTick (int32_t bar, int32_t beat, double tick, float beatsPerBar = 4.0f, float beatType = 4.0f)
{
    jack_position_t position {};
    position.frame_rate = jack_nframes_t (sampleRate);
    position.valid = jack_position_bits_t (JackPositionBBT | JackTickDouble);
    position.bar = bar;
    position.beat = beat;
    position.tick = int32_t (tick);
    position.tick_double = tick;
    position.beats_per_bar = beatsPerBar;
    position.beat_type = beatType;
    position.ticks_per_beat = 1920.0;
    position.beats_per_minute = 120.0;
    return position;
}

/** What a master with whole ticks reports at a frame, 120 bpm in 4/4. */
jack_position_t wholeTicksAt (jack_nframes_t frame)
{
    const double beats = frame / 24000.0;
    const auto wholeBeats = int32_t (std::floor (beats));
    auto position = barBeatTick (wholeBeats / 4 + 1, wholeBeats % 4 + 1, std::floor ((beats - wholeBeats) * 1920.0));
    position.valid = JackPositionBBT;
    position.frame = frame;
    return position;
}
} // namespace

TEST (JackTransportReader, TakesThePositionAndBarFromBarBeatAndTick)
{
    JackTransportReader reader (100.0);
    auto position = barBeatTick (3, 2, 960.0);
    position.frame = 12345;
    const auto read = reader.read (JackTransportRolling, position, 512, sampleRate);

    EXPECT_TRUE (read.transport.isRunning);
    EXPECT_EQ (read.transport.bpm, 120.0);
    EXPECT_EQ (read.transport.ppqPosition, 9.5);
    EXPECT_TRUE (read.hasBarStart);
    EXPECT_EQ (read.barStartPosition, 8.0);
    EXPECT_EQ (read.numerator, 4);
    EXPECT_EQ (read.denominator, 4);
}

TEST (JackTransportReader, ReadsBitsNoJackVersionNames)
{
    // Found by fuzzing: a master may set any bits, which are no value of the enum.
    auto position = barBeatTick (2, 1, 0.0);
    const uint32_t bits = JackPositionBBT | JackTickDouble | 0x1000000u;
    std::memcpy (&position.valid, &bits, sizeof (bits));

    JackTransportReader reader (100.0);
    EXPECT_EQ (validBits (position), bits);
    EXPECT_EQ (reader.read (JackTransportRolling, position, 512, sampleRate).transport.ppqPosition, 4.0);
}

TEST (JackTransportReader, CountsTheMetersBeats)
{
    struct Case
    {
        const char* name;
        jack_position_t position;
        double bpm, ppqPosition, barStart;
        int numerator, denominator;
    };

    auto sixEight = barBeatTick (2, 4, 0.0, 6.0f, 8.0f);
    auto barStartGiven = barBeatTick (3, 1, 0.0, 7.0f, 8.0f);
    barStartGiven.bar_start_tick = 11.0 * 1920.0; // a bar of 4/4 and one of 7/8 before
    auto offset = barBeatTick (1, 1, 0.0);
    offset.valid = jack_position_bits_t (offset.valid | JackBBTFrameOffset);
    offset.bbt_offset = 2400;

    const Case cases[] {
        { "6/8: eighth-note beats", sixEight, 60.0, 4.5, 3.0, 6, 8 },
        { "the bar's start tick where given", barStartGiven, 60.0, 5.5, 5.5, 7, 8 },
        { "fields from a frame before the cycle", offset, 120.0, 0.1, 0.0, 4, 4 },
    };

    for (const auto& test : cases)
    {
        SCOPED_TRACE (test.name);
        JackTransportReader reader (100.0);
        const auto read = reader.read (JackTransportRolling, test.position, 512, sampleRate);
        EXPECT_DOUBLE_EQ (read.transport.bpm, test.bpm);
        EXPECT_DOUBLE_EQ (read.transport.ppqPosition, test.ppqPosition);
        EXPECT_DOUBLE_EQ (read.barStartPosition, test.barStart);
        EXPECT_EQ (read.numerator, test.numerator);
        EXPECT_EQ (read.denominator, test.denominator);
    }
}

TEST (JackTransportReader, FollowsTheFrameWithoutBarBeatAndTickOrWithFieldsNoMasterCouldMean)
{
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<jack_position_t> positions (8, barBeatTick (2, 1, 0.0));
    positions[0].valid = jack_position_bits_t (0);
    positions[1].beats_per_minute = nan;
    positions[2].beat_type = 0.0f;
    positions[3].ticks_per_beat = -1920.0;
    positions[4].bar = 0;
    positions[5].beat = std::numeric_limits<int32_t>::min();
    positions[6].tick_double = -1.0;
    positions[7].beats_per_bar = std::numeric_limits<float>::infinity();

    for (size_t index = 0; index < positions.size(); ++index)
    {
        SCOPED_TRACE (index);
        positions[index].frame = 48000;
        JackTransportReader reader (90.0);
        const auto read = reader.read (JackTransportRolling, positions[index], 256, sampleRate);
        EXPECT_TRUE (read.transport.isRunning);
        EXPECT_EQ (read.transport.bpm, 90.0);
        EXPECT_DOUBLE_EQ (read.transport.ppqPosition, 1.5);
        EXPECT_FALSE (read.hasBarStart);
    }

    JackTransportReader reader (90.0);
    EXPECT_FALSE (reader.read (JackTransportStarting, positions[0], 256, sampleRate).transport.isRunning);
    EXPECT_FALSE (reader.read (JackTransportStopped, positions[0], 256, sampleRate).transport.isRunning);
}

TEST (JackTransportReader, KeepsTheSpacingOfAMasterWithWholeTicksAndClosesInOnItsPosition)
{
    // Relocated to a frame between ticks: the first report is most of a tick
    // late. Each later cycle goes on evenly, never behind the report, never
    // ahead of the truth, and after a while within a sample of it (at 1024
    // frames, 81.92 ticks a cycle, the reports' fractions of a tick come back
    // after 25 cycles).
    constexpr jack_nframes_t start = 158437, period = 1024;
    constexpr double samplePerQuarterNote = 1.0 / 24000.0;
    JackTransportReader reader (120.0);
    double last = 0.0;

    for (jack_nframes_t cycle = 0; cycle < 40; ++cycle)
    {
        SCOPED_TRACE (cycle);
        const auto frame = start + cycle * period;
        const auto report = wholeTicksAt (frame);
        const auto read = reader.read (JackTransportRolling, report, period, sampleRate);
        const double position = read.transport.ppqPosition;
        const double truth = frame * samplePerQuarterNote;
        const double reported = ((report.bar - 1) * 4 + report.beat - 1) + report.tick / 1920.0;

        EXPECT_GE (position, reported - 1.0e-12);
        EXPECT_LE (position, truth + 1.0e-9);

        if (cycle > 0)
        {
            EXPECT_GE (position - last, period * samplePerQuarterNote - 1.0e-12);
        }

        if (cycle >= 26)
        {
            EXPECT_NEAR (position, truth, samplePerQuarterNote);
        }

        last = position;
    }

    // Cycles lost in an xrun: the position goes on over the frames skipped.
    const jack_nframes_t afterXrun = start + 43 * period;
    const auto resumed = reader.read (JackTransportRolling, wholeTicksAt (afterXrun), period, sampleRate);
    EXPECT_NEAR (resumed.transport.ppqPosition, afterXrun * samplePerQuarterNote, samplePerQuarterNote);

    // A jump of more than a tick is a relocation: the report is taken as it is.
    const auto relocated = wholeTicksAt (480000);
    EXPECT_EQ (reader.read (JackTransportRolling, relocated, period, sampleRate).transport.ppqPosition, 20.0);
}

} // namespace quaverline::test
