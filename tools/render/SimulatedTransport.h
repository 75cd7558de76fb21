#pragma once

#include "engine/MusicalTime.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace quaverline
{

/** A host transport that plays at a fixed tempo from a start position. Like a
    host, it computes each block's position from the sample count rather than
    by summing block lengths.
*/
class SimulatedTransport final : public juce::AudioPlayHead
{
public:
    SimulatedTransport (double bpmToUse, double startPositionInQuarterNotes, double sampleRateToUse)
        : bpm (bpmToUse)
        , startPosition (startPositionInQuarterNotes)
        , sampleRate (sampleRateToUse)
    {
    }

    /** Moves the transport on by one block. */
    void advance (int numSamples) noexcept { samplePosition += numSamples; }

    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setIsPlaying (true);
        info.setBpm (bpm);
        info.setTimeInSamples (samplePosition);
        info.setTimeInSeconds (double (samplePosition) / sampleRate);
        info.setPpqPosition (startPosition + musicalTime::quarterNotesIn (double (samplePosition), bpm, sampleRate));
        return info;
    }

private:
    double bpm, startPosition, sampleRate;
    juce::int64 samplePosition = 0;
};

} // namespace quaverline
