#include "engine/TimeSignatureState.h"

#include <cmath>

namespace quaverline
{

uint8_t TimeSignatureState::getIndex() const noexcept
{
    return index.load (std::memory_order_acquire);
}

float TimeSignatureState::getParameterValue() const noexcept
{
    return timeSignature::parameterValue (getIndex());
}

void TimeSignatureState::setParameterValue (float newValue) noexcept
{
    if (! std::isfinite (newValue))
        return;

    storeIndex (timeSignature::indexForParameterValue (newValue));
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
