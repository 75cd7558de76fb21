#pragma once

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include "tests/support/PluginLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace quaverline::test
{

namespace vst3host
{
using namespace Steinberg;

/** A host-side object that lives on the stack or in the host: the plug-in may
    count references to it, but never ends its life.
*/
template <typename Interface>
class HostObject : public Interface
{
public:
    tresult PLUGIN_API queryInterface (const TUID requested, void** object) override
    {
        if (FUnknownPrivate::iidEqual (requested, Interface::iid) ||
            FUnknownPrivate::iidEqual (requested, FUnknown::iid))
        {
            *object = this;
            return kResultOk;
        }

        *object = nullptr;
        return kNoInterface;
    }

    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

/** A plug-in object the host owns one reference of. */
template <typename Interface>
class PluginPtr
{
public:
    PluginPtr() = default;
    explicit PluginPtr (Interface* object)
        : pointer (object)
    {
    }
    PluginPtr (PluginPtr&& other) noexcept
        : pointer (std::exchange (other.pointer, nullptr))
    {
    }
    PluginPtr& operator= (PluginPtr&& other) noexcept
    {
        std::swap (pointer, other.pointer);
        return *this;
    }
    ~PluginPtr()
    {
        if (pointer != nullptr)
            pointer->release();
    }

    template <typename Other>
    PluginPtr<Other> query() const
    {
        void* other = nullptr;
        return PluginPtr<Other> (pointer != nullptr && pointer->queryInterface (Other::iid, &other) == kResultOk
                                     ? static_cast<Other*> (other)
                                     : nullptr);
    }

    Interface* operator->() const noexcept { return pointer; }
    Interface* get() const noexcept { return pointer; }
    explicit operator bool() const noexcept { return pointer != nullptr; }

private:
    Interface* pointer = nullptr;
};

/** Saved state as a host keeps it: bytes read and written from a position,
    with their size known, as hosts' streams have it (so that the plug-in reads
    the state into a block of exactly its size).
*/
class MemoryStream final : public HostObject<IBStream>, public ISizeableStream
{
public:
    MemoryStream() = default;
    explicit MemoryStream (std::vector<uint8_t> content)
        : bytes (std::move (content))
    {
    }

    tresult PLUGIN_API queryInterface (const TUID requested, void** object) override
    {
        if (FUnknownPrivate::iidEqual (requested, ISizeableStream::iid))
        {
            *object = static_cast<ISizeableStream*> (this);
            return kResultOk;
        }

        return HostObject<IBStream>::queryInterface (requested, object);
    }

    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    tresult PLUGIN_API getStreamSize (int64& size) override
    {
        size = static_cast<int64> (bytes.size());
        return kResultOk;
    }

    tresult PLUGIN_API setStreamSize (int64 size) override
    {
        if (size < 0)
            return kInvalidArgument;

        bytes.resize (static_cast<size_t> (size));
        return kResultOk;
    }

    tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        const auto count =
            std::clamp<int64> (static_cast<int64> (bytes.size()) - position, 0, std::max<int32> (numBytes, 0));

        if (count > 0)
            std::memcpy (buffer, bytes.data() + position, static_cast<size_t> (count));

        position += count;

        if (numBytesRead != nullptr)
            *numBytesRead = static_cast<int32> (count);

        return kResultOk;
    }

    tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (numBytes < 0 || (numBytes > 0 && buffer == nullptr))
            return kInvalidArgument;

        if (numBytes > 0)
        {
            bytes.resize (std::max<size_t> (bytes.size(), static_cast<size_t> (position + numBytes)));
            std::memcpy (bytes.data() + position, buffer, static_cast<size_t> (numBytes));
            position += numBytes;
        }

        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;

        return kResultOk;
    }

    tresult PLUGIN_API seek (int64 offset, int32 mode, int64* result) override
    {
        const auto base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : static_cast<int64> (bytes.size());
        if (base + offset < 0)
            return kInvalidArgument;

        position = base + offset;

        if (result != nullptr)
            *result = position;

        return kResultOk;
    }

    tresult PLUGIN_API tell (int64* result) override
    {
        if (result == nullptr)
            return kInvalidArgument;

        *result = position;
        return kResultOk;
    }

    std::vector<uint8_t> bytes;

private:
    int64 position = 0;
};

/** One parameter's changes within a block: a single point. */
class ParameterValueQueue final : public HostObject<Vst::IParamValueQueue>
{
public:
    ParameterValueQueue (Vst::ParamID parameterId, Vst::ParamValue newValue)
        : id (parameterId)
        , value (newValue)
    {
    }

    Vst::ParamID PLUGIN_API getParameterId() override { return id; }
    int32 PLUGIN_API getPointCount() override { return 1; }

    tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& pointValue) override
    {
        if (index != 0)
            return kInvalidArgument;

        sampleOffset = 0;
        pointValue = value;
        return kResultOk;
    }

    tresult PLUGIN_API addPoint (int32, Vst::ParamValue, int32&) override { return kResultFalse; }

private:
    Vst::ParamID id;
    Vst::ParamValue value;
};

