// The plug-in's LV2 entry point. JUCE's LV2 wrapper does the work; this layer
// sits in front of it and hands it only what it handles safely: a maximum
// block length it can prepare for, blocks no longer than that, input events
// that lie within their sequence (MIDI left out: the plug-in ignores it), and
// saved state whose encoded size is possible. Hosts hold this layer's
// instances; the UI's entry point (Lv2UiGuard.cpp) finds JUCE's behind them.

#include "formats/lv2/Lv2AtomCheck.h"
#include "formats/lv2/Lv2Instances.h"
#include "formats/lv2/Lv2StateCheck.h"
#include "plugin/identity/PluginIdentity.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// JUCE's own entry point, renamed at compile time so that this one is the
// only way in.
extern "C" const LV2_Descriptor* juceLv2Descriptor (uint32_t index);

namespace
{
namespace lv2 = quaverline::lv2;

// JUCE's ports: the audio outputs first, then the atom input and output.
constexpr uint32_t numAudioOutputs = static_cast<uint32_t> (quaverline::identity::outputChannels);
constexpr uint32_t atomInputPort = numAudioOutputs;
constexpr uint32_t atomOutputPort = numAudioOutputs + 1;

// Blocks are rendered in slices of at most this many samples; a host that
// announces no usable maximum gets slices of the fallback length.
constexpr int32_t maximumSliceLength = 8192;
constexpr int32_t fallbackSliceLength = 1024;

// Room for the input events of one block, and for the answers of a slice
// whose answers the host does not see.
constexpr std::size_t inputCapacity = 65536;
constexpr std::size_t scratchOutputCapacity = 4096;

const LV2_Descriptor& juceDescriptor()
{
    static const LV2_Descriptor* const descriptor = juceLv2Descriptor (0);
    return *descriptor;
}

struct Instance
{
    LV2_Handle juce = nullptr;
    int32_t sliceLength = fallbackSliceLength;
    LV2_URID midiEvent = 0, sequenceType = 0, objectType = 0, blankType = 0, stringType = 0;

    float* audioOutputs[numAudioOutputs] {};
    const LV2_Atom_Sequence* hostInput = nullptr;
    LV2_Atom_Sequence* hostOutput = nullptr;

