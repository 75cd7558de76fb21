#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quaverline
{

/** A recording of a clock: its channels and sample rate. */
struct Recording
{
    double sampleRate = 0.0;
    std::vector<std::vector<float>> channels;
};

/** One pulse found in a recording. */
struct FoundPulse
{
    double time = 0.0;  // its leading edge, in samples from the start, to a fraction of a sample
    double width = 0.0; // at half height, in samples
    float peak = 0.0f;  // the largest magnitude in it
};

enum class Polarity
{
    positive,
    negative
};

/** Where and how the pulses of one channel are found. */
struct PulseSearch
{
    std::optional<int> channel;       // none: the channel with the strongest pulses
    std::optional<Polarity> polarity; // none: found by itself
};

/** The pulses of one channel, found against thresholds taken from the
    recording's own levels: the idle level (the median), the pulse level (a
    high percentile in the pulses' direction), a threshold halfway between and
    a re-arming level a quarter of the way up. A pulse's time is where its
    leading edge crosses the threshold, interpolated between samples.
*/
struct FoundPulses
{
    int channel = 0;
    Polarity polarity = Polarity::positive;
    std::vector<FoundPulse> pulses;
};

/** Finds the pulses; nothing for a channel that does not exist. */
std::optional<FoundPulses> findPulses (const Recording& recording, const PulseSearch& search);

/** What a device on the cable receives, in numbers. */
struct ClockReport
{
    double sampleRate = 0.0;
    int channel = 0;
    Polarity polarity = Polarity::positive;
    std::size_t pulses = 0;

    double spacingMean = 0.0, spacingMin = 0.0, spacingMax = 0.0; // samples
    double fittedSpacing = 0.0;                                   // samples, from the straight-line fit
    double jitterRmsMs = 0.0, jitterMaxMs = 0.0;
    std::vector<double> timingErrorsMs; // each pulse against the fit

    std::optional<double> tempoBpm;
    std::optional<int> ppqn;
    std::optional<double> pulseRateHz; // when neither tempo nor resolution is known
    std::optional<double> driftPpm;    // against a stated tempo

    std::vector<double> missing; // seconds: where pulses should have been
    std::vector<double> extra;   // seconds

    double widthMs = 0.0;  // mean, at half height
    double peakDbfs = 0.0; // the mean of the pulses' peaks

    std::optional<double> latencyMeanMs, latencyMinMs, latencyMaxMs;
    std::optional<double> latencyMeanSamples, latencyMinSamples, latencyMaxSamples;
    std::vector<double> unpartnered; // seconds: recorded pulses with no reference pulse, and the other way

    std::vector<std::string> warnings;
};

/** What is known of the clock beforehand. */
struct ClockKnowledge
{
    std::optional<double> tempoBpm;
    std::optional<int> ppqn;
};

/** Measures found pulses (at least two); with a reference, the latency of each
    recorded pulse behind its partner there.
*/
ClockReport measureClock (const FoundPulses& found,
                          double sampleRate,
                          const ClockKnowledge& knowledge,
                          const FoundPulses* reference = nullptr);

} // namespace quaverline
