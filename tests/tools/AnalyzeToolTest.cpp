// quaverline-analyze as a user runs it: on clocks quaverline-render wrote, on
// a reference, and on files and arguments it must refuse, writing nothing then.

#include "tests/tools/ToolFixture.h"
#include "tools/analyze/AnalyzeOptions.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace quaverline::test
{

namespace
{
/** Runs the tools in a scratch folder. */
class AnalyzeTool : public ToolFixture
{
protected:
    ToolRun analyze (const std::string& arguments, bool withErrors = true) const
    {
        return runTool (QUAVERLINE_ANALYZE_PATH, arguments, withErrors);
    }

    void render (const std::string& arguments) const
    {
        ASSERT_EQ (runTool (QUAVERLINE_RENDER_PATH, arguments).exitStatus, 0) << arguments;
    }

    void writeWav (const char* name, const std::vector<float>& samples) const
    {
        const auto target = file (name);
        target.deleteFile();
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (target.createOutputStream().release(), 48000.0, 1, 32, {}, 0));
        ASSERT_NE (writer, nullptr);
        const float* channels[] = { samples.data() };
        ASSERT_TRUE (writer->writeFromFloatArrays (channels, 1, int (samples.size())));
    }
};
} // namespace

TEST_F (AnalyzeTool, ReportsTheClockAndWritesJsonAndPlot)
{
    render ("--seconds 2 --output clock.wav");
    const auto result = analyze ("clock.wav --tempo 120 --json report.json --plot report.png");
    ASSERT_EQ (result.exitStatus, 0) << result.output;
    EXPECT_NE (result.output.find ("96 pulses on channel 1 (positive), 48000 Hz"), std::string::npos) << result.output;
    EXPECT_NE (result.output.find ("Clock: 24 PPQN at 120.000 bpm"), std::string::npos) << result.output;
    EXPECT_NE (result.output.find ("Missing pulses: 0; extra pulses: 0"), std::string::npos) << result.output;

    const auto json = file ("report.json").loadFileAsString();
    const auto parsed = juce::JSON::parse (json);
    ASSERT_TRUE (parsed.isObject()) << json;

    for (const auto* key : { "pulses",
                             "sample_rate",
                             "channel",
                             "polarity",
                             "tempo_bpm",
                             "ppqn",
                             "spacing_samples",
                             "jitter_ms",
                             "drift_ppm",
                             "missing",
                             "extra",
                             "width_ms",
                             "peak_dbfs",
                             "warnings" })
        EXPECT_TRUE (parsed.hasProperty (key)) << key;

    EXPECT_FALSE (parsed.hasProperty ("latency_ms"));
    EXPECT_EQ (int (parsed["pulses"]), 96);
    EXPECT_EQ (int (parsed["ppqn"]), 24);
    EXPECT_TRUE (juce::ImageFileFormat::loadFrom (file ("report.png")).isValid());
}

TEST_F (AnalyzeTool, LatencyBehindAReferenceAndJsonOnStandardOutput)
{
    render ("--seconds 1 --resolution 4 --shape square --output sent.wav");
    render ("--seconds 1 --resolution 4 --shape square --offset 10 --output received.wav");

    // A Quaverline Sync clock 10 ms later: the latency a device's offset must make up.
    const auto result = analyze ("received.wav --ppqn 4 --reference sent.wav --json -", false);
    ASSERT_EQ (result.exitStatus, 0) << result.output;
    const auto parsed = juce::JSON::parse (juce::String (result.output));
    ASSERT_TRUE (parsed.isObject()) << result.output;
    EXPECT_NEAR (double (parsed["latency_ms"]["mean"]), 10.0, 0.03);
    EXPECT_NEAR (double (parsed["tempo_bpm"]), 120.0, 0.01);
}

