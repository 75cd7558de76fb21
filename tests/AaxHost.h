#pragma once

#include "AAX_Descriptors.h"
#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "PluginLibrary.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

/** A simulated AAX host: loads the built plug-in library, resolves
    the seven entry points and implements what an AAX host gives a plug-in
    (controller, transport, automation, MIDI node, view container).
*/
namespace aaxhost
{

struct EntryPoints
{
    AAX_Result (*registerPlugin) (IACFUnknown*, IACFPluginDefinition**) = nullptr;
    AAX_Result (*registerComponent) (IACFUnknown*, uint32_t, void**) = nullptr;
    AAX_Result (*getClassFactory) (IACFUnknown*, const void*, const void*, void**) = nullptr;
    AAX_Result (*canUnloadNow)() = nullptr;
    AAX_Result (*startup) (IACFUnknown*) = nullptr;
    AAX_Result (*shutdown)() = nullptr;
    AAX_Result (*getSdkVersion) (uint64_t*) = nullptr;

    bool isComplete() const
    {
        return registerPlugin && registerComponent && getClassFactory && canUnloadNow && startup && shutdown &&
               getSdkVersion;
    }
};

/** The library's entry points; loaded once and kept, as hosts do. */
inline const EntryPoints& entryPoints()
{
    static const EntryPoints loaded = []
    {
        EntryPoints points;

        if (auto* library = openPluginLibrary (QUAVERLINE_PLUGIN_PATH))
        {
            points.registerPlugin = pluginEntryPoint<decltype (points.registerPlugin)> (library, "ACFRegisterPlugin");
            points.registerComponent =
                pluginEntryPoint<decltype (points.registerComponent)> (library, "ACFRegisterComponent");
            points.getClassFactory =
                pluginEntryPoint<decltype (points.getClassFactory)> (library, "ACFGetClassFactory");
            points.canUnloadNow = pluginEntryPoint<decltype (points.canUnloadNow)> (library, "ACFCanUnloadNow");
            points.startup = pluginEntryPoint<decltype (points.startup)> (library, "ACFStartup");
            points.shutdown = pluginEntryPoint<decltype (points.shutdown)> (library, "ACFShutdown");
            points.getSdkVersion = pluginEntryPoint<decltype (points.getSdkVersion)> (library, "ACFGetSDKVersion");
        }

        return points;
    }();
    return loaded;
}

/** The plug-in's description, as a scan reads it; released when done. */
struct Scan
{
    Scan() { result = entryPoints().registerPlugin (&hostServices, &definition); }

    ~Scan()
    {
        if (definition != nullptr)
            definition->Release();
    }

    const AAX_CCollection& collection() const { return definition->GetCollection(); }
    const AAX_CEffectDescriptor& effect() const { return *collection().effects.front().second; }

    IACFUnknown hostServices;
    IACFPluginDefinition* definition = nullptr;
    AAX_Result result = 0;
};

/** The host's transport: what the tests set is what the play head reads. */
struct Transport final : AAX_ITransport
{
    AAX_Result GetCurrentTempo (double* bpm) const override { return answer (bpm, tempo); }
    AAX_Result GetCurrentMeter (int32_t* numerator, int32_t* denominator) const override
    {
        *numerator = 4;
        *denominator = 4;
        return fails ? -1 : 0;
    }
    AAX_Result IsTransportPlaying (bool* isPlaying) const override { return answer (isPlaying, playing); }
    AAX_Result GetCurrentNativeSampleLocation (int64_t* location) const override { return answer (location, sample); }
    AAX_Result GetTimelineSelectionStartPosition (int64_t* location) const override
    {
        return hasSelection ? answer (location, selectionStart) : -1;
    }
    AAX_Result GetCurrentTickPosition (int64_t* position) const override { return answer (position, ticks); }
    AAX_Result GetCurrentLoopPosition (bool* looping, int64_t* start, int64_t* end) const override
    {
        *looping = false;
        *start = *end = 0;
        return fails ? -1 : 0;
    }
    AAX_Result GetTimeCodeInfo (int32_t* rate, int64_t* offset) const override
    {
        if (fails || timeCodeRate == 0)
            return -1;

        *rate = timeCodeRate;
        *offset = timeCodeOffset;
        return 0;
    }

    template <typename T>
    AAX_Result answer (T* destination, T value) const
    {
        if (fails)
            return -1;

        *destination = value;
        return 0;
    }

