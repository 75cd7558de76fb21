// A VST 2.4 plug-in (Quaverline's, or Quaverline Sync's as vst2-sync) driven
// as a careless host might drive it, through its binary interface: any
// sequence of requests, in any order, with any values and texts, process
// calls with any length and missing or repeated buffers, and time information
// of any content.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tests/support/HostileBytes.h"
#include "tests/support/PluginLibrary.h"

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

#include <cstring>

namespace
{
using namespace quaverline::test;
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

constexpr int maximumBlock = 20000;

VstTimeInfo timeInfo {};
bool givesTimeInfo = true;

VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    switch (opcode)
    {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetTime:
            return givesTimeInfo ? reinterpret_cast<VstIntPtr> (&timeInfo) : 0;
        default:
            return 0;
    }
}

// Any request from effSetProgram (2) to the highest VST 2.4 defines (79),
// but for the editor's (13 to 21, 59 to 61): those need a display and a
// message loop, which the window tests give them.
bool isEditorRequest (int opcode)
{
    return (opcode >= 13 && opcode <= 21) || (opcode >= 59 && opcode <= 61);
}

AEffect* load()
{
    using EntryPoint = AEffect* (*) (audioMasterCallback);
    static void* const library = openPluginLibrary (QUAVERLINE_VST2_PATH);
    static const auto entryPoint = pluginEntryPoint<EntryPoint> (library, "VSTPluginMain");
    return entryPoint != nullptr ? entryPoint (hostCallback) : nullptr;
}

void request (AEffect& effect, FuzzInput& input)
{
    const auto opcode = static_cast<int> (input.takeInRange (2, 79));
    const auto index = static_cast<int> (input.take<int32_t>());
    auto value = static_cast<VstIntPtr> (input.take<int64_t>());
    const auto opt = input.take<float>();

    // Room for any answer, filled from the input: what the host passes in.
    alignas (16) char room[1024] {};
    const auto bytes = input.takeBytes (sizeof (room) - 1);
    std::copy (bytes.begin(), bytes.end(), room);
    void* chunk = nullptr;
    void* pointer = input.takeBool() ? room : nullptr;

    // A chunk's size is the host's to tell truly; any content goes.
    if (opcode == effSetChunk)
        value = static_cast<VstIntPtr> (bytes.size());
    else if (opcode == effGetChunk && pointer != nullptr)
        pointer = &chunk;

    if (! isEditorRequest (opcode))
        effect.dispatcher (&effect, opcode, index, value, pointer, opt);
}

void process (AEffect& effect, FuzzInput& input)
{
    static float left[maximumBlock], right[maximumBlock];
    const auto numSamples = static_cast<int> (input.takeInRange (-1, maximumBlock));
    float* distinct[] { left, right };
    float* same[] { left, left };
    float* leftOnly[] { left, nullptr };
    float* rightOnly[] { nullptr, right };
    float* none[] { nullptr, nullptr };
    float** layouts[] { distinct, same, leftOnly, rightOnly, none, nullptr };
    effect.processReplacing (&effect, nullptr, layouts[input.takeInRange (0, 5)], numSamples);
}

void setTime (FuzzInput& input)
{
    givesTimeInfo = input.takeBool();
    timeInfo.samplePos = input.take<double>();
    timeInfo.sampleRate = input.take<double>();
    timeInfo.ppqPos = input.take<double>();
    timeInfo.tempo = input.take<double>();
    timeInfo.barStartPos = input.take<double>();
    timeInfo.flags = input.take<int32_t>();
}

std::vector<uint8_t> playSeed()
{
    FuzzOutput out;
    const auto sendRequest = [&] (int opcode, int64_t value, float opt)
    {
        out.put (uint8_t (0))
            .put (uint64_t (opcode - 2))
            .put (int32_t (0))
            .put (value)
            .put (opt)
            .putBytes ({})
            .put (uint8_t (0));
    };

    sendRequest (effSetSampleRate, 0, 48000.0f);
    sendRequest (effSetBlockSize, 512, 0.0f);
    sendRequest (effMainsChanged, 1, 0.0f);
    out.put (uint8_t (2))
        .put (uint8_t (1))
        .put (0.0)
        .put (48000.0)
        .put (0.0)
        .put (120.0)
        .put (0.0)
        .put (int32_t (kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying));

    for (int block = 0; block < 4; ++block)
        out.put (uint8_t (1)).put (uint64_t (block == 3 ? 4097 : 513)).put (uint64_t (block % 6));

    return out.data;
}

/** One request with the host's bytes behind the pointer. */
std::vector<uint8_t> requestSeed (int opcode, const std::string& bytes)
{
    return FuzzOutput()
        .put (uint8_t (0))
        .put (uint64_t (opcode - 2))
        .put (int32_t (0))
        .put (int64_t (0))
        .put (0.0f)
        .putString (bytes)
        .put (uint8_t (1))
        .data;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    // Texts and states that JUCE's parsers read or write past: a value text
    // that is not UTF-8, and states with broken XML in JUCE's binary framing.
    std::vector<std::vector<uint8_t>> seeds { playSeed(),
                                              FuzzOutput().put (uint8_t (1)).put (uint64_t (100)).data,
                                              requestSeed (effString2Parameter, hostileBytes::brokenValueText) };

    for (const auto& state : hostileBytes::brokenXmlStates())
        seeds.push_back (requestSeed (effSetChunk, state));

    quaverline::fuzz::writeSeedsIfAsked (*argc, *argv, seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto* effect = load();

    if (effect == nullptr)
        __builtin_trap();

    FuzzInput input (data, size);
    givesTimeInfo = true;
    timeInfo = {};
    effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);

    for (int step = 0; step < 64 && ! input.isEmpty(); ++step)
    {
        switch (input.take<uint8_t>() % 4)
        {
            case 0:
                request (*effect, input);
                break;
            case 1:
                process (*effect, input);
                break;
            case 2:
                setTime (input);
                break;
            default:
                effect->setParameter (effect, static_cast<int> (input.takeInRange (-1, 2)), input.take<float>());
                effect->getParameter (effect, static_cast<int> (input.takeInRange (-1, 2)));
                break;
        }
    }

    effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
