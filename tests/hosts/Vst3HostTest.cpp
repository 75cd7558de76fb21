// The VST3 build loaded as a VST3 host loads it: its factory, the "Time
// Signature" parameter and its texts, saved state and automation, and the clock
// rendered from the host's process context. The parameter, texts and state
// behave as the VST 2.4 face shows them.

#include "tests/support/Vst3Host.h"
#include "plugin/identity/PluginIdentity.h"
#include "tests/support/CaseName.h"
#include "tests/support/EngineReference.h"
#include "tests/support/MappedMemory.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <random>

namespace quaverline::test
{

namespace
{
using namespace vst3host;
namespace identity = quaverline::identity;

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

std::string toAscii (const Vst::TChar* text)
{
    std::string ascii;

    for (; *text != 0; ++text)
        ascii += static_cast<char> (*text);

    return ascii;
}

float valueOfIndex (int index)
{
    return static_cast<float> (index / 30.0);
}

class Vst3HostTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (host.open());

        for (int32 i = 0; i < host.controller->getParameterCount(); ++i)
            if (host.controller->getParameterInfo (i, timeSignature) == kResultOk &&
                toAscii (timeSignature.title) == "Time Signature")
                return;

        FAIL() << "no \"Time Signature\" parameter";
    }

    std::string textOf (Vst::ParamValue value) const
    {
        Vst::String128 text {};
        host.controller->getParamStringByValue (timeSignature.id, value, text);
        return toAscii (text);
    }

    /** Prepares for processing as a host does before playback. */
    void startProcessing() const
    {
        Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, blockSize, sampleRate };
        ASSERT_EQ (host.processor->setupProcessing (setup), kResultOk);
        ASSERT_EQ (host.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true), kResultOk);
        ASSERT_EQ (host.component->setActive (true), kResultOk);
        host.processor->setProcessing (true);
    }

    /** One stereo block, with parameter changes and a transport context if given. */
    std::vector<float> process (Vst::ProcessContext* context,
                                Vst::IParameterChanges* changes = nullptr,
                                int numSamples = blockSize,
                                Vst::IEventList* events = nullptr) const
    {
        const auto [left, right] = host.processStereo (context, changes, numSamples, events);
        EXPECT_EQ (left, right);
        return left;
    }

    static Vst::ProcessContext playingAt (double tempo, int64 sample) { return playing (tempo, sample, sampleRate); }

    /** The time-signature index the plug-in would save now. */
    int savedIndex() const
    {
        const auto state = host.saveState();
        return state.empty() ? -1 : state.front();
    }

    Vst3Host host;
    Vst::ParameterInfo timeSignature {};
};
} // namespace

TEST (Vst3Factory, DescribesQuaverline)
{
    ASSERT_NE (Vst3Host::factory(), nullptr);
    PFactoryInfo factoryInfo {};
    ASSERT_EQ (Vst3Host::factory()->getFactoryInfo (&factoryInfo), kResultOk);
    EXPECT_STREQ (factoryInfo.vendor, identity::manufacturerName);

    PClassInfo info {};
    ASSERT_TRUE (Vst3Host::findEffectClass (info));
    EXPECT_STREQ (info.name, identity::pluginName);

    PluginPtr<IPluginFactory> factory (Vst3Host::factory());
    factory->addRef();
    const auto factory2 = factory.query<IPluginFactory2>();
    ASSERT_TRUE (factory2);

    for (int32 i = 0; i < factory2->countClasses(); ++i)
    {
        PClassInfo2 info2 {};
        ASSERT_EQ (factory2->getClassInfo2 (i, &info2), kResultOk);

        if (std::strcmp (info2.category, kVstAudioEffectClass) == 0)
        {
            EXPECT_STREQ (info2.version, identity::versionString);
            EXPECT_STREQ (info2.vendor, identity::manufacturerName);
        }
    }
}

TEST_F (Vst3HostTest, TheParameterAsTheVst2FaceShowsIt)
{
    EXPECT_EQ (toAscii (timeSignature.units), "");
    EXPECT_EQ (timeSignature.defaultNormalizedValue, 0.0);
    EXPECT_NE (timeSignature.flags & Vst::ParameterInfo::kCanAutomate, 0);
    EXPECT_FLOAT_EQ (static_cast<float> (host.controller->getParamNormalized (timeSignature.id)), valueOfIndex (6));

    // Like the VST 2.4 display text, the value has no text of its own: the
    // editor shows the time signature.
    for (const auto value : { 0.0, 0.5, 1.0 })
        EXPECT_EQ (textOf (value), "") << value;
}

