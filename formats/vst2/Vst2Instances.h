#pragma once

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quaverline::vst2
{

/** What the entry layer keeps for one plug-in instance, beside JUCE's wrapper. */
struct InstanceState
{
    /** The rate and maximum block size the host last set; 0 until it sets them. */
    float hostSampleRate = 0.0f;
    int hostBlockSize = 0;

    /** The host's soft bypass. */
    std::atomic<bool> bypassed { false };

    /** Whether the host has resumed the instance, and not suspended it since. */
    enum class Processing
    {
        neverResumed,
        resumed,
        suspended
    };

    std::atomic<Processing> processing { Processing::neverResumed };

    /** Channels for what the host's buffers must not see (a bypassed block, a
        missing or repeated output buffer), sized at resume; blocks are
        rendered in slices of at most scratchChannelLength samples.
    */
    std::vector<float> scratch;
    int scratchChannelLength = 0;

    /** The host's own callback, which JUCE's wrapper reaches through ours. */
    audioMasterCallback hostCallback = nullptr;

    /** While a long block is rendered in slices: how far into the block the
        slice starts.
    */
    std::atomic<int64_t> sliceOffset { 0 };

    /** The host's time information as JUCE's wrapper is given it. */
    VstTimeInfo timeInfo {};
};

/** Instances by their effect record. Lookups are lock-free, so the audio
    thread may make them; slots are claimed when an instance is created and
    released when it closes. A process with more live instances than slots
    gets no state for the extra ones.
*/
class InstanceRegistry
{
public:
    static constexpr std::size_t capacity = 1024;

    /** A fresh state for the key, or null when every slot is taken. */
    InstanceState* claim (const void* key, audioMasterCallback hostCallback) noexcept;

    /** The key's state, or null. */
    InstanceState* find (const void* key) noexcept;

    void release (const void* key) noexcept;

private:
    struct Slot
    {
        std::atomic<const void*> key { nullptr };
        InstanceState state;
    };

    Slot slots[capacity];
};

} // namespace quaverline::vst2
