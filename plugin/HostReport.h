#pragma once

#include "engine/TransportFollower.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

namespace quaverline
{

using HostInfo = juce::Optional<juce::AudioPlayHead::PositionInfo>;

/** The play head's answer for this block; nothing without a play head. */
HostInfo askPlayHead (const juce::AudioPlayHead* playHead);

/** The host's transport in the engine's terms; none if the host gave no position. */
std::optional<HostPosition> hostPositionOf (const HostInfo& info);

/** What the host says of the bar, for Quaverline Sync. */
struct HostBar
{
    std::optional<double> startPosition;
    int numerator = 0; // 0: no time signature
    int denominator = 0;
};

HostBar hostBarOf (const HostInfo& info);

} // namespace quaverline
