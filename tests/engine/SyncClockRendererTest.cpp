// Quaverline Sync's renderer: the classic clock's samples with the classic
// settings, and what each setting does to the pulses, the right output and
// the idle signal.

#include "engine/SyncClockRenderer.h"
#include "engine/ClockRenderer.h"
#include "engine/MusicalTime.h"
#include "engine/SyncParameters.h"
#include "tests/support/RandomScenarios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quaverline::test
{

namespace
{
/** A transport that rolls from a start position at one tempo, in blocks. */
struct Rolling
{
    double sampleRate = 48000.0;
    double bpm = 120.0;
    double start = 0.0;
    int numSamples = 48000;
    int blockSize = 512;
    int numerator = 4;
    int denominator = 4;
    bool hostReportsBar = true;
};

struct Rendered
{
    std::vector<float> left, right;
};

Rendered render (const SyncSettings& settings, const Rolling& rolling, SyncClockRenderer& renderer)
{
    renderer.setSampleRate (rolling.sampleRate);
    Rendered out { std::vector<float> (size_t (rolling.numSamples)), std::vector<float> (size_t (rolling.numSamples)) };

    for (int done = 0; done < rolling.numSamples; done += rolling.blockSize)
    {
        const int size = std::min (rolling.blockSize, rolling.numSamples - done);
        SyncTransport host;
        host.transport = { true,
                           rolling.bpm,
                           rolling.start + musicalTime::quarterNotesIn (done, rolling.bpm, rolling.sampleRate) };

        if (rolling.hostReportsBar)
        {
            const double barLength = rolling.numerator * 4.0 / rolling.denominator;
            host.hasBarStart = true;
            host.barStartPosition = std::floor (host.transport.ppqPosition / barLength) * barLength;
            host.numerator = rolling.numerator;
            host.denominator = rolling.denominator;
        }

        renderer.render (out.left.data() + done, out.right.data() + done, size, host, settings);
    }

    return out;
}

Rendered render (const SyncSettings& settings, const Rolling& rolling)
{
    SyncClockRenderer renderer;
    return render (settings, rolling, renderer);
}

/** Where the pulses start: the samples that rise past half of the level. */
std::vector<int64_t> pulseStarts (const std::vector<float>& signal, float level = 0.3f)
{
    std::vector<int64_t> starts;

    for (size_t i = 0; i < signal.size(); ++i)
        if (std::abs (signal[i]) > level && (i == 0 || std::abs (signal[i - 1]) <= level))
            starts.push_back (int64_t (i));

    return starts;
}

/** The length of the pulse that starts at a sample. */
int64_t pulseWidth (const std::vector<float>& signal, int64_t start, float level = 0.3f)
{
    auto end = size_t (start);
    while (end < signal.size() && std::abs (signal[end]) > level)
        ++end;
    return int64_t (end) - start;
}

SyncSettings classicSettings (int barIndex)
{
    SyncSettings settings;
    settings.barIndex = barIndex;
    return settings;
}
} // namespace

TEST (SyncClockRenderer, ClassicSettingsGiveTheClassicClockOnBothOutputs)
{
    std::mt19937_64 random (202612101);
    const int scenarios = sweepScenarios() / 10;

    for (int n = 0; n < scenarios; ++n)
    {
        const auto scenario = randomScenario (random);
        const auto settings = classicSettings (scenario.timeSignatureIndex);
        ClockRenderer classic;
        SyncClockRenderer sync;
        classic.setSampleRate (scenario.sampleRate);
        sync.setSampleRate (scenario.sampleRate);

        for (const auto& block : scenario.blocks)
        {
            std::vector<float> expected (size_t (block.numSamples)), left (expected.size()), right (expected.size());
            classic.render (expected.data(), block.numSamples, block.transport, scenario.timeSignatureIndex);
            sync.render (left.data(), right.data(), block.numSamples, { block.transport }, settings);

            ASSERT_EQ (std::memcmp (left.data(), expected.data(), expected.size() * sizeof (float)), 0)
                << "scenario " << n;
            ASSERT_EQ (std::memcmp (right.data(), expected.data(), expected.size() * sizeof (float)), 0)
                << "scenario " << n;
        }
    }
}

TEST (SyncClockRenderer, ResolutionSetsTheSpacing)
{
    for (const int ppqn : syncParameters::resolutions)
        for (const double bpm : { 60.0, 120.0, 174.0 })
            for (const double sampleRate : { 44100.0, 96000.0 })
            {
                SyncSettings settings;
                settings.pulsesPerQuarterNote = ppqn;
                settings.shape = SyncShape::square;
                settings.widthMs = 0.5;
                const auto starts =
                    pulseStarts (render (settings, { sampleRate, bpm, 0.0, int (sampleRate) * 2 }).left);
                const double spacing = sampleRate * 60.0 / (bpm * ppqn);

                ASSERT_GE (starts.size(), 2u) << ppqn << " PPQN at " << bpm << " bpm";
                EXPECT_EQ (starts.front(), 0);
                // Each pulse is on the first sample at or past its tick.
                const double intervals = double (starts.size() - 1);
                EXPECT_NEAR (double (starts.back() - starts.front()) / intervals, spacing, 1.001 / intervals)
                    << ppqn << " PPQN at " << bpm << " bpm";
            }
}

TEST (SyncClockRenderer, SquareWidthInSamplesAndTheHalfwayCap)
{
    const struct
    {
        double sampleRate;
        double widthMs;
        int ppqn;
        int64_t samples;
    } cases[] = {
        { 44100.0, 5.0, 24, 221 }, // 220.5 rounds up
        { 48000.0, 5.0, 24, 240 }, { 96000.0, 5.0, 24, 480 },  { 192000.0, 5.0, 24, 960 },
        { 48000.0, 0.5, 96, 24 },  { 48000.0, 50.0, 96, 125 }, // ticks 250 samples apart: ends halfway
        { 48000.0, 15.0, 2, 720 },
    };

    for (const auto& c : cases)
    {
        SyncSettings settings;
        settings.pulsesPerQuarterNote = c.ppqn;
        settings.shape = SyncShape::square;
        settings.widthMs = c.widthMs;
        const auto left = render (settings, { c.sampleRate, 120.0, 0.0, int (c.sampleRate) }).left;
        const auto starts = pulseStarts (left);

        ASSERT_GE (starts.size(), 2u);
        EXPECT_EQ (pulseWidth (left, starts[1]), c.samples) << c.widthMs << " ms at " << c.sampleRate << " Hz";
    }
}

TEST (SyncClockRenderer, LevelAndPolarityScaleThePulse)
{
    for (const bool negative : { false, true })
        for (const float levelDb : { -24.0f, -6.0f, 0.0f })
            for (const auto shape : { SyncShape::classic, SyncShape::square })
            {
                SyncSettings settings;
                settings.levelDb = levelDb;
                settings.negativePolarity = negative;
                settings.shape = shape;
                const auto left = render (settings, { 48000.0, 120.0, 0.0, 4800 }).left;
                const auto [lowest, highest] = std::minmax_element (left.begin(), left.end());
                const float peak =
                    float (std::pow (10.0, levelDb / 20.0)) * (shape == SyncShape::classic ? 0.99f : 1.0f);

                EXPECT_NEAR (negative ? -*lowest : *highest, peak, 1.0e-6f) << levelDb << " dB";
                EXPECT_LE (negative ? *highest : -*lowest, 0.001f);
            }
}

TEST (SyncClockRenderer, OffsetMovesEveryPulseAndKeepsTheDownbeatAtAStart)
{
    const Rolling midSong { 48000.0, 120.0, 7.9, 48000 };
    const auto onTime = pulseStarts (render ({}, midSong).left);

    for (const double offsetMs : { -10.0, -1.0, 3.0, 10.0 })
    {
        SyncSettings settings;
        settings.offsetMs = offsetMs;
        const auto moved = pulseStarts (render (settings, midSong).left);
        const auto shift = int64_t (std::llround (offsetMs * 48.0));

        ASSERT_GE (moved.size(), 20u);
        // The lock-on is at the same bar; the pulses after it move by the offset.
        for (size_t k = 5; k < 20; ++k)
            EXPECT_NEAR (double (moved[k]), double (onTime[k] + shift), 1.0) << offsetMs << " ms, pulse " << k;
    }

    // Started at the downbeat, an earlier clock still sends the downbeat's
    // pulse (at once), then the next ones early.
    SyncSettings early;
    early.offsetMs = -10.0;
    const auto fromStart = pulseStarts (render (early, { 48000.0, 120.0, 0.0, 4800 }).left);
    ASSERT_GE (fromStart.size(), 2u);
    EXPECT_EQ (fromStart[0], 0);
    EXPECT_NEAR (double (fromStart[1]), 1000.0 - 480.0, 1.0);

    // A later clock waits for its pre-roll to pass.
    SyncSettings late;
    late.offsetMs = 10.0;
    EXPECT_NEAR (double (pulseStarts (render (late, { 48000.0, 120.0, 0.0, 4800 }).left).front()), 480.0, 1.0);
}

TEST (SyncClockRenderer, StartModesLockOnWhereTheyPromise)
{
    // From 1.5 quarter notes into a 4/4 bar at 120 bpm (24000 samples a quarter note).
    const Rolling midBar { 48000.0, 120.0, 1.5, 96000 };
    const struct
    {
        SyncStart start;
        int64_t firstPulse;
    } cases[] = {
        { SyncStart::nextBar, 60000 },  // 2.5 quarter notes on
        { SyncStart::nextBeat, 12000 }, // half a quarter note on
        { SyncStart::atOnce, 0 },       // on a tick already
    };

    for (const auto& c : cases)
    {
        SyncSettings settings;
        settings.start = c.start;
        EXPECT_NEAR (double (pulseStarts (render (settings, midBar).left).front()), double (c.firstPulse), 1.0)
            << int (c.start);
    }

    // At 2 PPQN there is no tick on the sixteenth to catch up from: the next bar
    // it is. At 4 PPQN the tick on the sixteenth catches up.
    SyncSettings coarse;
    coarse.pulsesPerQuarterNote = 2;
    EXPECT_NEAR (double (pulseStarts (render (coarse, { 48000.0, 120.0, 0.25, 96000 }).left).front()), 90000.0, 1.0);
    coarse.pulsesPerQuarterNote = 4;
    const auto catchingUp = pulseStarts (render (coarse, { 48000.0, 120.0, 0.25, 96000 }).left);
    ASSERT_GE (catchingUp.size(), 4u);
    EXPECT_NEAR (double (catchingUp[1] - catchingUp[0]), 3000.0, 1.0); // twice the rate
    EXPECT_NEAR (double (catchingUp[2] - catchingUp[1]), 3000.0, 1.0);
    EXPECT_NEAR (double (catchingUp[3] - catchingUp[2]), 6000.0, 1.0); // on time from the eighth
}

TEST (SyncClockRenderer, RightOutputRoles)
{
    const Rolling fourBars { 48000.0, 120.0, 0.0, 4 * 96000 };

    SyncSettings run;
    run.right = SyncRightOutput::run;
    const auto running = render (run, fourBars);
    EXPECT_TRUE (std::all_of (running.right.begin(), running.right.end(), [] (float x) { return x == 0.95f; }));

    SyncSettings bar;
    bar.right = SyncRightOutput::bar;
    const auto bars = render (bar, fourBars);
    const auto barStarts = pulseStarts (bars.right);
    const auto clockStarts = pulseStarts (bars.left);
    // At the bar line, to the sample as positions add up; the clock's tick,
    // the float value of 1/24, may put the downbeat's pulse a sample apart.
    ASSERT_EQ (barStarts.size(), 4u);
    for (size_t k = 0; k < barStarts.size(); ++k)
    {
        EXPECT_NEAR (double (barStarts[k]), double (k) * 96000.0, 1.0);
        EXPECT_NEAR (double (barStarts[k]), double (clockStarts[k * 96]), 1.0);
    }

    // In 3/4 from the host, a bar pulse every three quarter notes.
    auto threeFour = fourBars;
    threeFour.numerator = 3;
    EXPECT_NEAR (double (pulseStarts (render (bar, threeFour).right)[1]), 72000.0, 1.0);

    // Stopped: the run line is low, the bar output idle.
    SyncClockRenderer renderer;
    render (run, fourBars, renderer);
    std::vector<float> left (256), right (256);
    renderer.render (left.data(), right.data(), 256, {}, run);
    EXPECT_TRUE (std::all_of (right.begin(), right.end(), [] (float x) { return std::abs (x) == 0.001f; }));
    EXPECT_EQ (renderer.getStatus(), SyncClockRenderer::Status::stopped);
}

TEST (SyncClockRenderer, BarPulsesFollowTheHostsBarChangesAndLoops)
{
    // 4/4 for the first bar, 3/4 from the second (at 4 quarter notes), then a
    // loop back to the start after 10 quarter notes; 120 bpm, 24000 samples a
    // quarter note, blocks of 500 samples.
    SyncSettings bar;
    bar.right = SyncRightOutput::bar;
    bar.pulsesPerQuarterNote = 4;
    SyncClockRenderer renderer;
    renderer.setSampleRate (48000.0);
    std::vector<float> right;
    std::vector<float> left (500), block (500);

    for (int done = 0; done < 13 * 24000; done += 500)
    {
        const double played = done / 24000.0;
        const double position = played < 10.0 ? played : played - 10.0;
        SyncTransport host;
        host.transport = { true, 120.0, position };
        host.hasBarStart = true;
        host.numerator = position < 4.0 ? 4 : 3;
        host.denominator = 4;
        host.barStartPosition = position < 4.0 ? 0.0 : 4.0 + std::floor ((position - 4.0) / 3.0) * 3.0;
        renderer.render (left.data(), block.data(), 500, host, bar);
        right.insert (right.end(), block.begin(), block.end());
    }

    const auto starts = pulseStarts (right);
    ASSERT_EQ (starts.size(), 4u);
    EXPECT_NEAR (double (starts[0]), 0.0, 1.0);
    EXPECT_NEAR (double (starts[1]), 4.0 * 24000.0, 1.0);  // the 3/4 bar starts
    EXPECT_NEAR (double (starts[2]), 7.0 * 24000.0, 1.0);  // three quarter notes on
    EXPECT_NEAR (double (starts[3]), 10.0 * 24000.0, 1.0); // the loop lands on bar 1
}

TEST (SyncClockRenderer, OneBarPulseAtEveryBarStart)
{
    // 120 bpm at 48 kHz (24000 samples a quarter note), in blocks of 480: from
    // 0.3 quarter notes into the first bar for three bars, a loop back to the
    // second bar's start, then a relocation into the middle of the fourth bar.
    // Every bar start crossed while the clock counts gets one bar pulse, on or
    // off the tick grid, and nothing else does.
    struct Meter
    {
        int numerator, denominator;
        int byHand; // the bar's time-signature index, or -1: 5/16 has none
    };

    const Meter meters[] = {
        { 4, 4, 6 }, { 3, 4, 4 }, { 6, 8, 4 }, { 7, 8, 5 }, { 5, 16, -1 },
    };

    constexpr int blockSize = 480;
    constexpr double samplesPerQuarterNote = 24000.0;

    for (const auto& meter : meters)
    {
        const double barLength = meter.numerator * 4.0 / meter.denominator;
        const struct
        {
            double start;
            int numSamples;
        } segments[] = {
            { 0.3, int (3.0 * barLength * samplesPerQuarterNote) / blockSize * blockSize },
            { barLength, int (1.5 * barLength * samplesPerQuarterNote) / blockSize * blockSize },
            { 3.5 * barLength, int (2.2 * barLength * samplesPerQuarterNote) / blockSize * blockSize },
        };

        // Where the bars start in each segment: the first sample at or past
        // each bar line.
        std::vector<int64_t> expected;
        int64_t segmentStart = 0;

        for (const auto& segment : segments)
        {
            const double end = segment.start + segment.numSamples / samplesPerQuarterNote;

            for (double line = std::ceil (segment.start / barLength) * barLength; line < end; line += barLength)
                expected.push_back (segmentStart +
                                    int64_t (std::ceil ((line - segment.start) * samplesPerQuarterNote)));

            segmentStart += segment.numSamples;
        }

        for (const int ppqn : syncParameters::resolutions)
            for (const bool byHand : { false, true })
                for (const auto start : { SyncStart::nextBar, SyncStart::nextBeat, SyncStart::atOnce })
                {
                    if (byHand && meter.byHand < 0)
                        continue;

                    SyncSettings settings;
                    settings.pulsesPerQuarterNote = ppqn;
                    settings.barIndex = byHand ? meter.byHand : -1;
                    settings.start = start;
                    settings.shape = SyncShape::square;
                    settings.widthMs = 1.0;
                    settings.right = SyncRightOutput::bar;
                    settings.idle = SyncIdle::silent;

                    SyncClockRenderer renderer;
                    renderer.setSampleRate (48000.0);
                    std::vector<float> left (blockSize), right;

                    for (const auto& segment : segments)
                        for (int done = 0; done < segment.numSamples; done += blockSize)
                        {
                            SyncTransport host;
                            host.transport = { true, 120.0, segment.start + done / samplesPerQuarterNote };
                            host.hasBarStart = true;
                            host.barStartPosition = std::floor (host.transport.ppqPosition / barLength) * barLength;
                            host.numerator = meter.numerator;
                            host.denominator = meter.denominator;
                            right.resize (right.size() + blockSize);
                            renderer.render (
                                left.data(), right.data() + right.size() - blockSize, blockSize, host, settings);
                        }

                    const auto starts = pulseStarts (right);
                    const auto where = testing::Message()
                                       << meter.numerator << "/" << meter.denominator << " at " << ppqn << " PPQN"
                                       << (byHand ? " by hand" : " from the host") << ", start mode " << int (start);
                    ASSERT_EQ (starts.size(), expected.size()) << where;

                    for (size_t k = 0; k < starts.size(); ++k)
                        EXPECT_NEAR (double (starts[k]), double (expected[k]), 1.0) << where << ", bar " << k;
                }
    }
}

TEST (SyncClockRenderer, HostBarWithoutATimeSignatureIsFourFour)
{
    SyncSettings bar;
    bar.right = SyncRightOutput::bar;
    Rolling noBar { 48000.0, 120.0, 0.0, 2 * 96000 };
    noBar.hostReportsBar = false;
    EXPECT_NEAR (double (pulseStarts (render (bar, noBar).right)[1]), 96000.0, 1.0);
}

TEST (SyncClockRenderer, ShapeChangedMidPulseEndsThePulseSoundly)
{
    // Found by the fuzzer: a 50 ms square pulse, then the classic shape while
    // it is still high, read the classic table far past its end.
    SyncSettings square;
    square.shape = SyncShape::square;
    square.widthMs = 50.0;
    square.pulsesPerQuarterNote = 1;
    square.right = SyncRightOutput::bar;

    SyncClockRenderer renderer;
    renderer.setSampleRate (48000.0);
    std::vector<float> left (512), right (512);
    SyncTransport host;
    host.transport = { true, 120.0, 0.0 };
    renderer.render (left.data(), right.data(), 512, host, square);

    auto classic = square;
    classic.shape = SyncShape::classic;
    host.transport.ppqPosition = musicalTime::quarterNotesIn (512, 120.0, 48000.0);
    renderer.render (left.data(), right.data(), 512, host, classic);

    EXPECT_TRUE (std::all_of (left.begin(), left.end(), [] (float x) { return std::abs (x) <= 0.001f; }));
    EXPECT_TRUE (std::all_of (right.begin(), right.end(), [] (float x) { return std::abs (x) <= 0.001f; }));
}

TEST (SyncClockRenderer, HostileTransportsGiveABoundedSignal)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();

    // The first found by the fuzzer: a negative tempo made the square's
    // halfway cap minus infinity.
    const struct
    {
        double sampleRate, bpm, position;
    } cases[] = {
        { 48000.0, -120.0, 1.0 }, { 48000.0, 0.0, 0.0 },   { 48000.0, nan, 0.0 },
        { 48000.0, 120.0, nan },  { 48000.0, 120.0, inf }, { 48000.0, 1.0e300, 0.0 },
        { 0.0, 120.0, 0.0 },      { -1.0, 120.0, 0.0 },    { 1.0e-300, 120.0, 0.0 },
    };

    for (const auto& c : cases)
        for (const auto shape : { SyncShape::classic, SyncShape::square })
        {
            SyncSettings settings;
            settings.shape = shape;
            settings.right = SyncRightOutput::bar;
            settings.offsetMs = -100.0;
            SyncClockRenderer renderer;
            renderer.setSampleRate (c.sampleRate);
            SyncTransport host;
            host.transport = { true, c.bpm, c.position };
            host.hasBarStart = true;
            host.barStartPosition = -c.position;
            host.numerator = 7;
            host.denominator = 3;
            std::vector<float> left (1024, 7.0f), right (1024, 7.0f);
            renderer.render (left.data(), right.data(), 1024, host, settings);

            const auto bounded = [] (float x) { return std::abs (x) <= 1.0f; };
            EXPECT_TRUE (std::all_of (left.begin(), left.end(), bounded)) << c.bpm << " bpm at " << c.sampleRate;
            EXPECT_TRUE (std::all_of (right.begin(), right.end(), bounded)) << c.bpm << " bpm at " << c.sampleRate;
        }
}

