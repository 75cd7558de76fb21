#pragma once

#include "engine/ClockRenderer.h"
#include "engine/SyncClockRenderer.h"
#include "engine/TimeSignatureState.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include <vector>

namespace quaverline::test
{

/** Where the engine starts its pulses for a transport that plays from
    position 0 at a steady tempo, in the default time signature: what a host
    that runs Quaverline that way must get.
*/
inline std::vector<int64_t> enginePulseStarts (double sampleRate, double tempo, int numSamples)
{
    quaverline::ClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> signal (static_cast<size_t> (numSamples));
    renderer.render (signal.data(), numSamples, { true, tempo, 0.0 }, quaverline::timeSignature::initialIndex);
    return quaverline::findPulseStarts (signal.data(), signal.size());
}

/** The same for Quaverline Sync at a resolution, its other settings at their
    defaults (the host's bar: 4/4 from position 0).
*/
inline std::vector<int64_t> syncPulseStarts (double sampleRate, double tempo, int numSamples, int ppqn)
{
    quaverline::SyncClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    quaverline::SyncSettings settings;
    settings.pulsesPerQuarterNote = ppqn;
    quaverline::SyncTransport host;
    host.transport = { true, tempo, 0.0 };
    std::vector<float> signal (static_cast<size_t> (numSamples));
    renderer.render (signal.data(), nullptr, numSamples, host, settings);
    return quaverline::findPulseStarts (signal.data(), signal.size());
}

} // namespace quaverline::test
