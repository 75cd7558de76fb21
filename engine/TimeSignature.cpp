#include "engine/TimeSignature.h"

#include <cmath>

namespace quaverline::timeSignature
{

namespace
{
// Bounds below which the float and 64-bit integer conversions are defined.
constexpr double floatConversionLimit = 1.0e30;
constexpr float int64ConversionLimit = 9.223372036854775808e18f; // 2^63
} // namespace

std::string label (int index)
{
    const auto eighths = std::to_string (eighthsPerBar (index));
    return (eighths.size() < 2 ? " " : "") + eighths + "/8";
}

float parameterValue (int index) noexcept
{
    return static_cast<float> (double (index) / double (numChoices));
}

uint8_t indexForParameterValue (float value) noexcept
{
    // The product is rounded to float before it is rounded to an integer, so a
    // product just below a half that becomes exactly the half rounds up
    // (0.35f gives 10.4999998 -> 10.5f -> 11). Only the low byte is kept.
    const double product = double (value) * double (numChoices);

    // Values far outside 0..1 (or not finite) keep the low byte of what the x64
    // conversion has always given them: the "integer indefinite" value, low byte 0.
    if (! (std::abs (product) < floatConversionLimit))
        return 0;

    const float rounded = std::round (static_cast<float> (product));

    if (! (std::abs (rounded) < int64ConversionLimit))
        return 0;

    return static_cast<uint8_t> (static_cast<int64_t> (rounded));
}

} // namespace quaverline::timeSignature
