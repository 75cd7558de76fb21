// The plug-in's VST 2.4 entry point. JUCE's VST wrapper does the work; this
// layer sits in front of it. It gives the answers in which the plug-in's VST
// 2.4 face differs from what the wrapper says on its own (the version number,
// the can-do list, the output pins, speaker arrangements, the requests the
// plug-in does not support, the parameters' answers of each product), and it hands the wrapper only what the wrapper
// handles safely: blocks no longer than announced, a buffer per output, no
// processing after a suspend, no MIDI events to read.

#include "engine/MusicalTime.h"
#include "formats/vst2/PluginExport.h"
#include "formats/vst2/Vst2CanDo.h"
#include "formats/vst2/Vst2Instances.h"
#include "formats/vst2/Vst2Parameters.h"
#include "formats/vst2/Vst2Strings.h"
#include "plugin/identity/PluginIdentity.h"

#include <algorithm>
#include <cmath>
#include <limits>
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
constexpr int maximumSliceLength = 8192;

// JUCE's entries are the same functions for every instance.
AEffectDispatcherProc juceDispatcher = nullptr;
AEffectGetParameterProc juceGetParameter = nullptr;
AEffectProcessProc juceProcessReplacing = nullptr;

vst2::InstanceRegistry instances;

float getParameter (AEffect* effect, int index)
{
    return vst2::parameters::value (effect, index, juceGetParameter);
}

// Set while JUCE's wrapper is being made, before its record is known.
thread_local audioMasterCallback hostOfInstanceInTheMaking = nullptr;

/** A time that JUCE's wrapper converts to an integer: one that no integer
    holds (not a number, infinite, too large) reads as 0.
*/
double representable (double time, double lowest, double highest)
{
    return time >= lowest && time < highest ? time : 0.0;
}

// JUCE's wrapper calls the host through here. The host's time information is
// handed on as a copy in which every time JUCE converts to an integer can be
// converted; while a long block is rendered in slices, it is moved on to the
// slice's start, so that each slice continues the clock where the last ended.
VstIntPtr callHost (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    auto* state = effect != nullptr ? instances.find (effect) : nullptr;
    const auto host = state != nullptr ? state->hostCallback : hostOfInstanceInTheMaking;

    if (host == nullptr)
        return 0;

    const auto answer = host (effect, opcode, index, value, ptr, opt);

    if (opcode != audioMasterGetTime || answer == 0 || state == nullptr)
        return answer;

    const auto offset = double (state->sliceOffset.load (std::memory_order_relaxed));
    auto& timeInfo = state->timeInfo;
    timeInfo = *reinterpret_cast<const VstTimeInfo*> (answer);
    timeInfo.samplePos = representable (timeInfo.samplePos + offset, -9.0e18, 9.0e18);
    timeInfo.nanoSeconds = representable (timeInfo.nanoSeconds, 0.0, 1.8e19);

    if ((timeInfo.flags & kVstPpqPosValid) != 0 && (timeInfo.flags & kVstTempoValid) != 0 && timeInfo.sampleRate > 0.0)
        timeInfo.ppqPos += quaverline::musicalTime::quarterNotesIn (offset, timeInfo.tempo, timeInfo.sampleRate);

    return reinterpret_cast<VstIntPtr> (&timeInfo);
}

VstIntPtr dispatch (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt);

void clearOutputs (const AEffect& effect, float** outputs, int numSamples)
{
    for (int channel = 0; channel < effect.numOutputs; ++channel)
        if (outputs[channel] != nullptr)
            std::fill (outputs[channel], outputs[channel] + numSamples, 0.0f);
}

