#pragma once

// The seven entry points an AAX host resolves in the plug-in's library, and
// the description function that the plug-in provides for them.

#include "AAX_ICollection.h"

// The entry points are exported; every other symbol of the library stays hidden
// (the Windows DLL takes its exports from its .def file).
#if defined(_WIN32)
#define AAX_EXPORT
#else
#define AAX_EXPORT __attribute__ ((visibility ("default")))
#endif

/** The root of the objects a host passes to the entry points. */
class IACFUnknown
{
public:
    virtual ~IACFUnknown() = default;
};

class AAX_VCollection;

/** What the host receives from ACFRegisterPlugin: the recorded description. */
class IACFPluginDefinition
{
public:
    virtual ~IACFPluginDefinition() = default;
    virtual const AAX_VCollection& GetCollection() const = 0;
    /** Ends the definition's life; the host calls it once it has read it. */
    virtual void Release() = 0;
};

/** Written by the plug-in: describes its effects into the host's collection. */
AAX_Result GetEffectDescriptions (AAX_ICollection* collection);

extern "C"
{
    AAX_Result ACFRegisterPlugin (IACFUnknown* host, IACFPluginDefinition** definition);
    AAX_Result ACFRegisterComponent (IACFUnknown* host, uint32_t index, void** definition);
    AAX_Result ACFGetClassFactory (IACFUnknown* host, const void* classId, const void* interfaceId, void** factory);
    AAX_Result ACFCanUnloadNow();
    AAX_Result ACFStartup (IACFUnknown* host);
    AAX_Result ACFShutdown();
    AAX_Result ACFGetSDKVersion (uint64_t* version);
}
