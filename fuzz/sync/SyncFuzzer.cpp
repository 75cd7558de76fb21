// Quaverline Sync's engine under any transport, host bar and settings: plain
// values from anywhere (hosts, files) through the parameter rules, and block
// lengths, tempos, positions, bar starts, time signatures and rates of any
// kind. The signal must stay within the pulse level on both outputs.

#include "engine/SyncClockRenderer.h"
#include "engine/SyncParameters.h"
#include "fuzz/FullScale.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"

namespace
{
using namespace quaverline;
using fuzz::FuzzInput;
using fuzz::FuzzOutput;

constexpr int maximumBlock = 4096;

std::vector<uint8_t> steadyPlay (double sampleRate, float resolutionChoice, float offsetMs, int blocks)
{
    FuzzOutput out;
    out.put (sampleRate);

    for (int block = 0; block < blocks; ++block)
    {
        out.put (uint64_t (512 + 2)).put (uint8_t (1)).put (120.0).put (block * 512 * 120.0 / (60.0 * sampleRate));
        out.put (uint8_t (1)).put (0.0).put (int32_t (4)).put (int32_t (4));

        for (int index = 0; index < syncParameters::count; ++index)
            out.put (index == syncParameters::resolution ? resolutionChoice
                                                         : (index == syncParameters::offset ? offsetMs : 0.0f));

        out.put (uint8_t (0));
    }

    return out.data;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    fuzz::writeSeedsIfAsked (*argc,
                             *argv,
                             { steadyPlay (48000.0, 5.0f, 0.0f, 8),
                               steadyPlay (44100.0, 2.0f, -30.0f, 4),
                               steadyPlay (192000.0, 7.0f, 100.0f, 4) });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FuzzInput input (data, size);
    SyncClockRenderer renderer;
    renderer.setSampleRate (input.take<double>());
    static float left[maximumBlock], right[maximumBlock];

    while (! input.isEmpty())
    {
        const auto numSamples = static_cast<int> (input.takeInRange (-2, maximumBlock));
        SyncTransport host;
        host.transport.isRunning = input.takeBool();
        host.transport.bpm = input.take<double>();
        host.transport.ppqPosition = input.take<double>();
        host.hasBarStart = input.takeBool();
        host.barStartPosition = input.take<double>();
        host.numerator = input.take<int32_t>();
        host.denominator = input.take<int32_t>();

        syncParameters::PlainValues values {};
        for (auto& value : values)
            value = input.take<float>();

        renderer.render (
            left, input.takeBool() ? nullptr : right, numSamples, host, syncParameters::settingsFrom (values));

        if (! fuzz::withinFullScale (left, numSamples) || ! fuzz::withinFullScale (right, numSamples))
            __builtin_trap();

        if (input.takeBool())
            renderer.setSampleRate (input.take<double>());
    }

    return 0;
}
