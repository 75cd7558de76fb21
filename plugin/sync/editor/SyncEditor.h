#pragma once

#include "plugin/sync/editor/PulseView.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <vector>

namespace quaverline
{

class SyncAudioProcessor;

/** Quaverline Sync's window: the ten controls in three groups (timing, pulse,
    outputs), a drawing of one pulse as it leaves the output, and a status line
    that says what the clock is doing, refreshed ten times a second.
*/
class SyncEditor final : public juce::AudioProcessorEditor, private juce::Timer
{
public:
    explicit SyncEditor (SyncAudioProcessor& processorToEdit);
    ~SyncEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The status line's text now, as shown. */
    juce::String getStatusText() const { return status.getText(); }

    /** The control of a parameter (syncParameters::Index), for tests. */
    juce::Component* getControl (int index) const;

    const PulseView& getPulseView() const noexcept { return pulseView; }

    /** Brings the status line and the drawing up to date now. */
    void refresh();

    static constexpr int width = 560;
    static constexpr int height = 360;
    static constexpr int timerIntervalMs = 100;

private:
    struct Control;

    void timerCallback() override;
    juce::String statusNow() const;

    SyncAudioProcessor& syncProcessor;
    juce::GroupComponent timingGroup, pulseGroup, outputsGroup;
    std::vector<std::unique_ptr<Control>> controls;
    PulseView pulseView;
    juce::Label status;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SyncEditor)
};

} // namespace quaverline
