#include "plugin/editor/AudioClockEditor.h"

#include "BinaryData.h"
#include "engine/TimeSignature.h"
#include "plugin/AudioClockAudioProcessor.h"

namespace quaverline
{

namespace
{
constexpr int initialFallbackId = 6; // " 8/8"
constexpr int timerFallbackId = 1;   // " 3/8"
} // namespace

AudioClockEditor::AudioClockEditor (AudioClockAudioProcessor& processorToEdit)
    : AudioClockEditor (processorToEdit, BinaryData::editor_artwork_jpg, BinaryData::editor_artwork_jpgSize)
{
}

AudioClockEditor::AudioClockEditor (AudioClockAudioProcessor& processorToEdit, const void* artworkData, int artworkSize)
    : AudioProcessorEditor (processorToEdit)
    , clockProcessor (processorToEdit)
{
    setLookAndFeel (&lookAndFeel);

    timeSignatureBox = std::make_unique<juce::ComboBox> ("Time Signature");
    addAndMakeVisible (*timeSignatureBox);
    timeSignatureBox->setEditableText (false);
    timeSignatureBox->setJustificationType (juce::Justification::centredLeft);
    timeSignatureBox->setTextWhenNoChoicesAvailable (TRANS ("(no choices)"));

    // Item k is index k: " 3/8" to "32/8".
    for (int itemId = 1; itemId <= timeSignature::numChoices; ++itemId)
        timeSignatureBox->addItem (juce::translate (timeSignature::label (itemId)), itemId);

    timeSignatureBox->addListener (this);

    timeSignatureLabel = std::make_unique<juce::Label> ("tSig Label", TRANS ("Time Signature"));
    addAndMakeVisible (*timeSignatureLabel);
    timeSignatureLabel->setFont (juce::Font (15.0f, juce::Font::plain));
    timeSignatureLabel->setJustificationType (juce::Justification::centredLeft);
    timeSignatureLabel->setEditable (false, false, false);
    timeSignatureLabel->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    timeSignatureLabel->setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);

    // Decoded once and kept in JUCE's image cache, keyed by the bytes' address.
    artworkImage = juce::ImageCache::getFromMemory (artworkData, artworkSize);

    setSize (width, height);
    startTimer (timerIntervalMs);

    // The selection's notification comes back to comboBoxChanged, which tells
    // the host the current value once.
    timeSignatureBox->setSelectedId (idForCurrentIndex (initialFallbackId), juce::sendNotificationAsync);
}

AudioClockEditor::~AudioClockEditor()
{
    // The list goes first: a change notification it has posted and not yet
    // delivered goes with it and never reaches this editor.
    timeSignatureBox.reset();
    timeSignatureLabel.reset();
    setLookAndFeel (nullptr);
}

void AudioClockEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.drawImage (artworkImage, 0, 0, width, height, 0, 0, artworkImage.getWidth(), artworkImage.getHeight(), false);
}

void AudioClockEditor::resized()
{
    timeSignatureBox->setBounds (39, 120, 75, 24);
    timeSignatureLabel->setBounds (23, 96, 150, 24);
}

int AudioClockEditor::idForCurrentIndex (int fallbackId) const
{
    // The index is what the parameter's value rounds back to, for every byte.
    // An ID above the list's range is kept: it selects no item.
    const int id = clockProcessor.getTimeSignatureState().getIndex();
    return id == 0 ? fallbackId : id;
}

void AudioClockEditor::timerCallback()
{
    // Taking the flag before reading the parameter: a host change that lands
    // in between raises the flag again and is shown on the next tick.
    if (! clockProcessor.getTimeSignatureState().takeChangedFlag())
        return;

    timeSignatureBox->setSelectedId (idForCurrentIndex (timerFallbackId), juce::sendNotificationAsync);
}

void AudioClockEditor::comboBoxChanged (juce::ComboBox* box)
{
    if (box != timeSignatureBox.get())
        return;

    const auto value = timeSignature::parameterValue (timeSignatureBox->getSelectedId());
    clockProcessor.getTimeSignatureParameter().setValueNotifyingHost (value);
}

} // namespace quaverline
