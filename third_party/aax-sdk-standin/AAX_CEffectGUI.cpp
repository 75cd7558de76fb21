#include "AAX_CEffectGUI.h"

#include <memory>

void AAX_CEffectGUI::Release()
{
    // The host hands back its one reference: a unique_ptr ends the object.
    std::unique_ptr<AAX_CEffectGUI> { this };
}

AAX_Result AAX_CEffectGUI::Initialize (AAX_IEffectParameters* effectParameters, AAX_IController* controller)
{
    parameters = effectParameters;
    hostController = controller;
    CreateViewContents();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer (AAX_IViewContainer* container)
{
    if (viewContainer != nullptr)
        DeleteViewContainer();

    viewContainer = container;

    if (viewContainer != nullptr)
        CreateViewContainer();

    return AAX_SUCCESS;
}
