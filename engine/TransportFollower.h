#pragma once

#include "engine/TransportState.h"

#include <cstdint>
#include <optional>

namespace quaverline
{

/** What a host told about its transport for one block, if anything. */
struct HostPosition
{
    bool isPlaying = false;
    std::optional<double> bpm;
    std::optional<double> ppqPosition;
    std::optional<int64_t> timeInSamples;
};

/** Turns position reports that come only now and then, and without a position
    in quarter notes, into a position for every block.

    LV2 hosts send a time position when something changes (start, tempo,
    relocation) and nothing in between; some send the frame and the tempo but
    not the beat. A report without a quarter-note position gets one from its
    frame at its tempo; a block without a report continues from the last one
    while the transport plays.
*/
class TransportFollower
{
public:
    /** The transport for a block of numSamples samples; hostPosition is empty
        when the host sent nothing for this block.
    */
    TransportState follow (const std::optional<HostPosition>& hostPosition, int numSamples, double sampleRate) noexcept;

private:
    bool known = false;
    TransportState last;
    double nextPosition = 0.0;
};

} // namespace quaverline
