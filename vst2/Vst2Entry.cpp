// The plug-in's VST 2.4 entry point. JUCE's VST wrapper does the work; this
// layer sits in front of its dispatcher and gives the answers in which the
// plug-in's VST 2.4 face differs from what the wrapper says on its own: the
// version number, the can-do list, the output pins, speaker arrangements and
// the requests the plug-in does not support.

#include "PluginExport.h"
#include "PluginIdentity.h"
#include "TimeSignatureState.h"
#include "Vst2CanDo.h"
#include "Vst2Instances.h"
#include "Vst2Strings.h"

#include <algorithm>
#include <optional>

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

// JUCE's own entry point, renamed at compile time so that this one is the
// only way in.
extern "C" AEffect* juceVstPluginMain (audioMasterCallback hostCallback);

namespace
{
namespace identity = quaverline::identity;
namespace vst2 = quaverline::vst2;

constexpr float fallbackSampleRate = 44100.0f;
constexpr int fallbackBlockSize = 1024;
constexpr int maximumOutputs = 64;

// JUCE's entries are the same functions for every instance.
AEffectDispatcherProc juceDispatcher = nullptr;
AEffectGetParameterProc juceGetParameter = nullptr;
AEffectProcessProc juceProcessReplacing = nullptr;

vst2::InstanceRegistry instances;

// The one parameter answers for every index, as the processor's own
// getParameter does.
float getParameter (AEffect* effect, int)
{
    return juceGetParameter (effect, 0);
}

// JUCE's wrapper clears the outputs before a bypassed block; a bypassed block
// must leave the host's buffers as the host wrote them. JUCE still gets the
// block, for its own bookkeeping, but on scratch channels.
void processReplacing (AEffect* effect, float** inputs, float** outputs, int numSamples)
{
    auto* state = instances.find (effect);

    if (state == nullptr || ! state->bypassed.load (std::memory_order_acquire) || state->scratch.empty() || effect->numOutputs > maximumOutputs)
    {
        juceProcessReplacing (effect, inputs, outputs, numSamples);
        return;
    }

    float* scratchOutputs[maximumOutputs];

    for (int channel = 0; channel < effect->numOutputs; ++channel)
        scratchOutputs[channel] = state->scratch.data() + channel * state->scratchChannelLength;

    for (int done = 0; done < numSamples; done += state->scratchChannelLength)
        juceProcessReplacing (effect, inputs, scratchOutputs, std::min (state->scratchChannelLength, numSamples - done));
}

void resume (AEffect* effect, vst2::InstanceState& state)
{
    // A host that never gave a sample rate gets the clock at 44.1 kHz.
    if (! (state.hostSampleRate > 0.0f))
        juceDispatcher (effect, effSetSampleRate, 0, 0, nullptr, fallbackSampleRate);

    state.scratchChannelLength = state.hostBlockSize > 0 ? state.hostBlockSize : fallbackBlockSize;
    state.scratch.assign (static_cast<std::size_t> (state.scratchChannelLength) * static_cast<std::size_t> (std::max (effect->numOutputs, 1)), 0.0f);
}

VstIntPtr writeString (void* destination, const char* text, std::size_t limit, VstIntPtr result)
{
    vst2::copyString (static_cast<char*> (destination), text, limit);
    return result;
}

// Requests that write their answer through the pointer: a host that passes
// none gets 0 instead of a crash.
bool writesThroughPointer (int opcode)
{
    switch (opcode)
    {
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effEditGetRect:
        case effGetChunk:
        case effProcessEvents:
        case effGetProgramNameIndexed:
        case effGetInputProperties:
        case effGetOutputProperties:
        case effGetEffectName:
        case effGetVendorString:
        case effGetProductString:
        case effCanDo:
            return true;

        default:
            return false;
    }
}

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

/** The requests whose answers are the face's own, not JUCE's wrapper's. */
std::optional<VstIntPtr> answerOwnRequest (AEffect* effect, int opcode, int index, void* ptr)
{
    switch (opcode)
    {
        case effGetEffectName:
            return writeString (ptr, identity::pluginName, vst2::stringLimit::effectName, 1);

        case effGetProductString:
            return writeString (ptr, identity::pluginName, vst2::stringLimit::productString, 1);

        case effGetVendorString:
            return writeString (ptr, identity::manufacturerName, vst2::stringLimit::vendorString, 1);

        case effGetParamName:
            return writeString (ptr, index == 0 ? quaverline::TimeSignatureState::parameterName : "", vst2::stringLimit::parameterName, 0);

        // The parameter has no label and no value text; the one program has no name.
        case effGetParamLabel:
            return writeString (ptr, "", vst2::stringLimit::parameterLabel, 0);

        case effGetParamDisplay:
            return writeString (ptr, "", vst2::stringLimit::parameterDisplay, 0);

        case effGetProgramName:
            return writeString (ptr, "", vst2::stringLimit::programName, 0);

        case effGetProgramNameIndexed:
            return index == 0 ? writeString (ptr, "", vst2::stringLimit::programName, 1) : 0;

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
            return std::nullopt;
    }
}

/** Keeps what the layer needs to know of requests that JUCE's wrapper answers. */
void followRequest (AEffect* effect, vst2::InstanceState& state, int opcode, VstIntPtr value, float opt)
{
    switch (opcode)
    {
        case effSetSampleRate:
            state.hostSampleRate = opt;
            break;

        case effSetBlockSize:
            state.hostBlockSize = static_cast<int> (value);
            break;

        case effMainsChanged:
            if (value != 0)
                resume (effect, state);
            break;

        case effSetBypass:
            state.bypassed.store (value != 0, std::memory_order_release);
            break;

        case effClose:
            instances.release (effect);
            break;

        default:
            break;
    }
}

VstIntPtr dispatch (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    if (ptr == nullptr && writesThroughPointer (opcode))
        return 0;

    if (const auto answer = answerOwnRequest (effect, opcode, index, ptr))
        return *answer;

    if (auto* state = effect != nullptr ? instances.find (effect) : nullptr)
        followRequest (effect, *state, opcode, value, opt);

    return juceDispatcher (effect, opcode, index, value, ptr, opt);
}
} // namespace

extern "C" QUAVERLINE_EXPORT AEffect* VSTPluginMain (audioMasterCallback hostCallback)
{
    auto* effect = juceVstPluginMain (hostCallback);

    if (effect == nullptr)
        return nullptr;

    juceDispatcher = effect->dispatcher;
    juceGetParameter = effect->getParameter;
    juceProcessReplacing = effect->processReplacing;
    effect->dispatcher = dispatch;
    effect->getParameter = getParameter;
    effect->processReplacing = processReplacing;
    instances.claim (effect);
    effect->version = identity::vst2Version;
    effect->float1 = 1.0f; // ioRatio, which JUCE's wrapper leaves at 0
    return effect;
}
