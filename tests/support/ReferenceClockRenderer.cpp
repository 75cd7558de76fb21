#include "tests/support/ReferenceClockRenderer.h"

#include "engine/MusicalTime.h"
#include "engine/PulseShape.h"
#include "engine/TimeSignature.h"

#include <algorithm>
#include <cmath>

namespace quaverline::test
{

namespace
{
// The pulse grid's spacing is the float value of 1/24 (and 1/48) widened to
// double: a little longer than the exact tick, so the pulses drift behind the
// bar grid by about 3e-8 quarter notes per quarter note. Hardware synced to
// earlier releases expects exactly these sample positions.
constexpr double tickLength = 0.0416666679084300994873046875;
constexpr double halfTickLength = 0.02083333395421504974365234375;

constexpr float idleLevel = 0.001f;

constexpr int64_t doubleRateStartTick = 6;
constexpr int64_t doubleRateEndTick = 12;

float nextIdleSample (bool& signToggle) noexcept
{
    signToggle = ! signToggle;
    return signToggle ? idleLevel : -idleLevel;
}
} // namespace

void ReferenceClockRenderer::setSampleRate (double newSampleRate) noexcept
{
    sampleRate.store (newSampleRate, std::memory_order_relaxed);
}

double ReferenceClockRenderer::getSampleRate() const noexcept
{
    return sampleRate.load (std::memory_order_relaxed);
}

void ReferenceClockRenderer::render (float* output,
                                     int numSamples,
                                     const TransportState& transport,
                                     uint8_t timeSignatureIndex) noexcept
{
    if (numSamples <= 0)
        return;

    if (transport.isRunning)
        renderRunning (output, numSamples, transport, timeSignatureIndex);
    else
        renderStopped (output, numSamples);
}

void ReferenceClockRenderer::renderStopped (float* output, int numSamples) noexcept
{
    synced = false;

    // A stopped block starts on the negative half of the idle signal.
    bool signToggle = true;

    for (int i = 0; i < numSamples; ++i)
        output[i] = nextIdleSample (signToggle);
}

void ReferenceClockRenderer::renderRunning (float* output,
                                            int numSamples,
                                            const TransportState& transport,
                                            uint8_t timeSignatureIndex) noexcept
{
    const double barLength = timeSignature::quarterNotesPerBar (timeSignatureIndex);
    const double increment = musicalTime::quarterNotesPerSample (transport.bpm, getSampleRate());

    double position = transport.ppqPosition;
    bool signToggle = false;

    // Positions accumulate by repeated addition, sample after sample: the pulse
    // positions that slaved hardware has always seen depend on it.
    for (int i = 0; i < numSamples; ++i)
    {
        output[i] = renderRunningSample (position, increment, barLength, signToggle);
        position += increment;
    }
}

float ReferenceClockRenderer::renderRunningSample (double position,
                                                   double increment,
                                                   double barLength,
                                                   bool& signToggle) noexcept
{
    // Pre-roll, and positions that are not numbers (a host with a broken
    // transport, or a sample rate of 0 that made the increment infinite).
    if (! (position >= 0.0 && std::isfinite (position)))
        return nextIdleSample (signToggle);

    const double tickPhase = std::fmod (position, tickLength);
    const double positionInBar = std::fmod (position, barLength);
    const auto barTick = static_cast<int64_t> (std::floor (positionInBar * musicalTime::ticksPerQuarterNote));

    if (! synced)
    {
        if (barTick != 0 && barTick != doubleRateStartTick)
            return nextIdleSample (signToggle);

        startCounting (barTick == doubleRateStartTick);
    }

    if (barTick >= doubleRateEndTick)
        doubleRate = false;

    const double triggerPhase = doubleRate ? std::fmod (tickPhase, halfTickLength) : tickPhase;

    if (triggerPhase <= increment && ! pulseActive)
    {
        pulseActive = true;
        pulseLength = pulseLengthFor (doubleRate ? halfTickLength : tickLength, increment);
    }

    if (pulseActive && pulseSampleIndex < pulseLength)
        return pulseShape::samples[pulseSampleIndex++];

    pulseActive = false;
    pulseSampleIndex = 0;
    return nextIdleSample (signToggle);
}

uint32_t ReferenceClockRenderer::pulseLengthFor (double tickSpacing, double increment) noexcept
{
    // A pulse needs one idle sample after it before the next tick can trigger,
    // so the whole pulse fits only where ticks are 98 or more samples apart.
    // Closer ticks get the start of the pulse, half their spacing long: every
    // tick still reaches the hardware as an edge of its own.
    constexpr auto fullLength = static_cast<uint32_t> (pulseShape::length);

    if (! (increment > 0.0))
        return fullLength;

    const double samplesPerTick = tickSpacing / increment;

    if (samplesPerTick >= double (fullLength + 1))
        return fullLength;

    return std::max (1u, static_cast<uint32_t> (std::floor (samplesPerTick / 2.0)));
}

void ReferenceClockRenderer::startCounting (bool atDoubleRate) noexcept
{
    // Every start behaves like the first start of a fresh instance: a pulse or a
    // double-rate stretch cut off by the last stop must not leak into this one,
    // or slaved hardware would run ahead of the host.
    synced = true;
    doubleRate = atDoubleRate;
    pulseActive = false;
    pulseSampleIndex = 0;
}

} // namespace quaverline::test