/** The parameter changes of one block, as automation delivers them. */
class ParameterChanges final : public HostObject<Vst::IParameterChanges>
{
public:
    int32 PLUGIN_API getParameterCount() override { return static_cast<int32> (queues.size()); }

    Vst::IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
    {
        return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t> (index)] : nullptr;
    }

    Vst::IParamValueQueue* PLUGIN_API addParameterData (const Vst::ParamID&, int32&) override { return nullptr; }

    std::vector<ParameterValueQueue> queues;
};

/** Records the parameter edits the plug-in reports to the host. */
class ComponentHandler final : public HostObject<Vst::IComponentHandler>
{
public:
    tresult PLUGIN_API beginEdit (Vst::ParamID) override { return kResultOk; }

    tresult PLUGIN_API performEdit (Vst::ParamID id, Vst::ParamValue value) override
    {
        edits.emplace_back (id, value);
        return kResultOk;
    }

    tresult PLUGIN_API endEdit (Vst::ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent (int32) override { return kResultOk; }

    std::vector<std::pair<Vst::ParamID, Vst::ParamValue>> edits;
};

/** A host's transport context while it plays at a tempo, at a sample. */
inline Vst::ProcessContext playing (double tempo, int64 sample, double sampleRate)
{
    Vst::ProcessContext context {};
    context.state =
        Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid | Vst::ProcessContext::kProjectTimeMusicValid;
    context.sampleRate = sampleRate;
    context.tempo = tempo;
    context.projectTimeSamples = sample;
    context.projectTimeMusic = double (sample) * tempo / (60.0 * sampleRate);
    return context;
}

/** Loads the built VST3 module as a host does and makes one instance: the
    processing component and its edit controller, connected to each other.
*/
class Vst3Host
{
public:
    static IPluginFactory* factory()
    {
        // Loaded once and kept, as hosts do; JUCE's threads live in the module.
        static IPluginFactory* const loaded = []() -> IPluginFactory*
        {
            auto* module = openPluginLibrary (QUAVERLINE_VST3_PATH);
            auto* moduleEntry = pluginEntryPoint<bool (*) (void*)> (module, "ModuleEntry");
            auto* getFactory = pluginEntryPoint<IPluginFactory* (*) ()> (module, "GetPluginFactory");
            return moduleEntry != nullptr && getFactory != nullptr && moduleEntry (module) ? getFactory() : nullptr;
        }();
        return loaded;
    }

    /** The class ID of the factory's audio effect, if it has one. */
    static bool findEffectClass (PClassInfo& info)
    {
        for (int32 i = 0; factory() != nullptr && i < factory()->countClasses(); ++i)
            if (factory()->getClassInfo (i, &info) == kResultOk &&
                std::strcmp (info.category, kVstAudioEffectClass) == 0)
                return true;

        return false;
    }

