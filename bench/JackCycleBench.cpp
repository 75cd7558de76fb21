// quaverline-jack's process callback without libjack: reading a master's
// transport and rendering both ports, 512-frame cycles at 48 kHz, for the
// classic clock (rendered once and copied to the right port) and Quaverline
// Sync at 4 PPQN; beside memcpyFloor/2, the same two ports as plain copies.

#include "engine/ClockRenderer.h"
#include "engine/SyncClockRenderer.h"
#include "tools/jack/JackTransportReader.h"
#include "tools/jack/TimebaseMaster.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace
{
using namespace quaverline;

constexpr jack_nframes_t cycleLength = 512;
constexpr double sampleRate = 48000.0;

void jackCycle (benchmark::State& state, bool sync)
{
    TimebaseMaster master ({ 4, 4 }, 120.0);
    JackTransportReader reader (120.0);
    ClockRenderer classic;
    SyncClockRenderer syncClock;
    classic.setSampleRate (sampleRate);
    syncClock.setSampleRate (sampleRate);
    SyncSettings settings;
    settings.pulsesPerQuarterNote = 4;
    settings.shape = SyncShape::square;
    std::vector<float> left (cycleLength), right (cycleLength);
    jack_position_t position {};

    for (auto _ : state)
    {
        master.fill (position, sampleRate);
        const auto transport = reader.read (JackTransportRolling, position, cycleLength, sampleRate);

        if (sync)
        {
            syncClock.render (left.data(), right.data(), int (cycleLength), transport, settings);
        }
        else
        {
            classic.render (left.data(), int (cycleLength), transport.transport, 6);
            std::copy (left.begin(), left.end(), right.begin());
        }

        position.frame += cycleLength;
        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
        benchmark::ClobberMemory();
    }

    state.SetItemsProcessed (state.iterations() * cycleLength);
    state.counters["time_per_sample"] = benchmark::Counter (
        double (cycleLength), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
} // namespace

BENCHMARK_CAPTURE (jackCycle, classic, false);
BENCHMARK_CAPTURE (jackCycle, syncFourPpqn, true);
