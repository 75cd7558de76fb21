// quaverline-jack's audio thread under any JACK transport: positions from a
// timebase master of any content (bar, beat and tick fields that mean nothing,
// offsets, double ticks, not-a-numbers), any state and cycle length, read and
// rendered by both clocks; and the master's own fields for any frame, rate and
// tempo. The signal must stay within full scale.

#include "fuzz/FullScale.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tools/jack/ClockCycle.h"
#include "tools/jack/TimebaseMaster.h"

namespace
{
using namespace quaverline;
using fuzz::FuzzInput;
using fuzz::FuzzOutput;
using fuzz::withinFullScale;

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
    quaverline::JackOptions options;    // JACK names an enum JackOptions too
    options.bpm = input.take<double>(); // the tempo of a transport that gives only its frame

    if (input.takeBool())
        for (auto& value : options.syncValues())
            value = input.take<float>();

    ClockCycle clock (options);
    static float left[maximumCycle], right[maximumCycle];

    while (! input.isEmpty())
    {
        const auto state = jack_transport_state_t (input.take<uint8_t>() % 5);
        const auto numFrames = jack_nframes_t (input.takeInRange (0, maximumCycle));
        auto position = input.take<jack_position_t>();
        clock.render (left, right, state, position, numFrames, sampleRate);

        if (! withinFullScale (left, int (numFrames)) || ! withinFullScale (right, int (numFrames)))
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
