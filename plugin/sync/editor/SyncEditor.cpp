#include "plugin/sync/editor/SyncEditor.h"

#include "engine/SyncParameters.h"
#include "plugin/sync/SyncAudioProcessor.h"

namespace quaverline
{

namespace
{
using namespace syncParameters;

// The groups and their controls, top to bottom.
constexpr int timingControls[] { resolution, bar, start, offset };
constexpr int pulseControls[] { shape, width, level, polarity };
constexpr int outputControls[] { right, idle };

constexpr int rowHeight = 26;
constexpr int labelWidth = 90;
} // namespace

/** A parameter's label and its control, kept in step with the parameter. */
struct SyncEditor::Control
{
    Control (juce::RangedAudioParameter& parameter, int index)
        : label ({}, rule (index).name)
    {
        if (rule (index).numChoices > 0)
        {
            auto box = std::make_unique<juce::ComboBox> (rule (index).name);
            box->addItemList (parameter.getAllValueStrings(), 1);
            boxAttachment = std::make_unique<juce::ComboBoxParameterAttachment> (parameter, *box);
            control = std::move (box);
        }
        else
        {
            auto slider = std::make_unique<juce::Slider> (juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight);
            slider->setName (rule (index).name);
            slider->setTextBoxStyle (juce::Slider::TextBoxRight, false, 72, rowHeight - 6);
            sliderAttachment = std::make_unique<juce::SliderParameterAttachment> (parameter, *slider);
            control = std::move (slider);
        }

        label.setJustificationType (juce::Justification::centredLeft);
    }

    juce::Label label;
    std::unique_ptr<juce::Component> control;
    std::unique_ptr<juce::ComboBoxParameterAttachment> boxAttachment;
    std::unique_ptr<juce::SliderParameterAttachment> sliderAttachment;
};

SyncEditor::SyncEditor (SyncAudioProcessor& processorToEdit)
    : AudioProcessorEditor (processorToEdit)
    , syncProcessor (processorToEdit)
{
    timingGroup.setText ("Timing");
    pulseGroup.setText ("Pulse");
    outputsGroup.setText ("Outputs");

    for (auto* group : { &timingGroup, &pulseGroup, &outputsGroup })
        addAndMakeVisible (*group);

    for (int index = 0; index < count; ++index)
    {
        controls.push_back (std::make_unique<Control> (syncProcessor.getSyncParameter (index), index));
        addAndMakeVisible (controls.back()->label);
        addAndMakeVisible (*controls.back()->control);
    }

    addAndMakeVisible (pulseView);
    status.setJustificationType (juce::Justification::centredLeft);
    status.setFont (juce::Font (15.0f, juce::Font::bold));
    addAndMakeVisible (status);

    setSize (width, height);
    refresh();
    startTimer (timerIntervalMs);
}

SyncEditor::~SyncEditor() = default;

juce::Component* SyncEditor::getControl (int index) const
{
    return juce::isPositiveAndBelow (index, int (controls.size())) ? controls[size_t (index)]->control.get() : nullptr;
}

void SyncEditor::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void SyncEditor::resized()
{
    auto area = getLocalBounds().reduced (8);
    status.setBounds (area.removeFromBottom (24));
    area.removeFromBottom (4);

    const auto layOut = [this] (juce::GroupComponent& group, juce::Rectangle<int> bounds, auto& indexes)
    {
        group.setBounds (bounds);
        auto inside = bounds.reduced (8).withTrimmedTop (10);

        for (const int index : indexes)
        {
            auto row = inside.removeFromTop (rowHeight);
            controls[size_t (index)]->label.setBounds (row.removeFromLeft (labelWidth));
            controls[size_t (index)]->control->setBounds (row.reduced (0, 1));
        }
    };

    auto left = area.removeFromLeft (area.getWidth() / 2).withTrimmedRight (4);
    auto right = area.withTrimmedLeft (4);
    layOut (timingGroup, left.removeFromTop (4 * rowHeight + 26), timingControls);
    left.removeFromTop (6);
    layOut (outputsGroup, left.removeFromTop (2 * rowHeight + 26), outputControls);
    layOut (pulseGroup, right.removeFromTop (4 * rowHeight + 26), pulseControls);
    right.removeFromTop (6);
    pulseView.setBounds (right);
}

juce::String SyncEditor::statusNow() const
{
    const auto settings = syncProcessor.getSettings();

    switch (syncProcessor.getStatus())
    {
        case SyncClockRenderer::Status::stopped:
            return "Stopped";

        case SyncClockRenderer::Status::waiting:
            return settings.start == SyncStart::nextBeat ? "Waiting for the next beat" : "Waiting for the next bar";

        case SyncClockRenderer::Status::running:
            break;
    }

    const auto dot = juce::String::fromUTF8 (" \xc2\xb7 "); // a middle dot
    return "Running" + dot + juce::String (settings.pulsesPerQuarterNote) + " PPQN" + dot +
           juce::String (syncProcessor.getLastBpm(), 1) + " bpm";
}

void SyncEditor::refresh()
{
    status.setText (statusNow(), juce::dontSendNotification);
    pulseView.show (syncProcessor.getSettings(), syncProcessor.getSampleRate(), syncProcessor.getLastBpm());
}

void SyncEditor::timerCallback()
{
    refresh();
}

} // namespace quaverline
