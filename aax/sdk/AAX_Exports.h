#pragma once

// The seven entry points an AAX host resolves in the plug-in's library, and
// the description function that the plug-in provides for them.

#include "AAX_Descriptors.h"
#include "AAX_HostInterfaces.h"

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