    // 8-byte words keep the atoms aligned as LV2 wants them.
    std::vector<uint64_t> input = std::vector<uint64_t> (inputCapacity / sizeof (uint64_t));
    std::vector<uint64_t> scratchOutput = std::vector<uint64_t> (scratchOutputCapacity / sizeof (uint64_t));
};

/** The live instances, for the UI's instance access. Only the host's
    instantiate, cleanup and UI threads come here, never the audio thread.
*/
struct LiveInstances
{
    std::mutex lock;
    std::vector<const Instance*> instances;
};

LiveInstances& liveInstances()
{
    static LiveInstances live;
    return live;
}

/** The maximum block length an option gives, when it is a number that can be read. */
std::optional<int64_t> readBlockLength (const LV2_Options_Option& option, const LV2_URID_Map& map)
{
    if (option.value == nullptr)
        return std::nullopt;

    const auto is = [&] (const char* uri, std::size_t size)
    { return option.type == map.map (map.handle, uri) && option.size == size; };

    if (is (LV2_ATOM__Int, sizeof (int32_t)))
        return *static_cast<const int32_t*> (option.value);

    if (is (LV2_ATOM__Long, sizeof (int64_t)))
        return *static_cast<const int64_t*> (option.value);

    // Lengths given as real numbers: below one (or not a number) reads as 0.
    const auto fromReal = [] (double length) -> int64_t
    { return length >= 1.0 ? static_cast<int64_t> (std::min (length, 1.0e9)) : 0; };

    if (is (LV2_ATOM__Float, sizeof (float)))
        return fromReal (*static_cast<const float*> (option.value));

    if (is (LV2_ATOM__Double, sizeof (double)))
        return fromReal (*static_cast<const double*> (option.value));

    return std::nullopt;
}

const LV2_Feature* findFeature (const LV2_Feature* const* features, const char* uri)
{
    for (auto* const* feature = features; *feature != nullptr; ++feature)
        if ((*feature)->URI != nullptr && std::strcmp ((*feature)->URI, uri) == 0)
            return *feature;

    return nullptr;
}

LV2_Handle
    instantiate (const LV2_Descriptor*, double sampleRate, const char* bundlePath, const LV2_Feature* const* features)
{
    if (features == nullptr)
        return nullptr;

    const auto* mapFeature = findFeature (features, LV2_URID__map);
    const auto* optionsFeature = findFeature (features, LV2_OPTIONS__options);

    if (mapFeature == nullptr || mapFeature->data == nullptr || optionsFeature == nullptr ||
        optionsFeature->data == nullptr)
        return nullptr;

    const auto& map = *static_cast<const LV2_URID_Map*> (mapFeature->data);
    auto instance = std::make_unique<Instance>();
    const auto maxBlockLength = map.map (map.handle, LV2_BUF_SIZE__maxBlockLength);

    // The options as JUCE sees them: the host's, with the maximum block length
    // made one it can prepare for.
    std::vector<LV2_Options_Option> options;
    std::optional<int64_t> announced;

    for (auto* option = static_cast<const LV2_Options_Option*> (optionsFeature->data);
         option->key != 0 || option->value != nullptr;
         ++option)
    {
        if (option->key == maxBlockLength)
            announced = readBlockLength (*option, map);
        else
            options.push_back (*option);
    }

    if (! announced)
        return nullptr; // JUCE's wrapper needs the host's maximum

    instance->sliceLength = *announced > 0 ? static_cast<int32_t> (std::min<int64_t> (*announced, maximumSliceLength))
                                           : fallbackSliceLength;
    options.push_back ({ LV2_OPTIONS_INSTANCE,
                         0,
                         maxBlockLength,
                         sizeof (int32_t),
                         map.map (map.handle, LV2_ATOM__Int),
                         &instance->sliceLength });
    options.push_back ({ LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr });

    const LV2_Feature juceOptions { LV2_OPTIONS__options, options.data() };
    std::vector<const LV2_Feature*> juceFeatures;

    for (auto* const* feature = features; *feature != nullptr; ++feature)
        juceFeatures.push_back (*feature == optionsFeature ? &juceOptions : *feature);

    juceFeatures.push_back (nullptr);

    instance->midiEvent = map.map (map.handle, LV2_MIDI__MidiEvent);
    instance->sequenceType = map.map (map.handle, LV2_ATOM__Sequence);
    instance->objectType = map.map (map.handle, LV2_ATOM__Object);
    instance->blankType = map.map (map.handle, LV2_ATOM__Blank);
    instance->stringType = map.map (map.handle, LV2_ATOM__String);
    instance->juce = juceDescriptor().instantiate (&juceDescriptor(), sampleRate, bundlePath, juceFeatures.data());

    if (instance->juce == nullptr)
        return nullptr;

    juceDescriptor().connect_port (instance->juce, atomInputPort, instance->input.data());

    auto& live = liveInstances();
    const std::lock_guard<std::mutex> hold (live.lock);
    live.instances.push_back (instance.get());
    return instance.release();
}

void connectPort (LV2_Handle handle, uint32_t port, void* data)
{
    auto& instance = *static_cast<Instance*> (handle);

    if (port < numAudioOutputs)
        instance.audioOutputs[port] = static_cast<float*> (data);
    else if (port == atomInputPort)
        instance.hostInput = static_cast<const LV2_Atom_Sequence*> (data);
    else if (port == atomOutputPort)
        instance.hostOutput = static_cast<LV2_Atom_Sequence*> (data);
    else
        juceDescriptor().connect_port (instance.juce, port, data);
}

void activate (LV2_Handle handle)
{
    juceDescriptor().activate (static_cast<Instance*> (handle)->juce);
}

void deactivate (LV2_Handle handle)
{
    juceDescriptor().deactivate (static_cast<Instance*> (handle)->juce);
}

void run (LV2_Handle handle, uint32_t numSamples)
{
    auto& instance = *static_cast<Instance*> (handle);
    auto& juce = juceDescriptor();
    auto* const input = reinterpret_cast<LV2_Atom_Sequence*> (instance.input.data());

    const lv2::AtomTypes types { instance.sequenceType, instance.objectType, instance.blankType, instance.midiEvent };
    lv2::copySoundEvents (instance.hostInput, input, inputCapacity, types);

    // The host's output capacity, which JUCE overwrites with what it wrote.
    const auto outputCapacity = instance.hostOutput != nullptr ? instance.hostOutput->atom.size : 0;
    auto* const scratchOutput = reinterpret_cast<LV2_Atom_Sequence*> (instance.scratchOutput.data());

    // A block of 0 samples is still one call: it delivers the events. The
    // count is 64 bits wide, so that it cannot wrap near 2^32 samples.
    const auto sliceLength = uint64_t (instance.sliceLength);
    uint64_t done = 0;

    do
    {
        const auto length = uint32_t (std::min (sliceLength, numSamples - done));
        const auto isLast = numSamples - done <= sliceLength;

        for (uint32_t channel = 0; channel < numAudioOutputs; ++channel)
            juce.connect_port (instance.juce,
                               channel,
                               instance.audioOutputs[channel] != nullptr ? instance.audioOutputs[channel] + done
                                                                         : nullptr);

        // Only the last slice answers the host; the others answer into scratch.
        auto* const output = isLast ? instance.hostOutput : scratchOutput;

        if (output != nullptr)
            output->atom.size = isLast ? outputCapacity : uint32_t (scratchOutputCapacity - sizeof (LV2_Atom));

        juce.connect_port (instance.juce, atomOutputPort, output);
        juce.run (instance.juce, length);

        // The events belong to the first slice.
        input->atom.size = sizeof (LV2_Atom_Sequence_Body);

        done += sliceLength;
    } while (done < numSamples);
}

void cleanup (LV2_Handle handle)
{
    std::unique_ptr<Instance> instance (static_cast<Instance*> (handle));

    {
        auto& live = liveInstances();
        const std::lock_guard<std::mutex> hold (live.lock);
        live.instances.erase (std::remove (live.instances.begin(), live.instances.end(), instance.get()),
                              live.instances.end());
    }

    juceDescriptor().cleanup (instance->juce);
}

// The host's retrieve function, with values that cannot be sound left out.
struct CheckedRetrieve
{
    LV2_State_Retrieve_Function retrieve;
    LV2_State_Handle handle;
    LV2_URID stringType;
};

const void* retrieveChecked (LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto& checked = *static_cast<const CheckedRetrieve*> (handle);
    size_t valueSize = 0;
    uint32_t valueType = 0;
    const auto* value = checked.retrieve (checked.handle, key, &valueSize, &valueType, flags);

    if (value != nullptr && valueType == checked.stringType &&
        ! lv2::isPossibleEncodedState (static_cast<const char*> (value), valueSize))
        return nullptr;

    if (size != nullptr)
        *size = valueSize;

    if (type != nullptr)
        *type = valueType;

    return value;
}

const LV2_State_Interface* juceState()
{
    static const auto* const state =
        static_cast<const LV2_State_Interface*> (juceDescriptor().extension_data (LV2_STATE__interface));
    return state;
}

LV2_State_Status save (LV2_Handle handle,
                       LV2_State_Store_Function store,
                       LV2_State_Handle storeHandle,
                       uint32_t flags,
                       const LV2_Feature* const* features)
{
    if (store == nullptr)
        return LV2_STATE_ERR_UNKNOWN;

    return juceState()->save (static_cast<Instance*> (handle)->juce, store, storeHandle, flags, features);
}

LV2_State_Status restore (LV2_Handle handle,
                          LV2_State_Retrieve_Function retrieve,
                          LV2_State_Handle retrieveHandle,
                          uint32_t flags,
                          const LV2_Feature* const* features)
{
    if (retrieve == nullptr)
        return LV2_STATE_ERR_UNKNOWN;

    auto& instance = *static_cast<Instance*> (handle);
    CheckedRetrieve checked { retrieve, retrieveHandle, instance.stringType };
    return juceState()->restore (instance.juce, retrieveChecked, &checked, flags, features);
}

const void* extensionData (const char* uri)
{
    static const LV2_State_Interface state { save, restore };

    if (uri != nullptr && std::strcmp (uri, LV2_STATE__interface) == 0)
        return juceState() != nullptr ? &state : nullptr;

    // Everything else JUCE offers (its build step's Turtle recall) needs no instance.
    return uri != nullptr ? juceDescriptor().extension_data (uri) : nullptr;
}
} // namespace

void* quaverline::lv2::juceInstanceBehind (const void* handle) noexcept
{
    auto& live = liveInstances();
    const std::lock_guard<std::mutex> hold (live.lock);
    const auto found = std::find (live.instances.begin(), live.instances.end(), handle);
    return found != live.instances.end() ? (*found)->juce : nullptr;
}

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    static const LV2_Descriptor descriptor { juceDescriptor().URI, instantiate, connectPort,  activate, run,
                                             deactivate,           cleanup,     extensionData };
    return index == 0 ? &descriptor : nullptr;
}
