// Quaverline Sync's VST3 and LV2 builds loaded as hosts load them: the clock
// rendered with a setting other than the default, sample for sample what the
// engine renders; texts and states that JUCE cannot parse safely.

#include "engine/SyncParameters.h"
#include "tests/hosts/SyncReference.h"
#include "tests/support/HostileBytes.h"
#include "tests/support/Lv2Host.h"
#include "tests/support/Vst3Host.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

// The block size and rate are the LV2 host's, the same as the reference's.
using syncReference::atFourPpqn;
using syncReference::engineSignal;
using syncReference::fourPpqn;

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

TEST (Vst3SyncHost, TextsAndStatesJuceCannotParseChangeNothing)
{
    using namespace vst3host;
    Vst3Host host;
    ASSERT_TRUE (host.open());
    const auto saved = host.saveState();

    for (const auto& bytes : hostileBytes::brokenXmlStates())
        host.loadState ({ bytes.begin(), bytes.end() });

    EXPECT_EQ (host.saveState(), saved);

    // A lone surrogate at the end, and a text with no end within its 128 units.
    Vst::ParameterInfo resolution {};
    ASSERT_EQ (host.controller->getParameterInfo (syncParameters::resolution, resolution), kResultOk);
    Vst::ParamValue value = 0.5;
    Vst::String128 loneSurrogate { u'8', 0xd800, 0 };
    EXPECT_EQ (host.controller->getParamValueByString (resolution.id, loneSurrogate, value), kInvalidArgument);
    Vst::String128 endless;
    std::fill (std::begin (endless), std::end (endless), u'8');
    EXPECT_EQ (host.controller->getParamValueByString (resolution.id, endless, value), kInvalidArgument);

    Vst::String128 sound { u'8', 0 };
    ASSERT_EQ (host.controller->getParamValueByString (resolution.id, sound, value), kResultOk);
    EXPECT_FLOAT_EQ (float (value), 3.0f / 7.0f);
}

TEST_F (Lv2HostFixture, SyncStatesJuceCannotParseChangeNothing)
{
    const auto saved = save();
    ASSERT_EQ (saved.size(), 1u);

    for (const auto& bytes : hostileBytes::brokenXmlStates())
    {
        auto broken = saved;
        broken.begin()->second.value = juceBase64 (bytes);
        restore (broken);
    }

    EXPECT_EQ (save(), saved);
}

} // namespace quaverline::test
