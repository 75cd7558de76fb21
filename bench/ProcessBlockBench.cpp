// processBlock's cost per sample in its three kinds of block, beside a plain
// copy of the same output as the floor.

#include "plugin/AudioClockAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <cstring>

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

namespace
{
constexpr int blockSize = 512;
constexpr double sampleRate = 48000.0;

/** A transport that stands still: every block renders the same positions. */
struct FixedPlayHead final : public juce::AudioPlayHead
{
    juce::Optional<PositionInfo> getPosition() const override { return info; }
    PositionInfo info;
};

enum class BlockKind
{
    stopped,
    counting,
    doubleRate
};

void setCounters (benchmark::State& state)
{
    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["time_per_sample"] = benchmark::Counter (
        double (blockSize), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void processBlock (benchmark::State& state, BlockKind kind)
{
    const auto numChannels = static_cast<int> (state.range (0));
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());

    auto layout = processor->getBusesLayout();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::canonicalChannelSet (numChannels);
    processor->setBusesLayout (layout);

    FixedPlayHead playHead;
    playHead.info.setIsPlaying (kind != BlockKind::stopped);
    playHead.info.setBpm (120.0);
    // Bar tick 0 locks on at the normal rate, bar tick 6 at double rate, which
    // lasts for the whole of every block from there.
    playHead.info.setPpqPosition (kind == BlockKind::doubleRate ? 0.25 : 0.0);
    processor->setPlayHead (&playHead);
    processor->setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor->prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (numChannels, blockSize);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        processor->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        benchmark::ClobberMemory();
    }

    setCounters (state);
}

void memcpyFloor (benchmark::State& state)
{
    const auto numChannels = static_cast<size_t> (state.range (0));
    std::vector<float> source (blockSize, 0.5f);
    std::vector<std::vector<float>> channels (numChannels, std::vector<float> (blockSize));

    for (auto _ : state)
    {
        for (auto& channel : channels)
        {
            std::memcpy (channel.data(), source.data(), blockSize * sizeof (float));
            benchmark::DoNotOptimize (channel.data());
        }

        benchmark::ClobberMemory();
    }

    setCounters (state);
}
} // namespace

BENCHMARK_CAPTURE (processBlock, stopped, BlockKind::stopped)->Arg (2)->Arg (8);
BENCHMARK_CAPTURE (processBlock, counting, BlockKind::counting)->Arg (2)->Arg (8);
BENCHMARK_CAPTURE (processBlock, doubleRate, BlockKind::doubleRate)->Arg (2)->Arg (8);
BENCHMARK (memcpyFloor)->Arg (1)->Arg (2)->Arg (8);

BENCHMARK_MAIN();
