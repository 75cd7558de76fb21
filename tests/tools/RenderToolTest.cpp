#include "tests/tools/ToolFixture.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace quaverline::test
{

namespace
{
/** Runs quaverline-render in a scratch folder with the given arguments. */
class RenderTool : public ToolFixture
{
protected:
    ToolRun run (const std::string& arguments) const { return runTool (QUAVERLINE_RENDER_PATH, arguments); }
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

TEST_F (RenderTool, RendersQuaverlineSyncWithItsSettings)
{
    const auto result = run ("--seconds 1 --resolution 2 --shape square --width 10 --right run --output sync.wav");
    ASSERT_EQ (result.exitStatus, 0) << result.output;
    EXPECT_NE (result.output.find ("Quaverline Sync clock: 120.000 bpm, Resolution 2 PPQN"), std::string::npos)
        << result.output;
    EXPECT_NE (result.output.find ("Pulses: 4, first at sample 0"), std::string::npos) << result.output;

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file ("sync.wav")));
    ASSERT_NE (reader, nullptr);
    juce::AudioBuffer<float> audio (2, 48000);
    ASSERT_TRUE (reader->read (&audio, 0, 48000, 0, true, true));

    // 10 ms square pulses every 12000 samples; the run line high throughout.
    // (Each pulse on the first sample at or past its tick.)
    const auto edges = quaverline::findLeadingEdges (audio.getReadPointer (0), 48000, 0.5f);
    ASSERT_EQ (edges.size(), 4u);
    for (size_t k = 0; k < edges.size(); ++k)
        EXPECT_NEAR (double (edges[k]), 12000.0 * double (k), 1.0);
    EXPECT_EQ (audio.getSample (0, 479), 0.95f);
    EXPECT_NE (audio.getSample (0, 480), 0.95f);
    EXPECT_EQ (audio.findMinMax (1, 0, 48000), juce::Range<float> (0.95f, 0.95f));
}

TEST_F (RenderTool, BadArgumentsWriteNothing)
{
    for (const auto* arguments : { "--tempo fast --output clock.wav",
                                   "--time-signature 3/4 --output clock.wav",
                                   "--bit-depth 12 --output clock.wav",
                                   "--resolution 3 --output clock.wav",
                                   "--output clock.wav --plot" })
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

TEST_F (RenderTool, WhatIsNotAFileIsRefusedAndLeftAlone)
{
    ASSERT_TRUE (file ("folder").createDirectory());
    ASSERT_EQ (mkfifo (file ("pipe").getFullPathName().toRawUTF8(), 0644), 0);
    ASSERT_EQ (symlink ("folder", file ("link-to-folder").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (symlink ("nothing", file ("dangling").getFullPathName().toRawUTF8()), 0);
    ASSERT_TRUE (file ("plain").create());

    for (const auto* arguments :
         { "--output folder",
           "--output .",
           "--output pipe",
           "--output link-to-folder",
           "--output dangling",
           "--output /dev/null",
           "--output /proc/x.wav",
           "--output ok.wav --plot /proc/x.png",
           "--output ok.wav --plot folder",
           "--output plain/x.wav",
           "--output ok.wav --plot ok.wav",
           "--output a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/s/t/"
           "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
           "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
           "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx.wav" })
    {
        const auto result = run (std::string ("--seconds 0.1 ") + arguments);
        EXPECT_EQ (result.exitStatus, 2) << arguments << ": " << result.output;
        EXPECT_NE (result.output.find ("quaverline-render: "), std::string::npos) << result.output;
    }

    // Everything as it was: nothing made, nothing replaced, no leftovers.
    EXPECT_TRUE (file ("folder").isDirectory());
    EXPECT_EQ (file ("folder").getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_TRUE (file ("link-to-folder").isSymbolicLink());
    EXPECT_TRUE (file ("dangling").isSymbolicLink());
    EXPECT_FALSE (file ("ok.wav").exists());
    EXPECT_FALSE (file ("a").exists());
    EXPECT_EQ (file ("plain").getSize(), 0);
    struct stat info
    {
    };
    ASSERT_EQ (stat ("/dev/null", &info), 0);
    EXPECT_TRUE (S_ISCHR (info.st_mode));
}

TEST_F (RenderTool, ALinkIsWrittenThroughAndStaysALink)
{
    ASSERT_TRUE (file ("clock.wav").replaceWithText ("old"));
    ASSERT_EQ (symlink ("clock.wav", file ("link.wav").getFullPathName().toRawUTF8()), 0);

    const auto result = run ("--seconds 0.1 --output link.wav");
    ASSERT_EQ (result.exitStatus, 0) << result.output;
    EXPECT_TRUE (file ("link.wav").isSymbolicLink());
    EXPECT_GT (file ("clock.wav").getSize(), 4800);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 2); // no temporary files left
}

TEST_F (RenderTool, TwoNamesOfOneFileAreRefused)
{
    // The same file, however it is named: another spelling of its path, a
    // link, a hard link, a folder that is not there yet.
    ASSERT_TRUE (file ("a.wav").replaceWithText ("mine"));
    ASSERT_TRUE (file ("sub").createDirectory());
    ASSERT_EQ (symlink ("a.wav", file ("link.png").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (link (file ("a.wav").getFullPathName().toRawUTF8(), file ("hard.png").getFullPathName().toRawUTF8()), 0);

    for (const auto* arguments : { "--output a.wav --plot ./a.wav",
                                   "--output a.wav --plot sub/../a.wav",
                                   "--output a.wav --plot link.png",
                                   "--output a.wav --plot hard.png",
                                   "--output new/x.wav --plot new/./x.wav",
                                   "--output a.wav --plot --tempo=90" })
    {
        const auto result = run (std::string ("--seconds 0.1 ") + arguments);
        EXPECT_EQ (result.exitStatus, 2) << arguments << ": " << result.output;
        EXPECT_EQ (file ("a.wav").loadFileAsString(), "mine") << arguments;
    }

    EXPECT_FALSE (file ("new").exists());
    EXPECT_FALSE (file ("--tempo=90").exists());
}

} // namespace quaverline::test
