#include "tools/render/RenderOptions.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

using namespace quaverline;

TEST (RenderOptions, DefaultsRenderTwoBarsOfEightEighthsAt120Bpm)
{
    const auto parsed = parseRenderOptions ({});
    ASSERT_TRUE (parsed.options);
    EXPECT_EQ (parsed.options->timeSignatureIndex, 6);
    EXPECT_EQ (parsed.options->bitDepth, 32);
    EXPECT_EQ (lengthInSamples (*parsed.options), 4 * 48000);
}

TEST (RenderOptions, ReadsEveryOptionInBothSpellings)
{
    const auto parsed = parseRenderOptions ({ "--tempo",
                                              "90",
                                              "--sample-rate=44100",
                                              "--start",
                                              "-1",
                                              "--seconds",
                                              "2.5",
                                              "--time-signature",
                                              " 7/8",
                                              "--block-size",
                                              "64",
                                              "--channels",
                                              "8",
                                              "--bit-depth",
                                              "24",
                                              "--output",
                                              "a.wav",
                                              "--plot=a.png" });
    ASSERT_TRUE (parsed.options) << parsed.error;
    const auto& o = *parsed.options;
    EXPECT_EQ (o.bpm, 90.0);
    EXPECT_EQ (o.sampleRate, 44100.0);
    EXPECT_EQ (o.startPosition, -1.0);
    EXPECT_EQ (o.timeSignatureIndex, 5);
    EXPECT_EQ (o.blockSize, 64);
    EXPECT_EQ (o.numChannels, 8);
    EXPECT_EQ (o.bitDepth, 24);
    EXPECT_EQ (o.outputFile, "a.wav");
    EXPECT_EQ (o.plotFile, "a.png");
    EXPECT_EQ (lengthInSamples (o), 110250);
}

TEST (RenderOptions, BarsFollowTheTimeSignature)
{
    // Three bars of 7/8 at 105 bpm: 10.5 quarter notes, 6 seconds.
    const auto parsed = parseRenderOptions ({ "--bars", "3", "--time-signature", "7/8", "--tempo", "105" });
    ASSERT_TRUE (parsed.options);
    EXPECT_EQ (lengthInSamples (*parsed.options), 6 * 48000);
}

TEST (RenderOptions, AnySyncOptionRendersQuaverlineSync)
{
    EXPECT_FALSE (parseRenderOptions ({}).options->sync);

    const auto parsed = parseRenderOptions ({ "--resolution",
                                              "4",
                                              "--shape",
                                              "square",
                                              "--width",
                                              "12.5",
                                              "--level",
                                              "-6",
                                              "--polarity",
                                              "negative",
                                              "--offset",
                                              "-20",
                                              "--right",
                                              "run",
                                              "--idle",
                                              "silent",
                                              "--start",
                                              "beat",
                                              "--host-time-signature",
                                              "7/8",
                                              "--bars",
                                              "2" });
    ASSERT_TRUE (parsed.options) << parsed.error;
    ASSERT_TRUE (parsed.options->sync);
    const auto settings = syncParameters::settingsFrom (*parsed.options->sync);
    EXPECT_EQ (settings.pulsesPerQuarterNote, 4);
    EXPECT_EQ (settings.shape, SyncShape::square);
    EXPECT_EQ (settings.widthMs, 12.5);
    EXPECT_EQ (settings.levelDb, -6.0);
    EXPECT_TRUE (settings.negativePolarity);
    EXPECT_EQ (settings.offsetMs, -20.0);
    EXPECT_EQ (settings.right, SyncRightOutput::run);
    EXPECT_EQ (settings.idle, SyncIdle::silent);
    EXPECT_EQ (settings.start, SyncStart::nextBeat);
    EXPECT_EQ (settings.barIndex, -1);

    // Two bars of the host's 7/8 at 120 bpm: 7 quarter notes, 3.5 seconds.
    EXPECT_EQ (lengthInSamples (*parsed.options), 168000);

    // A bar set by hand is one of Quaverline Sync's.
    const auto byHand = parseRenderOptions ({ "--right", "bar", "--time-signature", "6/8" });
    ASSERT_TRUE (byHand.options) << byHand.error;
    EXPECT_EQ (syncParameters::settingsFrom (*byHand.options->sync).barIndex, 4);
}

struct TimeSignatureText
{
    const char* text;
    std::optional<int> index;
};