    template <typename Interface>
    static PluginPtr<Interface> create (const TUID classId)
    {
        void* object = nullptr;
        return PluginPtr<Interface> (factory()->createInstance (classId, Interface::iid, &object) == kResultOk
                                         ? static_cast<Interface*> (object)
                                         : nullptr);
    }

    /** Creates, initialises and connects component and controller. */
    bool open()
    {
        PClassInfo info {};

        if (! findEffectClass (info))
            return false;

        component = create<Vst::IComponent> (info.cid);
        TUID controllerId {};

        if (! component || component->initialize (nullptr) != kResultOk ||
            component->getControllerClassId (controllerId) != kResultOk)
            return false;

        controller = create<Vst::IEditController> (controllerId);

        if (! controller || controller->initialize (nullptr) != kResultOk)
            return false;

        componentConnection = component.query<Vst::IConnectionPoint>();
        controllerConnection = controller.query<Vst::IConnectionPoint>();

        if (! componentConnection || ! controllerConnection)
            return false;

        componentConnection->connect (controllerConnection.get());
        controllerConnection->connect (componentConnection.get());
        controller->setComponentHandler (&handler);
        processor = component.query<Vst::IAudioProcessor>();

        // Hosts hand the component's state to the controller once both exist,
        // so that the controller starts from the component's values.
        MemoryStream saved;

        if (! processor || component->getState (&saved) != kResultOk)
            return false;

        MemoryStream forController (saved.bytes);
        controller->setComponentState (&forController);
        return true;
    }

    ~Vst3Host()
    {
        if (componentConnection && controllerConnection)
        {
            componentConnection->disconnect (controllerConnection.get());
            controllerConnection->disconnect (componentConnection.get());
        }

        if (controller)
            controller->terminate();

        if (component)
            component->terminate();
    }

    /** The plug-in's saved state, as a host saves it with a project. */
    std::vector<uint8_t> saveState() const
    {
        MemoryStream stream;
        return component->getState (&stream) == kResultOk ? stream.bytes : std::vector<uint8_t> {};
    }

    /** Restores saved state into both halves, as a host loads a project. */
    tresult loadState (const std::vector<uint8_t>& bytes) const
    {
        MemoryStream forComponent (bytes), forController (bytes);
        const auto result = component->setState (&forComponent);
        controller->setComponentState (&forController);
        return result;
    }

    /** Processes one stereo block with what a host passes: a transport context,
        parameter changes and events, each if given. Returns both channels.
    */
    std::pair<std::vector<float>, std::vector<float>> processStereo (Vst::ProcessContext* context,
                                                                     Vst::IParameterChanges* changes,
                                                                     int numSamples,
                                                                     Vst::IEventList* events = nullptr) const
    {
        std::vector<float> left (static_cast<size_t> (numSamples)), right (left.size());
        float* channels[] = { left.data(), right.data() };
        Vst::AudioBusBuffers output {};
        output.numChannels = 2;
        output.channelBuffers32 = channels;

        Vst::ProcessData data {};
        data.processMode = Vst::kRealtime;
        data.symbolicSampleSize = Vst::kSample32;
        data.numSamples = numSamples;
        data.numOutputs = 1;
        data.outputs = &output;
        data.inputParameterChanges = changes;
        data.inputEvents = events;
        data.processContext = context;
        EXPECT_EQ (processor->process (data), kResultOk);
        return { left, right };
    }

    PluginPtr<Vst::IComponent> component;
    PluginPtr<Vst::IEditController> controller;
    PluginPtr<Vst::IAudioProcessor> processor;
    PluginPtr<Vst::IConnectionPoint> componentConnection, controllerConnection;
    ComponentHandler handler;
};

} // namespace vst3host

} // namespace quaverline::test
