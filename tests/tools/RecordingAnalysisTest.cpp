// Finding and measuring pulses in recordings made here: clean renders of the
// engines, and the same with pulses removed, moved, inverted, offset, with
// noise and hum, through an AC coupling, resampled and delayed. Each report
// must say what was done, within the tolerances stated with each case.

#include "tools/analysis/RecordingAnalysis.h"
#include "engine/MusicalTime.h"
#include "engine/SyncClockRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace quaverline::test
{

namespace
{
constexpr double pi = 3.14159265358979323846;

/** Seconds of Quaverline Sync's clock (its defaults: Quaverline's pulse at
    24 PPQN) from position 0, in blocks of 512, on one channel.
*/
std::vector<float> render (double sampleRate, double bpm, double seconds, SyncSettings settings = {})
{
    SyncClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> signal (static_cast<size_t> (seconds * sampleRate));

    for (size_t done = 0; done < signal.size(); done += 512)
    {
        SyncTransport host;
        host.transport = { true, bpm, musicalTime::quarterNotesIn (double (done), bpm, sampleRate) };
        renderer.render (
            signal.data() + done, nullptr, int (std::min<size_t> (512, signal.size() - done)), host, settings);
    }

    return signal;
}

SyncSettings atResolution (int ppqn, SyncShape shape = SyncShape::classic)
{
    SyncSettings settings;
    settings.pulsesPerQuarterNote = ppqn;
    settings.shape = shape;
    return settings;
}

ClockReport analyse (const std::vector<std::vector<float>>& channels,
                     double sampleRate,
                     ClockKnowledge knowledge = {},
                     const std::vector<float>* reference = nullptr)
{
    const auto found = findPulses ({ sampleRate, channels }, {});
    EXPECT_TRUE (found.has_value());

    if (reference == nullptr)
        return measureClock (*found, sampleRate, knowledge);

    const auto theirs = findPulses ({ sampleRate, { *reference } }, {});
    return measureClock (*found, sampleRate, knowledge, &*theirs);
}

ClockReport analyse (const std::vector<float>& signal, double sampleRate, ClockKnowledge knowledge = {})
{
    return analyse (std::vector<std::vector<float>> { signal }, sampleRate, knowledge);
}

/** Where pulse k starts, by the clock's grid (the first sample at or past its tick). */
size_t pulseStart (const std::vector<float>& signal, int k)
{
    int seen = -1;

    for (size_t i = 0; i < signal.size(); ++i)
        if (std::abs (signal[i]) > 0.3f && (i == 0 || std::abs (signal[i - 1]) <= 0.3f) && ++seen == k)
            return i;

    return signal.size();
}
} // namespace

TEST (RecordingAnalysis, CleanRendersGiveTempoResolutionAndNoJitter)
{
    for (const double sampleRate : { 44100.0, 48000.0, 96000.0 })
        for (const int ppqn : { 1, 4, 24, 96 })
        {
            const auto signal = render (sampleRate, 120.0, ppqn == 1 ? 8.0 : 2.0, atResolution (ppqn));
            const auto withTempo = analyse (signal, sampleRate, { 120.0, std::nullopt });
            const auto withResolution = analyse (signal, sampleRate, { std::nullopt, ppqn });
            const auto bare = analyse (signal, sampleRate);

            EXPECT_EQ (withTempo.ppqn, ppqn) << sampleRate << " Hz";
            EXPECT_NEAR (*withResolution.tempoBpm, 120.0, 0.01) << ppqn << " PPQN at " << sampleRate << " Hz";
            EXPECT_NEAR (*bare.pulseRateHz, 2.0 * ppqn, 0.001 * ppqn);
            EXPECT_TRUE (withTempo.missing.empty());
            EXPECT_TRUE (withTempo.extra.empty());
            // On the first sample at or past each tick: within a sample of the line.
            EXPECT_LE (withTempo.jitterMaxMs, 1000.0 / sampleRate);
            EXPECT_NEAR (*withTempo.driftPpm, 0.0, 100.0);
            EXPECT_EQ (withTempo.polarity, Polarity::positive);
            EXPECT_NEAR (withTempo.peakDbfs, 20.0 * std::log10 (0.99 * 0.95), 0.01);
        }
}

TEST (RecordingAnalysis, RemovedMovedAndExtraPulses)
{
    auto signal = render (48000.0, 120.0, 2.0);

    // Pulse 10 (at 10000 samples) is removed; pulse 20 moved 24 samples (0.5 ms) on.
    const auto removed = pulseStart (signal, 10);
    std::fill (signal.begin() + std::ptrdiff_t (removed), signal.begin() + std::ptrdiff_t (removed + 97), 0.001f);
    const auto moved = pulseStart (signal, 19);
    std::rotate (signal.begin() + std::ptrdiff_t (moved),
                 signal.begin() + std::ptrdiff_t (moved + 200 - 24),
                 signal.begin() + std::ptrdiff_t (moved + 200));
    // An extra pulse 300 samples after pulse 30.
    const auto extraAt = pulseStart (signal, 29) + 300;
    std::fill (signal.begin() + std::ptrdiff_t (extraAt), signal.begin() + std::ptrdiff_t (extraAt + 50), 0.9f);

    const auto report = analyse (signal, 48000.0, { 120.0, std::nullopt });
    ASSERT_EQ (report.missing.size(), 1u);
    EXPECT_NEAR (report.missing[0], 10000.0 / 48000.0, 0.0005);
    ASSERT_EQ (report.extra.size(), 1u);
    EXPECT_NEAR (report.extra[0], double (extraAt) / 48000.0, 0.0001);
    EXPECT_NEAR (report.jitterMaxMs, 0.5, 0.05);
    EXPECT_EQ (report.ppqn, 24);
}

TEST (RecordingAnalysis, InvertedOffsetNoisyHummingAndAcCoupledRecordings)
{
    const auto clean = render (48000.0, 120.0, 2.0);
    const auto cleanReport = analyse (clean, 48000.0, { 120.0, std::nullopt });
    std::mt19937 random (14);
    std::uniform_real_distribution<float> noise (-0.01f, 0.01f); // -40 dBFS

    std::vector<float> inverted, offset, noisy, coupled;
    float highPassed = 0.0f, previous = 0.0f;
    const float coupling = float (std::exp (-2.0 * pi * 20.0 / 48000.0)); // 20 Hz high-pass

    for (size_t i = 0; i < clean.size(); ++i)
    {
        const auto x = clean[i];
        inverted.push_back (-x);
        offset.push_back (x + 0.2f);
        noisy.push_back (x + noise (random) + 0.01f * float (std::sin (2.0 * pi * 50.0 * double (i) / 48000.0)));
        highPassed = coupling * (highPassed + x - previous);
        previous = x;
        coupled.push_back (highPassed);
    }

    const struct
    {
        const char* name;
        const std::vector<float>& signal;
        Polarity polarity;
        double jitterMs;
    } cases[] = {
        { "inverted", inverted, Polarity::negative, 0.021 },
        { "offset", offset, Polarity::positive, 0.021 },
        { "noise and hum", noisy, Polarity::positive, 0.03 },
        { "AC coupled", coupled, Polarity::positive, 0.03 },
    };

    for (const auto& c : cases)
    {
        const auto report = analyse (c.signal, 48000.0, { 120.0, std::nullopt });
        EXPECT_EQ (report.pulses, cleanReport.pulses) << c.name;
        EXPECT_EQ (report.polarity, c.polarity) << c.name;
        EXPECT_EQ (report.ppqn, 24) << c.name;
        EXPECT_LE (report.jitterMaxMs, c.jitterMs) << c.name;
        EXPECT_TRUE (report.missing.empty() && report.extra.empty()) << c.name;
    }
}

TEST (RecordingAnalysis, ResampledAndDelayedAgainstAReference)
{
    // 48 kHz recorded at 44.1 kHz: linear interpolation onto the new grid.
    const auto original = render (48000.0, 120.0, 2.0);
    std::vector<float> resampled;

    for (double t = 0.0; t < double (original.size() - 1); t += 48000.0 / 44100.0)
    {
        const auto i = size_t (t);
        resampled.push_back (float (original[i] + (t - double (i)) * (original[i + 1] - original[i])));
    }

    const auto report = analyse (resampled, 44100.0, { 120.0, std::nullopt });
    EXPECT_EQ (report.ppqn, 24);
    EXPECT_LE (report.jitterMaxMs, 0.05);
    EXPECT_TRUE (report.missing.empty());

    // Delayed by 317 samples against the render it came from, in the right
    // channel of a stereo file whose left is silent, with pulse 50 lost.
    std::vector<float> delayed (317, 0.001f);
    delayed.insert (delayed.end(), original.begin(), original.end() - 317);
    const auto lost = pulseStart (delayed, 50);
    std::fill (delayed.begin() + std::ptrdiff_t (lost), delayed.begin() + std::ptrdiff_t (lost + 97), 0.001f);
    const std::vector<float> silent (delayed.size(), 0.0f);
    const auto latency = analyse ({ silent, delayed }, 48000.0, {}, &original);
    EXPECT_EQ (latency.channel, 1);
    EXPECT_NEAR (*latency.latencyMeanSamples, 317.0, 0.01);
    EXPECT_NEAR (*latency.latencyMinSamples, 317.0, 0.01);
    EXPECT_NEAR (*latency.latencyMaxSamples, 317.0, 0.01);
    EXPECT_NEAR (*latency.latencyMeanMs, 317.0 / 48.0, 0.001);
    ASSERT_EQ (latency.unpartnered.size(), 1u);
    EXPECT_NEAR (latency.unpartnered[0], 50000.0 / 48000.0, 0.0001);
}

TEST (RecordingAnalysis, WidthLevelAndTheirWarnings)
{
    SyncSettings narrow = atResolution (4, SyncShape::square);
    narrow.widthMs = 0.5;
    narrow.levelDb = -20.0;
    const auto report = analyse (render (48000.0, 120.0, 2.0, narrow), 48000.0);
    EXPECT_NEAR (report.widthMs, 0.5, 0.03);
    EXPECT_NEAR (report.peakDbfs, -20.0, 0.01);
    ASSERT_EQ (report.warnings.size(), 2u);
    EXPECT_NE (report.warnings[0].find ("below -12 dBFS"), std::string::npos);
    EXPECT_NE (report.warnings[1].find ("many clock inputs need at least 2.5 ms"), std::string::npos);

    SyncSettings wide = atResolution (2, SyncShape::square);
    wide.widthMs = 10.0;
    const auto wideReport = analyse (render (48000.0, 120.0, 2.0, wide), 48000.0);
    EXPECT_NEAR (wideReport.widthMs, 10.0, 0.03);
    EXPECT_TRUE (wideReport.warnings.empty());
}

TEST (RecordingAnalysis, SamplesThatAreNoNumbersCountForNothing)
{
    auto signal = render (48000.0, 120.0, 1.0);
    const auto clean = analyse (signal, 48000.0, { 120.0, std::nullopt });

    for (size_t i = 250; i < signal.size(); i += 1000)
        signal[i] = i % 2000 == 250 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();

    const auto report = analyse (signal, 48000.0, { 120.0, std::nullopt });
    EXPECT_EQ (report.pulses, clean.pulses);
    EXPECT_EQ (report.ppqn, 24);
    EXPECT_TRUE (std::isfinite (report.jitterRmsMs));
}

TEST (RecordingAnalysis, SilenceHasNoPulsesAndAChannelMustExist)
{
    const std::vector<float> silent (48000, 0.0f);
    const auto found = findPulses ({ 48000.0, { silent } }, {});
    ASSERT_TRUE (found.has_value());
    EXPECT_TRUE (found->pulses.empty());
    EXPECT_FALSE (findPulses ({ 48000.0, { silent } }, { 1, std::nullopt }).has_value());
    EXPECT_FALSE (findPulses ({ 48000.0, {} }, {}).has_value());
}

} // namespace quaverline::test
