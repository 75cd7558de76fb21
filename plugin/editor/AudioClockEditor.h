#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace quaverline
{

class AudioClockAudioProcessor;

/** Quaverline's window: 150 by 150 pixels of artwork with a caption and the
    list of time signatures " 3/8" to "32/8".

    The list and the "Time Signature" parameter are kept in step both ways: a
    choice in the list sets the parameter and tells the host; a change from the
    host raises the processor's changed flag, which a 200 ms timer picks up to
    move the list.
*/
class AudioClockEditor final : public juce::AudioProcessorEditor, public juce::Timer, public juce::ComboBox::Listener
{
public:
    /** Shows the artwork embedded in the plug-in. */
    explicit AudioClockEditor (AudioClockAudioProcessor& processorToEdit);

    /** Shows the given JPEG bytes as artwork; bytes that do not decode leave the
        window white.
    */
    AudioClockEditor (AudioClockAudioProcessor& processorToEdit, const void* artworkData, int artworkSize);

    ~AudioClockEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    void comboBoxChanged (juce::ComboBox* box) override;

    /** The decoded artwork, shared with JUCE's image cache; null if it did not decode. */
    const juce::Image& getArtwork() const noexcept { return artworkImage; }

    static constexpr int width = 150;
    static constexpr int height = 150;
    static constexpr int timerIntervalMs = 200;

private:
    /** The list item of the current index (item k is index k); index 0, which
        has no item, gives the fallback.
    */
    int idForCurrentIndex (int fallbackId) const;

    AudioClockAudioProcessor& clockProcessor;

    // The look of the JUCE generation this window was designed on: black text
    // and light controls on the white artwork. Declared before the children, so
    // that it outlives them.
    juce::LookAndFeel_V2 lookAndFeel;

    std::unique_ptr<juce::ComboBox> timeSignatureBox;
    std::unique_ptr<juce::Label> timeSignatureLabel;
    juce::Image artworkImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioClockEditor)
};

} // namespace quaverline