TEST_F (Vst3HostTest, AutomationReachesTheSavedState)
{
    startProcessing();
    Vst::ProcessContext stopped {};
    stopped.sampleRate = sampleRate;

    ParameterChanges changes;
    changes.queues.emplace_back (timeSignature.id, 0.35);
    process (&stopped, &changes);
    EXPECT_EQ (savedIndex(), 11); // 0.35 x 30 rounds to 11, as in the VST 2.4 face
}

struct StateCase
{
    const char* name;
    std::vector<uint8_t> state;
    tresult answer;
    int index; // after loading
};

void PrintTo (const StateCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<uint8_t> noise (std::size_t size)
{
    std::mt19937 random (1234);
    std::vector<uint8_t> bytes (size);
    std::generate (bytes.begin(), bytes.end(), [&] { return static_cast<uint8_t> (random()); });
    return bytes;
}

constexpr char privateDataIdentifier[] = "JUCEPrivateData";

/** The private data JUCE's wrapper appends to the plug-in's state: its own
    eight bytes, the data, the data's size and its identifier.
*/
std::vector<uint8_t> withPrivateData (std::vector<uint8_t> state,
                                      const std::vector<uint8_t>& data,
                                      std::optional<uint64_t> claimedSize = std::nullopt)
{
    state.resize (state.size() + 8, 0);
    state.insert (state.end(), data.begin(), data.end());
    const auto size = claimedSize.value_or (data.size());

    for (int byte = 0; byte < 8; ++byte)
        state.push_back (uint8_t (size >> (8 * byte)));

    state.insert (state.end(), privateDataIdentifier, privateDataIdentifier + sizeof (privateDataIdentifier) - 1);
    return state;
}

/** JUCE's bypass value tree as its wrapper writes it. */
std::vector<uint8_t> bypassTree (bool bypassed, const std::vector<uint8_t>& children = { 0 })
{
    std::vector<uint8_t> tree (privateDataIdentifier, privateDataIdentifier + sizeof (privateDataIdentifier));
    const uint8_t property[] = { 1, 1, 'B', 'y', 'p', 'a', 's', 's', 0, 1, 1, uint8_t (bypassed ? 2 : 3) };
    tree.insert (tree.end(), std::begin (property), std::end (property));
    tree.insert (tree.end(), children.begin(), children.end());
    return tree;
}

/** The same, claiming 2^31 - 1 children: JUCE's reader reserves room for them. */
std::vector<uint8_t> lyingPrivateData()
{
    return bypassTree (true, { 4, 0xff, 0xff, 0xff, 0x7f });
}

/** A state whose last byte starts a UTF-8 sequence, where JUCE looks for its identifier. */
std::vector<uint8_t> endsInBrokenUtf8()
{
    std::vector<uint8_t> state (30, 'x');
    state.front() = 12;
    state.back() = 0xf4;
    return state;
}

class Vst3State : public Vst3HostTest, public testing::WithParamInterface<StateCase>
{
};

TEST_P (Vst3State, LoadingTakesTheFirstByte)
{
    EXPECT_EQ (host.loadState (GetParam().state), GetParam().answer);
    EXPECT_EQ (savedIndex(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P (
    Vst3HostTest,
    Vst3State,
    testing::Values (
        StateCase { "OneByte", { 12 }, kResultOk, 12 },
        StateCase { "Empty", {}, kResultFalse, 6 },
        StateCase { "ThreeBytes", { 200, 1, 2 }, kResultOk, 200 },
        StateCase { "Noise64KiB", noise (65536), kResultOk, noise (1).front() },
        StateCase { "PrivateDataSizeTooLarge", withPrivateData ({ 12 }, {}, ~uint64_t (0)), kResultOk, 12 },
        StateCase { "PrivateDataWithLyingCounts", withPrivateData ({ 12 }, lyingPrivateData()), kResultOk, 12 },
        StateCase { "EndsInBrokenUtf8", endsInBrokenUtf8(), kResultOk, 12 }),
    caseName<StateCase>);

TEST_F (Vst3HostTest, SavedStateRestoresTheParameter)
{
    ASSERT_EQ (host.loadState ({ 12 }), kResultOk);
    const auto saved = host.saveState();
    ASSERT_FALSE (saved.empty());
    EXPECT_EQ (saved.front(), 12);

    ASSERT_EQ (host.loadState ({ 1 }), kResultOk);
    ASSERT_EQ (host.loadState (saved), kResultOk);
    EXPECT_EQ (savedIndex(), 12);
    EXPECT_FLOAT_EQ (static_cast<float> (host.controller->getParamNormalized (timeSignature.id)), valueOfIndex (12));
}

TEST_F (Vst3HostTest, TheBypassInTheStateIsReadFromWhatTheWrapperWrites)
{
    // What JUCE's wrapper appends, and reads back.
    const auto saved = host.saveState();
    EXPECT_EQ (saved, withPrivateData ({ 6 }, bypassTree (false)));

    Vst::ParameterInfo bypass {};
    ASSERT_EQ (host.controller->getParameterInfo (1, bypass), kResultOk);
    ASSERT_NE (bypass.flags & Vst::ParameterInfo::kIsBypass, 0);
    ASSERT_EQ (host.loadState (withPrivateData ({ 9 }, bypassTree (true))), kResultOk);
    EXPECT_EQ (host.controller->getParamNormalized (bypass.id), 1.0);
    EXPECT_EQ (savedIndex(), 9);
}

TEST_F (Vst3HostTest, RendersTheClockFromTheHostsTransport)
{
    startProcessing();
    constexpr int numBlocks = 375; // 4 s at 48 kHz
    constexpr double tempo = 120.0;
    std::vector<float> signal;

    for (int block = 0; block < numBlocks; ++block)
    {
        auto context = playingAt (tempo, block * blockSize);
        const auto output = process (&context);
        signal.insert (signal.end(), output.begin(), output.end());
    }

    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               enginePulseStarts (sampleRate, tempo, numBlocks * blockSize));
}

// Hosts that break the rules: blocks longer than set up, bad arrangements,
// calls past the parameter list, event lists that lie.

TEST_F (Vst3HostTest, BlocksLongerThanSetUpContinueTheClock)
{
    startProcessing();
    auto context = playingAt (120.0, 0);
    const auto signal = process (&context, nullptr, 8 * blockSize + 100);
    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               enginePulseStarts (sampleRate, 120.0, 8 * blockSize + 100));
}

TEST_F (Vst3HostTest, APositionAtTheEndOfTheRangeIsMovedOnWithoutOverflow)
{
    // Found by fuzzing: a long block's slices moved the last sample position on past 2^63.
    startProcessing();
    auto context = playingAt (120.0, std::numeric_limits<int64>::max());
    context.continousTimeSamples = std::numeric_limits<int64>::max();
    context.state |= Vst::ProcessContext::kContTimeValid;
    const auto signal = process (&context, nullptr, 11400);
    EXPECT_TRUE (std::all_of (signal.begin(), signal.end(), [] (float x) { return std::abs (x) <= 1.0f; }));
}

TEST_F (Vst3HostTest, AnAbsurdMaximumBlockCostsLittleMemory)
{
    // Found by fuzzing: JUCE prepared 34 GB of scratch for a maximum of 2^31 - 1.
    const auto before = mappedBytes();
    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, std::numeric_limits<int32>::max(), sampleRate };
    ASSERT_EQ (host.processor->setupProcessing (setup), kResultOk);
    setup.maxSamplesPerBlock = -1;
    ASSERT_EQ (host.processor->setupProcessing (setup), kResultOk);
    EXPECT_LT (mappedBytes(), before + plausibleGrowth);

    ASSERT_EQ (host.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true), kResultOk);
    ASSERT_EQ (host.component->setActive (true), kResultOk);
    auto context = playingAt (120.0, 0);
    const auto signal = process (&context, nullptr, 3000);
    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()), enginePulseStarts (sampleRate, 120.0, 3000));
}

