#pragma once

// An LV2 host for the tests: the built plug-in's library loaded as LV2 hosts
// load it (QUAVERLINE_LV2_LIBRARY, QUAVERLINE_LV2_BUNDLE, QUAVERLINE_LV2_URI).

#include "tests/support/PluginLibrary.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quaverline::test
{

constexpr int blockSize = 512;
constexpr double sampleRate = 48000.0;

enum Port : uint32_t
{
    leftOut = 0,
    rightOut = 1,
    controlIn = 2,
    controlOut = 3,
    latency = 4,
    freeWheeling = 5,
    enabled = 6
};

/** The host's URI table. */
class UridMap
{
public:
    LV2_URID map (const char* uri)
    {
        const auto [entry, added] = ids.emplace (uri, static_cast<LV2_URID> (ids.size() + 1));
        return entry->second;
    }

    LV2_URID_Map feature { this, [] (LV2_URID_Map_Handle handle, const char* uri) {
                              return static_cast<UridMap*> (handle)->map (uri);
                          } };

private:
    std::map<std::string, LV2_URID> ids;
};

/** Bytes as JUCE's LV2 wrapper saves them: their size, a point and JUCE's own
    base-64 digits (six bits at a time from the lowest), with a terminating zero.
*/
inline std::string juceBase64 (const std::string& bytes)
{
    static constexpr char digits[] = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
    std::string text = std::to_string (bytes.size()) + ".";

    for (size_t bit = 0; bit < bytes.size() * 8; bit += 6)
    {
        unsigned value = 0;

        for (size_t k = 0; k < 6 && bit + k < bytes.size() * 8; ++k)
            value |= ((uint8_t (bytes[(bit + k) / 8]) >> ((bit + k) % 8)) & 1u) << k;

        text += digits[value];
    }

    return text + '\0';
}

/** A parameter value a host sets through a patch:Set message. */
struct ParameterValue
{
    const char* symbol;
    float value;
};

/** An LV2 host around one instance of the built plug-in: its ports connected,
    time positions sent as Ardour sends them, parameters set, state saved and
    restored.
*/
class Lv2HostFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        library = openPluginLibrary (QUAVERLINE_LV2_LIBRARY);
        ASSERT_NE (library, nullptr);
        const auto descriptorFunction = pluginEntryPoint<LV2_Descriptor_Function> (library, "lv2_descriptor");
        ASSERT_NE (descriptorFunction, nullptr);
        descriptor = descriptorFunction (0);
        ASSERT_NE (descriptor, nullptr);
        ASSERT_STREQ (descriptor->URI, QUAVERLINE_LV2_URI);

        maxBlockLength = blockSize;
        options = { { LV2_OPTIONS_INSTANCE,
                      0,
                      urids.map (LV2_BUF_SIZE__maxBlockLength),
                      sizeof (int32_t),
                      urids.map (LV2_ATOM__Int),
                      &maxBlockLength },
                    { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr } };
        mapFeature = { LV2_URID__map, &urids.feature };
        optionsFeature = { LV2_OPTIONS__options, options.data() };
        boundedFeature = { LV2_BUF_SIZE__boundedBlockLength, nullptr };
        const LV2_Feature* features[] = { &mapFeature, &optionsFeature, &boundedFeature, nullptr };

        instance = descriptor->instantiate (descriptor, sampleRate, QUAVERLINE_LV2_BUNDLE "/", features);
        ASSERT_NE (instance, nullptr);

        descriptor->connect_port (instance, leftOut, left.data());
        descriptor->connect_port (instance, rightOut, right.data());
        descriptor->connect_port (instance, controlIn, input.data());
        descriptor->connect_port (instance, controlOut, output.data());
        descriptor->connect_port (instance, latency, &latencyValue);
        descriptor->connect_port (instance, freeWheeling, &freeWheelingValue);
        descriptor->connect_port (instance, enabled, &enabledValue);
        descriptor->activate (instance);

        lv2_atom_forge_init (&forge, &urids.feature);
    }

    void TearDown() override
    {
        if (instance != nullptr)
        {
            descriptor->deactivate (instance);
            descriptor->cleanup (instance);
        }
    }

    /** Runs one block; with a frame, the host reports its transport first,
        and with a parameter value it sets that parameter.
    */
    std::vector<float> run (std::optional<int64_t> frame, std::optional<ParameterValue> parameter = std::nullopt)
    {
        lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (input.data()), input.size());
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head (&forge, &sequence, 0);

        if (frame.has_value())
        {
            // What Ardour sends: frame, speed, bar, bar beat, meter and tempo, no beat.
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &object, 0, urids.map (LV2_TIME__Position));
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__frame));
            lv2_atom_forge_long (&forge, *frame);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__speed));
            lv2_atom_forge_float (&forge, 1.0f);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__bar));
            lv2_atom_forge_long (&forge, 0);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__barBeat));
            lv2_atom_forge_float (&forge, 0.0f);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__beatUnit));
            lv2_atom_forge_int (&forge, 4);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__beatsPerBar));
            lv2_atom_forge_float (&forge, 4.0f);
            lv2_atom_forge_key (&forge, urids.map (LV2_TIME__beatsPerMinute));
            lv2_atom_forge_float (&forge, 120.0f);
            lv2_atom_forge_pop (&forge, &object);
        }

        if (parameter.has_value())
        {
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &object, 0, urids.map (LV2_PATCH__Set));
            lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__property));
            lv2_atom_forge_urid (&forge,
                                 urids.map ((QUAVERLINE_LV2_URI ":" + std::string (parameter->symbol)).c_str()));
            lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__value));
            lv2_atom_forge_float (&forge, parameter->value);
            lv2_atom_forge_pop (&forge, &object);
        }

        lv2_atom_forge_pop (&forge, &sequence);

        // The output sequence's capacity, as the host announces it.
        auto* out = reinterpret_cast<LV2_Atom*> (output.data());
        out->size = static_cast<uint32_t> (output.size() * sizeof (output[0]) - sizeof (LV2_Atom));
        out->type = urids.map (LV2_ATOM__Chunk);

        descriptor->run (instance, blockSize);
        EXPECT_EQ (left, right);
        return left;
    }

    /** What the plug-in saves into a host's project: its properties, by key. */
    struct SavedProperty
    {
        uint32_t type = 0;
        std::string value;

        bool operator== (const SavedProperty& other) const { return type == other.type && value == other.value; }
    };
    using SavedState = std::map<LV2_URID, SavedProperty>;

    SavedState save()
    {
        SavedState saved;
        const auto store =
            [] (LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
        {
            (*static_cast<SavedState*> (handle))[key] = { type, std::string (static_cast<const char*> (value), size) };
            return LV2_STATE_SUCCESS;
        };
        EXPECT_EQ (stateInterface()->save (instance, store, &saved, 0, nullptr), LV2_STATE_SUCCESS);
        return saved;
    }

    LV2_State_Status restore (const SavedState& saved)
    {
        const auto retrieve =
            [] (LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void*
        {
            const auto& properties = *static_cast<const SavedState*> (handle);
            const auto found = properties.find (key);

            if (found == properties.end())
                return nullptr;

            *size = found->second.value.size();
            *type = found->second.type;
            *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
            return found->second.value.data();
        };
        return stateInterface()->restore (instance, retrieve, const_cast<SavedState*> (&saved), 0, nullptr);
    }

    const LV2_State_Interface* stateInterface() const
    {
        return static_cast<const LV2_State_Interface*> (descriptor->extension_data (LV2_STATE__interface));
    }

    UridMap urids;
    void* library = nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle instance = nullptr;
    int32_t maxBlockLength = 0;
    std::vector<LV2_Options_Option> options;
    LV2_Feature mapFeature {}, optionsFeature {}, boundedFeature {};
    LV2_Atom_Forge forge {};

    std::vector<float> left = std::vector<float> (blockSize), right = std::vector<float> (blockSize);
    std::vector<uint64_t> input = std::vector<uint64_t> (2048), output = std::vector<uint64_t> (2048);
    float latencyValue = 0.0f, freeWheelingValue = 0.0f, enabledValue = 1.0f;
};
} // namespace quaverline::test
