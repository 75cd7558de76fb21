#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace quaverline
{

/** The 97-sample pulse written at every clock tick: a ringing rise, a plateau
    and a smooth fall to exactly 0. Drum machines and sequencers with a clock
    input trigger reliably on its steep, ~2 ms front.
*/
namespace pulseShape
{
inline constexpr std::size_t length = 97;

/** Multiplied with every table entry in double precision. */
inline constexpr double gain = 0.949999988079071044921875; // 0.95f

// The table's rows follow the shape: rise, plateau, dip at 28, plateau, fall.
// clang-format off
inline constexpr double table[] {
    0.7886, 0.99, 0.8993, 0.9624, 0.916, 0.9493, 0.9269, 0.9406,
    0.9336, 0.9359, 0.9365, 0.9345, 0.9368, 0.9347, 0.9364, 0.9351,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.9328,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358, 0.9358,
    0.933, 0.9293, 0.9239, 0.9162, 0.9053, 0.8905, 0.8709, 0.8462,
    0.8161, 0.7803, 0.7391, 0.6928, 0.6422, 0.588, 0.5314, 0.4733,
    0.4152, 0.3582, 0.3035, 0.2521, 0.205, 0.1628, 0.126, 0.0948,
    0.0691, 0.0486, 0.0329, 0.0213, 0.0131, 0.0074, 0.0034, 0.0003,
    0.0
};
// clang-format on
static_assert (std::size (table) == length);

/** The output samples: each entry times the gain, rounded once to float. */
inline constexpr std::array<float, length> samples = []
{
    std::array<float, length> result {};

    for (std::size_t i = 0; i < length; ++i)
        result[i] = static_cast<float> (table[i] * gain);

    return result;
}();

/** The pulse's length where ticks come tickSpacing quarter notes apart. A pulse
    needs one idle sample after it before the next tick can trigger, so the
    whole pulse fits only where ticks are 98 or more samples apart. Closer ticks
    get the start of the pulse, half their spacing long: every tick still
    reaches the hardware as an edge of its own.
*/
inline uint32_t lengthFor (double tickSpacing, double increment) noexcept
{
    constexpr auto fullLength = static_cast<uint32_t> (length);

    if (! (increment > 0.0))
        return fullLength;

    const double samplesPerTick = tickSpacing / increment;

    if (samplesPerTick >= double (fullLength + 1))
        return fullLength;

    return std::max (1u, static_cast<uint32_t> (std::floor (samplesPerTick / 2.0)));
}
} // namespace pulseShape

} // namespace quaverline