TEST_F (Vst3HostTest, OnlyTheParametersOfThePlugInAreListed)
{
    // No stand-ins for MIDI controllers (there were 2048 of them): the time
    // signature and the bypass JUCE adds for VST3 hosts.
    ASSERT_EQ (host.controller->getParameterCount(), 2);

    Vst::ParameterInfo info {};
    EXPECT_EQ (host.controller->getParameterInfo (2, info), kInvalidArgument);
    EXPECT_EQ (host.controller->getParameterInfo (-1, info), kInvalidArgument);

    for (int32 i = 0; i < host.controller->getParameterCount(); ++i)
    {
        ASSERT_EQ (host.controller->getParameterInfo (i, info), kResultOk);

        // A String128 with a guard band behind it: nothing may be written there.
        std::vector<Vst::TChar> text (256, 0x55aa);
        host.controller->getParamStringByValue (info.id, 1.0e300, text.data());
        EXPECT_EQ (std::count (text.begin() + 128, text.end(), 0x55aa), 128);

        Vst::TChar loneSurrogate[] { u'0', 0xd800, u'x', 0 };
        Vst::ParamValue value = 0.0;
        host.controller->getParamValueByString (info.id, loneSurrogate, value);
        EXPECT_EQ (host.controller->getParamValueByString (info.id, nullptr, value), kInvalidArgument);
        EXPECT_EQ (host.controller->getParamStringByValue (info.id, 0.5, nullptr), kInvalidArgument);
    }
}

