#pragma once

#include "engine/PositionRun.h"
#include "engine/TransportState.h"

#include <atomic>
#include <cstdint>

namespace quaverline
{

/** Writes the clock signal: a 97-sample pulse at every clock tick (24 per
    quarter note) while the transport runs, locked to a bar grid of (index + 2)
    eighth notes counted from position 0, and an idle signal of alternating sign
    everywhere else. Where ticks come closer than 98 samples the pulses are
    shortened, so that each tick still reaches the hardware as an edge of its own.

    After each start the renderer waits for the first sample on bar tick 0 or 6;
    after a start on bar tick 6 it sends pulses at twice the rate until bar
    tick 12, so that a sequencer counting pulses is on the downbeat by then.

    The decisions are made only where they can change: positions come exactly
    from PositionRun, the samples where the clock locks on, a pulse starts or
    double rate ends are found with the same arithmetic as a sample-by-sample
    renderer would use, and everything between is written as fills and copies.
    The result is bit for bit that of deciding every sample on its own.

    Real-time safe: render() allocates nothing, takes no lock and throws nothing.
*/
class ClockRenderer
{
public:
    /** The engine sample rate; until the first call it is 1.0. May be called from
        another thread than render(), but not while a block is being rendered.
    */
    void setSampleRate (double newSampleRate) noexcept;
    double getSampleRate() const noexcept;

    /** Renders numSamples samples of clock signal into output. */
    void render (float* output, int numSamples, const TransportState& transport, uint8_t timeSignatureIndex) noexcept;

private:
    struct Block;

    void renderStopped (float* output, int numSamples) noexcept;
    void renderRunning (float* output,
                        int numSamples,
                        const TransportState& transport,
                        uint8_t timeSignatureIndex) noexcept;
    void renderRun (float* output, const PositionRun& run, Block& block, bool& signToggle) noexcept;
    float renderRunningSample (double position, double increment, double barLength, bool& signToggle) noexcept;
    void startCounting (bool atDoubleRate) noexcept;

    std::atomic<double> sampleRate { 1.0 };

    bool synced = false;
    bool doubleRate = false;
    bool pulseActive = false;
    uint32_t pulseSampleIndex = 0;
    uint32_t pulseLength = 0;
};

} // namespace quaverline
