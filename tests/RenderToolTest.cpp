#include "ClockSignalAnalysis.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace
{
struct ToolRun
{
    int exitStatus = -1;
    std::string output;
};

/** Runs quaverline-render in a scratch folder with the given arguments. */
class RenderTool : public testing::Test
{
protected:
    ToolRun run (const std::string& arguments) const
    {
        const auto command = "cd '" + folder.getFullPathName().toStdString() + "' && '" QUAVERLINE_RENDER_PATH "' " + arguments + " 2>&1";
        ToolRun result;

        if (auto* pipe = popen (command.c_str(), "r"))
        {
            char chunk[256];
            while (const auto length = std::fread (chunk, 1, sizeof (chunk), pipe))
                result.output.append (chunk, length);

            const auto status = pclose (pipe);
            result.exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
        }

        return result;
    }

    juce::File file (const char* name) const { return folder.getChildFile (name); }

    juce::TemporaryFile scratch;
    juce::File folder = [this]
    {
        scratch.getFile().createDirectory();
        return scratch.getFile();
    }();

    ~RenderTool() override { folder.deleteRecursively(); }
};
} // namespace

TEST_F (RenderTool, WritesTheClockAndSaysWhatItWrote)
{
    const auto result = run ("--seconds 0.5 --channels 3 --output clock.wav --plot clock.png");
    ASSERT_EQ (result.exitStatus, 0) << result.output;
    EXPECT_NE (result.output.find ("24000 samples"), std::string::npos) << result.output;
    EXPECT_NE (result.output.find ("Pulses: 24, first at sample 0"), std::string::npos) << result.output;

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file ("clock.wav")));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->sampleRate, 48000.0);
    EXPECT_EQ (reader->numChannels, 3u);
    EXPECT_EQ (reader->bitsPerSample, 32u);
    EXPECT_TRUE (reader->usesFloatingPointData);

    juce::AudioBuffer<float> audio (3, 24000);
    ASSERT_TRUE (reader->read (&audio, 0, 24000, 0, true, true));
    const auto starts = quaverline::findPulseStarts (audio.getReadPointer (2), 24000);
    ASSERT_GE (starts.size(), 3u);
    EXPECT_EQ (std::vector<int64_t> (starts.begin(), starts.begin() + 3), (std::vector<int64_t> { 0, 1001, 2001 }));

    const auto plot = juce::ImageFileFormat::loadFrom (file ("clock.png"));
    EXPECT_TRUE (plot.isValid());
    EXPECT_GT (plot.getWidth(), 0);
}

TEST_F (RenderTool, BadArgumentsWriteNothing)
{
    for (const auto* arguments : { "--tempo fast --output clock.wav", "--time-signature 3/4 --output clock.wav", "--bit-depth 12 --output clock.wav", "--output clock.wav --plot" })
    {
        const auto result = run (arguments);
        EXPECT_EQ (result.exitStatus, 2) << arguments;
        EXPECT_NE (result.output.find ("quaverline-render: "), std::string::npos) << result.output;
        EXPECT_FALSE (file ("clock.wav").exists()) << arguments;
    }
}

TEST_F (RenderTool, HelpListsTheOptions)
{
    const auto result = run ("--help");
    EXPECT_EQ (result.exitStatus, 0);
    EXPECT_NE (result.output.find ("--time-signature"), std::string::npos);
}