void PrintTo (const TimeSignatureText& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TimeSignatureParsing : public testing::TestWithParam<TimeSignatureText>
{
};

TEST_P (TimeSignatureParsing, GivesTheIndex)
{
    EXPECT_EQ (parseTimeSignature (GetParam().text), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P (RenderOptions,
                          TimeSignatureParsing,
                          testing::Values (TimeSignatureText { " 8/8", 6 },
                                           TimeSignatureText { "3/8", 1 },
                                           TimeSignatureText { "32/8", 30 },
                                           TimeSignatureText { "2/8", 0 },
                                           TimeSignatureText { "257/8", 255 },
                                           TimeSignatureText { "0", 0 },
                                           TimeSignatureText { "255", 255 },
                                           TimeSignatureText { "1/8", std::nullopt },
                                           TimeSignatureText { "258/8", std::nullopt },
                                           TimeSignatureText { "3/4", std::nullopt },
                                           TimeSignatureText { "256", std::nullopt },
                                           TimeSignatureText { "-1", std::nullopt },
                                           TimeSignatureText { "6.5", std::nullopt },
                                           TimeSignatureText { "x/8", std::nullopt },
                                           TimeSignatureText { "1e1/8", std::nullopt },
                                           TimeSignatureText { "0x6", std::nullopt },
                                           TimeSignatureText { "", std::nullopt }));

struct BadArguments
{
    std::vector<std::string> arguments;
    const char* message;
};

void PrintTo (const BadArguments& c, std::ostream* os)
{
    *os << testing::PrintToString (c.arguments);
}

class RenderArgumentErrors : public testing::TestWithParam<BadArguments>
{
};

TEST_P (RenderArgumentErrors, SayWhatIsWrong)
{
    const auto parsed = parseRenderOptions (GetParam().arguments);
    EXPECT_FALSE (parsed.options);
    EXPECT_NE (parsed.error.find (GetParam().message), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P (
    RenderOptions,
    RenderArgumentErrors,
    testing::Values (BadArguments { { "--tempo" }, "--tempo needs a value" },
                     BadArguments { { "--resolution", "5" }, "--resolution takes 1, 2, 4" },
                     BadArguments { { "--shape", "sine" }, "--shape takes classic|square" },
                     BadArguments { { "--width", "0.1" }, "--width takes a number from 0.5" },
                     BadArguments { { "--level", "3" }, "--level" },
                     BadArguments { { "--offset", "-200" }, "--offset" },
                     BadArguments { { "--right", "left" }, "--right takes clock|run|bar" },
                     BadArguments { { "--start", "later" }, "--start takes bar|beat|now" },
                     BadArguments { { "--host-time-signature", "7/6" }, "--host-time-signature takes N/D" },
                     BadArguments { { "--idle", "classic", "--time-signature", "2/8" },
                                    "with Quaverline Sync, --time-signature takes 3/8" },
                     BadArguments { { "--tempo", "fast" }, "--tempo takes a number from 1 to 999" },
                     BadArguments { { "--tempo", "0" }, "--tempo" },
                     BadArguments { { "--tempo", "nan" }, "--tempo" },
                     BadArguments { { "--sample-rate", "0" }, "--sample-rate" },
                     BadArguments { { "--block-size", "0" }, "--block-size" },
                     BadArguments { { "--block-size", "1.5" }, "--block-size" },
                     BadArguments { { "--channels", "0" }, "--channels" },
                     BadArguments { { "--bit-depth", "8" }, "--bit-depth takes 16, 24 or 32" },
                     BadArguments { { "--time-signature", "3/4" }, "--time-signature" },
                     BadArguments { { "--seconds", "-1" }, "--seconds" },
                     BadArguments { { "--seconds", "1", "--bars", "1" }, "not both" },
                     BadArguments { { "--seconds", "1e9" }, "--seconds" },
                     BadArguments { { "--bars", "9000", "--tempo", "1" }, "longer than an hour" },
                     BadArguments { { "--output", "" }, "--output needs a file name" },
                     BadArguments { { "--output", "x", "--plot", "--tempo=90" }, "looks like an option" },
                     BadArguments { { "--tempo", "0x10" }, "--tempo" },
                     BadArguments { { "--tempo", "1e2" }, "--tempo" },
                     BadArguments { { "--tempo", "inf" }, "--tempo" },
                     BadArguments { { "--bit-depth", "0x10" }, "--bit-depth" },
                     BadArguments { { "--seconds", "0" }, "shorter than one sample" },
                     BadArguments { { "--seconds", "-0" }, "shorter than one sample" },
                     BadArguments { { "--bars", "0" }, "shorter than one sample" },
                     BadArguments { { "--bars", "1e-300" }, "--bars" },
                     BadArguments { { "--bars", "0.0000000001" }, "shorter than one sample" },
                     BadArguments { { "--colour", "red" }, "unknown option \"--colour\"" },
                     BadArguments { { "clock.wav" }, "unknown argument \"clock.wav\"" }));

} // namespace quaverline::test
