// The plug-in's VST 2.4 entry point. JUCE's VST wrapper does the work; this
// layer sits in front of its dispatcher and gives the answers in which the
// plug-in's VST 2.4 face differs from what the wrapper says on its own: the
// version number, the can-do list, the output pins, speaker arrangements and
// the requests the plug-in does not support.

#include "PluginIdentity.h"
#include "Vst2CanDo.h"
#include "Vst2Strings.h"

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

// JUCE's own entry point, renamed at compile time so that this one is the
// only way in.
extern "C" AEffect* juceVstPluginMain (audioMasterCallback hostCallback);

namespace
{
namespace identity = quaverline::identity;
namespace vst2 = quaverline::vst2;

// JUCE's dispatcher is one function for every instance.
AEffectDispatcherProc juceDispatcher = nullptr;

VstIntPtr describeOutputPin (const AEffect& effect, int pin, void* properties)
{
    if (properties == nullptr || pin < 0 || pin >= effect.numOutputs)
        return 0;

    auto& pinProperties = *static_cast<VstPinProperties*> (properties);
    vst2::copyString (pinProperties.label, identity::outputBusName, vst2::stringLimit::pinLabel);
    vst2::copyString (pinProperties.shortLabel, identity::outputBusName, vst2::stringLimit::pinShortLabel);
    pinProperties.flags = kVstPinIsActive | kVstPinIsStereo | kVstPinUseSpeaker;
    pinProperties.arrangementType = kSpeakerArrStereo;
    return 1;
}

VstIntPtr dispatch (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case effGetVendorVersion:
            return identity::vst2Version;

        case effCanDo:
            return vst2::canDo (static_cast<const char*> (ptr));

        case effGetOutputProperties:
            return effect != nullptr ? describeOutputPin (*effect, index, ptr) : 0;

        // No input pins; the bus layout is fixed; no text-to-value conversion,
        // no vendor extensions, no MIDI channels to name.
        case effGetInputProperties:
        case effSetSpeakerArrangement:
        case effGetSpeakerArrangement:
        case effString2Parameter:
        case effVendorSpecific:
        case effGetNumMidiInputChannels:
        case effGetNumMidiOutputChannels:
            return 0;

        default:
            return juceDispatcher (effect, opcode, index, value, ptr, opt);
    }
}
} // namespace

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback hostCallback)
{
    auto* effect = juceVstPluginMain (hostCallback);

    if (effect == nullptr)
        return nullptr;

    juceDispatcher = effect->dispatcher;
    effect->dispatcher = dispatch;
    effect->version = identity::vst2Version;
    return effect;
}
