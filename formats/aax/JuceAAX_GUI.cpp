#include "formats/aax/JuceAAX_GUI.h"

#include "formats/aax/AaxParameterRules.h"
#include "formats/aax/JuceAAX_Processor.h"

namespace quaverline::aax
{

JuceAAX_GUI::ContentWrapperComponent::ContentWrapperComponent (JuceAAX_GUI& ownerToUse, juce::AudioProcessor& processor)
    : owner (ownerToUse)
    , editor (processor.createEditorIfNeeded())
{
    setOpaque (true);

    if (editor != nullptr)
    {
        addAndMakeVisible (*editor);
        setBounds (editor->getBounds());
        editor->addComponentListener (this);
        editor->addMouseListener (this, true);
    }
}

JuceAAX_GUI::ContentWrapperComponent::~ContentWrapperComponent()
{
    if (editor != nullptr)
    {
        editor->removeMouseListener (this);
        editor->removeComponentListener (this);
        editor->processor.editorBeingDeleted (editor.get());
    }
}

void JuceAAX_GUI::ContentWrapperComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void JuceAAX_GUI::ContentWrapperComponent::mouseDown (const juce::MouseEvent& event)
{
    passToHost (event, &AAX_IViewContainer::HandleParameterMouseDown);
}

void JuceAAX_GUI::ContentWrapperComponent::mouseDrag (const juce::MouseEvent& event)
{
    passToHost (event, &AAX_IViewContainer::HandleParameterMouseDrag);
}

void JuceAAX_GUI::ContentWrapperComponent::mouseUp (const juce::MouseEvent& event)
{
    passToHost (event, &AAX_IViewContainer::HandleParameterMouseUp);
}

void JuceAAX_GUI::ContentWrapperComponent::passToHost (const juce::MouseEvent& event, MouseHandler handler) const
{
    // Only controls for which the editor names a parameter go to the host.
    auto* container = owner.GetViewContainer();

    if (container == nullptr || editor == nullptr || event.eventComponent == nullptr)
        return;

    const auto parameterIndex = editor->getControlParameterIndex (*event.eventComponent);

    if (parameterIndex < 0)
        return;

    uint32_t modifiers = 0;
    container->GetModifiers (&modifiers);
    (container->*handler) (parameterIdFromNumber (parameterIndex).c_str(), modifiers);
}

void JuceAAX_GUI::ContentWrapperComponent::componentMovedOrResized (juce::Component& moved, bool, bool wasResized)
{
    if (! wasResized)
        return;

    setSize (moved.getWidth(), moved.getHeight());

    if (auto* container = owner.GetViewContainer())
    {
        AAX_Point size (static_cast<float> (getHeight()), static_cast<float> (getWidth()));
        container->SetViewSize (size);
    }
}

//==============================================================================
JuceAAX_GUI::~JuceAAX_GUI()
{
    DeleteViewContainer();
}

AAX_IEffectGUI* JuceAAX_GUI::create()
{
    return std::make_unique<JuceAAX_GUI>().release();
}

void JuceAAX_GUI::CreateViewContents()
{
    if (component != nullptr)
        return;

    if (auto* processorObject = dynamic_cast<JuceAAX_Processor*> (GetEffectParameters()))
        component = std::make_unique<ContentWrapperComponent> (*this, processorObject->getPluginInstance());
}

void JuceAAX_GUI::CreateViewContainer()
{
    CreateViewContents();
    auto* container = GetViewContainer();

    if (component == nullptr || container == nullptr)
        return;

    if (auto* nativeView = container->GetPtr();
        nativeView != nullptr && container->GetType() == AAX_eViewContainer_Type_HWND)
    {
        component->setVisible (true);
        component->addToDesktop (0, nativeView);
    }
}

void JuceAAX_GUI::DeleteViewContainer()
{
    if (component == nullptr)
        return;

    if (component->isOnDesktop())
        component->removeFromDesktop();

    component.reset();
}

AAX_Result JuceAAX_GUI::GetViewSize (AAX_Point* size) const
{
    if (component == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (size != nullptr)
    {
        size->vert = static_cast<float> (component->getHeight());
        size->horz = static_cast<float> (component->getWidth());
    }

    return AAX_SUCCESS;
}

AAX_Result
    JuceAAX_GUI::SetControlHighlightInfo (AAX_CParamID id, AAX_CBoolean isHighlighted, AAX_EHighlightColor colour)
{
    if (component == nullptr || component->getEditor() == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (JuceAAX_Processor::isMasterBypass (id))
        return AAX_SUCCESS;

    static const juce::Colour colours[] = {
        juce::Colours::red, juce::Colours::blue, juce::Colours::green, juce::Colours::yellow
    };
    const auto colourToUse = colour >= 0 && colour < AAX_eHighlightColor_Num ? colours[colour] : juce::Colours::black;
    component->getEditor()->setControlHighlight ({ parameterNumberFromId (id), isHighlighted != 0, colourToUse });
    return AAX_SUCCESS;
}

} // namespace quaverline::aax
