#pragma once

#include "engine/SyncSettings.h"

#include <atomic>
#include <cstdint>

namespace quaverline
{

/** Quaverline Sync's clock: the classic clock's decisions with a resolution, a
    bar, a start, a pulse and outputs of the user's choice.

    Sample by sample, as the classic clock decides: positions accumulate by
    repeated addition from the host's position (moved by the offset); a tick is
    the float value of 1 / resolution quarter notes; the bar is set by hand or
    the host's, counted from the host's bar start. With 24 PPQN, a bar set by
    hand, "Next bar", the classic pulse at its level, positive, no offset, the
    right output on "Clock" and the classic idle signal, the left output is the
    classic clock's, sample for sample.

    Real-time safe: render() allocates nothing, takes no lock and throws nothing.
*/
class SyncClockRenderer
{
public:
    enum class Status
    {
        stopped,
        waiting, // running, not yet counting
        running
    };

    /** The engine sample rate; until the first call it is 1.0. */
    void setSampleRate (double newSampleRate) noexcept;
    double getSampleRate() const noexcept;

    /** Renders numSamples samples into left and right. right may be null, or
        the same as left when the right output is "Clock".
    */
    void render (float* left,
                 float* right,
                 int numSamples,
                 const SyncTransport& host,
                 const SyncSettings& settings) noexcept;

    /** What the clock did at the end of the last block; for other threads. */
    Status getStatus() const noexcept { return status.load (std::memory_order_relaxed); }

private:
    struct Block;
    struct Pulse
    {
        bool active = false;
        uint32_t index = 0;
        uint32_t length = 0;
    };

    void renderStopped (float* left, float* right, int numSamples, const SyncSettings& settings) noexcept;
    void renderRunning (float* left, float* right, int numSamples, const Block& block) noexcept;
    void startCounting (bool atDoubleRate) noexcept;

    std::atomic<double> sampleRate { 1.0 };
    std::atomic<Status> status { Status::stopped };

    bool synced = false;
    bool doubleRate = false;
    Pulse clockPulse, barPulse;
};

} // namespace quaverline
