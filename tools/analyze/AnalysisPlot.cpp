#include "tools/analyze/AnalysisPlot.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

namespace
{
constexpr int plotWidth = 1200;
constexpr int plotHeight = 720;

const juce::Colour background { 0xfffbfbf8 };
const juce::Colour axisColour { 0xff888888 };
const juce::Colour signalColour { 0xff1f4e9a };
const juce::Colour markerColour { 0xffc0392b };

void drawFrame (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& caption)
{
    g.setColour (axisColour);
    g.drawRect (area);
    g.setColour (juce::Colours::black);
    g.setFont (14.0f);
    g.drawText (caption, area.withY (area.getY() - 22.0f).withHeight (20.0f), juce::Justification::centredLeft);
}

void drawLabel (juce::Graphics& g, const juce::String& text, float x, float y, juce::Justification justification)
{
    g.setColour (axisColour);
    g.setFont (12.0f);
    g.drawText (text, juce::Rectangle<float> (x - 60.0f, y - 8.0f, 120.0f, 16.0f), justification);
}

void drawTimingErrors (juce::Graphics& g, juce::Rectangle<float> area, const ClockReport& report)
{
    const auto& errors = report.timingErrorsMs;
    const double range = std::max (0.05, report.jitterMaxMs * 1.2);
    drawFrame (g, area, "Timing error of each pulse against the fitted line (ms)");

    const auto yFor = [&] (double ms) { return area.getCentreY() - float (ms / range) * area.getHeight() * 0.5f; };
    g.setColour (axisColour);
    g.drawHorizontalLine (juce::roundToInt (yFor (0.0)), area.getX(), area.getRight());
    drawLabel (g, juce::String (range, 3), area.getX() - 66.0f, yFor (range), juce::Justification::centredRight);
    drawLabel (g, juce::String (-range, 3), area.getX() - 66.0f, yFor (-range), juce::Justification::centredRight);

    g.setColour (signalColour);

    for (std::size_t k = 0; k < errors.size(); ++k)
    {
        const auto x = area.getX() + area.getWidth() * float (double (k) + 0.5) / float (errors.size());
        g.fillEllipse (x - 1.5f, yFor (errors[k]) - 1.5f, 3.0f, 3.0f);
    }
}

void drawSpacingHistogram (juce::Graphics& g, juce::Rectangle<float> area, const FoundPulses& found)
{
    drawFrame (g, area, "Spacing between pulses (samples)");
    std::vector<double> spacings;

    for (std::size_t k = 1; k < found.pulses.size(); ++k)
        spacings.push_back (found.pulses[k].time - found.pulses[k - 1].time);

    if (spacings.empty())
        return;

    const auto [shortest, longest] = std::minmax_element (spacings.begin(), spacings.end());
    const double low = std::floor (*shortest) - 1.0, high = std::ceil (*longest) + 1.0;
    constexpr int numBins = 40;
    std::vector<int> bins (numBins, 0);

    for (const auto spacing : spacings)
        ++bins[size_t (std::clamp (int ((spacing - low) / (high - low) * numBins), 0, numBins - 1))];

    const auto tallest = float (*std::max_element (bins.begin(), bins.end()));
    const auto barWidth = area.getWidth() / float (numBins);
    g.setColour (signalColour);

    for (int bin = 0; bin < numBins; ++bin)
    {
        const auto barHeight = area.getHeight() * 0.9f * float (bins[size_t (bin)]) / tallest;
        g.fillRect (
            area.getX() + float (bin) * barWidth + 1.0f, area.getBottom() - barHeight, barWidth - 2.0f, barHeight);
    }

    drawLabel (g, juce::String (low, 1), area.getX(), area.getBottom() + 10.0f, juce::Justification::centred);
    drawLabel (g, juce::String (high, 1), area.getRight(), area.getBottom() + 10.0f, juce::Justification::centred);
}

void drawFirstPulse (juce::Graphics& g,
                     juce::Rectangle<float> area,
                     const FoundPulses& found,
                     const std::vector<float>& channel,
                     double sampleRate)
{
    drawFrame (g, area, "The first pulse, sample by sample");

    if (found.pulses.empty() || channel.empty())
        return;

    const auto& pulse = found.pulses.front();
    const auto first = std::max<int64_t> (0, int64_t (pulse.time) - 20);
    const auto length = std::clamp<int64_t> (int64_t (pulse.width * 1.6) + 40, 60, 4000);
    const auto end = std::min<int64_t> (int64_t (channel.size()), first + length);
    const auto xFor = [&] (double sample)
    { return area.getX() + float ((sample - double (first)) / double (length)) * area.getWidth(); };
    const auto yFor = [&] (float value) { return area.getCentreY() - value * area.getHeight() * 0.45f; };

    g.setColour (axisColour);
    g.drawHorizontalLine (juce::roundToInt (yFor (0.0f)), area.getX(), area.getRight());

    juce::Path path;
    path.startNewSubPath (xFor (double (first)), yFor (channel[size_t (first)]));

    for (auto i = first + 1; i < end; ++i)
        path.lineTo (xFor (double (i)), yFor (channel[size_t (i)]));

    g.setColour (signalColour);
    g.strokePath (path, juce::PathStrokeType (1.5f));

    // The leading edge, where the time is measured.
    g.setColour (markerColour);
    g.drawVerticalLine (juce::roundToInt (xFor (pulse.time)), area.getY(), area.getBottom());
    drawLabel (g,
               juce::String (1000.0 * pulse.time / sampleRate, 3) + " ms",
               xFor (pulse.time),
               area.getBottom() + 10.0f,
               juce::Justification::centred);
}
} // namespace

juce::Image drawAnalysisPlot (const ClockReport& report,
                              const FoundPulses& found,
                              const std::vector<float>& channel,
                              const juce::String& title)
{
    juce::Image image (juce::Image::RGB, plotWidth, plotHeight, true);
    juce::Graphics g (image);
    g.fillAll (background);

    g.setColour (juce::Colours::black);
    g.setFont (18.0f);
    g.drawText (title, 20, 8, plotWidth - 40, 28, juce::Justification::centredLeft);

    drawTimingErrors (g, { 80.0f, 70.0f, float (plotWidth) - 110.0f, 260.0f }, report);
    drawSpacingHistogram (g, { 80.0f, 400.0f, 500.0f, 270.0f }, found);
    drawFirstPulse (g, { 640.0f, 400.0f, 530.0f, 270.0f }, found, channel, report.sampleRate);
    return image;
}

bool writeAnalysisPlot (const juce::File& file,
                        const ClockReport& report,
                        const FoundPulses& found,
                        const std::vector<float>& channel,
                        const juce::String& title)
{
    juce::FileOutputStream stream (file);

    if (! stream.openedOk())
        return false;

    stream.setPosition (0);
    stream.truncate();
    return juce::PNGImageFormat().writeImageToStream (drawAnalysisPlot (report, found, channel, title), stream);
}

} // namespace quaverline
