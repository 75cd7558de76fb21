#include "tools/render/SyncRendering.h"

#include "engine/MusicalTime.h"

#include <cmath>

namespace quaverline
{

SyncRendering::SyncRendering (const RenderOptions& renderOptions)
    : options (renderOptions)
    , settings (syncParameters::settingsFrom (options.sync.value_or (syncParameters::defaults())))
{
    renderer.setSampleRate (options.sampleRate);
}

void SyncRendering::render (juce::AudioBuffer<float>& buffer)
{
    // Like a host, the position comes from the sample count, and the bar start
    // from the position.
    SyncTransport host;
    const double position =
        options.startPosition + musicalTime::quarterNotesIn (double (samplesDone), options.bpm, options.sampleRate);
    const auto& meter = options.hostMeter;
    const double barLength = musicalTime::quarterNotesPerBar (meter.numerator, meter.denominator);
    host.transport = { true, options.bpm, position };
    host.hasBarStart = true;
    host.barStartPosition = std::floor (position / barLength) * barLength;
    host.numerator = meter.numerator;
    host.denominator = meter.denominator;

    auto* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer (1) : nullptr;
    renderer.render (buffer.getWritePointer (0), right, buffer.getNumSamples(), host, settings);

    for (int channel = 2; channel < buffer.getNumChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());

    samplesDone += buffer.getNumSamples();
}

std::string SyncRendering::describe() const
{
    const auto& values = *options.sync;
    std::string text;

    for (int index = 0; index < syncParameters::count; ++index)
    {
        const auto* name = syncParameters::rule (index).name;
        auto valueText = syncParameters::textFor (index, values[size_t (index)]);

        if (index == syncParameters::bar && settings.barIndex < 0)
            valueText += " (" + std::to_string (options.hostMeter.numerator) + "/" +
                         std::to_string (options.hostMeter.denominator) + ")";

        text += (text.empty() ? "" : ", ") + std::string (name) + " " + valueText;
    }

    return text;
}

} // namespace quaverline
