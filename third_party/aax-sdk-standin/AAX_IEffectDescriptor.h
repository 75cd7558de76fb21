#pragma once

#include "AAX_IComponentDescriptor.h"

/** One effect: its names, category, creation procedures and components. */
class AAX_IEffectDescriptor
{
public:
    virtual ~AAX_IEffectDescriptor() = default;
    /** A new component description, owned by the effect description. */
    virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;
    virtual AAX_Result AddComponent (AAX_IComponentDescriptor* component) = 0;
    virtual AAX_Result AddName (const char* name) = 0;
    virtual AAX_Result AddCategory (uint32_t category) = 0;
    virtual AAX_Result AddProcPtr (void* procedure, AAX_CProcPtrID procedureId) = 0;
};
