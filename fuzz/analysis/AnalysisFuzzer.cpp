// The recording analysis under recordings of any content: samples that are no
// numbers, huge or tiny, any channel count and rate, channels and polarities
// asked for that may not exist, any stated tempo and resolution, and a
// reference of the same kind.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tools/analysis/RecordingAnalysis.h"

#include <cmath>

namespace
{
using namespace quaverline;
using fuzz::FuzzInput;
using fuzz::FuzzOutput;

constexpr int64_t maximumLength = 1 << 16;

std::vector<uint8_t> clock (int spacing, int width)
{
    FuzzOutput out;
    out.put (48000.0).put (uint64_t (1)).put (uint64_t (8 * spacing));

    for (int i = 0; i < 8 * spacing; ++i)
        out.put (i % spacing < width ? 0.9f : 0.001f);

    return out.data;
}

Recording takeRecording (FuzzInput& input)
{
    Recording recording;
    recording.sampleRate = input.take<double>();
    recording.channels.resize (size_t (input.takeInRange (0, 4)));
    const auto length = input.takeInRange (0, maximumLength);

    for (auto& channel : recording.channels)
        for (int64_t i = 0; i < length && ! input.isEmpty(); ++i)
            channel.push_back (input.take<float>());

    return recording;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    fuzz::writeSeedsIfAsked (*argc, *argv, { clock (1000, 97), clock (250, 125), clock (24000, 240) });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FuzzInput input (data, size);
    const auto recording = takeRecording (input);

    PulseSearch search;
    if (input.takeBool())
        search.channel = int (input.takeInRange (-2, 6));
    if (input.takeBool())
        search.polarity = input.takeBool() ? Polarity::positive : Polarity::negative;

    ClockKnowledge knowledge;
    if (input.takeBool())
        knowledge.tempoBpm = input.take<double>();
    if (input.takeBool())
        knowledge.ppqn = int (input.takeInRange (-1, 200));

    const auto found = findPulses (recording, search);

    if (! found || found->pulses.size() < 2)
        return 0;

    const auto reference = input.takeBool() ? findPulses (takeRecording (input), {}) : std::nullopt;
    const auto report = measureClock (*found, recording.sampleRate, knowledge, reference ? &*reference : nullptr);

    if (report.pulses != found->pulses.size())
        __builtin_trap();

    return 0;
}
