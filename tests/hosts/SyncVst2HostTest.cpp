// Quaverline Sync's VST 2.4 build loaded as hosts load it (on Linux, and its
// Windows DLL under Wine): its identity, the parameters with their texts, and
// the clock at 4 PPQN, sample for sample what the engine renders.

#include "engine/SyncParameters.h"
#include "plugin/identity/FourCharCode.h"
#include "tests/hosts/SyncReference.h"
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

} // namespace quaverline::test
