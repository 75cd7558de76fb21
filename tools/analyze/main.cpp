// quaverline-analyze: reads a recording of a clock (an interface's output
// patched back into an input, or any clock WAV) and reports what a device on
// that cable receives: the pulses' timing, tempo and resolution, jitter,
// drift, missing and extra pulses, width, level and latency.

#include "tools/analysis/RecordingAnalysis.h"
#include "tools/analyze/AnalysisPlot.h"
#include "tools/analyze/AnalyzeOptions.h"
#include "tools/analyze/ReportText.h"
#include "tools/common/OutputFile.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <iostream>
#include <limits>

namespace
{
constexpr int exitNoPulses = 1;
constexpr int exitBadInput = 2;

int fail (const std::string& message, int status)
{
    std::cerr << "quaverline-analyze: " << message << std::endl;
    return status;
}

/** The recording in a WAV file, or what is wrong with it. */
struct ReadRecording
{
    std::optional<quaverline::Recording> recording;
    std::string error;
};

ReadRecording readWav (const std::string& path)
{
    const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (path)));

    if (! file.existsAsFile())
        return { std::nullopt, "\"" + path + "\" is not a file" };

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));

    if (reader == nullptr)
        return { std::nullopt, "\"" + path + "\" is not a readable WAV file" };

    if (reader->lengthInSamples <= 0 || reader->numChannels == 0)
        return { std::nullopt, "\"" + path + "\" holds no samples" };

    // What a header claims is checked before memory is taken for it: at most
    // 2^31 - 1 samples (over twelve hours at 48 kHz), 64 channels, a sensible rate.
    if (reader->lengthInSamples > std::numeric_limits<int>::max() || reader->numChannels > 64 ||
        ! (reader->sampleRate >= 1000.0 && reader->sampleRate <= 1.0e6))
        return { std::nullopt, "\"" + path + "\" is larger or stranger than a clock recording can be" };

    quaverline::Recording recording;
    recording.sampleRate = reader->sampleRate;
    recording.channels.resize (reader->numChannels);

    // Read in chunks, straight into the channels.
    constexpr int chunk = 65536;
    juce::AudioBuffer<float> audio (int (reader->numChannels), chunk);
    float loudest = 0.0f;

    for (juce::int64 done = 0; done < reader->lengthInSamples; done += chunk)
    {
        const auto length = int (std::min<juce::int64> (chunk, reader->lengthInSamples - done));

        if (! reader->read (&audio, 0, length, done, true, true))
            return { std::nullopt, "\"" + path + "\" could not be read to its end" };

        for (int channel = 0; channel < audio.getNumChannels(); ++channel)
        {
            const auto* read = audio.getReadPointer (channel);
            recording.channels[size_t (channel)].insert (
                recording.channels[size_t (channel)].end(), read, read + length);
            loudest = std::max (loudest, audio.getMagnitude (channel, 0, length));
        }
    }

    if (loudest == 0.0f)
        return { std::nullopt, "\"" + path + "\" is silent" };

    return { std::move (recording), {} };
}
} // namespace

int main (int argc, char* argv[])
{
    const auto parsed = quaverline::parseAnalyzeOptions ({ argv + 1, argv + argc });

    if (! parsed.options)
        return fail (parsed.error + "\nTry quaverline-analyze --help.", exitBadInput);

    const auto& options = *parsed.options;

    if (options.showHelp)
    {
        std::cout << quaverline::analyzeUsage();
        return 0;
    }

    // Every output path is checked before anything is read or written.
    std::optional<std::string> jsonPath, plotPath;

    if (! options.jsonFile.empty() && options.jsonFile != "-")
    {
        const auto checked = quaverline::checkOutputPath (options.jsonFile);

        if (! checked.path)
            return fail (checked.error, exitBadInput);

        jsonPath = checked.path;
    }

    if (! options.plotFile.empty())
    {
        const auto checked = quaverline::checkOutputPath (options.plotFile);

        if (! checked.path)
            return fail (checked.error, exitBadInput);

        plotPath = checked.path;
    }

    // The message manager and fonts, for the plot.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto recording = readWav (options.recording);

    if (! recording.recording)
        return fail (recording.error, exitBadInput);

    const auto& samples = *recording.recording;

    if (options.search.channel && *options.search.channel >= int (samples.channels.size()))
        return fail ("\"" + options.recording + "\" has no channel " + std::to_string (*options.search.channel + 1) +
                         " (it has " + std::to_string (samples.channels.size()) + ")",
                     exitBadInput);

    std::optional<quaverline::FoundPulses> theirs;

    if (! options.reference.empty())
    {
        const auto reference = readWav (options.reference);

        if (! reference.recording)
            return fail (reference.error, exitBadInput);

        theirs = quaverline::findPulses (*reference.recording, {});

        if (! theirs || theirs->pulses.empty())
            return fail ("no clock pulses in the reference \"" + options.reference + "\"", exitNoPulses);
    }

    const auto found = quaverline::findPulses (samples, options.search);

    if (! found || found->pulses.size() < 2)
        return fail ("no clock pulses found in \"" + options.recording + "\" (" +
                         std::to_string (found ? found->pulses.size() : 0u) + " found; a clock needs two or more)",
                     exitNoPulses);

    const auto report =
        quaverline::measureClock (*found, samples.sampleRate, options.knowledge, theirs ? &*theirs : nullptr);
    const auto json = quaverline::jsonOf (report);

    // With the JSON on standard output, the summary goes to standard error.
    (options.jsonFile == "-" ? std::cerr : std::cout) << quaverline::summaryOf (report, options.recording);

    if (options.jsonFile == "-")
        std::cout << json;

    if (jsonPath)
    {
        quaverline::PendingOutputFile pending (*jsonPath);

        if (pending.temporaryPath().empty() ||
            ! juce::File (pending.temporaryPath()).replaceWithText (json, false, false, "\n") || ! pending.commit())
            return fail ("cannot write " + *jsonPath, exitNoPulses);
    }

    if (plotPath)
    {
        quaverline::PendingOutputFile pending (*plotPath);
        const auto title = "quaverline-analyze: " + juce::String (options.recording);

        if (pending.temporaryPath().empty() ||
            ! quaverline::writeAnalysisPlot (juce::File (pending.temporaryPath()),
                                             report,
                                             *found,
                                             samples.channels[size_t (found->channel)],
                                             title) ||
            ! pending.commit())
            return fail ("cannot write " + *plotPath, exitNoPulses);
    }

    return 0;
}
