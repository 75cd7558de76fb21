#pragma once

#include "engine/SyncClockRenderer.h"
#include "tools/render/RenderOptions.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <string>

namespace quaverline
{

/** Quaverline Sync's signal for quaverline-render: the engine, driven by a
    simulated host that plays at a fixed tempo and reports its bar.
*/
class SyncRendering
{
public:
    explicit SyncRendering (const RenderOptions& options);

    /** Renders the next block: the clock on the first channel, the right output
        on the second, silence on any others.
    */
    void render (juce::AudioBuffer<float>& buffer);

    /** The settings, as the summary line names them. */
    std::string describe() const;

    int pulsesPerQuarterNote() const noexcept { return settings.pulsesPerQuarterNote; }

private:
    RenderOptions options;
    SyncSettings settings;
    SyncClockRenderer renderer;
    int64_t samplesDone = 0;
};

} // namespace quaverline
