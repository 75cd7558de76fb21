// quaverline-jack's audio thread under any JACK transport: positions from a
// timebase master of any content (bar, beat and tick fields that mean nothing,
// offsets, double ticks, not-a-numbers), any state and cycle length, read and
// rendered by both clocks; and the master's own fields for any frame, rate and
// tempo. The signal must stay within full scale.

#include "engine/ClockRenderer.h"
#include "engine/SyncClockRenderer.h"
#include "engine/SyncParameters.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tools/jack/JackTransportReader.h"
#include "tools/jack/TimebaseMaster.h"

#include <cmath>

namespace
{
using namespace quaverline;
using fuzz::FuzzInput;
using fuzz::FuzzOutput;

constexpr int maximumCycle = 4096;

/** A master at 120 bpm in 4/4 rolling from frame 0, as quaverline-jack's own gives it. */
std::vector<uint8_t> rolling (double sampleRate, uint32_t period, bool wholeTicks, int cycles)
{
    FuzzOutput out;
    out.put (sampleRate).put (120.0).put (uint8_t (wholeTicks ? 1 : 0));
    TimebaseMaster master ({ 4, 4 }, 120.0);

    for (int cycle = 0; cycle < cycles; ++cycle)
    {
        jack_position_t position {};
        position.frame = jack_nframes_t (cycle) * period;
        master.fill (position, sampleRate);

        if (wholeTicks)
            position.valid = JackPositionBBT;

        out.put (uint8_t (JackTransportRolling)).put (uint64_t (period + 1)).put (position);
        out.put (uint8_t (0));
    }

    return out.data;
}

bool withinFullScale (const float* samples, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
        if (! (std::abs (samples[i]) <= 1.0f))
            return false;

    return true;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    fuzz::writeSeedsIfAsked (
        *argc,
        *argv,
        { rolling (48000.0, 1024, false, 8), rolling (44100.0, 256, true, 16), rolling (96000.0, 64, true, 8) });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FuzzInput input (data, size);
    const auto sampleRate = input.take<double>();
    JackTransportReader reader (input.take<double>());
    ClockRenderer classic;
    SyncClockRenderer sync;
    classic.setSampleRate (sampleRate);
    sync.setSampleRate (sampleRate);

    syncParameters::PlainValues values {};
    const bool useSync = input.takeBool();
    if (useSync)
        for (auto& value : values)
            value = input.take<float>();

    const auto settings = syncParameters::settingsFrom (values);
    static float left[maximumCycle], right[maximumCycle];

    while (! input.isEmpty())
    {
        const auto state = jack_transport_state_t (input.take<uint8_t>() % 5);
        const auto numFrames = jack_nframes_t (input.takeInRange (0, maximumCycle));
        auto position = input.take<jack_position_t>();
        const auto transport = reader.read (state, position, numFrames, sampleRate);

        if (useSync)
            sync.render (left, right, int (numFrames), transport, settings);
        else
            classic.render (left, int (numFrames), transport.transport, 6);

        if (! withinFullScale (left, int (numFrames)) || (useSync && ! withinFullScale (right, int (numFrames))))
            __builtin_trap();

        // The master's fields for this frame, at any tempo and meter.
        if (input.takeBool())
        {
            TimebaseMaster master ({ int (input.takeInRange (1, 64)), 1 << input.takeInRange (0, 6) },
                                   input.take<double>());
            master.setTempo (input.take<double>());
            master.fill (position, input.take<double>());
        }
    }

    return 0;
}
