// quaverline-analyze: reads a recording of a clock (an interface's output
// patched back into an input, or any clock WAV) and reports what a device on
// that cable receives: the pulses' timing, tempo and resolution, jitter,
// drift, missing and extra pulses, width, level and latency.

#include "tools/analysis/RecordingAnalysis.h"
#include "tools/analyze/AnalysisPlot.h"
#include "tools/analyze/AnalyzeOptions.h"
#include "tools/analyze/ReportText.h"
#include "tools/analyze/WavRecording.h"
#include "tools/common/OutputFile.h"

#include <juce_events/juce_events.h>

#include <iostream>

namespace
{
constexpr int exitNoPulses = 1;
constexpr int exitBadInput = 2;

int fail (const std::string& message, int status)
{
    std::cerr << "quaverline-analyze: " << message << std::endl;
    return status;
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

    // No output is written over another, or over what is read.
    std::vector<quaverline::NamedFile> outputs, inputs { { "the recording", options.recording } };

    if (jsonPath)
        outputs.push_back ({ "--json", *jsonPath });

    if (plotPath)
        outputs.push_back ({ "--plot", *plotPath });

    if (! options.reference.empty())
        inputs.push_back ({ "--reference", options.reference });

    if (const auto overwrite = quaverline::findOverwrite (outputs, inputs); ! overwrite.empty())
        return fail (overwrite, exitBadInput);

    // The message manager and fonts, for the plot.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto recording = quaverline::readWavFile (options.recording);

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
        const auto reference = quaverline::readWavFile (options.reference);

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
