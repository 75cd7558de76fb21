#include "tools/analysis/RecordingAnalysis.h"

#include "engine/MusicalTime.h"
#include "engine/SyncParameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numeric>

namespace quaverline
{

namespace
{
/** The levels of one channel: idle (the median) and how far its pulses reach. */
struct Levels
{
    float idle = 0.0f;
    float up = 0.0f;   // the highest sample above idle
    float down = 0.0f; // the lowest sample below idle
    float step = 0.0f; // the median step between neighbouring samples
};

Levels levelsOf (const std::vector<float>& samples)
{
    Levels levels;

    if (samples.empty())
        return levels;

    // The median of at most a million samples spread over the recording:
    // the idle level, wherever hum, noise or an offset puts it.
    const auto step = std::max<std::size_t> (1, samples.size() / 1000000);
    std::vector<float> spread;
    spread.reserve (samples.size() / step + 1);

    // Samples that are not numbers (a float WAV may hold them) count for nothing.
    for (std::size_t i = 0; i < samples.size(); i += step)
        if (std::isfinite (samples[i]))
            spread.push_back (samples[i]);

    if (spread.empty())
        return levels;

    auto middle = spread.begin() + std::ptrdiff_t (spread.size() / 2);
    std::nth_element (spread.begin(), middle, spread.end());
    levels.idle = *middle;

    float lowest = levels.idle, highest = levels.idle;

    for (const auto sample : samples)
    {
        if (std::isfinite (sample))
        {
            lowest = std::min (lowest, sample);
            highest = std::max (highest, sample);
        }
    }

    levels.up = highest - levels.idle;
    levels.down = levels.idle - lowest;

    // The typical step from one sample to the next.
    std::vector<float> steps;
    steps.reserve (samples.size() / step + 1);

    for (std::size_t i = 0; i + 1 < samples.size(); i += step)
        if (const auto difference = std::abs (samples[i + 1] - samples[i]); std::isfinite (difference))
            steps.push_back (difference);

    if (! steps.empty())
    {
        auto middleStep = steps.begin() + std::ptrdiff_t (steps.size() / 2);
        std::nth_element (steps.begin(), middleStep, steps.end());
        levels.step = *middleStep;
    }

    return levels;
}

/** A pulse reaches at least -30 dBFS from idle (a clock at Quaverline Sync's
    lowest level, -24 dBFS, does; hum or noise at -40 dBFS does not), and
    stands well above the sample-to-sample steps of the rest of the signal
    (the classic idle signal steps by its own height every sample).
*/
constexpr float lowestPulse = 0.0316f;
constexpr float clearOfSteps = 8.0f;

double median (std::vector<double> values)
{
    auto middle = values.begin() + std::ptrdiff_t (values.size() / 2);
    std::nth_element (values.begin(), middle, values.end());
    return *middle;
}

double toMs (double samples, double sampleRate)
{
    return 1000.0 * samples / sampleRate;
}
} // namespace

std::optional<FoundPulses> findPulses (const Recording& recording, const PulseSearch& search)
{
    const auto numChannels = int (recording.channels.size());

    if (search.channel && (*search.channel < 0 || *search.channel >= numChannels))
        return std::nullopt;

    if (numChannels == 0)
        return std::nullopt;

    // The channel with the strongest pulses, unless one is named.
    FoundPulses found;
    Levels levels;
    float strongest = -1.0f;

    for (int channel = 0; channel < numChannels; ++channel)
    {
        if (search.channel && channel != *search.channel)
            continue;

        const auto channelLevels = levelsOf (recording.channels[size_t (channel)]);
        const auto strength = std::max (channelLevels.up, channelLevels.down);

        if (strength > strongest)
        {
            strongest = strength;
            levels = channelLevels;
            found.channel = channel;
        }
    }

    found.polarity = search.polarity.value_or (levels.up >= levels.down ? Polarity::positive : Polarity::negative);
    const float sign = found.polarity == Polarity::positive ? 1.0f : -1.0f;
    const float reach = found.polarity == Polarity::positive ? levels.up : levels.down;

    if (! (reach > lowestPulse && reach > clearOfSteps * levels.step))
        return found;

    const float threshold = 0.5f * reach;
    const float rearm = 0.25f * reach;
    const auto& samples = recording.channels[size_t (found.channel)];

    // Heights above idle in the pulses' direction; a pulse starts where the
    // height rises through the threshold, ends where it falls back through it,
    // and the next may start once the height has dropped below the re-arming level.
    // A sample that is not a number is idle here.
    const auto height = [&] (std::size_t i)
    { return std::isfinite (samples[i]) ? sign * (samples[i] - levels.idle) : 0.0f; };
    const auto crossing = [&] (std::size_t i)
    {
        const double before = height (i - 1), after = height (i);
        return double (i - 1) + (threshold - before) / (after - before);
    };

    // A pulse already high on the first sample rose from idle just before it.
    bool inPulse = height (0) >= threshold;
    bool armed = ! inPulse && height (0) < rearm;
    FoundPulse pulse { inPulse ? threshold / height (0) - 1.0 : 0.0, 0.0, std::abs (levels.idle + sign * height (0)) };

    for (std::size_t i = 1; i < samples.size(); ++i)
    {
        const auto h = height (i);

        if (inPulse)
        {
            pulse.peak = std::max (pulse.peak, std::abs (levels.idle + sign * h));

            if (h < threshold)
            {
                pulse.width = crossing (i) - pulse.time;
                found.pulses.push_back (pulse);
                inPulse = false;
            }
        }
        else if (armed && h >= threshold)
        {
            pulse = { crossing (i), 0.0, std::abs (levels.idle + sign * h) };
            inPulse = true;
            armed = false;
        }

        if (! inPulse && h < rearm)
            armed = true;
    }

    return found;
}

ClockReport measureClock (const FoundPulses& found,
                          double sampleRate,
                          const ClockKnowledge& knowledge,
                          const FoundPulses* reference)
{
    ClockReport report;
    report.sampleRate = sampleRate;
    report.channel = found.channel;
    report.polarity = found.polarity;
    report.pulses = found.pulses.size();

    const auto& pulses = found.pulses;

    if (pulses.size() < 2)
        return report;

    std::vector<double> gaps;

    for (std::size_t k = 1; k < pulses.size(); ++k)
        gaps.push_back (pulses[k].time - pulses[k - 1].time);

    const double nominal = median (gaps);

    // Each pulse's place in the clock: a gap of about two or more spacings
    // holds missing pulses, one of less than half a spacing an extra pulse.
    std::vector<double> times, places;
    std::vector<double> spacings;
    double place = 0.0;
    times.push_back (pulses.front().time);
    places.push_back (0.0);

    for (std::size_t k = 1; k < pulses.size(); ++k)
    {
        const double gap = pulses[k].time - times.back();

        if (gap < 0.5 * nominal)
        {
            report.extra.push_back (pulses[k].time / sampleRate);
            continue;
        }

        const double steps = std::round (gap / nominal);

        for (double missing = 1.0; missing < steps; ++missing)
            report.missing.push_back ((times.back() + missing * gap / steps) / sampleRate);

        if (steps == 1.0)
            spacings.push_back (gap);

        place += steps;
        times.push_back (pulses[k].time);
        places.push_back (place);
    }

    if (! spacings.empty())
    {
        report.spacingMean = std::accumulate (spacings.begin(), spacings.end(), 0.0) / double (spacings.size());
        const auto [shortest, longest] = std::minmax_element (spacings.begin(), spacings.end());
        report.spacingMin = *shortest;
        report.spacingMax = *longest;
    }

    // The straight line through the pulses, by least squares on their places.
    const double n = double (times.size());
    const double meanPlace = std::accumulate (places.begin(), places.end(), 0.0) / n;
    const double meanTime = std::accumulate (times.begin(), times.end(), 0.0) / n;
    double covariance = 0.0, variance = 0.0;

    for (std::size_t k = 0; k < times.size(); ++k)
    {
        covariance += (places[k] - meanPlace) * (times[k] - meanTime);
        variance += (places[k] - meanPlace) * (places[k] - meanPlace);
    }

    const double slope = variance > 0.0 ? covariance / variance : nominal;
    const double start = meanTime - slope * meanPlace;
    report.fittedSpacing = slope;
    double squares = 0.0;

    for (std::size_t k = 0; k < times.size(); ++k)
    {
        const double error = toMs (times[k] - (start + slope * places[k]), sampleRate);
        report.timingErrorsMs.push_back (error);
        squares += error * error;
        report.jitterMaxMs = std::max (report.jitterMaxMs, std::abs (error));
    }

    report.jitterRmsMs = std::sqrt (squares / n);

    // Tempo and resolution, from what is known.
    const double spacingSeconds = slope / sampleRate;

    if (knowledge.tempoBpm && ! knowledge.ppqn)
    {
        // The nearest of the resolutions a clock may have.
        const double pulsesPerQuarterNote = musicalTime::secondsPerMinute / (*knowledge.tempoBpm * spacingSeconds);
        const auto& resolutions = syncParameters::resolutions;
        const auto nearest = std::min_element (resolutions.begin(),
                                               resolutions.end(),
                                               [&] (int a, int b) {
                                                   return std::abs (std::log (a / pulsesPerQuarterNote)) <
                                                          std::abs (std::log (b / pulsesPerQuarterNote));
                                               });
        report.ppqn = *nearest;
        report.tempoBpm = knowledge.tempoBpm;
    }
    else if (knowledge.ppqn)
    {
        report.ppqn = knowledge.ppqn;
        report.tempoBpm =
            knowledge.tempoBpm.value_or (musicalTime::secondsPerMinute / (*knowledge.ppqn * spacingSeconds));
    }
    else
    {
        report.pulseRateHz = 1.0 / spacingSeconds;
    }

    if (knowledge.tempoBpm)
    {
        const double expectedSpacing = musicalTime::secondsPerMinute / (*knowledge.tempoBpm * *report.ppqn);
        report.driftPpm = (expectedSpacing / spacingSeconds - 1.0) * 1.0e6;
    }

    // Width and level.
    double widths = 0.0, peaks = 0.0;

    for (const auto& pulse : pulses)
    {
        widths += pulse.width;
        peaks += pulse.peak;
    }

    report.widthMs = toMs (widths / double (pulses.size()), sampleRate);
    const double peak = peaks / double (pulses.size());
    report.peakDbfs = peak > 0.0 ? 20.0 * std::log10 (peak) : -999.0;

    char text[200];

    if (report.peakDbfs < -12.0)
    {
        std::snprintf (text,
                       sizeof (text),
                       "The pulses peak at %.1f dBFS, below -12 dBFS: raise the output level.",
                       report.peakDbfs);
        report.warnings.push_back (text);
    }

    if (report.widthMs < 1.0)
    {
        std::snprintf (text,
                       sizeof (text),
                       "The pulses are %.2f ms wide: many clock inputs need at least 2.5 ms.",
                       report.widthMs);
        report.warnings.push_back (text);
    }

    // The latency behind a reference: the first pulses are partners, the
    // others partner the reference pulse nearest to where that puts them.
    if (reference != nullptr && ! reference->pulses.empty())
    {
        const auto& theirs = reference->pulses;
        const double lag = pulses.front().time - theirs.front().time;
        std::vector<bool> partnered (theirs.size(), false);
        std::vector<double> latencies;

        for (const auto& pulse : pulses)
        {
            const double expected = pulse.time - lag;
            const auto after = std::lower_bound (
                theirs.begin(), theirs.end(), expected, [] (const FoundPulse& p, double t) { return p.time < t; });
            auto nearest = after;

            if (after == theirs.end() ||
                (after != theirs.begin() && expected - std::prev (after)->time < after->time - expected))
                nearest = std::prev (after);

            if (std::abs (nearest->time - expected) < 0.5 * nominal)
            {
                partnered[size_t (nearest - theirs.begin())] = true;
                latencies.push_back (pulse.time - nearest->time);
            }
            else
            {
                report.unpartnered.push_back (pulse.time / sampleRate);
            }
        }

        for (std::size_t k = 0; k < theirs.size(); ++k)
            if (! partnered[k])
                report.unpartnered.push_back (theirs[k].time / sampleRate);

        std::sort (report.unpartnered.begin(), report.unpartnered.end());

        if (! latencies.empty())
        {
            const auto [least, most] = std::minmax_element (latencies.begin(), latencies.end());
            const double mean = std::accumulate (latencies.begin(), latencies.end(), 0.0) / double (latencies.size());
            report.latencyMeanSamples = mean;
            report.latencyMinSamples = *least;
            report.latencyMaxSamples = *most;
            report.latencyMeanMs = toMs (mean, sampleRate);
            report.latencyMinMs = toMs (*least, sampleRate);
            report.latencyMaxMs = toMs (*most, sampleRate);
        }
    }

    return report;
}

} // namespace quaverline
