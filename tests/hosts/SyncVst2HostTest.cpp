// Quaverline Sync's VST 2.4 build loaded as hosts load it (on Linux, and its
// Windows DLL under Wine): its identity, the parameters with their texts, the
// clock at 4 PPQN, sample for sample what the engine renders, and texts and
// states that JUCE cannot parse safely.

#include "engine/SyncParameters.h"
#include "plugin/identity/FourCharCode.h"
#include "tests/hosts/SyncReference.h"
#include "tests/support/HostileBytes.h"
#include "tests/support/Vst2Host.h"

namespace quaverline::test
{

using namespace syncReference;

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

TEST_F (Vst2HostTest, SyncTextsAndStatesJuceCannotParseChangeNothing)
{
    void* chunk = nullptr;
    ASSERT_GT (dispatch (effGetChunk, 0, 0, &chunk), 0);

    // In blocks of their own size, so that a read past them is seen.
    for (int index = 0; index < syncParameters::count; ++index)
    {
        std::vector<char> text (hostileBytes::brokenValueText.begin(), hostileBytes::brokenValueText.end());
        text.push_back ('\0');
        EXPECT_EQ (dispatch (effString2Parameter, index, 0, text.data()), 0) << index;
    }

    for (const auto& bytes : hostileBytes::brokenXmlStates())
    {
        std::vector<char> state (bytes.begin(), bytes.end());
        dispatch (effSetChunk, 0, VstIntPtr (state.size()), state.data());
    }

    // Nothing changed, and a text that is sound is still read.
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::resolution), "24 PPQN");
    char typed[] = "4 PPQN";
    EXPECT_EQ (dispatch (effString2Parameter, syncParameters::resolution, 0, typed), 1);
    EXPECT_EQ (stringAnswer (effGetParamDisplay, syncParameters::resolution), "4 PPQN");

    // A program name is not read at all.
    char name[] = "\xf4";
    EXPECT_EQ (dispatch (effSetProgramName, 0, 0, name), 0);
}

} // namespace quaverline::test
