// The clock engine under any transport: reports that come now and then or
// not at all, any tempo, position, sample rate, block length and index. The
// signal must stay a bounded clock signal.

#include "engine/ClockRenderer.h"
#include "engine/MusicalTime.h"
#include "engine/TransportFollower.h"
#include "fuzz/FullScale.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"

namespace
{
using namespace quaverline;
using fuzz::FuzzInput;
using fuzz::FuzzOutput;

constexpr int maximumBlock = 4096;

std::vector<uint8_t> steadyPlay (double sampleRate, double bpm, double start, int blocks, int blockSize)
{
    FuzzOutput out;
    out.put (sampleRate);

    for (int block = 0; block < blocks; ++block)
        out.put (uint64_t (blockSize + 2))
            .put (uint8_t (0))
            .put (uint8_t (1))
            .put (uint8_t (1))
            .put (bpm)
            .put (start + quaverline::musicalTime::quarterNotesIn (block * blockSize, bpm, sampleRate))
            .put (uint8_t (6))
            .put (uint8_t (0));

    return out.data;
}

std::optional<HostPosition> takeReport (FuzzInput& input)
{
    if (! input.takeBool())
        return std::nullopt;

    HostPosition report;
    report.isPlaying = input.takeBool();

    if (input.takeBool())
        report.bpm = input.take<double>();

    if (input.takeBool())
        report.ppqPosition = input.take<double>();

    if (input.takeBool())
        report.timeInSamples = input.take<int64_t>();

    return report;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    fuzz::writeSeedsIfAsked (*argc,
                             *argv,
                             { steadyPlay (48000.0, 120.0, 0.0, 8, 512),
                               steadyPlay (8000.0, 999.0, 0.0, 4, 1000),
                               steadyPlay (48000.0, 700.0, 0.25, 4, 97),
                               steadyPlay (1.0, 120.0, 1.0e15, 2, 64) });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FuzzInput input (data, size);
    ClockRenderer renderer;
    TransportFollower follower;
    renderer.setSampleRate (input.take<double>());
    static float signal[maximumBlock];

    while (! input.isEmpty())
    {
        const auto numSamples = static_cast<int> (input.takeInRange (-2, maximumBlock));
        const auto report = takeReport (input);
        TransportState transport;

        if (input.takeBool())
            transport = follower.follow (report, numSamples, renderer.getSampleRate());
        else
            transport = { input.takeBool(), input.take<double>(), input.take<double>() };

        renderer.render (signal, numSamples, transport, input.take<uint8_t>());

        if (! fuzz::withinFullScale (signal, numSamples))
            __builtin_trap();

        if (input.takeBool())
            renderer.setSampleRate (input.take<double>());
    }

    return 0;
}
