// The engines on their own, one channel at 512-sample blocks: Quaverline's
// renderer and Quaverline Sync's, with the classic settings and with others,
// beside memcpyFloor/1 (the same output as a plain copy).

#include "engine/ClockRenderer.h"
#include "engine/SyncClockRenderer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
using namespace quaverline;

constexpr int blockSize = 512;
constexpr double sampleRate = 48000.0;

void setCounters (benchmark::State& state)
{
    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["time_per_sample"] = benchmark::Counter (
        double (blockSize), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void classicEngine (benchmark::State& state)
{
    ClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> output (blockSize);
    const TransportState transport { true, 120.0, 0.0 };

    for (auto _ : state)
    {
        renderer.render (output.data(), blockSize, transport, 6);
        benchmark::DoNotOptimize (output.data());
        benchmark::ClobberMemory();
    }

    setCounters (state);
}

void syncEngine (benchmark::State& state, SyncSettings settings)
{
    SyncClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> output (blockSize);
    SyncTransport host;
    host.transport = { true, 120.0, 0.0 };

    for (auto _ : state)
    {
        renderer.render (output.data(), nullptr, blockSize, host, settings);
        benchmark::DoNotOptimize (output.data());
        benchmark::ClobberMemory();
    }

    setCounters (state);
}

SyncSettings classicSettings()
{
    SyncSettings settings;
    settings.barIndex = 6;
    return settings;
}

SyncSettings squareAtFourPpqn()
{
    SyncSettings settings;
    settings.pulsesPerQuarterNote = 4;
    settings.shape = SyncShape::square;
    return settings;
}
} // namespace

BENCHMARK (classicEngine);
BENCHMARK_CAPTURE (syncEngine, classicSettings, classicSettings());
BENCHMARK_CAPTURE (syncEngine, squareAtFourPpqn, squareAtFourPpqn());
