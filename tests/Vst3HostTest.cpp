// The VST3 build loaded as a VST3 host loads it: its factory, the "Time
// Signature" parameter and its texts, saved state and automation, and the clock
// rendered from the host's process context. The parameter, texts and state
// behave as the VST 2.4 face shows them.

#include "Vst3Host.h"
#include "CaseName.h"
#include "EngineReference.h"
#include "PluginIdentity.h"

#include <random>

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
            if (host.controller->getParameterInfo (i, timeSignature) == kResultOk && toAscii (timeSignature.title) == "Time Signature")
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
    std::vector<float> process (Vst::ProcessContext* context, Vst::IParameterChanges* changes = nullptr) const
    {
        std::vector<float> left (blockSize), right (blockSize);
        float* channels[] = { left.data(), right.data() };
        Vst::AudioBusBuffers output {};
        output.numChannels = 2;
        output.channelBuffers32 = channels;

        Vst::ProcessData data {};
        data.processMode = Vst::kRealtime;
        data.symbolicSampleSize = Vst::kSample32;
        data.numSamples = blockSize;
        data.numOutputs = 1;
        data.outputs = &output;
        data.inputParameterChanges = changes;
        data.processContext = context;
        EXPECT_EQ (host.processor->process (data), kResultOk);
        return left;
    }

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
    std::generate (bytes.begin(), bytes.end(), [&]
                   { return static_cast<uint8_t> (random()); });
    return bytes;
}

class Vst3State : public Vst3HostTest, public testing::WithParamInterface<StateCase>
{
};

TEST_P (Vst3State, LoadingTakesTheFirstByte)
{
    EXPECT_EQ (host.loadState (GetParam().state), GetParam().answer);
    EXPECT_EQ (savedIndex(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P (Vst3HostTest, Vst3State, testing::Values (StateCase { "OneByte", { 12 }, kResultOk, 12 }, StateCase { "Empty", {}, kResultFalse, 6 }, StateCase { "ThreeBytes", { 200, 1, 2 }, kResultOk, 200 }, StateCase { "Noise64KiB", noise (65536), kResultOk, noise (1).front() }), caseName<StateCase>);

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

TEST_F (Vst3HostTest, RendersTheClockFromTheHostsTransport)
{
    startProcessing();
    constexpr int numBlocks = 375; // 4 s at 48 kHz
    constexpr double tempo = 120.0;
    std::vector<float> signal;

    for (int block = 0; block < numBlocks; ++block)
    {
        Vst::ProcessContext context {};
        context.state = Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid | Vst::ProcessContext::kProjectTimeMusicValid;
        context.sampleRate = sampleRate;
        context.tempo = tempo;
        context.projectTimeSamples = block * blockSize;
        context.projectTimeMusic = block * blockSize * tempo / (60.0 * sampleRate);
        const auto output = process (&context);
        signal.insert (signal.end(), output.begin(), output.end());
    }

    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()), enginePulseStarts (sampleRate, tempo, numBlocks * blockSize));
}
