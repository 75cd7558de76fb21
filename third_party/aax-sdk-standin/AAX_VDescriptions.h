#pragma once

// The descriptions as the SDK's library records them for the host: what the
// plug-in wrote through the AAX_I description interfaces, read back by the
// host through the plug-in definition that ACFRegisterPlugin returns.

#include "AAX_Exports.h"
#include "AAX_ICollection.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/** What an algorithm-context field carries. */
enum class AAX_EFieldKind
{
    audioInput,
    audioOutput,
    bufferLength,
    dataInPort,
    midiNode,
    privateData
};

/** One field of a component's algorithm context, as declared. */
struct AAX_CFieldDescription
{
    AAX_CFieldIndex index = 0;
    AAX_EFieldKind kind = AAX_EFieldKind::privateData;
    uint32_t size = 0; // packet size of a data port, byte size of private data
    AAX_EDataInPortType portType = AAX_eDataInPortType_Unbuffered;
    std::string name; // of a MIDI node
    uint32_t channelMask = 0;
    AAX_EMIDINodeType midiNodeType = AAX_eMIDINodeType_LocalInput;
};

class AAX_VPropertyMap final : public AAX_IPropertyMap
{
public:
    AAX_CBoolean AddProperty (AAX_EProperty property, AAX_CPropertyValue value) override
    {
        properties.emplace_back (static_cast<int32_t> (property), value);
        return 1;
    }

    /** The properties, by number, in the order they were set. */
    std::vector<std::pair<int32_t, AAX_CPropertyValue>> properties;
};

class AAX_VComponentDescriptor final : public AAX_IComponentDescriptor
{
public:
    AAX_Result AddAudioIn (AAX_CFieldIndex field) override { return add (field, AAX_EFieldKind::audioInput); }
    AAX_Result AddAudioOut (AAX_CFieldIndex field) override { return add (field, AAX_EFieldKind::audioOutput); }
    AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) override
    {
        return add (field, AAX_EFieldKind::bufferLength);
    }

    AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType portType) override
    {
        add (field, AAX_EFieldKind::dataInPort, packetSize);
        fields.back().portType = portType;
        return AAX_SUCCESS;
    }

    AAX_Result
        AddMIDINode (AAX_CFieldIndex field, AAX_EMIDINodeType type, const char name[], uint32_t channelMask) override
    {
        add (field, AAX_EFieldKind::midiNode);
        fields.back().name = name != nullptr ? name : "";
        fields.back().channelMask = channelMask;
        fields.back().midiNodeType = type;
        return AAX_SUCCESS;
    }

    AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize) override
    {
        return add (field, AAX_EFieldKind::privateData, static_cast<uint32_t> (dataSize));
    }

    AAX_IPropertyMap* NewPropertyMap() override
    {
        propertyMaps.push_back (std::make_unique<AAX_VPropertyMap>());
        return propertyMaps.back().get();
    }

    AAX_Result AddProcessProc_Native (AAX_CProcessProc proc, AAX_IPropertyMap* properties) override
    {
        processProc = proc;
        processProperties = dynamic_cast<AAX_VPropertyMap*> (properties);
        return proc != nullptr && processProperties != nullptr ? AAX_SUCCESS : AAX_ERROR_NULL_OBJECT;
    }

    std::vector<AAX_CFieldDescription> fields;
    AAX_CProcessProc processProc = nullptr;
    const AAX_VPropertyMap* processProperties = nullptr;

private:
    AAX_Result add (AAX_CFieldIndex index, AAX_EFieldKind kind, uint32_t size = 0)
    {
        AAX_CFieldDescription field;
        field.index = index;
        field.kind = kind;
        field.size = size;
        fields.push_back (std::move (field));
        return AAX_SUCCESS;
    }

    std::vector<std::unique_ptr<AAX_VPropertyMap>> propertyMaps;
};

class AAX_VEffectDescriptor final : public AAX_IEffectDescriptor
{
public:
    AAX_IComponentDescriptor* NewComponentDescriptor() override
    {
        created.push_back (std::make_unique<AAX_VComponentDescriptor>());
        return created.back().get();
    }

    AAX_Result AddComponent (AAX_IComponentDescriptor* component) override
    {
        auto* described = dynamic_cast<AAX_VComponentDescriptor*> (component);

        if (described == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        components.push_back (described);
        return AAX_SUCCESS;
    }

    AAX_Result AddName (const char* name) override
    {
        names.emplace_back (name != nullptr ? name : "");
        return AAX_SUCCESS;
    }

    AAX_Result AddCategory (uint32_t mask) override
    {
        categoryMask |= mask;
        return AAX_SUCCESS;
    }

    AAX_Result AddProcPtr (void* procedure, AAX_CProcPtrID procedureId) override
    {
        procedures[procedureId] = procedure;
        return AAX_SUCCESS;
    }

    std::vector<std::string> names;
    uint32_t categoryMask = 0;
    std::map<AAX_CProcPtrID, void*> procedures;
    std::vector<const AAX_VComponentDescriptor*> components;

private:
    std::vector<std::unique_ptr<AAX_VComponentDescriptor>> created;
};

class AAX_VCollection final : public AAX_ICollection, public IACFPluginDefinition
{
public:
    AAX_IEffectDescriptor* NewDescriptor() override
    {
        created.push_back (std::make_unique<AAX_VEffectDescriptor>());
        return created.back().get();
    }

    AAX_Result AddEffect (const char* effectId, AAX_IEffectDescriptor* effect) override
    {
        auto* described = dynamic_cast<AAX_VEffectDescriptor*> (effect);

        if (described == nullptr || effectId == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        effects.emplace_back (effectId, described);
        return AAX_SUCCESS;
    }

    AAX_Result SetManufacturerName (const char* name) override
    {
        manufacturerName = name != nullptr ? name : "";
        return AAX_SUCCESS;
    }

    AAX_Result AddPackageName (const char* name) override
    {
        packageNames.emplace_back (name != nullptr ? name : "");
        return AAX_SUCCESS;
    }

    AAX_Result SetPackageVersion (uint32_t version) override
    {
        packageVersion = version;
        return AAX_SUCCESS;
    }

    const AAX_VCollection& GetCollection() const override { return *this; }

    // The host hands back the one reference: ownership returns to a unique_ptr,
    // which ends the collection.
    void Release() override { std::unique_ptr<AAX_VCollection> { this }; }

    std::vector<std::pair<std::string, const AAX_VEffectDescriptor*>> effects;
    std::string manufacturerName;
    std::vector<std::string> packageNames;
    uint32_t packageVersion = 0;

private:
    std::vector<std::unique_ptr<AAX_VEffectDescriptor>> created;
};
