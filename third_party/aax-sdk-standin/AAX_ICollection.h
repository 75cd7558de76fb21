#pragma once

#include "AAX_IEffectDescriptor.h"

/** What a plug-in library describes when the host scans it. */
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
