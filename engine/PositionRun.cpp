#include "engine/PositionRun.h"

#include <algorithm>
#include <cstring>

namespace quaverline
{

namespace
{
constexpr int exponentBias = 1023;
constexpr int mantissaBits = 52;
constexpr int maximumExponentField = 0x7ff;
constexpr double twoToTheMantissaBits = 4503599627370496.0; // 2^52

double powerOfTwoFromField (int exponentField) noexcept
{
    const auto bits = static_cast<uint64_t> (exponentField) << mantissaBits;
    double value = 0.0;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}
} // namespace

PositionRun PositionRun::startingAt (double position, int64_t first, int64_t lastSample, double increment) noexcept
{
    PositionRun run;
    run.start = position;
    run.step = increment;
    run.first = first;
    run.last = first;

    uint64_t bits = 0;
    std::memcpy (&bits, &position, sizeof (bits));
    const auto exponentField = static_cast<int> ((bits >> mantissaBits) & maximumExponentField);

    // Positive, normal, with a representable ulp and a representable next power of two.
    if (! (position > 0.0) || exponentField <= mantissaBits || exponentField + 1 >= maximumExponentField)
        return run;

    // The ulp of the position's binade and its inverse, both powers of two, so
    // that scaling by them is exact.
    const double ulp = powerOfTwoFromField (exponentField - mantissaBits);
    const double ulpsPerUnit = powerOfTwoFromField (2 * exponentBias + mantissaBits - exponentField);
    const double binadeEnd = powerOfTwoFromField (exponentField + 1);
    const double units = increment * ulpsPerUnit;

    if (! (units > 0.0 && units < twoToTheMantissaBits))
        return run;

    // Whole numbers below 2^52: the conversions to integers are exact.
    const auto whole = static_cast<int64_t> (units);
    const double remainder = units - double (whole);

    if (remainder == 0.5)
        return run;

    const int64_t stepUnits = remainder < 0.5 ? whole : whole + 1;

    if (stepUnits == 0)
        return run;

    run.step = double (stepUnits) * ulp;

    // The position is m ulps and the binade ends at 2^53 ulps: samples first + k
    // for k = 0 .. more stay inside it, where m + more * stepUnits < 2^53. When
    // the rest of the block clearly fits, no division is needed.
    const auto roomUnits = static_cast<int64_t> ((binadeEnd - position) * ulpsPerUnit);
    const auto wanted = lastSample - first;

    if (double (wanted) * double (stepUnits) < double (roomUnits) * (1.0 - 0x1p-40))
    {
        run.last = lastSample;
        return run;
    }

    const auto more = (roomUnits - 1) / stepUnits;
    run.last = std::min (lastSample, first + more);
    return run;
}

double PositionRun::advance (double position, int64_t samples, double increment) noexcept
{
    while (samples > 0)
    {
        // Below eight increments the binades hold a few samples each: adding
        // is quicker than working out their runs, and the same by definition.
        if (position < 8.0 * increment)
        {
            position += increment;
            --samples;
            continue;
        }

        const auto run = startingAt (position, 0, samples, increment);

        if (run.last == samples)
            return run.at (samples);

        position = run.at (run.last) + increment;
        samples -= run.last + 1;
    }

    return position;
}

} // namespace quaverline