TEST (SyncClockRenderer, SilentIdleIsZero)
{
    SyncSettings silent;
    silent.idle = SyncIdle::silent;
    silent.shape = SyncShape::square;
    const auto left = render (silent, { 48000.0, 120.0, 0.5, 48000 }).left;
    EXPECT_TRUE (std::all_of (left.begin(), left.end(), [] (float x) { return x == 0.0f || x == 0.95f; }));
}

TEST (SyncParameters, TextsAndSettings)
{
    using namespace syncParameters;
    EXPECT_EQ (textFor (resolution, 2.0f), "4 PPQN");
    EXPECT_EQ (textFor (bar, 0.0f), "Host");
    EXPECT_EQ (textFor (bar, 5.0f), "7/8");
    EXPECT_EQ (textFor (width, 5.0f), "5.0 ms");
    EXPECT_EQ (textFor (level, -3.0f), "-3.0 dB");
    EXPECT_EQ (textFor (offset, 10.0f), "+10.0 ms");
    EXPECT_EQ (valueForText (resolution, "96"), 7.0f);
    EXPECT_EQ (valueForText (start, "next beat"), 1.0f);
    EXPECT_EQ (valueForText (width, "12.5 ms"), 12.5f);
    EXPECT_EQ (valueForText (width, "fast"), std::nullopt);

    // Hostile plain values come out sound.
    auto values = defaults();
    values[resolution] = 1.0e9f;
    values[width] = std::nanf ("");
    values[bar] = -4.0f;
    const auto settings = settingsFrom (values);
    EXPECT_EQ (settings.pulsesPerQuarterNote, 96);
    EXPECT_EQ (settings.widthMs, 5.0);
    EXPECT_EQ (settings.barIndex, -1);

    // The default level is the classic clock's gain, to the bit.
    EXPECT_EQ (float (std::pow (10.0, double (classicLevelDb) / 20.0)), 0.95f);
}

} // namespace quaverline::test
