#pragma once

#include "engine/MusicalTime.h"

#include <cmath>
#include <cstdint>

namespace quaverline::barTicks
{

/** Where the clock may start counting, measured in the classic clock's 24ths
    of a quarter note from the bar line: on bar tick 0, or on bar tick 6 (one
    sixteenth in), from where it sends at twice the rate until bar tick 12, so
    that a sequencer counting pulses is on the downbeat by then.
*/
inline constexpr int64_t doubleRateStartTick = 6;
inline constexpr int64_t doubleRateEndTick = 12;

/** The bar tick of a position in its bar, as every sample's decision computes it. */
inline int64_t at (double positionInBar) noexcept
{
    return static_cast<int64_t> (std::floor (positionInBar * musicalTime::ticksPerQuarterNote));
}

} // namespace quaverline::barTicks
