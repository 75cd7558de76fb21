#pragma once

#include "engine/SyncSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace quaverline
{

/** One pulse as it leaves the output, drawn to scale in milliseconds: its
    shape, width, level and polarity, at the sample rate and tempo given.
*/
class PulseView final : public juce::Component
{
public:
    /** Shows the pulse of these settings; repaints only when it changes. */
    void show (const SyncSettings& settings, double sampleRate, double bpm);

    void paint (juce::Graphics& g) override;

    /** The pulse's samples, as drawn. */
    const std::vector<float>& getSamples() const noexcept { return samples; }
    double getSampleRate() const noexcept { return shownSampleRate; }

private:
    std::vector<float> samples;
    double shownSampleRate = 48000.0;
};

} // namespace quaverline
