// WAV data that lies, as quaverline-analyze reads it: found by fuzzing, each
// a file JUCE's reader would have taken memory or time for, or read channel
// types from that do not exist.

#include "tools/analyze/WavRecording.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quaverline::test
{

namespace
{
/** A RIFF/WAVE file built chunk by chunk, sizes as given. */
struct WavBytes
{
    WavBytes() { append ("RIFF").append32 (0).append ("WAVE"); }

    WavBytes& append (const char* text)
    {
        bytes.insert (bytes.end(), text, text + std::strlen (text));
        return *this;
    }

    WavBytes& append16 (uint16_t value)
    {
        bytes.push_back (uint8_t (value));
        bytes.push_back (uint8_t (value >> 8));
        return *this;
    }

    WavBytes& append32 (uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back (uint8_t (value >> shift));
        return *this;
    }

    /** A 16-bit PCM format chunk, or the extensible one with a speaker mask. */
    WavBytes& format (uint16_t numChannels, std::optional<uint32_t> speakerMask = std::nullopt)
    {
        append ("fmt ").append32 (speakerMask ? 40 : 16);
        append16 (speakerMask ? 0xfffe : 1).append16 (numChannels).append32 (48000);
        append32 (48000u * 2u * numChannels).append16 (uint16_t (2 * numChannels)).append16 (16);

        if (speakerMask)
        {
            append16 (22).append16 (16).append32 (*speakerMask);
            bytes.insert (bytes.end(), 16, uint8_t (0)); // the sub-format's GUID, PCM's first two bytes
            bytes[bytes.size() - 16] = 1;
        }

        return *this;
    }

    /** Samples of a clock: 10 high, 90 low, as 16-bit values. */
    WavBytes& data (uint32_t claimedBytes, int numFrames, int numChannels = 1)
    {
        append ("data").append32 (claimedBytes);

        for (int i = 0; i < numFrames * numChannels; ++i)
            append16 (uint16_t ((i / numChannels) % 100 < 10 ? 29000 : 30));

        return *this;
    }

    /** Reads the file with its RIFF size filled in. */
    ReadRecording read() const
    {
        auto file = bytes;
        const auto riffSize = uint32_t (file.size() - 8);

        for (int k = 0; k < 4; ++k)
            file[size_t (4 + k)] = uint8_t (riffSize >> (8 * k));

        return readWavRecording (std::make_unique<juce::MemoryInputStream> (file.data(), file.size(), true),
                                 "lies.wav");
    }

    std::vector<uint8_t> bytes;
};
} // namespace

TEST (WavRecording, ReadsAClockAndWhatACutRecordingHolds)
{
    const auto whole = WavBytes().format (1).data (2000, 1000).read();
    ASSERT_TRUE (whole.recording) << whole.error;
    EXPECT_EQ (whole.recording->channels[0].size(), 1000u);

    // A header that claims two billion frames, over a thousand that are there.
    const auto cut = WavBytes().format (1).data (0xfffffff0u, 1000).read();
    ASSERT_TRUE (cut.recording) << cut.error;
    EXPECT_EQ (cut.recording->channels[0].size(), 1000u);
}

TEST (WavRecording, RefusesChunksAndSpeakersThatLie)
{
    const struct
    {
        const char* name;
        WavBytes wav;
    } cases[] = {
        { "a chunk of 4 GB in a small file",
          WavBytes().format (1).append ("LIST").append32 (0xfffffff0u).data (200, 100) },
        { "a speaker no WAV defines", WavBytes().format (2, 1u << 30).data (400, 100, 2) },
        { "no channels", WavBytes().format (0).data (200, 100) },
        { "not RIFF",
          []
          {
              auto w = WavBytes().format (1).data (200, 100);
              w.bytes[0] = 'X';
              return w;
          }() },
        { "nothing after the header", WavBytes() },
    };

    for (const auto& c : cases)
    {
        const auto read = c.wav.read();
        EXPECT_FALSE (read.recording) << c.name;
        EXPECT_NE (read.error.find ("lies.wav"), std::string::npos) << c.name;
    }
}

} // namespace quaverline::test
