#include "tools/analyze/WavRecording.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <limits>

namespace quaverline
{

ReadRecording readWavRecording (std::unique_ptr<juce::InputStream> stream, const std::string& path)
{
    if (stream == nullptr)
        return { std::nullopt, "\"" + path + "\" cannot be opened" };

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (stream.release(), true));

    if (reader == nullptr)
        return { std::nullopt, "\"" + path + "\" is not a readable WAV file" };

    if (reader->lengthInSamples <= 0 || reader->numChannels == 0)
        return { std::nullopt, "\"" + path + "\" holds no samples" };

    // What a header claims is checked before memory is taken for it: at most
    // 2^31 - 1 samples (over twelve hours at 48 kHz), 64 channels, a sensible rate.
    if (reader->lengthInSamples > std::numeric_limits<int>::max() || reader->numChannels > 64 ||
        ! (reader->sampleRate >= 1000.0 && reader->sampleRate <= 1.0e6))
        return { std::nullopt, "\"" + path + "\" is larger or stranger than a clock recording can be" };

    Recording recording;
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

ReadRecording readWavFile (const std::string& path)
{
    const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (path)));

    if (! file.existsAsFile())
        return { std::nullopt, "\"" + path + "\" is not a file" };

    return readWavRecording (file.createInputStream(), path);
}

} // namespace quaverline
