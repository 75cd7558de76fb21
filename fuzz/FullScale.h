#pragma once

#include <cmath>

namespace quaverline::fuzz
{

/** Whether every sample is a number within full scale, as a clock's signal
    must be whatever it was given.
*/
inline bool withinFullScale (const float* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        if (! (std::abs (samples[i]) <= 1.0f))
            return false;

    return true;
}

} // namespace quaverline::fuzz
