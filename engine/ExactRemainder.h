#pragma once

#include <cmath>
#include <limits>

namespace quaverline
{

/** std::fmod (x, y), bit for bit, without the C library's long division where
    the quotient is small: the renderer asks for the phase of a position in a
    tick or a bar a few times in every block.

    For 0 < x < y * 2^29 and a y of at most 24 significant bits, n * y is exact
    for every whole n up to the quotient, and the rounded quotient's floor is
    the true one or one more (rounding is monotonic). One more makes x - n * y
    negative, and still exact, as x and n * y are then within a factor of two;
    adding y back gives the remainder, which is representable, so exactly.
    Everything else goes to std::fmod.
*/
inline double exactRemainder (double x, double y) noexcept
{
    // x > 0 and x < y * 2^29 make y positive; -0, infinities and not-a-numbers fail them.
    if (! (x > 0.0 && x < y * 0x1p29 && y <= std::numeric_limits<float>::max() && double (static_cast<float> (y)) == y))
        return std::fmod (x, y);

    const double remainder = x - std::floor (x / y) * y;
    return remainder < 0.0 ? remainder + y : remainder;
}

} // namespace quaverline
