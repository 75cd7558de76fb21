// Quaverline Sync's editor, headless: its groups of controls, the status line
// through a stop, a wait and a run, the pulse drawing following the settings,
// and a snapshot kept as a build artefact (sync-editor-snapshot.png); and the
// audio thread beside the host's and the editor's (run with ThreadSanitizer by
// scripts/test-threads).

#include "plugin/sync/editor/SyncEditor.h"
#include "plugin/PluginFactory.h"
#include "plugin/sync/SyncAudioProcessor.h"
#include "tests/plugin/AudioThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quaverline::test
{

namespace
{
struct Transport final : public juce::AudioPlayHead
{
    juce::Optional<PositionInfo> getPosition() const override { return info; }
    PositionInfo info;
};

class SyncEditorTest : public testing::Test
{
protected:
    SyncEditorTest()
        : processor (dynamic_cast<SyncAudioProcessor*> (createPluginFilter()))
    {
        processor->setPlayHead (&transport);
        processor->setRateAndBufferSizeDetails (48000.0, 512);
        processor->prepareToPlay (48000.0, 512);
        editor.reset (dynamic_cast<SyncEditor*> (processor->createEditorIfNeeded()));
    }

    ~SyncEditorTest() override { editor.reset(); }

    void play (double bpm, double position)
    {
        transport.info.setIsPlaying (true);
        transport.info.setBpm (bpm);
        transport.info.setPpqPosition (position);
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        processor->processBlock (buffer, midi);
        editor->refresh();
    }

    void set (int index, float plainValue)
    {
        auto& parameter = processor->getSyncParameter (index);
        parameter.setValueNotifyingHost (parameter.convertTo0to1 (plainValue));
        editor->refresh();
    }

    Transport transport;
    std::unique_ptr<SyncAudioProcessor> processor;
    std::unique_ptr<SyncEditor> editor;
};
} // namespace

TEST_F (SyncEditorTest, StatusLineSaysWhatTheClockDoes)
{
    EXPECT_EQ (editor->getStatusText(), "Stopped");

    play (120.0, 1.5);
    EXPECT_EQ (editor->getStatusText(), "Waiting for the next bar");

    play (120.0, 4.0);
    EXPECT_EQ (editor->getStatusText(), juce::String::fromUTF8 ("Running \xc2\xb7 24 PPQN \xc2\xb7 120.0 bpm"));

    set (syncParameters::resolution, 2.0f);
    EXPECT_EQ (editor->getStatusText(), juce::String::fromUTF8 ("Running \xc2\xb7 4 PPQN \xc2\xb7 120.0 bpm"));
}

TEST_F (SyncEditorTest, EveryParameterHasAControl)
{
    for (int index = 0; index < syncParameters::count; ++index)
    {
        const auto* control = editor->getControl (index);
        ASSERT_NE (control, nullptr);
        EXPECT_TRUE (control->isVisible());
        EXPECT_TRUE (editor->getLocalBounds().contains (control->getBounds())) << syncParameters::rule (index).id;
    }
}

TEST_F (SyncEditorTest, PulseDrawingFollowsShapeWidthLevelAndPolarity)
{
    // The classic pulse: 96 samples to its last non-zero one, peak 0.99 * 0.95.
    EXPECT_EQ (editor->getPulseView().getSamples().size(), 96u);

    set (syncParameters::shape, 1.0f);
    set (syncParameters::width, 10.0f);
    set (syncParameters::level, -6.0f);
    set (syncParameters::polarity, 1.0f);

    const auto& samples = editor->getPulseView().getSamples();
    ASSERT_EQ (samples.size(), 480u); // 10 ms at 48 kHz
    EXPECT_NEAR (samples.front(), -0.501f, 0.001f);
}

TEST_F (SyncEditorTest, Snapshot)
{
    play (120.0, 4.0);
    const auto snapshot = editor->createComponentSnapshot (editor->getLocalBounds());
    const auto file = juce::File (QUAVERLINE_SNAPSHOT_DIR).getChildFile ("sync-editor-snapshot.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk());
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (snapshot, stream));

    EXPECT_EQ (snapshot.getWidth(), SyncEditor::width);
    EXPECT_EQ (snapshot.getHeight(), SyncEditor::height);

    // The pulse drawing's dark field, with the green pulse in it.
    const auto pulseBounds = editor->getPulseView().getBounds();
    bool green = false;

    for (int x = pulseBounds.getX(); x < pulseBounds.getRight(); ++x)
        for (int y = pulseBounds.getY(); y < pulseBounds.getBottom(); ++y)
            green = green || snapshot.getPixelAt (x, y).getGreen() > 180;

    EXPECT_TRUE (green);
}

TEST_F (SyncEditorTest, ThreadsAudioHostAndEditorTogether)
{
    play (120.0, 0.0);
    std::atomic<bool> audioDone { false };
    auto audio = startAudioThread (*processor, audioDone);

    std::thread hostThread (
        [&]
        {
            for (int step = 0; step < 2000; ++step)
            {
                auto& resolution = processor->getSyncParameter (syncParameters::resolution);
                resolution.setValueNotifyingHost (float (step % 8) / 7.0f);
                juce::MemoryBlock saved;
                processor->getStateInformation (saved);
                processor->setStateInformation (saved.getData(), int (saved.getSize()));
            }
        });

    // The message thread: the editor's refreshes, and a width set in it.
    auto* width = dynamic_cast<juce::Slider*> (editor->getControl (syncParameters::width));
    ASSERT_NE (width, nullptr);

    for (int step = 0; ! audioDone || step < 200; ++step)
    {
        editor->refresh();
        width->setValue (0.5 + step % 50, juce::sendNotificationSync);
    }

    audio.join();
    hostThread.join();
}

} // namespace quaverline::test
