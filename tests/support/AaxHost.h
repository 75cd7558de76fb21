#pragma once

#include "AAX_CString.h"
#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "AAX_VDescriptions.h"
#include "tests/support/AaxHostLinks.h"
#include "tests/support/PluginLibrary.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quaverline::test
{

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

    const AAX_VCollection& collection() const { return definition->GetCollection(); }
    const AAX_VEffectDescriptor& effect() const { return *collection().effects.front().second; }

    IACFUnknown hostServices;
    IACFPluginDefinition* definition = nullptr;
    AAX_Result result = 0;
};

/** One plug-in instance on one component, as an AAX host runs it. */
class Instance final : public HostLinks
{
public:
    explicit Instance (const Scan& scan, AAX_EStemFormat stem = AAX_eStemFormat_Stereo)
        : HostLinks (stem)
    {
        if (scan.definition == nullptr || scan.collection().effects.empty() || scan.effect().components.empty())
            return;

        const auto& procedures = scan.effect().procedures;
        auto* create =
            reinterpret_cast<AAX_IEffectParameters* (*) ()> (procedures.at (kAAX_ProcPtrID_Create_EffectParameters));
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
            return AAX_ERROR_NULL_OBJECT;

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
        std::vector<std::vector<float>> channels (static_cast<size_t> (aaxhost::channelCountOf (stemFormat)),
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

} // namespace quaverline::test
