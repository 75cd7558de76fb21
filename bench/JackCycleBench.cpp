// quaverline-jack's process callback without libjack: reading a master's
// transport and rendering both ports, 512-frame cycles at 48 kHz, for the
// classic clock (rendered once and copied to the right port) and Quaverline
// Sync at 4 PPQN with square pulses; beside memcpyFloor/2, the same two ports
// as plain copies.

#include "tools/jack/ClockCycle.h"
#include "tools/jack/TimebaseMaster.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
using namespace quaverline;

constexpr jack_nframes_t cycleLength = 512;
constexpr double sampleRate = 48000.0;

void jackCycle (benchmark::State& state, const std::vector<std::string>& arguments)
{
    TimebaseMaster master ({ 4, 4 }, 120.0);
    ClockCycle clock (*parseJackOptions (arguments).options);
    std::vector<float> left (cycleLength), right (cycleLength);
    jack_position_t position {};

    for (auto _ : state)
    {
        master.fill (position, sampleRate);
        clock.render (left.data(), right.data(), JackTransportRolling, position, cycleLength, sampleRate);
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

BENCHMARK_CAPTURE (jackCycle, classic, std::vector<std::string> {});
BENCHMARK_CAPTURE (jackCycle, syncFourPpqn, std::vector<std::string> { "--resolution", "4", "--shape", "square" });
