// The LV2 plug-in driven as an LV2 host would drive it, through its binary
// interface, with input that lies: any maximum block length, blocks of any
// length, input sequences whose events and properties claim any size, and
// saved state of any content.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
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

#include <cstring>
#include <memory>
#include <string>

namespace
{
using namespace quaverline::test;
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

constexpr int maximumBlock = 20000;

// The URIs the host maps, in a fixed order, so that inputs name them by number.
const char* const knownUris[] { LV2_ATOM__Sequence,
                                LV2_ATOM__Object,
                                LV2_ATOM__Blank,
                                LV2_ATOM__Float,
                                LV2_ATOM__Double,
                                LV2_ATOM__Int,
                                LV2_ATOM__Long,
                                LV2_ATOM__String,
                                LV2_ATOM__URID,
                                LV2_ATOM__Chunk,
                                LV2_MIDI__MidiEvent,
                                LV2_TIME__Position,
                                LV2_TIME__frame,
                                LV2_TIME__speed,
                                LV2_TIME__bar,
                                LV2_TIME__barBeat,
                                LV2_TIME__beat,
                                LV2_TIME__beatUnit,
                                LV2_TIME__beatsPerBar,
                                LV2_TIME__beatsPerMinute,
                                LV2_PATCH__Set,
                                LV2_PATCH__property,
                                LV2_PATCH__value,
                                QUAVERLINE_LV2_URI ":timeSignature",
                                LV2_BUF_SIZE__maxBlockLength,
                                LV2_BUF_SIZE__minBlockLength };

LV2_URID mapUri (LV2_URID_Map_Handle, const char* uri)
{
    for (std::size_t i = 0; i < std::size (knownUris); ++i)
        if (std::strcmp (uri, knownUris[i]) == 0)
            return LV2_URID (i + 1);

    // Anything else the plug-in maps gets a number of its own, past the known ones.
    static std::vector<std::string> others;

    for (std::size_t i = 0; i < others.size(); ++i)
        if (others[i] == uri)
            return LV2_URID (std::size (knownUris) + i + 1);

    others.emplace_back (uri);
    return LV2_URID (std::size (knownUris) + others.size());
}

LV2_URID_Map map { nullptr, mapUri };

LV2_URID urid (const char* uri)
{
    return mapUri (nullptr, uri);
}

const LV2_Descriptor* descriptor()
{
    static void* const library = openPluginLibrary (QUAVERLINE_LV2_BUNDLE "/libQuaverline.so");
    static const auto function = pluginEntryPoint<LV2_Descriptor_Function> (library, "lv2_descriptor");
    return function != nullptr ? function (0) : nullptr;
}

struct SavedString
{
    std::string text;
    LV2_URID type;
};

const void* retrieve (LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto& saved = *static_cast<const SavedString*> (handle);
    *size = saved.text.size();
    *type = saved.type;
    *flags = LV2_STATE_IS_POD;
    return saved.text.data();
}

LV2_State_Status store (LV2_State_Handle, uint32_t, const void*, size_t, uint32_t, uint32_t)
{
    return LV2_STATE_SUCCESS;
}

/** One block: the input is a sequence as long as it says, in a buffer exactly that long. */
void run (const LV2_Descriptor& plugin, LV2_Handle instance, FuzzInput& input)
{
    static float left[maximumBlock], right[maximumBlock];
    static uint64_t output[512];
    const auto numSamples = static_cast<uint32_t> (input.takeInRange (0, maximumBlock));

    auto body = input.takeBytes (8192);
    body.resize (std::max<std::size_t> (body.size(), sizeof (LV2_Atom_Sequence_Body)));
    auto words = std::make_unique<uint64_t[]> ((sizeof (LV2_Atom) + body.size() + 7) / 8);
    LV2_Atom head { static_cast<uint32_t> (body.size()),
                    input.takeBool() ? urid (LV2_ATOM__Sequence) : input.take<uint32_t>() };
    std::memcpy (words.get(), &head, sizeof (head));
    std::memcpy (reinterpret_cast<uint8_t*> (words.get()) + sizeof (head), body.data(), body.size());

    auto* out = reinterpret_cast<LV2_Atom*> (output);
    out->size = static_cast<uint32_t> (input.takeInRange (0, sizeof (output) - sizeof (LV2_Atom)));
    out->type = urid (LV2_ATOM__Chunk);

    plugin.connect_port (instance, 0, input.takeBool() ? left : nullptr);
    plugin.connect_port (instance, 1, input.takeBool() ? right : nullptr);
    plugin.connect_port (instance, 2, words.get());
    plugin.connect_port (instance, 3, output);
    plugin.run (instance, numSamples);
}

void restore (const LV2_Descriptor& plugin, LV2_Handle instance, FuzzInput& input)
{
    const auto* state = static_cast<const LV2_State_Interface*> (plugin.extension_data (LV2_STATE__interface));

    if (state == nullptr)
        __builtin_trap();

    SavedString saved { input.takeString (256), input.takeBool() ? urid (LV2_ATOM__String) : input.take<uint32_t>() };
    state->restore (instance, retrieve, &saved, 0, nullptr);
    state->save (instance, store, nullptr, 0, nullptr);
}

std::vector<uint8_t> positionSeed()
{
    uint64_t words[64] {};
    LV2_Atom_Forge forge;
    lv2_atom_forge_init (&forge, &map);
    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (words), sizeof (words));
    LV2_Atom_Forge_Frame sequence, object;
    lv2_atom_forge_sequence_head (&forge, &sequence, 0);
    lv2_atom_forge_frame_time (&forge, 0);
    lv2_atom_forge_object (&forge, &object, 0, urid (LV2_TIME__Position));
    lv2_atom_forge_key (&forge, urid (LV2_TIME__frame));
    lv2_atom_forge_long (&forge, 0);
    lv2_atom_forge_key (&forge, urid (LV2_TIME__speed));
    lv2_atom_forge_float (&forge, 1.0f);
    lv2_atom_forge_key (&forge, urid (LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float (&forge, 120.0f);
    lv2_atom_forge_pop (&forge, &object);
    lv2_atom_forge_frame_time (&forge, 0);
    lv2_atom_forge_object (&forge, &object, 0, urid (LV2_PATCH__Set));
    lv2_atom_forge_key (&forge, urid (LV2_PATCH__property));
    lv2_atom_forge_urid (&forge, urid (QUAVERLINE_LV2_URI ":timeSignature"));
    lv2_atom_forge_key (&forge, urid (LV2_PATCH__value));
    lv2_atom_forge_float (&forge, 0.35f);
    lv2_atom_forge_pop (&forge, &object);
    lv2_atom_forge_pop (&forge, &sequence);

    const auto* atom = reinterpret_cast<const LV2_Atom*> (words);
    const auto* body = reinterpret_cast<const uint8_t*> (atom + 1);

    FuzzOutput out;
    out.put (uint8_t (0)).put (int32_t (512));
    out.put (uint8_t (0))
        .put (uint64_t (512))
        .putBytes ({ body, body + atom->size })
        .put (uint8_t (1))
        .put (uint64_t (1024))
        .put (uint8_t (1))
        .put (uint8_t (1));
    out.put (uint8_t (0))
        .put (uint64_t (2048))
        .putBytes ({})
        .put (uint8_t (1))
        .put (uint64_t (1024))
        .put (uint8_t (1))
        .put (uint8_t (1));
    out.put (uint8_t (1)).putString (std::string ("1.M") + '\0').put (uint8_t (1));
    return out.data;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    quaverline::fuzz::writeSeedsIfAsked (
        *argc,
        *argv,
        { positionSeed(), FuzzOutput().put (uint8_t (2)).put (-1.0).put (uint8_t (0)).put (uint64_t (4096)).data });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto* plugin = descriptor();

    if (plugin == nullptr)
        __builtin_trap();

    FuzzInput input (data, size);

    // The maximum block length, in any of the types an option may have.
    union
    {
        int32_t i;
        int64_t l;
        float f;
        double d;
    } blockLength {};
    LV2_Options_Option options[] { { LV2_OPTIONS_INSTANCE, 0, urid (LV2_BUF_SIZE__maxBlockLength), 0, 0, &blockLength },
                                   { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr } };

    switch (input.take<uint8_t>() % 4)
    {
        case 0:
            blockLength.i = input.take<int32_t>();
            options[0].size = 4;
            options[0].type = urid (LV2_ATOM__Int);
            break;
        case 1:
            blockLength.l = input.take<int64_t>();
            options[0].size = 8;
            options[0].type = urid (LV2_ATOM__Long);
            break;
        case 2:
            blockLength.d = input.take<double>();
            options[0].size = 8;
            options[0].type = urid (LV2_ATOM__Double);
            break;
        default:
            blockLength.f = input.take<float>();
            options[0].size = 4;
            options[0].type = urid (LV2_ATOM__Float);
            break;
    }

    const LV2_Feature mapFeature { LV2_URID__map, &map };
    const LV2_Feature optionsFeature { LV2_OPTIONS__options, options };
    const LV2_Feature boundedFeature { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    const LV2_Feature* features[] { &mapFeature, &optionsFeature, &boundedFeature, nullptr };

    auto* instance = plugin->instantiate (plugin, 48000.0, QUAVERLINE_LV2_BUNDLE "/", features);

    if (instance == nullptr)
        return 0;

    float latency = 0.0f, freeWheeling = 0.0f, enabled = 1.0f;
    plugin->connect_port (instance, 4, &latency);
    plugin->connect_port (instance, 5, &freeWheeling);
    plugin->connect_port (instance, 6, &enabled);
    plugin->activate (instance);

    for (int step = 0; step < 32 && ! input.isEmpty(); ++step)
    {
        if (input.take<uint8_t>() % 2 == 0)
            run (*plugin, instance, input);
        else
            restore (*plugin, instance, input);
    }

    plugin->deactivate (instance);
    plugin->cleanup (instance);
    return 0;
}
