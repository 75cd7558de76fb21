// The processor and its editor while the audio thread runs: the host sets the
// parameter and saves and restores state from a thread of its own, and the
// editor follows and sets the parameter on the message thread. Built with
// ThreadSanitizer (scripts/test-threads), any data race fails these tests.

#include "tests/plugin/AudioThread.h"
#include "tests/plugin/EditorFixture.h"
#include "tests/plugin/ProcessorFixture.h"

#include <atomic>
#include <thread>

namespace quaverline::test
{

TEST_F (EditorTest, ThreadsAudioHostAndEditorTogether)
{
    FakePlayHead playHead;
    playHead.play (120.0, 0.0);
    processor->setPlayHead (&playHead);
    processor->setRateAndBufferSizeDetails (48000.0, 256);
    processor->prepareToPlay (48000.0, 256);
    openEditor();

    std::atomic<bool> audioDone { false };
    auto audio = startAudioThread (*processor, audioDone);

    std::thread hostThread (
        [&]
        {
            for (int step = 0; step < 2000; ++step)
            {
                processor->setParameter (0, float (step % 31) / 30.0f);
                juce::MemoryBlock saved;
                processor->getStateInformation (saved);
                processor->setStateInformation (saved.getData(), int (saved.getSize()));
                processor->getParameter (0);
            }
        });

    // The message thread: the editor's ticks, and choices made in it.
    for (int step = 0; ! audioDone || step < 200; ++step)
    {
        tick();
        list().setSelectedId (1 + step % 30);
        deliverMessages();
    }

    audio.join();
    hostThread.join();
    processor->setPlayHead (nullptr);
}

} // namespace quaverline::test
