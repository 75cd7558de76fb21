// The LV2 plug-in loaded as an LV2 host loads it, fed time positions the way
// Ardour and other LV2 hosts send them: now and then, with the frame and the
// tempo but without the beat.

#include "tests/support/Lv2Host.h"
#include "engine/ClockRenderer.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace quaverline::test
{

namespace
{
/** The fixture with Quaverline's own state: one byte, as text. */
class Lv2Host : public Lv2HostFixture
{
protected:
    /** The plug-in's saved state for an index, as it writes it: the one state
        byte in JUCE's base-64 text, with its terminating zero.
    */
    static std::string stateText (uint8_t index) { return juceBase64 (std::string (1, char (index))); }

    /** The text of the plug-in's one saved property. */
    std::string savedText()
    {
        const auto saved = save();
        return saved.size() == 1 ? saved.begin()->second.value : std::string {};
    }
};

ParameterValue timeSignature (float value)
{
    return { "timeSignature", value };
}
} // namespace

TEST_F (Lv2Host, OneReportWithoutABeatStartsTheClockThatThenRunsOn)
{
    std::vector<float> signal;

    for (int block = 0; block < 10; ++block)
    {
        const auto samples = run (block == 0 ? std::optional<int64_t> (0) : std::nullopt);
        signal.insert (signal.end(), samples.begin(), samples.end());
    }

    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               (std::vector<int64_t> { 0, 1001, 2001, 3001, 4001, 5001 }));
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

TEST_F (Lv2Host, StateCarriesTheIndexAndTheHostsParameterValue)
{
    EXPECT_EQ (savedText(), stateText (6));

    run (std::nullopt, timeSignature (0.35f)); // 0.35 x 30 rounds to 11, as in the VST 2.4 face
    EXPECT_EQ (savedText(), stateText (11));
}

TEST_F (Lv2Host, RestoringTakesAnyIndex)
{
    auto saved = save();
    ASSERT_EQ (saved.size(), 1u);
    auto& property = saved.begin()->second;

    for (const uint8_t index : std::initializer_list<uint8_t> { 12, 30, 31, 200, 255, 0 })
    {
        property.value = stateText (index);
        EXPECT_EQ (restore (saved), LV2_STATE_SUCCESS);
        run (std::nullopt);
        EXPECT_EQ (savedText(), stateText (index)) << int (index);
    }
}

TEST_F (Lv2Host, BadSavedStateChangesNothing)
{
    auto saved = save();
    ASSERT_EQ (saved.size(), 1u);
    const auto key = saved.begin()->first;
    const auto stringType = saved.begin()->second.type;

    EXPECT_EQ (restore ({}), LV2_STATE_ERR_NO_PROPERTY);
    EXPECT_EQ (restore ({ { key, { urids.map (LV2_ATOM__Int), std::string (4, '\x01') } } }), LV2_STATE_ERR_BAD_TYPE);

    // Sizes that JUCE's decoder would have reserved memory for: 2^64 - 1 bytes
    // for "-1.A", and a size past 64 bits.
    for (const auto& text : { std::string(),
                              std::string (1, '\0'),
                              std::string ("0.", 3),
                              std::string ("no state at all"),
                              std::string ("-1.A"),
                              std::string ("12276601003308733714.G."),
                              std::string ("99999.AAAA") })
        restore ({ { key, { stringType, text } } });

    EXPECT_EQ (savedText(), stateText (6));
}

TEST_F (Lv2Host, TheUiIsGivenThePlugInOnlyThroughTheHostsInstance)
{
    // Hosts give the UI the handle they hold; a handle that is none of the
    // plug-in's, or none at all, gets no UI instead of a crash. With the
    // host's own handle the UI goes on to ask for its parent window.
    const auto uiFunction = pluginEntryPoint<LV2UI_DescriptorFunction> (library, "lv2ui_descriptor");
    ASSERT_NE (uiFunction, nullptr);
    const auto* ui = uiFunction (0);
    ASSERT_NE (ui, nullptr);

    int stranger = 0;
    LV2_Feature strangerAccess { LV2_INSTANCE_ACCESS_URI, &stranger };
    LV2_Feature hostAccess { LV2_INSTANCE_ACCESS_URI, instance };
    LV2_Feature noUri { nullptr, nullptr };
    const LV2_Feature* withStranger[] = { &mapFeature, &strangerAccess, nullptr };
    const LV2_Feature* withoutAccess[] = { &mapFeature, &noUri, nullptr };
    const LV2_Feature* withoutParent[] = { &mapFeature, &hostAccess, nullptr };
    LV2UI_Widget widget = nullptr;

    for (const auto* features : { withStranger, withoutAccess, withoutParent })
        EXPECT_EQ (
            ui->instantiate (ui, QUAVERLINE_LV2_URI, QUAVERLINE_LV2_BUNDLE "/", nullptr, nullptr, &widget, features),
            nullptr);

    EXPECT_EQ (ui->instantiate (ui, QUAVERLINE_LV2_URI, QUAVERLINE_LV2_BUNDLE "/", nullptr, nullptr, &widget, nullptr),
               nullptr);
}

TEST_F (Lv2Host, ThePlugInOffersNoInterfaceThatPassesTheGuard)
{
    // State goes through the guard; the worker and options interfaces, which
    // would hand JUCE the guard's handle, are not offered at all.
    EXPECT_NE (descriptor->extension_data (LV2_STATE__interface), nullptr);
    EXPECT_EQ (descriptor->extension_data (LV2_WORKER__interface), nullptr);
    EXPECT_EQ (descriptor->extension_data (LV2_OPTIONS__interface), nullptr);
    EXPECT_EQ (descriptor->extension_data (nullptr), nullptr);
}

// Hosts and files that lie: sizes that make no sense, blocks longer than
// announced, atoms that run past their containers.

namespace
{
/** Atoms as a host would send them, in a buffer exactly as long as they say. */
class ExactSequence
{
public:
    explicit ExactSequence (const std::vector<uint64_t>& forged)
    {
        const auto* sequence = reinterpret_cast<const LV2_Atom*> (forged.data());
        words = std::make_unique<uint64_t[]> ((sizeof (LV2_Atom) + sequence->size + 7) / 8);
        std::memcpy (words.get(), forged.data(), sizeof (LV2_Atom) + sequence->size);
    }

    LV2_Atom_Sequence* get() const { return reinterpret_cast<LV2_Atom_Sequence*> (words.get()); }

private:
    std::unique_ptr<uint64_t[]> words;
};
} // namespace

TEST_F (Lv2Host, MaximumBlockLengthsThatMakeNoSense)
{
    // -1 as an int crashed JUCE's wrapper; NaN as a double was found by fuzzing.
    struct Announced
    {
        const char* type;
        int64_t asLong;
        double asDouble;
    };

    for (const auto& announced : { Announced { LV2_ATOM__Int, -1, 0.0 },
                                   Announced { LV2_ATOM__Int, 0, 0.0 },
                                   Announced { LV2_ATOM__Int, std::numeric_limits<int32_t>::max(), 0.0 },
                                   Announced { LV2_ATOM__Long, std::numeric_limits<int64_t>::min(), 0.0 },
                                   Announced { LV2_ATOM__Double, 0, std::numeric_limits<double>::quiet_NaN() },
                                   Announced { LV2_ATOM__Double, 0, -1.0e300 } })
    {
        const auto isLong = std::strcmp (announced.type, LV2_ATOM__Long) == 0;
        const auto isDouble = std::strcmp (announced.type, LV2_ATOM__Double) == 0;
        auto asInt = static_cast<int32_t> (announced.asLong);
        auto asLong = announced.asLong;
        auto asDouble = announced.asDouble;
        options[0].type = urids.map (announced.type);
        options[0].size = isLong || isDouble ? 8 : 4;
        options[0].value = isDouble ? static_cast<void*> (&asDouble)
                           : isLong ? static_cast<void*> (&asLong)
                                    : static_cast<void*> (&asInt);

        const LV2_Feature* features[] = { &mapFeature, &optionsFeature, &boundedFeature, nullptr };
        auto* other = descriptor->instantiate (descriptor, sampleRate, QUAVERLINE_LV2_BUNDLE "/", features);
        ASSERT_NE (other, nullptr) << announced.type << " " << announced.asLong << " " << announced.asDouble;

        std::vector<float> a (3000), b (3000);
        descriptor->connect_port (other, leftOut, a.data());
        descriptor->connect_port (other, rightOut, b.data());
        descriptor->connect_port (other, controlIn, input.data());
        descriptor->connect_port (other, controlOut, output.data());
        descriptor->activate (other);
        run (std::nullopt); // fills the input with an empty sequence
        descriptor->run (other, 3000);
        EXPECT_EQ (a[2999], 0.001f);
        descriptor->deactivate (other);
        descriptor->cleanup (other);
    }
}

TEST_F (Lv2Host, BlocksLongerThanAnnouncedContinueTheClock)
{
    run (0);
    std::vector<float> a (5000), b (5000);
    descriptor->connect_port (instance, leftOut, a.data());
    descriptor->connect_port (instance, rightOut, b.data());
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*> (input.data());
    sequence->atom.size = sizeof (LV2_Atom_Sequence_Body);
    descriptor->run (instance, 5000);

    EXPECT_EQ (a, b);
    EXPECT_EQ (quaverline::findPulseStarts (a.data(), a.size()),
               (std::vector<int64_t> { 489, 1489, 2489, 3489, 4489 }));
}

TEST_F (Lv2Host, AtomsThatRunPastTheirContainerAreNotRead)
{
    // A parameter change whose value ends past its object: not taken.
    run (std::nullopt, timeSignature (0.35f));
    ASSERT_EQ (savedText(), stateText (11));

    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (input.data()), input.size() * 8);
    LV2_Atom_Forge_Frame sequenceFrame, object;
    lv2_atom_forge_sequence_head (&forge, &sequenceFrame, 0);
    lv2_atom_forge_frame_time (&forge, 0);
    auto* set = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &object, 0, urids.map (LV2_PATCH__Set)));
    lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__property));
    lv2_atom_forge_urid (&forge, urids.map (QUAVERLINE_LV2_URI ":timeSignature"));
    lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__value));
    lv2_atom_forge_float (&forge, 0.0f);
    lv2_atom_forge_pop (&forge, &object);
    lv2_atom_forge_pop (&forge, &sequenceFrame);
    set->size -= 8; // the object now ends inside its last property

    ExactSequence lying (input);
    descriptor->connect_port (instance, controlIn, lying.get());
    descriptor->run (instance, blockSize);
    EXPECT_EQ (savedText(), stateText (11));

    // An event that starts inside the sequence and ends outside it.
    set->size += 8;
    reinterpret_cast<LV2_Atom*> (input.data())->size -= 8;
    ExactSequence cut (input);
    descriptor->connect_port (instance, controlIn, cut.get());
    descriptor->run (instance, blockSize);
    EXPECT_EQ (savedText(), stateText (11));
}

