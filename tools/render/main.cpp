// quaverline-render: hosts the real plug-in processor with a simulated
// transport and writes its clock signal to a WAV file.

#include "engine/MusicalTime.h"
#include "engine/TimeSignature.h"
#include "plugin/PluginFactory.h"
#include "tools/analysis/ClockSignalAnalysis.h"
#include "tools/common/OutputFile.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SimulatedTransport.h"
#include "tools/render/SyncRendering.h"
#include "tools/render/WaveformPlot.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <iomanip>
#include <iostream>

namespace
{
constexpr int exitFailure = 1;
constexpr int exitBadArguments = 2;

using quaverline::RenderOptions;

int fail (const juce::String& message, int status = exitFailure)
{
    std::cerr << "quaverline-render: " << message << std::endl;
    return status;
}

bool setOutputChannels (juce::AudioProcessor& processor, int numChannels)
{
    auto layout = processor.getBusesLayout();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::canonicalChannelSet (numChannels);
    return processor.setBusesLayout (layout) && processor.getTotalNumOutputChannels() == numChannels;
}

std::unique_ptr<juce::AudioFormatWriter> createWavWriter (const juce::File& file, const RenderOptions& options)
{
    auto stream = std::make_unique<juce::FileOutputStream> (file);

    if (! stream->openedOk())
        return nullptr;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (
        stream.get(), options.sampleRate, static_cast<unsigned int> (options.numChannels), options.bitDepth, {}, 0));
    if (writer != nullptr)
        stream.release(); // the writer owns the stream now

    return writer;
}

void printSummary (const RenderOptions& options,
                   const juce::File& file,
                   const std::vector<float>& signal,
                   const std::vector<int64_t>& pulseStarts,
                   const quaverline::SyncRendering* sync)
{
    const auto spacing = quaverline::measurePulseSpacing (pulseStarts);
    const int ppqn = sync != nullptr ? sync->pulsesPerQuarterNote() : quaverline::musicalTime::ticksPerQuarterNote;
    const double expectedSpacing = quaverline::musicalTime::samplesPerTick (options.bpm, options.sampleRate) *
                                   quaverline::musicalTime::ticksPerQuarterNote / ppqn;

    std::cout << std::fixed << std::setprecision (3);

    if (sync != nullptr)
        std::cout << "Quaverline Sync clock: " << options.bpm << " bpm, " << sync->describe();
    else
        std::cout << "Quaverline clock: " << options.bpm << " bpm, time signature "
                  << quaverline::timeSignature::label (options.timeSignatureIndex) << " (index "
                  << options.timeSignatureIndex << ")";

    std::cout << ", start at " << options.startPosition << " quarter notes\n"
              << "Wrote " << file.getFullPathName() << ": " << signal.size() << " samples ("
              << double (signal.size()) / options.sampleRate << " s) at " << std::setprecision (0) << options.sampleRate
              << " Hz, " << options.numChannels << " channels, "
              << (options.bitDepth == 32 ? "32-bit float" : std::to_string (options.bitDepth) + "-bit")
              << ", blocks of " << options.blockSize << "\n";

    std::cout << "Pulses: " << pulseStarts.size();

    if (! pulseStarts.empty())
        std::cout << ", first at sample " << pulseStarts.front();

    if (pulseStarts.size() > 1)
        std::cout << ", spacing " << std::setprecision (2) << spacing.mean << " samples (min " << spacing.minimum
                  << ", max " << spacing.maximum << "; " << ppqn << " per quarter note is " << expectedSpacing << ")";

    std::cout << std::endl;
}
} // namespace

