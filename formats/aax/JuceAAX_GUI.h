#pragma once

#include "AAX_CEffectGUI.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace quaverline::aax
{

class JuceAAX_Processor;

/** A plug-in instance's GUI object: shows the processor's editor inside the
    host's view container.
*/
class JuceAAX_GUI final : public AAX_CEffectGUI
{
public:
    JuceAAX_GUI() = default;
    ~JuceAAX_GUI() override;

    /** The creation procedure the description registers (procedure ID 1). */
    static AAX_IEffectGUI* create();

    AAX_Result GetViewSize (AAX_Point* size) const override;
    AAX_Result
        SetControlHighlightInfo (AAX_CParamID id, AAX_CBoolean isHighlighted, AAX_EHighlightColor colour) override;

private:
    /** Holds the editor: paints its own area black, is opaque, has the
        editor's size and tells the host when the editor's size changes.
    */
    class ContentWrapperComponent final : public juce::Component, private juce::ComponentListener
    {
    public:
        ContentWrapperComponent (JuceAAX_GUI& owner, juce::AudioProcessor& processor);
        ~ContentWrapperComponent() override;

        void paint (juce::Graphics& g) override;
        void mouseDown (const juce::MouseEvent& event) override;
        void mouseDrag (const juce::MouseEvent& event) override;
        void mouseUp (const juce::MouseEvent& event) override;
        juce::AudioProcessorEditor* getEditor() const noexcept { return editor.get(); }

    private:
        using MouseHandler = AAX_Result (AAX_IViewContainer::*) (AAX_CParamID, uint32_t);
        void passToHost (const juce::MouseEvent& event, MouseHandler handler) const;
        void componentMovedOrResized (juce::Component& moved, bool wasMoved, bool wasResized) override;

        JuceAAX_GUI& owner;
        std::unique_ptr<juce::AudioProcessorEditor> editor;
    };

    void CreateViewContents() override;
    void CreateViewContainer() override;
    void DeleteViewContainer() override;

    juce::ScopedJuceInitialiser_GUI libraryInitialiser;
    std::unique_ptr<ContentWrapperComponent> component;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceAAX_GUI)
};

} // namespace quaverline::aax
