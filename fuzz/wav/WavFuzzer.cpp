// quaverline-analyze's reading of WAV data of any content: headers and chunks
// that lie about their sizes, formats and rates. What it reads must be a
// sound recording, or a message.

#include "fuzz/FuzzSeeds.h"
#include "tools/analyze/WavRecording.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>

namespace
{
std::vector<uint8_t> wavOf (int numChannels, int bitsPerSample, int numSamples)
{
    juce::MemoryBlock block;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (std::make_unique<juce::MemoryOutputStream> (block, false).release(),
                             48000.0,
                             unsigned (numChannels),
                             bitsPerSample,
                             {},
                             0));
    juce::AudioBuffer<float> audio (numChannels, numSamples);

    for (int i = 0; i < numSamples; ++i)
        for (int channel = 0; channel < numChannels; ++channel)
            audio.setSample (channel, i, i % 100 < 10 ? 0.9f : 0.001f);

    writer->writeFromAudioSampleBuffer (audio, 0, numSamples);
    writer.reset(); // finishes the header and lets go of the stream

    const auto* bytes = static_cast<const uint8_t*> (block.getData());
    return { bytes, bytes + block.getSize() };
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    quaverline::fuzz::writeSeedsIfAsked (*argc, *argv, { wavOf (1, 32, 1000), wavOf (2, 16, 600), wavOf (3, 24, 300) });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto stream = std::make_unique<juce::MemoryInputStream> (data, size, false);
    const auto read = quaverline::readWavRecording (std::move (stream), "fuzz.wav");

    if (read.recording)
    {
        const auto& channels = read.recording->channels;

        for (const auto& channel : channels)
            if (channel.size() != channels.front().size())
                __builtin_trap();

        if (! (read.recording->sampleRate >= 1000.0))
            __builtin_trap();
    }
    else if (read.error.empty())
    {
        __builtin_trap();
    }

    return 0;
}
