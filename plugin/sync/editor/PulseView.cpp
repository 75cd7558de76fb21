#include "plugin/sync/editor/PulseView.h"

#include "engine/SyncClockRenderer.h"

namespace quaverline
{

void PulseView::show (const SyncSettings& settings, double sampleRate, double bpm)
{
    // The pulse is rendered by the engine itself, from a start on a bar line:
    // what the view shows is what the output sends.
    const double rate = sampleRate > 0.0 ? sampleRate : 48000.0;
    const double tempo = bpm > 0.0 ? bpm : 120.0;
    auto shown = settings;
    shown.offsetMs = 0.0;
    shown.idle = SyncIdle::silent;
    shown.right = SyncRightOutput::clock;
    shown.start = SyncStart::atOnce;

    SyncClockRenderer renderer;
    renderer.setSampleRate (rate);
    SyncTransport host;
    host.transport = { true, tempo, 0.0 };

    // Long enough for the longest pulse (50 ms) and the start of the next tick.
    std::vector<float> rendered (static_cast<size_t> (rate * 0.06) + 1);
    renderer.render (rendered.data(), nullptr, static_cast<int> (rendered.size()), host, shown);

    size_t length = 0;
    while (length < rendered.size() && rendered[length] != 0.0f)
        ++length;

    rendered.resize (length);

    if (rendered == samples && rate == shownSampleRate)
        return;

    samples = std::move (rendered);
    shownSampleRate = rate;
    repaint();
}

void PulseView::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat().reduced (4.0f, 2.0f);
    const auto plot = bounds.withTrimmedBottom (16.0f);
    const auto zero = plot.getCentreY();
    const auto scale = plot.getHeight() / 2.0f;

    g.fillAll (juce::Colour (0xff1d2125));
    g.setColour (juce::Colour (0xff3a4148));
    g.drawHorizontalLine (juce::roundToInt (zero), plot.getX(), plot.getRight());

    const double pulseMs = 1000.0 * double (samples.size()) / shownSampleRate;
    const double spanMs = std::max (1.0, pulseMs * 1.25);

    // Millisecond marks along the bottom.
    g.setFont (11.0f);
    const double step = spanMs > 20.0 ? 10.0 : (spanMs > 5.0 ? 2.0 : 0.5);

    for (double ms = 0.0; ms <= spanMs; ms += step)
    {
        const auto x = plot.getX() + float (ms / spanMs) * plot.getWidth();
        g.setColour (juce::Colour (0xff3a4148));
        g.drawVerticalLine (juce::roundToInt (x), plot.getY(), plot.getBottom());
        g.setColour (juce::Colours::lightgrey);
        const auto labelX = juce::jlimit (plot.getX(), plot.getRight() - 40.0f, x - 20.0f);
        g.drawText (juce::String (ms, ms < 1.0 && ms > 0.0 ? 1 : 0) + " ms",
                    juce::Rectangle<float> (labelX, plot.getBottom() + 2.0f, 40.0f, 14.0f),
                    juce::Justification::centred);
    }

    juce::Path path;
    path.startNewSubPath (plot.getX(), zero);

    for (size_t i = 0; i < samples.size(); ++i)
    {
        const auto x0 = plot.getX() + float (1000.0 * double (i) / shownSampleRate / spanMs) * plot.getWidth();
        const auto x1 = plot.getX() + float (1000.0 * double (i + 1) / shownSampleRate / spanMs) * plot.getWidth();
        const auto y = zero - samples[i] * scale;
        path.lineTo (x0, y);
        path.lineTo (x1, y);
    }

    path.lineTo (plot.getX() + float (pulseMs / spanMs) * plot.getWidth(), zero);
    path.lineTo (plot.getRight(), zero);

    g.setColour (juce::Colour (0xff5ad1a0));
    g.strokePath (path, juce::PathStrokeType (1.5f));
}

} // namespace quaverline
