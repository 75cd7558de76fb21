#pragma once

// The plug-in description that the face writes when the host scans the
// library: a collection of effects, each with names, a category, creation
// procedures and components; each component with its algorithm-context fields
// and a property map. The face writes through the AAX_I interfaces; the host
// reads the recorded description through the collection's definition
// interface.

#include "AAX.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/** The audio callback of a component: the host passes its instances' contexts. */
using AAX_CProcessProc = void (*) (void* const instancesBegin[], const void* instancesEnd);

class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;
    virtual AAX_Result AddProperty (int32_t property, AAX_CPropertyValue value) = 0;
};

class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;
    virtual AAX_Result AddAudioIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioOut (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, int32_t portType) = 0;
    virtual AAX_Result
        AddMIDINode (AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name, uint32_t channelMask) = 0;
    virtual AAX_Result AddPrivateData (AAX_CFieldIndex field, uint32_t size) = 0;
    /** A new property map, owned by the descriptor. */
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result AddProcessProc_Native (AAX_CProcessProc proc, AAX_IPropertyMap* properties) = 0;
};

class AAX_IEffectDescriptor
{
public:
    virtual ~AAX_IEffectDescriptor() = default;
    /** A new component description, owned by the effect description. */
    virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;
    virtual AAX_Result AddComponent (AAX_IComponentDescriptor* component) = 0;
    virtual AAX_Result AddName (const char* name) = 0;
    virtual AAX_Result AddCategory (uint32_t categoryMask) = 0;
    virtual AAX_Result AddProcPtr (void* procedure, int32_t procedureId) = 0;
};

class AAX_ICollection
{
public:
    virtual ~AAX_ICollection() = default;
    /** A new effect description, owned by the collection; null if none can be made. */
    virtual AAX_IEffectDescriptor* NewDescriptor() = 0;
    virtual AAX_Result AddEffect (const char* effectId, AAX_IEffectDescriptor* effect) = 0;
    virtual AAX_Result SetManufacturerName (const char* name) = 0;
    virtual AAX_Result AddPackageName (const char* name) = 0;
    virtual AAX_Result SetPackageVersion (uint32_t version) = 0;
};

/** One field of a component's algorithm context, as declared. */
struct AAX_CFieldDescription
{
    AAX_CFieldIndex index = 0;
    AAX_EFieldKind kind = AAX_EFieldKind::privateData;
    uint32_t size = 0; // packet size of a data port, byte size of private data
    int32_t portType = 0;
    std::string name; // of a MIDI node
    uint32_t channelMask = 0;
    AAX_EMIDINodeType midiNodeType = AAX_EMIDINodeType::localInput;
};

class AAX_CPropertyMap final : public AAX_IPropertyMap
{
public:
    AAX_Result AddProperty (int32_t property, AAX_CPropertyValue value) override
    {
        properties.emplace_back (property, value);
        return aax::result::success;
    }

    /** The properties in the order they were set. */
    std::vector<std::pair<int32_t, AAX_CPropertyValue>> properties;
};

class AAX_CComponentDescriptor final : public AAX_IComponentDescriptor
{
public:
    AAX_Result AddAudioIn (AAX_CFieldIndex field) override { return add (field, AAX_EFieldKind::audioInput); }
    AAX_Result AddAudioOut (AAX_CFieldIndex field) override { return add (field, AAX_EFieldKind::audioOutput); }
    AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) override
    {
        return add (field, AAX_EFieldKind::bufferLength);
    }

    AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, int32_t portType) override
    {
        add (field, AAX_EFieldKind::dataInPort, packetSize);
        fields.back().portType = portType;
        return aax::result::success;
    }

    AAX_Result
        AddMIDINode (AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name, uint32_t channelMask) override
    {
        add (field, AAX_EFieldKind::midiNode);
        fields.back().name = name != nullptr ? name : "";
        fields.back().channelMask = channelMask;
        fields.back().midiNodeType = type;
        return aax::result::success;
    }

    AAX_Result AddPrivateData (AAX_CFieldIndex field, uint32_t size) override
    {
        return add (field, AAX_EFieldKind::privateData, size);
    }

    AAX_IPropertyMap* NewPropertyMap() override
    {
        propertyMaps.push_back (std::make_unique<AAX_CPropertyMap>());
        return propertyMaps.back().get();
    }

    AAX_Result AddProcessProc_Native (AAX_CProcessProc proc, AAX_IPropertyMap* properties) override
    {
        processProc = proc;
        processProperties = dynamic_cast<AAX_CPropertyMap*> (properties);
        return proc != nullptr && processProperties != nullptr ? aax::result::success : aax::result::nullObject;
    }

    std::vector<AAX_CFieldDescription> fields;
    AAX_CProcessProc processProc = nullptr;
    const AAX_CPropertyMap* processProperties = nullptr;

