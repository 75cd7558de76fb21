#include "TimeSignatureState.h"

#include <cmath>

namespace quaverline
{

namespace
{
// Bounds below which the float and 64-bit integer conversions are defined.
constexpr double floatConversionLimit = 1.0e30;
constexpr float int64ConversionLimit = 9.223372036854775808e18f; // 2^63
} // namespace

uint8_t TimeSignatureState::getIndex() const noexcept
{
    return index.load (std::memory_order_acquire);
}

float TimeSignatureState::getParameterValue() const noexcept
{
    return static_cast<float> (double (getIndex()) / double (numChoices));
}

uint8_t TimeSignatureState::indexForParameterValue (float value) noexcept
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

void TimeSignatureState::setParameterValue (float newValue) noexcept
{
    if (! std::isfinite (newValue))
        return;

    storeIndex (indexForParameterValue (newValue));
}

std::vector<uint8_t> TimeSignatureState::getState() const
{
    return { getIndex() };
}

void TimeSignatureState::setState (const void* data, int sizeInBytes) noexcept
{
    if (data == nullptr || sizeInBytes <= 0)
        return;

    storeIndex (*static_cast<const uint8_t*> (data));
}

bool TimeSignatureState::takeChangedFlag() noexcept
{
    return changed.exchange (false, std::memory_order_acq_rel);
}

void TimeSignatureState::storeIndex (uint8_t newIndex) noexcept
{
    index.store (newIndex, std::memory_order_release);
    changed.store (true, std::memory_order_release);
}

} // namespace quaverline
