#pragma once

// The seven entry points an AAX host resolves in the plug-in's library, and
// the description function that the plug-in provides for them.

#include "AAX_Descriptors.h"
#include "AAX_HostInterfaces.h"

// The entry points are exported; every other symbol of the library stays hidden
// (the Windows DLL takes its exports from its .def file).
#if defined(_WIN32)
#define AAX_EXPORT
#else
#define AAX_EXPORT __attribute__ ((visibility ("default")))
#endif

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
