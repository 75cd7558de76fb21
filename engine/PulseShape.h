#pragma once

#include <array>
#include <cstddef>
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
} // namespace pulseShape

} // namespace quaverline
