// exactRemainder against std::fmod, bit for bit: the divisors the renderer
// uses and random ones, positions from the tiny to beyond the quick path,
// and the values the quick path must leave to the C library.

#include "engine/ExactRemainder.h"
#include "engine/TimeSignature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace quaverline::test
{

namespace
{
constexpr double tick = double (1.0f / 24.0f);
constexpr double halfTick = double (1.0f / 48.0f);

::testing::AssertionResult sameBits (double x, double y)
{
    const double expected = std::fmod (x, y);
    const double actual = exactRemainder (x, y);

    if (std::memcmp (&expected, &actual, sizeof (double)) == 0 || (std::isnan (expected) && std::isnan (actual)))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "fmod (" << x << ", " << y << "): expected " << expected << ", got "
                                         << actual;
}
} // namespace

TEST (ExactRemainder, EdgeCasesMatchTheCLibrary)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();

    const struct
    {
        double x, y;
    } cases[] = {
        { 0.0, tick },
        { -0.0, tick },
        { tick, tick },
        { 12.0 * halfTick, halfTick },
        { std::nextafter (12.0 * halfTick, 0.0), halfTick },
        { std::nextafter (12.0 * halfTick, 1.0), halfTick },
        { 0.25, halfTick },
        { 4.0, 4.0 },
        { std::nextafter (4.0, 0.0), 4.0 },
        { tick * 0x1p29, tick },
        { std::nextafter (tick * 0x1p29, 0.0), tick },
        { 1.0e15, tick },
        { -1.5, tick },
        { 1.5, 0.1 },
        { 1.5, 0.0 },
        { inf, tick },
        { nan, tick },
        { 1.5, nan },
        { 1.5, inf },
        { std::numeric_limits<double>::denorm_min(), tick },
        { 1.0, 0x1p-149 },
    };

    for (const auto& c : cases)
        EXPECT_TRUE (sameBits (c.x, c.y));
}

TEST (ExactRemainder, RandomPositionsMatchTheCLibrary)
{
    std::vector<double> divisors { tick, halfTick };

    for (int index = 0; index <= timeSignature::maximumIndex; ++index)
        divisors.push_back (timeSignature::quarterNotesPerBar (static_cast<uint8_t> (index)));

    std::mt19937_64 random (20261210);
    std::uniform_real_distribution<double> exponent (-30.0, 34.0);
    std::uniform_real_distribution<double> unit (0.5, 1.0);

    for (int i = 0; i < 200000; ++i)
    {
        // Every third divisor a random float, with all 24 bits of its significand in use.
        const double y = i % 3 == 0 ? double (static_cast<float> (unit (random) * std::exp2 (exponent (random) / 4.0)))
                                    : divisors[random() % divisors.size()];
        const double x = std::exp2 (exponent (random)) * unit (random);

        ASSERT_TRUE (sameBits (x, y));
        ASSERT_TRUE (sameBits (std::floor (x / y) * y, y));
        ASSERT_TRUE (sameBits (std::nextafter (std::floor (x / y) * y, 0.0), y));
    }
}

} // namespace quaverline::test
