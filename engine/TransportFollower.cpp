#include "engine/TransportFollower.h"

#include "engine/MusicalTime.h"

#include <cmath>

namespace quaverline
{

namespace
{
double quarterNotesPerSample (double bpm, double sampleRate) noexcept
{
    return sampleRate > 0.0 ? musicalTime::quarterNotesPerSample (bpm, sampleRate) : 0.0;
}
} // namespace

TransportState TransportFollower::follow (const std::optional<HostPosition>& hostPosition,
                                          int numSamples,
                                          double sampleRate) noexcept
{
    TransportState state;

    if (hostPosition.has_value())
    {
        state.isRunning = hostPosition->isPlaying;
        state.bpm = hostPosition->bpm.value_or (known ? last.bpm : 0.0);

        if (hostPosition->ppqPosition.has_value())
            state.ppqPosition = *hostPosition->ppqPosition;
        else if (hostPosition->timeInSamples.has_value())
            state.ppqPosition = double (*hostPosition->timeInSamples) * quarterNotesPerSample (state.bpm, sampleRate);

        known = true;
    }
    else if (known && last.isRunning)
    {
        state = last;
        state.ppqPosition = nextPosition;
    }
    else
    {
        return {};
    }

    last = state;
    nextPosition = state.isRunning
                       ? state.ppqPosition + double (numSamples) * quarterNotesPerSample (state.bpm, sampleRate)
                       : state.ppqPosition;
    return state;
}

} // namespace quaverline
