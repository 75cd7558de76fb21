#pragma once

#include "engine/SyncClockRenderer.h"
#include "engine/SyncParameters.h"
#include "engine/TransportFollower.h"

#include "plugin/ClockProcessor.h"

#include <array>
#include <atomic>

namespace quaverline
{

/** Quaverline Sync's audio processor: the host's transport as a clock on the
    left output and the chosen signal on the right, with ten parameters.

    A thin adapter: the signal comes from SyncClockRenderer, the parameters'
    rules from syncParameters. The state is XML with a version; a state from a
    newer version restores what this one knows.
*/
class SyncAudioProcessor : public ClockProcessor
{
public:
    SyncAudioProcessor();
    ~SyncAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using AudioProcessor::processBlock;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    juce::AudioProcessorEditor* createEditor() override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    /** The parameter at an index of syncParameters::Index. */
    juce::RangedAudioParameter& getSyncParameter (int index) const noexcept;

    /** The settings the parameters give now. */
    SyncSettings getSettings() const noexcept;

    /** What the clock did in the last block, and at which tempo; for the editor. */
    SyncClockRenderer::Status getStatus() const noexcept { return renderer.getStatus(); }
    double getLastBpm() const noexcept { return lastBpm.load (std::memory_order_relaxed); }

    static constexpr const char* stateTag = "QuaverlineSync";
    static constexpr int stateVersion = 1;

private:
    static BusesProperties makeBusesProperties();
    SyncTransport readTransport (int numSamples);

    std::array<juce::RangedAudioParameter*, syncParameters::count> parameters {}; // owned by the base class
    SyncClockRenderer renderer;
    TransportFollower transportFollower;
    std::atomic<double> lastBpm { 0.0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SyncAudioProcessor)
};

} // namespace quaverline