// JUCE's wrapper is given only what it handles safely: blocks no longer than
// the block size it was resumed with, and one distinct buffer per output.
// A missing or repeated output buffer is replaced by a scratch channel, and so
// are all of them in a bypassed block, which must leave the host's buffers as
// the host wrote them (JUCE's wrapper is not told of the bypass and renders
// the block as any other).
void processReplacing (AEffect* effect, float** inputs, float** outputs, int numSamples)
{
    auto* state = effect != nullptr ? instances.find (effect) : nullptr;

    if (state == nullptr || outputs == nullptr || numSamples <= 0 || effect->numOutputs > maximumOutputs)
        return;

    using Processing = vst2::InstanceState::Processing;
    const auto processing = state->processing.load (std::memory_order_acquire);

    // JUCE's wrapper resumes by itself for hosts that never do; after a
    // suspend it has no buffers left, and the outputs are silent.
    if (processing == Processing::suspended)
    {
        clearOutputs (*effect, outputs, numSamples);
        return;
    }

    if (processing == Processing::neverResumed)
        dispatch (effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    const auto sliceLength = state->scratchChannelLength;
    const auto bypassed = state->bypassed.load (std::memory_order_acquire);
    bool writesHostBuffer[maximumOutputs];
    float* channels[maximumOutputs];

    for (int channel = 0; channel < effect->numOutputs; ++channel)
    {
        auto* const output = outputs[channel];
        const auto repeated = std::find (outputs, outputs + channel, output) != outputs + channel;
        writesHostBuffer[channel] = ! bypassed && output != nullptr && ! repeated;
        channels[channel] = state->scratch.data() + std::size_t (channel) * std::size_t (sliceLength);
    }

    // 64 bits, so that the count cannot overflow near 2^31 samples.
    for (int64_t done = 0; done < numSamples; done += sliceLength)
    {
        for (int channel = 0; channel < effect->numOutputs; ++channel)
            if (writesHostBuffer[channel])
                channels[channel] = outputs[channel] + done;

        state->sliceOffset.store (done, std::memory_order_relaxed);
        juceProcessReplacing (effect, inputs, channels, int (std::min<int64_t> (sliceLength, numSamples - done)));
    }

    state->sliceOffset.store (0, std::memory_order_relaxed);
}

void resume (AEffect* effect, vst2::InstanceState& state)
{
    // A host that never gave a sample rate gets the clock at 44.1 kHz.
    if (! (state.hostSampleRate > 0.0f))
        juceDispatcher (effect, effSetSampleRate, 0, 0, nullptr, fallbackSampleRate);

    // Hosts that announce absurd block sizes still get blocks rendered, in
    // slices of a size that costs little memory.
    state.scratchChannelLength =
        state.hostBlockSize > 0 ? std::min (state.hostBlockSize, maximumSliceLength) : fallbackBlockSize;
    state.scratch.assign (static_cast<std::size_t> (state.scratchChannelLength) *
                              static_cast<std::size_t> (std::max (effect->numOutputs, 1)),
                          0.0f);
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
        case effString2Parameter:
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
std::optional<VstIntPtr> answerOwnRequest (AEffect* effect, int opcode, int index, void* ptr, float opt)
{
    switch (opcode)
    {
        // A rate that is not a positive number is not passed on: the clock
        // keeps the last rate the host gave, or 44.1 kHz if it gave none.
        case effSetSampleRate:
            return opt > 0.0f && std::isfinite (opt) ? std::nullopt : std::optional<VstIntPtr> (0);

        case effGetEffectName:
            return writeString (ptr, identity::pluginName, vst2::stringLimit::effectName, 1);

        case effGetProductString:
            return writeString (ptr, identity::pluginName, vst2::stringLimit::productString, 1);

        case effGetVendorString:
            return writeString (ptr, identity::manufacturerName, vst2::stringLimit::vendorString, 1);

        // The one program has no name.
        case effGetProgramName:
            return writeString (ptr, "", vst2::stringLimit::programName, 0);

        case effGetProgramNameIndexed:
            return index == 0 ? writeString (ptr, "", vst2::stringLimit::programName, 1) : 0;

        // ...and takes none: a name the host sets is not read at all.
        case effSetProgramName:
            return 0;

        case effGetVendorVersion:
            return identity::vst2Version;

        // MIDI is taken and ignored, without reading events that may lie
        // about their number or size.
        case effProcessEvents:
            return 1;

        case effCanDo:
            return vst2::canDo (static_cast<const char*> (ptr));

        case effGetOutputProperties:
            return effect != nullptr ? describeOutputPin (*effect, index, ptr) : 0;

        // No input pins; the bus layout is fixed; no vendor extensions, no MIDI
        // channels to name.
        case effGetInputProperties:
        case effSetSpeakerArrangement:
        case effGetSpeakerArrangement:
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
            state.hostBlockSize = static_cast<int> (std::clamp<VstIntPtr> (value, 0, std::numeric_limits<int>::max()));
            break;

        case effMainsChanged:
            if (value != 0)
                resume (effect, state);
            break;

        default:
            break;
    }
}

VstIntPtr dispatch (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    if (ptr == nullptr && writesThroughPointer (opcode))
        return 0;

    if (const auto answer = answerOwnRequest (effect, opcode, index, ptr, opt))
        return *answer;

    if (const auto answer = vst2::parameters::answer (effect, opcode, index, ptr, juceDispatcher))
        return *answer;

    auto* state = effect != nullptr ? instances.find (effect) : nullptr;

    if (state == nullptr)
        return 0;

    // The bypass is the layer's own: JUCE's wrapper keeps it in a plain bool
    // that its audio thread reads while the host's thread writes it.
    if (opcode == effSetBypass)
    {
        state->bypassed.store (value != 0, std::memory_order_release);
        return 1;
    }

    followRequest (effect, *state, opcode, value, opt);
    const auto answer = juceDispatcher (effect, opcode, index, value, ptr, opt);

    if (opcode == effMainsChanged)
        state->processing.store (value != 0 ? vst2::InstanceState::Processing::resumed
                                            : vst2::InstanceState::Processing::suspended,
                                 std::memory_order_release);

    // JUCE's wrapper may still call the host while it closes.
    if (opcode == effClose)
        instances.release (effect);

    return answer;
}
} // namespace

extern "C" QUAVERLINE_EXPORT AEffect* VSTPluginMain (audioMasterCallback hostCallback)
{
    hostOfInstanceInTheMaking = hostCallback;
    auto* effect = juceVstPluginMain (callHost);
    hostOfInstanceInTheMaking = nullptr;

    if (effect == nullptr)
        return nullptr;

    // Without a slot of its own an instance could not be guarded.
    if (instances.claim (effect, hostCallback) == nullptr)
    {
        effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
        return nullptr;
    }

    juceDispatcher = effect->dispatcher;
    juceGetParameter = effect->getParameter;
    juceProcessReplacing = effect->processReplacing;
    effect->dispatcher = dispatch;
    effect->getParameter = getParameter;
    effect->processReplacing = processReplacing;
    effect->version = identity::vst2Version;
    effect->float1 = 1.0f; // ioRatio, which JUCE's wrapper leaves at 0
    return effect;
}
