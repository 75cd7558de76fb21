#include "tools/jack/JackOptions.h"
#include "tools/render/RenderOptions.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

TEST (JackOptions, WithoutArgumentsFollowsWithTheClassicClock)
{
    const auto options = parseJackOptions ({}).options;
    ASSERT_TRUE (options.has_value());
    EXPECT_EQ (options->clientName, "quaverline");
    EXPECT_TRUE (options->connections.empty());
    EXPECT_FALSE (options->master);
    EXPECT_FALSE (options->play);
    EXPECT_EQ (options->bpm, 120.0);
    EXPECT_EQ (options->meter.numerator, 4);
    EXPECT_EQ (options->meter.denominator, 4);
    EXPECT_FALSE (options->sync.has_value());
    EXPECT_EQ (options->timeSignatureIndex, timeSignature::initialIndex);
}

TEST (JackOptions, ReadsEveryOption)
{
    const auto options = parseJackOptions ({ "--connect",
                                             "system:playback_3",
                                             "system:playback_4",
                                             "--name=drums",
                                             "--master",
                                             "--play",
                                             "--tempo",
                                             "97.5",
                                             "--meter",
                                             "6/8" })
                             .options;
    ASSERT_TRUE (options.has_value());
    EXPECT_EQ (options->connections, (std::vector<std::string> { "system:playback_3", "system:playback_4" }));
    EXPECT_EQ (options->clientName, "drums");
    EXPECT_TRUE (options->master);
    EXPECT_TRUE (options->play);
    EXPECT_EQ (options->bpm, 97.5);
    EXPECT_EQ (options->meter.numerator, 6);
    EXPECT_EQ (options->meter.denominator, 8);

    const auto repeated = parseJackOptions ({ "--connect=a:in", "--connect", "b:in" }).options;
    ASSERT_TRUE (repeated.has_value());
    EXPECT_EQ (repeated->connections, (std::vector<std::string> { "a:in", "b:in" }));
}

TEST (JackOptions, ReadsTheClockAsQuaverlineRenderDoes)
{
    const std::vector<std::vector<std::string>> clocks {
        { "--time-signature", "7/8" },
        { "--resolution", "4", "--shape", "square", "--width", "10", "--right", "run" },
        { "--level=-6", "--polarity", "negative", "--offset", "-12.5", "--idle", "silent", "--start", "beat" },
        { "--resolution", "48", "--time-signature", "5/8", "--start", "now" },
    };

    for (const auto& clock : clocks)
    {
        SCOPED_TRACE (clock.front() + " " + clock[1]);
        const auto jack = parseJackOptions (clock).options;
        const auto render = parseRenderOptions (clock).options;
        ASSERT_TRUE (jack.has_value());
        ASSERT_TRUE (render.has_value());
        EXPECT_EQ (jack->sync, render->sync);
        EXPECT_EQ (jack->timeSignatureIndex, render->timeSignatureIndex);
    }
}

} // namespace quaverline::test
