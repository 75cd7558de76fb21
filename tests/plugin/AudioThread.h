#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <thread>

namespace quaverline::test
{

/** A host's audio thread: 2000 stereo blocks of 256 samples through the
    processor, then done is set.
*/
inline std::thread startAudioThread (juce::AudioProcessor& processor, std::atomic<bool>& done)
{
    return std::thread (
        [&processor, &done]
        {
            juce::AudioBuffer<float> buffer (2, 256);
            juce::MidiBuffer midi;

            for (int block = 0; block < 2000; ++block)
                processor.processBlock (buffer, midi);

            done = true;
        });
}

} // namespace quaverline::test
