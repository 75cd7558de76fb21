#include "tools/render/WaveformPlot.h"

#include <algorithm>

namespace quaverline
{

namespace
{
constexpr int plotWidth = 1200;
constexpr int plotHeight = 560;
constexpr int margin = 60;
constexpr int pulsesInOverview = 3;
constexpr int64_t pulseCloseUpLength = 110;

const juce::Colour background { 0xfffbfbf8 };
const juce::Colour axisColour { 0xff888888 };
const juce::Colour signalColour { 0xff1f4e9a };
const juce::Colour markerColour { 0xffc0392b };

struct Panel
{
    juce::Rectangle<float> area;
    int64_t firstSample, endSample;

    float xForSample (double sample) const
    {
        const auto span = double (std::max<int64_t> (1, endSample - firstSample));
        return area.getX() + float ((sample - double (firstSample)) / span) * area.getWidth();
    }

    float yForValue (float value) const { return area.getCentreY() - value * area.getHeight() * 0.45f; }
};

void drawAxes (juce::Graphics& g, const Panel& panel, const juce::String& caption)
{
    g.setColour (axisColour);
    g.drawRect (panel.area);
    g.drawHorizontalLine (juce::roundToInt (panel.yForValue (0.0f)), panel.area.getX(), panel.area.getRight());

    g.setFont (13.0f);
    for (const auto value : { 1.0f, 0.0f, -1.0f })
        g.drawText (juce::String (value, 1),
                    juce::Rectangle<float> (0.0f, panel.yForValue (value) - 8.0f, float (margin) - 6.0f, 16.0f),
                    juce::Justification::centredRight);

    g.setColour (juce::Colours::black);
    g.setFont (14.0f);
    g.drawText (
        caption, panel.area.withY (panel.area.getY() - 22.0f).withHeight (20.0f), juce::Justification::centredLeft);
}

void drawSampleLabel (juce::Graphics& g, const Panel& panel, int64_t sample)
{
    const auto x = panel.xForSample (double (sample));
    g.drawText (juce::String (sample),
                juce::Rectangle<float> (x - 40.0f, panel.area.getBottom() + 2.0f, 80.0f, 16.0f),
                juce::Justification::centred);
}

/** Min/max envelope per pixel column, so that no pulse falls between columns. */
void drawEnvelope (juce::Graphics& g, const Panel& panel, const std::vector<float>& samples)
{
    g.setColour (signalColour);
    const auto columns = juce::roundToInt (panel.area.getWidth());
    const auto span = double (panel.endSample - panel.firstSample);

    for (int column = 0; column < columns; ++column)
    {
        const auto from = panel.firstSample + int64_t (span * column / columns);
        const auto to = std::max (from + 1, panel.firstSample + int64_t (span * (column + 1) / columns));
        // One sample past the column joins it to the next one.
        const auto end = std::min (to + 1, int64_t (samples.size()));
        const auto [low, high] = std::minmax_element (samples.begin() + from, samples.begin() + end);
        g.drawVerticalLine (
            juce::roundToInt (panel.area.getX()) + column, panel.yForValue (*high), panel.yForValue (*low) + 1.0f);
    }
}

/** One step per sample, with a dot on each sample's value. */
void drawSteps (juce::Graphics& g, const Panel& panel, const std::vector<float>& samples)
{
    g.setColour (signalColour);
    juce::Path path;
    path.startNewSubPath (panel.xForSample (double (panel.firstSample)),
                          panel.yForValue (samples[size_t (panel.firstSample)]));

    for (auto i = panel.firstSample; i < panel.endSample; ++i)
    {
        const auto y = panel.yForValue (samples[size_t (i)]);
        path.lineTo (panel.xForSample (double (i)), y);
        path.lineTo (panel.xForSample (double (i + 1)), y);
        g.fillEllipse (panel.xForSample (double (i)) - 1.5f, y - 1.5f, 3.0f, 3.0f);
    }

    g.strokePath (path, juce::PathStrokeType (1.0f));
}
} // namespace

juce::Image drawWaveformPlot (const std::vector<float>& samples,
                              const std::vector<int64_t>& pulseStarts,
                              const juce::String& title)
{
    juce::Image image (juce::Image::RGB, plotWidth, plotHeight, true);
    juce::Graphics g (image);
    g.fillAll (background);

    g.setColour (juce::Colours::black);
    g.setFont (16.0f);
    g.drawText (title, 0, 6, plotWidth, 22, juce::Justification::centred);

    const auto numSamples = int64_t (samples.size());

    if (numSamples == 0)
        return image;

    const auto firstPulse = pulseStarts.empty() ? int64_t (0) : pulseStarts.front();
    const auto overviewStart = std::max<int64_t> (0, firstPulse - 50);
    const auto overviewEnd = pulseStarts.size() >= pulsesInOverview
                                 ? std::min (numSamples, pulseStarts[pulsesInOverview - 1] + 200)
                                 : std::min (numSamples, overviewStart + 3000);

    const auto plotArea = juce::Rectangle<float> (float (margin), 60.0f, float (plotWidth - 2 * margin), 190.0f);
    const Panel overview { plotArea, overviewStart, overviewEnd };
    drawAxes (g, overview, "The first pulses (sample numbers of their starts)");
    drawEnvelope (g, overview, samples);

    g.setFont (13.0f);
    for (const auto start : pulseStarts)
    {
        if (start >= overviewEnd)
            break;

        g.setColour (markerColour);
        g.drawVerticalLine (
            juce::roundToInt (overview.xForSample (double (start))), overview.area.getY(), overview.area.getBottom());
        drawSampleLabel (g, overview, start);
    }

    const Panel closeUp { plotArea.translated (0.0f, 270.0f),
                          std::max<int64_t> (0, firstPulse - 6),
                          std::min (numSamples, firstPulse + pulseCloseUpLength) };
    drawAxes (g, closeUp, "The first pulse, sample by sample");
    drawSteps (g, closeUp, samples);

    g.setColour (juce::Colours::black);
    g.setFont (13.0f);
    for (auto sample = closeUp.firstSample - closeUp.firstSample % 10 + 10; sample < closeUp.endSample; sample += 10)
        drawSampleLabel (g, closeUp, sample);

    return image;
}

bool writeWaveformPlot (const juce::File& file,
                        const std::vector<float>& samples,
                        const std::vector<int64_t>& pulseStarts,
                        const juce::String& title)
{
    const auto image = drawWaveformPlot (samples, pulseStarts, title);
    file.deleteFile();
    juce::FileOutputStream stream (file);

    if (! stream.openedOk())
        return false;

    juce::PNGImageFormat png;
    return png.writeImageToStream (image, stream);
}

} // namespace quaverline