namespace
{
/** An event list of one event, as a host's may be. */
class OneEvent : public HostObject<Vst::IEventList>
{
public:
    explicit OneEvent (Vst::Event e)
        : event (e)
    {
    }
    int32 PLUGIN_API getEventCount() override { return 1000; } // more than it holds

    tresult PLUGIN_API getEvent (int32 index, Vst::Event& e) override
    {
        e = event;
        return index == 0 ? kResultOk : kResultFalse;
    }

    tresult PLUGIN_API addEvent (Vst::Event&) override { return kResultFalse; }

    Vst::Event event;
};
} // namespace

TEST_F (Vst3HostTest, EventsAreNotRead)
{
    startProcessing();
    Vst::Event empty {};
    empty.type = Vst::Event::kDataEvent;
    empty.data.size = 0;
    empty.data.bytes = nullptr;
    OneEvent events (empty);

    auto context = playingAt (120.0, 0);
    const auto signal = process (&context, nullptr, blockSize, &events);
    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               enginePulseStarts (sampleRate, 120.0, blockSize));
}

TEST_F (Vst3HostTest, UnsoundArrangementsAreRefused)
{
    Vst::SpeakerArrangement everything = ~Vst::SpeakerArrangement (0);
    Vst::SpeakerArrangement stereo = Vst::SpeakerArr::kStereo;
    EXPECT_EQ (host.processor->setBusArrangements (nullptr, 0, &everything, 1), kResultFalse);
    EXPECT_EQ (host.processor->setBusArrangements (nullptr, 0, &stereo, -1), kResultFalse);
    EXPECT_EQ (host.processor->setBusArrangements (nullptr, 0, nullptr, 1), kResultFalse);
    EXPECT_EQ (host.processor->setBusArrangements (nullptr, -1, &stereo, 1), kResultFalse);
    EXPECT_EQ (host.processor->setBusArrangements (nullptr, 0, &stereo, 1), kResultTrue);
}

TEST_F (Vst3HostTest, ProcessingWhileInactiveAfterASwitchTo51)
{
    startProcessing();
    host.processor->setProcessing (false);
    ASSERT_EQ (host.component->setActive (false), kResultOk);
    Vst::SpeakerArrangement surround = Vst::SpeakerArr::k51;
    ASSERT_EQ (host.processor->setBusArrangements (nullptr, 0, &surround, 1), kResultTrue);

    // Silent while inactive; after activation the clock on all six channels.
    auto context = playingAt (120.0, 0);
    EXPECT_EQ (process (&context), std::vector<float> (blockSize, 0.0f));

    ASSERT_EQ (host.component->setActive (true), kResultOk);
    std::vector<std::vector<float>> buffers (6, std::vector<float> (blockSize, 7.0f));
    float* channels[6];
    std::transform (buffers.begin(), buffers.end(), channels, [] (auto& b) { return b.data(); });
    Vst::AudioBusBuffers output {};
    output.numChannels = 6;
    output.channelBuffers32 = channels;
    Vst::ProcessData data {};
    data.symbolicSampleSize = Vst::kSample32;
    data.numSamples = blockSize;
    data.numOutputs = 1;
    data.outputs = &output;
    data.processContext = &context;
    EXPECT_EQ (host.processor->process (data), kResultOk);

    for (const auto& buffer : buffers)
        EXPECT_EQ (quaverline::findPulseStarts (buffer.data(), buffer.size()),
                   enginePulseStarts (sampleRate, 120.0, blockSize));

    // A host that gives fewer channels than the layout has.
    output.numChannels = 2;
    EXPECT_EQ (host.processor->process (data), kResultOk);
}

} // namespace quaverline::test