TEST_F (AnalyzeTool, RefusesWhatItCannotReadAndWritesNothing)
{
    render ("--seconds 1 --output clock.wav");
    file ("notes.txt").replaceWithText ("not a recording");
    file ("empty.wav").create();
    writeWav ("silent.wav", std::vector<float> (48000, 0.0f));

    const struct
    {
        const char* arguments;
        const char* message;
    } cases[] = {
        { "notes.txt --json out.json", "is not a readable WAV file" },
        { "empty.wav --json out.json", "is not a readable WAV file" },
        { "silent.wav --json out.json", "is silent" },
        { "missing.wav --json out.json", "is not a file" },
        { "clock.wav --channel 3 --json out.json", "has no channel 3 (it has 2)" },
        { "clock.wav --channel 0 --json out.json", "--channel takes a number from 1 to 64" },
        { "clock.wav --tempo fast --json out.json", "--tempo takes a number from 1 to 999" },
        { "clock.wav --ppqn 5 --json out.json", "--ppqn takes 1, 2, 4, 8, 12, 24, 48 or 96" },
        { "clock.wav --polarity up --json out.json", "--polarity takes positive|negative" },
        { "clock.wav --reference notes.txt --json out.json", "is not a readable WAV file" },
        { "--json out.json", "name the recording to analyze" },
        { "clock.wav other.wav --json out.json", "one recording at a time" },
        { "clock.wav --json out.json --plot out.json", "same file" },
        { "clock.wav --json", "--json needs a value" },
    };

    for (const auto& c : cases)
    {
        const auto result = analyze (c.arguments);
        EXPECT_EQ (result.exitStatus, 2) << c.arguments;
        EXPECT_NE (result.output.find (c.message), std::string::npos) << c.arguments << ": " << result.output;
        EXPECT_FALSE (file ("out.json").exists()) << c.arguments;
    }
}

TEST_F (AnalyzeTool, NoOutputIsWrittenOverAnInputOrAnotherOutput)
{
    render ("--seconds 1 --output take.wav");
    ASSERT_EQ (link (file ("take.wav").getFullPathName().toRawUTF8(), file ("hard.json").getFullPathName().toRawUTF8()),
               0);
    const auto contents = [this]
    {
        juce::MemoryBlock block;
        file ("take.wav").loadFileAsData (block);
        return block;
    };
    const auto recording = contents();

    for (const auto* arguments : { "take.wav --json take.wav",
                                   "take.wav --plot ./take.wav",
                                   "take.wav --json hard.json",
                                   "take.wav --json out.json --plot ./out.json",
                                   "take.wav --json out.json --reference take.wav --plot take.wav",
                                   "take.wav --json --ppqn=-100" })
    {
        const auto result = analyze (arguments);
        EXPECT_EQ (result.exitStatus, 2) << arguments << ": " << result.output;
        EXPECT_TRUE (contents() == recording) << arguments;
        EXPECT_FALSE (file ("out.json").exists()) << arguments;
    }

    EXPECT_FALSE (file ("--ppqn=-100").exists());

    // A file of such a name is named as a path.
    EXPECT_EQ (analyze ("take.wav --json ./--ppqn=-100").exitStatus, 0);
    EXPECT_TRUE (file ("--ppqn=-100").existsAsFile());
}

TEST_F (AnalyzeTool, AFileWithoutPulsesSaysSo)
{
    // Two seconds of pre-roll: the idle signal only.
    render ("--seconds 2 --start -8 --output idle.wav");
    const auto result = analyze ("idle.wav --json out.json");
    EXPECT_EQ (result.exitStatus, 1) << result.output;
    EXPECT_NE (result.output.find ("no clock pulses found"), std::string::npos) << result.output;
    EXPECT_FALSE (file ("out.json").exists());
}

TEST (AnalyzeOptions, ReadsEveryOption)
{
    const auto parsed = parseAnalyzeOptions ({ "take.wav",
                                               "--channel=2",
                                               "--polarity",
                                               "negative",
                                               "--tempo",
                                               "97.5",
                                               "--ppqn",
                                               "48",
                                               "--reference",
                                               "ref.wav",
                                               "--json",
                                               "-",
                                               "--plot",
                                               "a.png" });
    ASSERT_TRUE (parsed.options) << parsed.error;
    const auto& o = *parsed.options;
    EXPECT_EQ (o.recording, "take.wav");
    EXPECT_EQ (o.search.channel, 1);
    EXPECT_EQ (o.search.polarity, Polarity::negative);
    EXPECT_EQ (o.knowledge.tempoBpm, 97.5);
    EXPECT_EQ (o.knowledge.ppqn, 48);
    EXPECT_EQ (o.reference, "ref.wav");
    EXPECT_EQ (o.jsonFile, "-");
    EXPECT_EQ (o.plotFile, "a.png");
}

} // namespace quaverline::test
