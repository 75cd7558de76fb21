#include "tools/analyze/WavRecording.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace quaverline
{

namespace
{
/** Whether the RIFF chunks are what JUCE's WAV reader can be given: every
    chunk but the samples within the bytes there are (JUCE takes memory for a
    chunk's claimed size), and a format of 1 to 64 channels whose speaker mask
    names only the 18 speakers WAV defines (JUCE makes channel types of any
    other bit). The samples may claim more than the file holds: a recording
    cut short is read as far as it goes. Gives the bytes the samples can have.
*/
std::optional<juce::int64> sampleBytesOfSoundWav (juce::InputStream& stream)
{
    const auto total = stream.getTotalLength();
    char riff[4], wave[4];

    std::optional<juce::int64> sampleBytes;

    if (total < 12 || stream.read (riff, 4) != 4 || std::memcmp (riff, "RIFF", 4) != 0)
        return std::nullopt;

    stream.readInt();

    if (stream.read (wave, 4) != 4 || std::memcmp (wave, "WAVE", 4) != 0)
        return std::nullopt;

    while (stream.getPosition() + 8 <= total)
    {
        char id[4];
        stream.read (id, 4);
        const auto size = juce::int64 (uint32_t (stream.readInt()));
        const auto start = stream.getPosition();
        const bool isData = std::memcmp (id, "data", 4) == 0;

        if (isData)
            sampleBytes = std::min (size, total - start);

        if (start + size > total)
            return isData ? sampleBytes : std::nullopt;

        if (std::memcmp (id, "fmt ", 4) == 0)
        {
            if (size < 16)
                return std::nullopt;

            const auto formatTag = uint16_t (stream.readShort());
            const auto numChannels = int (uint16_t (stream.readShort()));

            if (numChannels < 1 || numChannels > 64)
                return std::nullopt;

            if (formatTag == 0xfffe && size >= 24)
            {
                stream.setPosition (start + 20);
                const auto speakerMask = uint32_t (stream.readInt());

                if ((speakerMask & ~uint32_t (0x3ffff)) != 0)
                    return std::nullopt;
            }
        }

        // Chunks are padded to an even length.
        stream.setPosition (start + size + (size & 1));
    }

    return sampleBytes.value_or (0);
}
} // namespace

ReadRecording readWavRecording (std::unique_ptr<juce::InputStream> stream, const std::string& path)
{
    if (stream == nullptr)
        return { std::nullopt, "\"" + path + "\" cannot be opened" };

    const auto sampleBytes = sampleBytesOfSoundWav (*stream);

    if (! sampleBytes || ! stream->setPosition (0))
        return { std::nullopt, "\"" + path + "\" is not a readable WAV file" };
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (stream.release(), true));

    if (reader == nullptr)
        return { std::nullopt, "\"" + path + "\" is not a readable WAV file" };

    if (reader->numChannels == 0 || reader->numChannels > 64 ||
        ! (reader->sampleRate >= 1000.0 && reader->sampleRate <= 1.0e6))
        return { std::nullopt, "\"" + path + "\" is stranger than a clock recording can be" };

    const auto bytesPerFrame = juce::int64 (std::max (1u, reader->bitsPerSample / 8) * reader->numChannels);
    // A header may claim more samples than the data holds: no more are read
    // than the bytes can carry.
    const auto available = std::min (reader->lengthInSamples, *sampleBytes / bytesPerFrame);

    if (available <= 0)
        return { std::nullopt, "\"" + path + "\" holds no samples" };

    // At most 2^31 - 1 samples (over twelve hours at 48 kHz).
    if (available > std::numeric_limits<int>::max())
        return { std::nullopt, "\"" + path + "\" is longer than a clock recording can be" };

    Recording recording;
    recording.sampleRate = reader->sampleRate;
    recording.channels.resize (reader->numChannels);

    for (auto& channel : recording.channels)
        channel.reserve (size_t (available));

    // Read in chunks, straight into the channels.
    constexpr int chunk = 65536;
    juce::AudioBuffer<float> audio (int (reader->numChannels), chunk);
    float loudest = 0.0f;

    for (juce::int64 done = 0; done < available; done += chunk)
    {
        const auto length = int (std::min<juce::int64> (chunk, available - done));

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
