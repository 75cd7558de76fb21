#pragma once

#include <cstdint>

namespace quaverline
{

/** The exact positions of a run of samples whose positions come from repeated
    addition of one increment.

    Between two powers of two every double is a multiple of the same ulp, and
    position + increment rounds to position + step with one constant step (the
    increment rounded to a multiple of that ulp), unless the increment's
    remainder is exactly half an ulp, where rounding to even alternates. So
    inside one binade the position k samples on is start + k * step, exactly,
    without adding k times. A run ends with the last sample whose position is
    still inside the binade; the next position comes from a real addition.

    Where the rule cannot be proven (a position that is 0, negative, not
    normal or not finite; a tie; an increment that rounds to 0 or leaves the
    binade at once) the run holds just its first sample.
*/
struct PositionRun
{
    /** The run that starts at sample first with the given position, ending at
        lastSample at the latest.
    */
    static PositionRun startingAt (double position, int64_t first, int64_t lastSample, double increment) noexcept;

    /** The position a number of samples on from the given one, exactly as
        adding the increment that many times gives it.
    */
    static double advance (double position, int64_t samples, double increment) noexcept;

    /** The position of a sample of the run. */
    double at (int64_t sample) const noexcept { return start + double (sample - first) * step; }

    double start = 0.0;
    double step = 0.0;
    int64_t first = 0;
    int64_t last = 0;
};

} // namespace quaverline
