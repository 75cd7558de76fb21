#pragma once

#include "AAX.h"
#include "AAX_HostInterfaces.h"

class AAX_IEffectParameters;

/** A view size: vertical and horizontal extent in pixels. */
struct AAX_Point
{
    float vert = 0.0f;
    float horz = 0.0f;
};

/** A plug-in instance's GUI object as the host calls it. */
class AAX_IEffectGUI
{
public:
    virtual ~AAX_IEffectGUI() = default;

    /** Ends the object's life; the host calls it once, when the window closes for good. */
    virtual void Release() = 0;

    virtual AAX_Result Initialize (AAX_IEffectParameters* effectParameters, AAX_IController* controller) = 0;
    virtual AAX_Result SetViewContainer (AAX_IViewContainer* container) = 0;
    virtual AAX_Result GetViewSize (AAX_Point* size) const = 0;
    virtual AAX_Result SetControlHighlightInfo (AAX_CParamID id, bool isHighlighted, int32_t colour) = 0;
};
