#pragma once

#include "AAX.h"

/** The host's automation: touches, releases and set-value requests. */
class AAX_IAutomationDelegate
{
public:
    virtual ~AAX_IAutomationDelegate() = default;
    virtual AAX_Result PostTouchRequest (AAX_CParamID parameterId) = 0;
    virtual AAX_Result PostReleaseRequest (AAX_CParamID parameterId) = 0;
    virtual AAX_Result PostSetValueRequest (AAX_CParamID parameterId, double normalizedValue) = 0;
};
