#pragma once

#include "engine/TransportFollower.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

namespace quaverline
{

/** What the host's play head says at the start of a block, in the engine's
    terms: the transport, and for Quaverline Sync the bar.
*/
struct HostReport
{
    std::optional<HostPosition> position; // none: the host gave no position
    std::optional<double> barStartPosition;
    int numerator = 0; // 0: no time signature
    int denominator = 0;
};

/** Asks the play head; a missing play head or position gives an empty report. */
HostReport readHostReport (const juce::AudioPlayHead* playHead);

} // namespace quaverline
