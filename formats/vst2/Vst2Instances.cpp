#include "formats/vst2/Vst2Instances.h"

namespace quaverline::vst2
{

InstanceState* InstanceRegistry::claim (const void* key, audioMasterCallback hostCallback) noexcept
{
    for (auto& slot : slots)
    {
        const void* expected = nullptr;

        if (slot.key.compare_exchange_strong (expected, key, std::memory_order_acq_rel))
        {
            slot.state.hostSampleRate = 0.0f;
            slot.state.hostBlockSize = 0;
            slot.state.bypassed = false;
            slot.state.processing = InstanceState::Processing::neverResumed;
            slot.state.scratch.clear();
            slot.state.scratchChannelLength = 0;
            slot.state.hostCallback = hostCallback;
            slot.state.sliceOffset = 0;
            return &slot.state;
        }
    }

    return nullptr;
}

InstanceState* InstanceRegistry::find (const void* key) noexcept
{
    for (auto& slot : slots)
        if (slot.key.load (std::memory_order_acquire) == key)
            return &slot.state;

    return nullptr;
}

void InstanceRegistry::release (const void* key) noexcept
{
    for (auto& slot : slots)
    {
        const void* expected = key;

        if (slot.key.compare_exchange_strong (expected, nullptr, std::memory_order_acq_rel))
        {
            slot.state.scratch = {};
            return;
        }
    }
}

} // namespace quaverline::vst2