int main (int argc, char* argv[])
{
    const auto parsed = quaverline::parseRenderOptions ({ argv + 1, argv + argc });

    if (! parsed.options)
    {
        std::cerr << "quaverline-render: " << parsed.error << "\nTry quaverline-render --help." << std::endl;
        return exitBadArguments;
    }

    const auto& options = *parsed.options;

    if (options.showHelp)
    {
        std::cout << quaverline::renderUsage();
        return 0;
    }

    // Both files are checked before anything is written: nothing that is
    // not a regular file is replaced, and a link is written through.
    const auto output = quaverline::checkOutputPath (options.outputFile);

    if (! output.path)
        return fail (output.error, exitBadArguments);

    std::optional<std::string> plotPath;

    if (! options.plotFile.empty())
    {
        const auto plot = quaverline::checkOutputPath (options.plotFile);

        if (! plot.path)
            return fail (plot.error, exitBadArguments);

        plotPath = plot.path;

        if (const auto overwrite =
                quaverline::findOverwrite ({ { "--output", *output.path }, { "--plot", *plotPath } }, {});
            ! overwrite.empty())
            return fail (overwrite, exitBadArguments);
    }

    // The message manager and fonts, for the plot.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    // Quaverline's processor, hosted as a plug-in; or Quaverline Sync's engine.
    std::unique_ptr<juce::AudioProcessor> processor;
    std::optional<quaverline::SyncRendering> sync;
    quaverline::SimulatedTransport transport (options.bpm, options.startPosition, options.sampleRate);

    if (options.sync)
    {
        sync.emplace (options);
    }
    else
    {
        processor.reset (createPluginFilter());

        if (! setOutputChannels (*processor, options.numChannels))
            return fail ("the plug-in does not accept " + juce::String (options.numChannels) + " output channels");

        const auto index = static_cast<uint8_t> (options.timeSignatureIndex);
        processor->setStateInformation (&index, 1);
        processor->setPlayHead (&transport);
        processor->setRateAndBufferSizeDetails (options.sampleRate, options.blockSize);
        processor->prepareToPlay (options.sampleRate, options.blockSize);
    }

    // Written beside the targets and renamed into place once all went well.
    const auto outputFile = juce::File (*output.path);
    quaverline::PendingOutputFile pendingOutput (*output.path);
    auto writer = pendingOutput.temporaryPath().empty()
                      ? nullptr
                      : createWavWriter (juce::File (pendingOutput.temporaryPath()), options);

    if (writer == nullptr)
        return fail ("cannot write " + outputFile.getFullPathName());

    const auto totalSamples = quaverline::lengthInSamples (options);
    std::vector<float> signal;
    signal.reserve (static_cast<size_t> (totalSamples));

    juce::AudioBuffer<float> buffer (options.numChannels, options.blockSize);
    juce::MidiBuffer midi;

    for (int64_t done = 0; done < totalSamples;)
    {
        const auto blockLength = static_cast<int> (std::min<int64_t> (options.blockSize, totalSamples - done));
        buffer.setSize (options.numChannels, blockLength, false, false, true);

        if (sync)
            sync->render (buffer);
        else
            processor->processBlock (buffer, midi);

        if (! writer->writeFromAudioSampleBuffer (buffer, 0, blockLength))
            return fail ("writing " + outputFile.getFullPathName() + " failed");

        signal.insert (signal.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockLength);
        transport.advance (blockLength);
        done += blockLength;
    }

    if (processor != nullptr)
        processor->releaseResources();

    writer.reset();

    // The classic pulse is found by its first sample; any other by its edge.
    const auto pulseStarts = sync ? quaverline::findLeadingEdges (signal.data(), signal.size(), 0.01f)
                                  : quaverline::findPulseStarts (signal.data(), signal.size());
    std::optional<quaverline::PendingOutputFile> pendingPlot;

    if (plotPath)
    {
        pendingPlot.emplace (*plotPath);
        const auto title = juce::String (sync ? "Quaverline Sync clock at " : "Quaverline clock at ") +
                           juce::String (options.bpm) + " bpm, " + juce::String (options.sampleRate) + " Hz, " +
                           (sync ? juce::String (sync->pulsesPerQuarterNote()) + " PPQN"
                                 : juce::String (quaverline::timeSignature::label (options.timeSignatureIndex)).trim());

        if (pendingPlot->temporaryPath().empty() ||
            ! quaverline::writeWaveformPlot (juce::File (pendingPlot->temporaryPath()), signal, pulseStarts, title))
            return fail ("cannot write " + juce::String (*plotPath));
    }

    if (! pendingOutput.commit())
        return fail ("cannot put " + outputFile.getFullPathName() + " in place");

    if (pendingPlot && ! pendingPlot->commit())
        return fail ("cannot put " + juce::String (*plotPath) + " in place");

    printSummary (options, outputFile, signal, pulseStarts, sync ? &*sync : nullptr);

    if (plotPath)
        std::cout << "Plot: " << *plotPath << std::endl;

    return 0;
}
