#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdint>
#include <vector>

namespace quaverline
{

/** Draws the start of a rendered clock signal: an overview of the first pulses
    with their sample numbers, and a close-up of the first pulse sample by sample.
*/
juce::Image drawWaveformPlot (const std::vector<float>& samples,
                              const std::vector<int64_t>& pulseStarts,
                              const juce::String& title);

/** Writes the plot as a PNG file; false if the file cannot be written. */
bool writeWaveformPlot (const juce::File& file,
                        const std::vector<float>& samples,
                        const std::vector<int64_t>& pulseStarts,
                        const juce::String& title);

} // namespace quaverline