private:
    AAX_Result add (AAX_CFieldIndex index, AAX_EFieldKind kind, uint32_t size = 0)
    {
        AAX_CFieldDescription field;
        field.index = index;
        field.kind = kind;
        field.size = size;
        fields.push_back (std::move (field));
        return aax::result::success;
    }

    std::vector<std::unique_ptr<AAX_CPropertyMap>> propertyMaps;
};

class AAX_CEffectDescriptor final : public AAX_IEffectDescriptor
{
public:
    AAX_IComponentDescriptor* NewComponentDescriptor() override
    {
        created.push_back (std::make_unique<AAX_CComponentDescriptor>());
        return created.back().get();
    }

    AAX_Result AddComponent (AAX_IComponentDescriptor* component) override
    {
        auto* described = dynamic_cast<AAX_CComponentDescriptor*> (component);

        if (described == nullptr)
            return aax::result::nullObject;

        components.push_back (described);
        return aax::result::success;
    }

    AAX_Result AddName (const char* name) override
    {
        names.emplace_back (name != nullptr ? name : "");
        return aax::result::success;
    }

    AAX_Result AddCategory (uint32_t mask) override
    {
        categoryMask |= mask;
        return aax::result::success;
    }

    AAX_Result AddProcPtr (void* procedure, int32_t procedureId) override
    {
        procedures[procedureId] = procedure;
        return aax::result::success;
    }

    std::vector<std::string> names;
    uint32_t categoryMask = 0;
    std::map<int32_t, void*> procedures;
    std::vector<const AAX_CComponentDescriptor*> components;

private:
    std::vector<std::unique_ptr<AAX_CComponentDescriptor>> created;
};

class AAX_CCollection;

/** What the host receives from ACFRegisterPlugin: the recorded description. */
class IACFPluginDefinition
{
public:
    virtual ~IACFPluginDefinition() = default;
    virtual const AAX_CCollection& GetCollection() const = 0;
    /** Ends the definition's life; the host calls it once it has read it. */
    virtual void Release() = 0;
};

class AAX_CCollection final : public AAX_ICollection, public IACFPluginDefinition
{
public:
    AAX_IEffectDescriptor* NewDescriptor() override
    {
        created.push_back (std::make_unique<AAX_CEffectDescriptor>());
        return created.back().get();
    }

    AAX_Result AddEffect (const char* effectId, AAX_IEffectDescriptor* effect) override
    {
        auto* described = dynamic_cast<AAX_CEffectDescriptor*> (effect);

        if (described == nullptr || effectId == nullptr)
            return aax::result::nullObject;

        effects.emplace_back (effectId, described);
        return aax::result::success;
    }

    AAX_Result SetManufacturerName (const char* name) override
    {
        manufacturerName = name != nullptr ? name : "";
        return aax::result::success;
    }

    AAX_Result AddPackageName (const char* name) override
    {
        packageNames.emplace_back (name != nullptr ? name : "");
        return aax::result::success;
    }

    AAX_Result SetPackageVersion (uint32_t version) override
    {
        packageVersion = version;
        return aax::result::success;
    }

    const AAX_CCollection& GetCollection() const override { return *this; }

    // The host hands back the one reference: ownership returns to a unique_ptr,
    // which ends the collection.
    void Release() override { std::unique_ptr<AAX_CCollection> { this }; }

    std::vector<std::pair<std::string, const AAX_CEffectDescriptor*>> effects;
    std::string manufacturerName;
    std::vector<std::string> packageNames;
    uint32_t packageVersion = 0;

private:
    std::vector<std::unique_ptr<AAX_CEffectDescriptor>> created;
};
