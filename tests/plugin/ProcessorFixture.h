#pragma once

#include "plugin/AudioClockAudioProcessor.h"
#include "plugin/PluginFactory.h"

#include <gtest/gtest.h>

#include <optional>

namespace quaverline::test
{

/** A play head whose answer each test sets; no position at all by default. */
struct FakePlayHead final : public juce::AudioPlayHead
{
    juce::Optional<PositionInfo> getPosition() const override
    {
        if (position)
            return *position;

        return {};
    }

    void play (double bpm, double ppqPosition)
    {
        PositionInfo info;
        info.setIsPlaying (true);
        info.setBpm (bpm);
        info.setPpqPosition (ppqPosition);
        position = info;
    }

    std::optional<PositionInfo> position;
};

/** A processor created as the format wrappers create it, prepared at 48 kHz,
    with a play head installed.
*/
class ProcessorTest : public testing::Test
{
protected:
    static constexpr double sampleRate = 48000.0;

    ProcessorTest()
        : processor (createPluginFilter())
    {
        processor->setPlayHead (&playHead);
        prepare (sampleRate, 512);
    }

    void prepare (double rate, int blockSize)
    {
        processor->setRateAndBufferSizeDetails (rate, blockSize);
        processor->prepareToPlay (rate, blockSize);
    }

    juce::AudioBuffer<float> process (int numChannels, int numSamples)
    {
        juce::AudioBuffer<float> buffer (numChannels, numSamples);
        process (buffer);
        return buffer;
    }

    void process (juce::AudioBuffer<float>& buffer)
    {
        juce::MidiBuffer midi;
        processor->processBlock (buffer, midi);
    }

    AudioClockAudioProcessor& clock() { return dynamic_cast<AudioClockAudioProcessor&> (*processor); }

    FakePlayHead playHead;
    std::unique_ptr<juce::AudioProcessor> processor;
};

} // namespace quaverline::test
