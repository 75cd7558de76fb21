// The LV2 plug-in loaded as an LV2 host loads it, fed time positions the way
// Ardour and other LV2 hosts send them: now and then, with the frame and the
// tempo but without the beat.

#include "ClockRenderer.h"
#include "ClockSignalAnalysis.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
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

    LV2_URID_Map feature { this, [] (LV2_URID_Map_Handle handle, const char* uri)
                           { return static_cast<UridMap*> (handle)->map (uri); } };

private:
    std::map<std::string, LV2_URID> ids;
};

class Lv2Host : public testing::Test
{
protected:
    void SetUp() override
    {
        library = dlopen (QUAVERLINE_LV2_BUNDLE "/libQuaverline.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (library, nullptr) << dlerror();
        const auto descriptorFunction = reinterpret_cast<LV2_Descriptor_Function> (dlsym (library, "lv2_descriptor"));
        ASSERT_NE (descriptorFunction, nullptr);
        descriptor = descriptorFunction (0);
        ASSERT_NE (descriptor, nullptr);
        ASSERT_STREQ (descriptor->URI, QUAVERLINE_LV2_URI);

        maxBlockLength = blockSize;
        options = { { LV2_OPTIONS_INSTANCE, 0, urids.map (LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t), urids.map (LV2_ATOM__Int), &maxBlockLength },
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

    /** Runs one block; with a frame, the host reports its transport first. */
    std::vector<float> run (std::optional<int64_t> frame)
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

        lv2_atom_forge_pop (&forge, &sequence);

        // The output sequence's capacity, as the host announces it.
        auto* out = reinterpret_cast<LV2_Atom*> (output.data());
        out->size = static_cast<uint32_t> (output.size() * sizeof (output[0]) - sizeof (LV2_Atom));
        out->type = urids.map (LV2_ATOM__Chunk);

        descriptor->run (instance, blockSize);
        EXPECT_EQ (left, right);
        return left;
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
} // namespace

TEST_F (Lv2Host, OneReportWithoutABeatStartsTheClockThatThenRunsOn)
{
    std::vector<float> signal;

    for (int block = 0; block < 10; ++block)
    {
        const auto samples = run (block == 0 ? std::optional<int64_t> (0) : std::nullopt);
        signal.insert (signal.end(), samples.begin(), samples.end());
    }

    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()), (std::vector<int64_t> { 0, 1001, 2001, 3001, 4001, 5001 }));
}

TEST_F (Lv2Host, ARelocationReportMovesTheClock)
{
    run (0);
    run (std::nullopt);
    run (std::nullopt);
    const auto relocated = run (96000); // bar 2 at 120 bpm: 4 quarter notes

    // The engine, given the same positions.
    quaverline::ClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> expected (blockSize);
    for (const auto position : { 0.0, blockSize / 24000.0, 2 * blockSize / 24000.0, 4.0 })
        renderer.render (expected.data(), blockSize, { true, 120.0, position }, 6);

    const auto expectedStarts = quaverline::findPulseStarts (expected.data(), expected.size());
    ASSERT_FALSE (expectedStarts.empty());
    EXPECT_EQ (quaverline::findPulseStarts (relocated.data(), relocated.size()), expectedStarts);
}

TEST_F (Lv2Host, NoReportAtAllIsStopped)
{
    const auto samples = run (std::nullopt);
    EXPECT_EQ (samples[0], -0.001f);
    EXPECT_EQ (samples[1], 0.001f);
}