TEST_F (Lv2Host, AnEmptyMidiEventAtTheEndIsNotRead)
{
    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (input.data()), input.size() * 8);
    LV2_Atom_Forge_Frame sequenceFrame;
    lv2_atom_forge_sequence_head (&forge, &sequenceFrame, 0);
    lv2_atom_forge_frame_time (&forge, 10);
    lv2_atom_forge_atom (&forge, 0, urids.map (LV2_MIDI__MidiEvent));
    lv2_atom_forge_pop (&forge, &sequenceFrame);

    ExactSequence exact (input);
    descriptor->connect_port (instance, controlIn, exact.get());
    descriptor->run (instance, blockSize);
    EXPECT_EQ (left[0], -0.001f);
}

TEST_F (Lv2Host, PositionNumbersNoIntegerHoldsAreNoNumbers)
{
    // Found by fuzzing: JUCE's parser converted a frame of -1.9e38 to int64.
    for (const auto frame : { -1.9e38f, std::numeric_limits<float>::quiet_NaN(), 1.0e19f })
    {
        lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (input.data()), input.size() * 8);
        LV2_Atom_Forge_Frame sequenceFrame, object;
        lv2_atom_forge_sequence_head (&forge, &sequenceFrame, 0);
        lv2_atom_forge_frame_time (&forge, 0);
        lv2_atom_forge_object (&forge, &object, 0, urids.map (LV2_TIME__Position));
        lv2_atom_forge_key (&forge, urids.map (LV2_TIME__frame));
        lv2_atom_forge_float (&forge, frame);
        lv2_atom_forge_key (&forge, urids.map (LV2_TIME__speed));
        lv2_atom_forge_float (&forge, 1.0f);
        lv2_atom_forge_pop (&forge, &object);
        lv2_atom_forge_pop (&forge, &sequenceFrame);
        descriptor->run (instance, blockSize);
        EXPECT_EQ (left, right);
    }
}

} // namespace quaverline::test
