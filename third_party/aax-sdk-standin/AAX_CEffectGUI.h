#pragma once

#include "AAX_IEffectGUI.h"
#include "CACFUnknown.h"

/** The SDK's base for a plug-in's GUI object: keeps the links to the instance
    and to the host's view container, and tells the derived class when a view
    container arrives (CreateViewContainer) or goes (DeleteViewContainer).
*/
class AAX_CEffectGUI : public AAX_IEffectGUI, public CACFUnknown
{
public:
    void Release() override;

    AAX_Result Initialize (AAX_IEffectParameters* effectParameters, AAX_IController* controller) override;
    AAX_Result SetViewContainer (AAX_IViewContainer* container) override;

protected:
    virtual void CreateViewContents() = 0;
    virtual void CreateViewContainer() = 0;
    virtual void DeleteViewContainer() = 0;

    AAX_IEffectParameters* GetEffectParameters() const noexcept { return parameters; }
    AAX_IController* GetController() const noexcept { return hostController; }
    AAX_IViewContainer* GetViewContainer() const noexcept { return viewContainer; }

private:
    AAX_IEffectParameters* parameters = nullptr;
    AAX_IController* hostController = nullptr;
    AAX_IViewContainer* viewContainer = nullptr;
};