    double tempo = 120.0;
    bool playing = false;
    int64_t sample = 0, selectionStart = 0, ticks = 0;
    bool hasSelection = true;
    int32_t timeCodeRate = 0; // 0: the host gives no time code
    int64_t timeCodeOffset = 0;
    bool fails = false;
};

/** The MIDI packets the host delivers in the next callback. */
struct MidiNode final : AAX_IMIDINode
{
    AAX_CMidiStream* GetNodeBuffer() override
    {
        stream.mBuffer = packets.data();
        stream.mBufferSize = static_cast<uint32_t> (packets.size());
        return &stream;
    }

    AAX_Result PostMIDIPacket (AAX_CMidiPacket*) override
    {
        ++postedPackets;
        return 0;
    }

    std::vector<AAX_CMidiPacket> packets;
    AAX_CMidiStream stream;
    int postedPackets = 0;
};

/** What the host gives one instance besides its transport: the controller
    (rate, stems, latency, packets) and the automation, which records requests.
*/
class HostLinks : public AAX_IController, public AAX_IAutomationDelegate
{
public:
    explicit HostLinks (AAX_EStemFormat stem)
        : stemFormat (stem)
    {
    }

    AAX_Result GetSampleRate (float* rate) const override
    {
        *rate = sampleRate;
        return 0;
    }

    AAX_Result GetInputStemFormat (AAX_EStemFormat* format) const override
    {
        *format = stemFormat;
        return 0;
    }

    AAX_Result GetOutputStemFormat (AAX_EStemFormat* format) const override
    {
        *format = stemFormat;
        return 0;
    }

    AAX_Result SetSignalLatency (int32_t samples) override
    {
        latency = samples;
        ++latencyReports;
        return 0;
    }

    AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) override
    {
        if (field == 3 && size == sizeof (bypass))
            std::memcpy (&bypass, data, size);

        return 0;
    }

    AAX_Result PostTouchRequest (AAX_CParamID id) override
    {
        requests.push_back ("touch " + std::string (id));
        return 0;
    }

    AAX_Result PostReleaseRequest (AAX_CParamID id) override
    {
        requests.push_back ("release " + std::string (id));
        return 0;
    }

    AAX_Result PostSetValueRequest (AAX_CParamID id, double value) override
    {
        requests.push_back ("set " + std::string (id) + " " + std::to_string (value));
        return 0;
    }

    AAX_EStemFormat stemFormat;
    float sampleRate = 48000.0f;
    Transport transport;
    int32_t bypass = 0, latency = -1, latencyReports = 0;
    std::vector<std::string> requests;
};

/** One plug-in instance on one component, as an AAX host runs it. */
class Instance final : public HostLinks
{
public:
    explicit Instance (const Scan& scan, AAX_EStemFormat stem = aax::stem::stereo)
        : HostLinks (stem)
    {
        if (scan.definition == nullptr || scan.collection().effects.empty() || scan.effect().components.empty())
            return;

        const auto& procedures = scan.effect().procedures;
        auto* create =
            reinterpret_cast<AAX_IEffectParameters* (*) ()> (procedures.at (aax::procedure::effectParameters));
        parameters = create();
        processProc = scan.effect().components.front()->processProc;
    }

    ~Instance() override
    {
        if (parameters != nullptr)
            parameters->Release();
    }

    /** Initialises the instance and resets its private data, as a host does
        before the first callback.
    */
    AAX_Result initialise()
    {
        if (parameters == nullptr)
            return aax::result::nullObject;

        const auto result = parameters->Initialize (this, this, &transport);

        if (result != 0)
            return result;

        parameters->ResetFieldData (6, &instancePointer, sizeof (instancePointer));
        parameters->ResetFieldData (7, &preparedFlag, sizeof (preparedFlag));
        return 0;
    }

    /** One audio callback over every output channel of the stem; the channels
        hold what the host wrote before, given by fill.
    */
    std::vector<std::vector<float>> process (int numSamples, float fill = 0.0f)
    {
        std::vector<std::vector<float>> channels (static_cast<size_t> (aax::stem::channelCount (stemFormat)),
                                                  std::vector<float> (static_cast<size_t> (numSamples), fill));
        std::vector<float*> pointers;

        for (auto& channel : channels)
            pointers.push_back (channel.data());

        int32_t bufferSize = numSamples;
        AAX_IMIDINode* midiNodes[] = { &midiIn, &midiOut };
        void* context[] = { nullptr,      pointers.data(), &bufferSize,      &bypass,
                            midiNodes[0], midiNodes[1],    &instancePointer, &preparedFlag };
        void* const instances[] = { context };
        processProc (instances, instances + 1);
        return channels;
    }

    AAX_IEffectParameters* parameters = nullptr;
    AAX_CProcessProc processProc = nullptr;
    MidiNode midiIn, midiOut;
    int32_t preparedFlag = 0;
    void* instancePointer = nullptr;
};

} // namespace aaxhost
