#pragma once

#include "engine/TransportState.h"

#include <atomic>
#include <cstdint>

namespace quaverline::test
{

/** The clock as it was first written: every sample decided on its own, from
    its position by repeated addition. The engine's ClockRenderer must give the
    same samples, bit for bit, and the same state after every block.

    Writes the clock signal: a 97-sample pulse at every clock tick (24 per
    quarter note) while the transport runs, locked to a bar grid of (index + 2)
    eighth notes counted from position 0, and an idle signal of alternating sign
    everywhere else. Where ticks come closer than 98 samples the pulses are
    shortened, so that each tick still reaches the hardware as an edge of its own.

    After each start the renderer waits for the first sample on bar tick 0 or 6;
    after a start on bar tick 6 it sends pulses at twice the rate until bar
    tick 12, so that a sequencer counting pulses is on the downbeat by then.

    Real-time safe: render() allocates nothing, takes no lock and throws nothing.
*/
class ReferenceClockRenderer
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
    void renderStopped (float* output, int numSamples) noexcept;
    void renderRunning (float* output,
                        int numSamples,
                        const TransportState& transport,
                        uint8_t timeSignatureIndex) noexcept;
    float renderRunningSample (double position, double increment, double barLength, bool& signToggle) noexcept;
    void startCounting (bool atDoubleRate) noexcept;
    static uint32_t pulseLengthFor (double tickSpacing, double increment) noexcept;

    std::atomic<double> sampleRate { 1.0 };

    bool synced = false;
    bool doubleRate = false;
    bool pulseActive = false;
    uint32_t pulseSampleIndex = 0;
    uint32_t pulseLength = 0;
};

} // namespace quaverline::test
