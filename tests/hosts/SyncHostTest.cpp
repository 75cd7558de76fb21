// Quaverline Sync's VST 2.4, VST3 and LV2 builds loaded as hosts load them:
// their identity, the parameters with their texts, and the clock rendered with
// a setting other than the default, sample for sample what the engine renders.

#include "engine/SyncClockRenderer.h"
#include "engine/SyncParameters.h"
#include "plugin/identity/FourCharCode.h"
#include "tests/support/Lv2Host.h"
#include "tests/support/Vst2Host.h"
#include "tests/support/Vst3Host.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

namespace
{
/** What the engine renders for a host playing from 0 at 120 bpm, in blocks. */
std::vector<float> engineSignal (const SyncSettings& settings, int numBlocks)
{
    SyncClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> signal (size_t (numBlocks * blockSize));

    for (int block = 0; block < numBlocks; ++block)
    {
        SyncTransport host;
        host.transport = { true, 120.0, double (block * blockSize) * 120.0 / (60.0 * sampleRate) };
        renderer.render (signal.data() + block * blockSize, nullptr, blockSize, host, settings);
    }

    return signal;
}

SyncSettings atFourPpqn()
{
    SyncSettings settings;
    settings.pulsesPerQuarterNote = 4;
    return settings;
}

/** Resolution's normalised value for 4 PPQN, the third of eight choices. */
constexpr float fourPpqn = 2.0f / 7.0f;
} // namespace

TEST_F (Vst2HostTest, SyncIdentityAndParameters)
{
    EXPECT_EQ (effect->uniqueID, static_cast<int32_t> (fourCharCode ("QvSy")));
    EXPECT_EQ (effect->numParams, syncParameters::count);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (stringAnswer (effGetEffectName), "Quaverline Sync");

    EXPECT_EQ (stringAnswer (effGetParamName, syncParameters::resolution), "Resolution");
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::resolution), "24 PPQN");
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::width), "5.0 ms");
    EXPECT_EQ (stringAnswer (effGetParamName, syncParameters::count), "");
    EXPECT_EQ (stringAnswer (effGetParamDisplay, -1), "");

    // Texts within VST 2.4's limits: a name of at most 15 bytes.
    EXPECT_EQ (stringAnswer (effGetParamName, syncParameters::right), "Right output");

    char typed[] = "8";
    EXPECT_EQ (dispatch (effString2Parameter, syncParameters::resolution, 0, typed), 1);
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::resolution), "8 PPQN");
    EXPECT_EQ (effect->getParameter (effect, syncParameters::count), 0.0f);
}

TEST_F (Vst2HostTest, SyncRendersTheEngineSignalAtFourPpqn)
{
    resume (float (sampleRate), blockSize);
    effect->setParameter (effect, syncParameters::resolution, fourPpqn);
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::resolution), "4 PPQN");
    EXPECT_EQ (render (40, blockSize, 120.0, 0.0, sampleRate), engineSignal (atFourPpqn(), 40));
}

TEST (Vst3SyncHost, RendersTheEngineSignalAtFourPpqn)
{
    using namespace vst3host;
    Vst3Host host;
    ASSERT_TRUE (host.open());

    Vst::ParameterInfo resolution {};
    ASSERT_EQ (host.controller->getParameterInfo (syncParameters::resolution, resolution), kResultOk);

    Vst::String128 text {};
    ASSERT_EQ (host.controller->getParamStringByValue (resolution.id, fourPpqn, text), kResultOk);
    EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (text)), u"4 PPQN");

    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, blockSize, sampleRate };
    ASSERT_EQ (host.processor->setupProcessing (setup), kResultOk);
    ASSERT_EQ (host.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true), kResultOk);
    ASSERT_EQ (host.component->setActive (true), kResultOk);
    host.processor->setProcessing (true);

    std::vector<float> signal;

    for (int block = 0; block < 40; ++block)
    {
        ParameterChanges changes;
        changes.queues.emplace_back (resolution.id, fourPpqn);
        auto context = playing (120.0, block * blockSize, sampleRate);

        const auto [left, right] = host.processStereo (&context, block == 0 ? &changes : nullptr, blockSize);
        EXPECT_EQ (left, right);
        signal.insert (signal.end(), left.begin(), left.end());
    }

    EXPECT_EQ (signal, engineSignal (atFourPpqn(), 40));
    host.processor->setProcessing (false);
    host.component->setActive (false);
}

TEST_F (Lv2HostFixture, SyncRendersTheEngineSignalAtFourPpqn)
{
    // As Ardour plays from frame 0, the host sets Resolution to its third choice.
    std::vector<float> signal;

    for (int block = 0; block < 40; ++block)
    {
        const auto samples = block == 0 ? run (0, ParameterValue { "resolution", 2.0f }) : run (std::nullopt);
        signal.insert (signal.end(), samples.begin(), samples.end());
    }

    EXPECT_EQ (signal, engineSignal (atFourPpqn(), 40));
}

} // namespace quaverline::test
