#pragma once

#include "AAX.h"
#include "AAX_IController.h"
#include "AAX_IViewContainer.h"

class AAX_IEffectParameters;

/** A plug-in instance's GUI object as the host calls it. */
class AAX_IEffectGUI
{
public:
    virtual ~AAX_IEffectGUI() = default;

    /** Ends the object's life; the host calls it once, when the window closes for good. */
    virtual void Release() = 0;

    /** The host's links to the instance (one object in the SDK, two here). */
    virtual AAX_Result Initialize (AAX_IEffectParameters* effectParameters, AAX_IController* controller) = 0;
    virtual AAX_Result SetViewContainer (AAX_IViewContainer* viewContainer) = 0;
    virtual AAX_Result GetViewSize (AAX_Point* viewSize) const = 0;
    virtual AAX_Result
        SetControlHighlightInfo (AAX_CParamID paramID, AAX_CBoolean isHighlighted, AAX_EHighlightColor color) = 0;
};
