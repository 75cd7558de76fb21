#pragma once

#include "tools/analysis/RecordingAnalysis.h"

#include <juce_graphics/juce_graphics.h>

namespace quaverline
{

/** Draws what quaverline-analyze found: every pulse's timing error against
    the fitted line, a histogram of the spacing, and the first pulse's shape.
*/
juce::Image drawAnalysisPlot (const ClockReport& report,
                              const FoundPulses& found,
                              const std::vector<float>& channel,
                              const juce::String& title);

/** Writes the plot as a PNG file; false if the file cannot be written. */
bool writeAnalysisPlot (const juce::File& file,
                        const ClockReport& report,
                        const FoundPulses& found,
                        const std::vector<float>& channel,
                        const juce::String& title);

} // namespace quaverline
