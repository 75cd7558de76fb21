#pragma once

#include "AAX.h"

/** A host window that shows a plug-in's view. */
class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() = default;
    /** An AAX_EViewContainer_Type. */
    virtual int32_t GetType() = 0;
    virtual void* GetPtr() = 0;
    virtual AAX_Result GetModifiers (uint32_t* modifiers) = 0;
    virtual AAX_Result SetViewSize (AAX_Point& size) = 0;
    virtual AAX_Result HandleParameterMouseDown (AAX_CParamID parameterId, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag (AAX_CParamID parameterId, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp (AAX_CParamID parameterId, uint32_t modifiers) = 0;
};
