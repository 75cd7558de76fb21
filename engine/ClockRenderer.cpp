#include "engine/ClockRenderer.h"

#include "engine/BarTicks.h"
#include "engine/ExactRemainder.h"
#include "engine/IdleSignal.h"
#include "engine/MusicalTime.h"
#include "engine/PulseShape.h"
#include "engine/TimeSignature.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quaverline
{

namespace
{
// The pulse grid's spacing is the float value of 1/24 (and 1/48) widened to
// double: a little longer than the exact tick, so the pulses drift behind the
// bar grid by about 3e-8 quarter notes per quarter note. Hardware synced to
// earlier releases expects exactly these sample positions.
constexpr double tickLength = 0.0416666679084300994873046875;
constexpr double halfTickLength = 0.02083333395421504974365234375;

using barTicks::doubleRateEndTick;
using barTicks::doubleRateStartTick;

/** The bar tick of a position. */
int64_t barTickOf (double position, double barLength) noexcept
{
    return barTicks::at (exactRemainder (position, barLength));
}

/** Where a position is in the spacing between pulses, as every sample's
    decision computes it: the tick phase, or its phase in the half tick.
*/
double triggerPhaseOf (double position, bool atDoubleRate) noexcept
{
    // The half tick is exactly half the tick, and remainders are exact, so the
    // phase in the half tick of the tick phase is the phase in the half tick.
    return exactRemainder (position, atDoubleRate ? halfTickLength : tickLength);
}

/** The first sample in (from, last] for which stillTrue is false, or last + 1.
    stillTrue is true at from and, over (from, last], true up to some sample
    and false from there on. guess is where the change is expected: with a good
    guess this takes two calls; with a bad one, a few more.
*/
template <typename Predicate>
int64_t firstFalseAfter (int64_t from, int64_t last, int64_t guess, Predicate&& stillTrue) noexcept
{
    if (from >= last)
        return last + 1;

    auto low = from;      // stillTrue (low)
    auto high = last + 1; // ! stillTrue (high), or past the end
    auto probe = std::clamp (guess, from + 1, last);

    // Gallop from the guess to bracket the change, then halve the bracket.
    for (int64_t distance = 1;; distance *= 2)
    {
        if (stillTrue (probe))
        {
            low = probe;

            if (probe == last)
                break;

            probe = std::min (last, probe + distance);
            continue;
        }

        high = probe;

        if (probe - 1 == low || stillTrue (probe - 1))
        {
            low = probe - 1;
            break;
        }

        high = probe - 1;
        probe = std::max (low + 1, probe - distance);
    }

    while (high - low > 1)
    {
        const auto middle = low + (high - low) / 2;

        if (stillTrue (middle))
            low = middle;
        else
            high = middle;
    }

    return high;
}

/** A bound on the rounding in the differences of positions near this one,
    with room to spare: comparisons farther apart than this need no exact look.
*/
double slackAt (double position) noexcept
{
    return (std::abs (position) + 1.0) * 0x1p-48;
}

/** Samples until a position that is offset on from the position at from. */
int64_t samplesFor (double distance, const PositionRun& run) noexcept
{
    const double samples = std::ceil (distance / run.step);
    if (samples < 1.0)
        return 1;

    // Not a number where positions overflow: as far as can be.
    return samples < 1.0e15 ? static_cast<int64_t> (samples) : int64_t (1.0e15);
}

/** A stretch between two pulse positions (or bar lines), known from one exact
    look at a sample in it: its position and its phase there.
*/
struct Period
{
    double length = 0.0; // 0: none known
    double startPosition = 0.0;
    double startPhase = 0.0;

    /** Whether a later position is in this period with room to spare. */
    bool clearlyContains (double position) const noexcept
    {
        const double travelled = position - startPosition;
        return length > 0.0 && travelled >= 0.0 && travelled + slackAt (position) < length - startPhase;
    }
};

/** The first sample in (from, last] that is in a later period than the given
    one, or last + 1. The period's start is a sample of the run, at or before
    from, so that distances between positions are exact.
*/
template <typename Phase>
int64_t endOfPeriod (const PositionRun& run, int64_t from, int64_t last, const Period& period, Phase&& phaseOf) noexcept
{
    // Clearly short of the period's end, a sample is in it; near the end, or
    // within less than one period of the start, a phase below the start's
    // means the period has turned, and from a whole period on it has for certain.
    const auto inPeriod = [&] (int64_t sample)
    {
        const double position = run.at (sample);
        const double travelled = position - period.startPosition;

        if (period.clearlyContains (position))
            return true;

        return travelled < period.length && phaseOf (position) >= period.startPhase;
    };

    const double toEnd = period.length - period.startPhase - (run.at (from) - period.startPosition);
    return firstFalseAfter (from, last, from + samplesFor (toEnd, run), inPeriod);
}

/** The first sample in (from, last] that is in a later period of the given
    length than sample from, or last + 1. phaseOf gives the position in the period.
*/
template <typename Phase>
int64_t nextPeriod (const PositionRun& run, int64_t from, int64_t last, double length, Phase&& phaseOf) noexcept
{
    const double startPosition = run.at (from);
    return endOfPeriod (run, from, last, Period { length, startPosition, phaseOf (startPosition) }, phaseOf);
}

/** The first sample in [from, last] of from's bar whose bar tick is at least
    target, else the first sample of a later bar, else last + 1. Within a bar
    the bar tick only grows; a new bar starts it again.
*/
int64_t
    barTickAtLeastInBar (const PositionRun& run, int64_t from, int64_t last, int64_t target, double barLength) noexcept
{
    const double startPosition = run.at (from);
    const double startPhase = exactRemainder (startPosition, barLength);

    if (barTicks::at (startPhase) >= target)
        return from;

    const double targetPhase = double (target) / musicalTime::ticksPerQuarterNote;
    const double toTarget = targetPhase - startPhase;

    // Clearly short of the target tick, a sample is below it in the same bar;
    // near it, the bar tick is computed as every sample's decision does.
    const auto belowTargetInBar = [&] (int64_t sample)
    {
        const double position = run.at (sample);
        const double travelled = position - startPosition;

        if (travelled + slackAt (position) < toTarget)
            return true;

        return travelled < barLength && exactRemainder (position, barLength) >= startPhase &&
               barTickOf (position, barLength) < target;
    };

    return firstFalseAfter (from, last, from + samplesFor (toTarget, run), belowTargetInBar);
}

/** The first sample in [from, last] whose bar tick is at least target, or last + 1. */
int64_t
    firstBarTickAtLeast (const PositionRun& run, int64_t from, int64_t last, int64_t target, double barLength) noexcept
{
    while (from <= last)
    {
        const auto reached = barTickAtLeastInBar (run, from, last, target, barLength);

        if (reached > last || barTickOf (run.at (reached), barLength) >= target)
            return reached;

        from = reached;
    }

    return last + 1;
}
/** Bounds on the positions of the samples from offset first to offset last
    after an exactly known position. Each addition rounds by at most half an
    ulp of its sum; the bounds leave far more room than all of them together
    and the rounding of these estimates.
*/
struct PositionBounds
{
    PositionBounds (double anchor, int64_t first, int64_t last, double increment) noexcept
    {
        const double highest = anchor + double (last) * increment;
        const double error = double (last + 8) * (std::abs (highest) + increment) * 0x1p-50;
        low = anchor + double (first) * increment - error;
        high = highest + error;
        margin = (std::abs (high) + 1.0) * 0x1p-48;
    }

    /** Whether all the positions lie in one period of the given length, each
        at a phase above from and below to (with 0 <= from < to <= length).
    */
    bool withinOnePeriod (double length, double from, double to) const noexcept
    {
        if (! (low > 0.0 && high < 1.0e15))
            return false;

        const double start = std::floor (low / length) * length;
        return low - start > from + margin && start + to - high > margin;
    }

    double low, high, margin;
};

} // namespace

void ClockRenderer::setSampleRate (double newSampleRate) noexcept
{
    sampleRate.store (newSampleRate, std::memory_order_relaxed);
}

double ClockRenderer::getSampleRate() const noexcept
{
    return sampleRate.load (std::memory_order_relaxed);
}

void ClockRenderer::render (float* output,
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

void ClockRenderer::renderStopped (float* output, int numSamples) noexcept
{
    synced = false;

    // A stopped block starts on the negative half of the idle signal.
    bool signToggle = true;
    idleSignal::fill (output, numSamples, signToggle);
}

struct ClockRenderer::Block
{
    double increment;
    double barLength;

    /** The period in which the idle signal last ran out of a run without a
        pulse, so that the next run need not look again while clearly in it.
    */
    Period idlePeriod;

    /** Whether the run about to be rendered clearly ends before double rate does. */
    bool runBeforeDoubleRateEnds = false;
};

void ClockRenderer::renderRunning (float* output,
                                   int numSamples,
                                   const TransportState& transport,
                                   uint8_t timeSignatureIndex) noexcept
{
    Block block { musicalTime::quarterNotesPerSample (transport.bpm, getSampleRate()),
                  timeSignature::quarterNotesPerBar (timeSignatureIndex),
                  {},
                  false };

    bool signToggle = false;

    // Positions accumulate by repeated addition, sample after sample: the pulse
    // positions that slaved hardware has always seen depend on it. Runs give
    // those same positions without the additions; where no run can be proven
    // (pre-roll, position 0, not a number, a tie), samples are decided one by one.
    const bool runsApply = block.increment > 0.0 && std::isfinite (block.increment);

    // The one position known exactly, and its sample. Pulses at the normal rate
    // and idle stretches clearly without a pulse need no exact position: it is
    // worked out only when a decision comes near.
    double anchorPosition = transport.ppqPosition;
    int64_t anchorSample = 0;

    const double doubleRateEndPhase = double (doubleRateEndTick) / musicalTime::ticksPerQuarterNote;

    // Whether the samples from first to last clearly stay before the end of
    // double rate (below bar tick 12, in one bar): a property of their
    // positions, so one proof for the whole block serves every stretch of it.
    const auto clearOfDoubleRateEnd = [&] (int64_t first, int64_t last)
    {
        return PositionBounds (anchorPosition, first - anchorSample, last - anchorSample, block.increment)
            .withinOnePeriod (block.barLength, 0.0, doubleRateEndPhase);
    };

    const bool wholeBlockClearOfDoubleRateEnd =
        doubleRate && runsApply && anchorPosition > 0.0 && clearOfDoubleRateEnd (0, numSamples - 1);

    // The run through the anchor, worked out once it is needed, so that moving
    // the anchor on inside it costs no more than a multiplication.
    auto anchorRun = PositionRun { anchorPosition, block.increment, -1, -1 };

    // Where an idle stretch stopped short of the tick expected on this sample:
    // the samples up to it are decided one by one from the anchor's run.
    int64_t expectedTick = -1;

    for (int64_t sample = 0; sample < numSamples;)
    {
        const auto clearlyBeforeDoubleRateEnds = [&] (int64_t last)
        { return ! doubleRate || wholeBlockClearOfDoubleRateEnd || clearOfDoubleRateEnd (sample, last); };

        // Estimates need positions that stay finite to the end of the block: a
        // position that overflows is idle, even in the middle of a pulse.
        const bool estimatesApply = runsApply && synced && anchorPosition > 0.0 &&
                                    anchorPosition + double (numSamples - anchorSample) * block.increment < 1.0e300;

        if (runsApply && anchorRun.first != anchorSample)
            anchorRun = PositionRun::startingAt (anchorPosition, anchorSample, numSamples - 1, block.increment);

        if (estimatesApply && ! pulseActive && sample <= expectedTick && sample <= anchorRun.last &&
            clearlyBeforeDoubleRateEnds (sample))
        {
            // The sample's own decision, as the sample-by-sample renderer makes it.
            if (triggerPhaseOf (anchorRun.at (sample), doubleRate) <= block.increment)
            {
                pulseActive = true;
                pulseSampleIndex = 0;
                pulseLength = pulseShape::lengthFor (doubleRate ? halfTickLength : tickLength, block.increment);
                expectedTick = -1;
            }
            else
            {
                output[sample++] = idleSignal::next (signToggle);
            }

            continue;
        }

        if (estimatesApply && pulseActive)
        {
            const auto count = pulseSampleIndex < pulseLength
                                   ? std::min<int64_t> (pulseLength - pulseSampleIndex, numSamples - sample)
                                   : int64_t (1);

            if (clearlyBeforeDoubleRateEnds (sample + count - 1))
            {
                if (pulseSampleIndex < pulseLength)
                {
                    std::copy_n (pulseShape::samples.begin() + pulseSampleIndex, count, output + sample);
                    pulseSampleIndex += static_cast<uint32_t> (count);
                }
                else
                {
                    // The sample after a pulse is idle, whatever its phase.
                    pulseActive = false;
                    pulseSampleIndex = 0;
                    output[sample] = idleSignal::next (signToggle);
                }

                sample += count;
                continue;
            }
        }

        if (estimatesApply && ! pulseActive && expectedTick < 0)
        {
            // Idle up to two samples before the tick expected next, if nothing
            // can happen there for certain; those two are decided one by one.
            const double spacing = doubleRate ? halfTickLength : tickLength;
            const double estimate = anchorPosition + double (sample - anchorSample) * block.increment;
            const double samplesToTick = (spacing - exactRemainder (estimate, spacing)) / block.increment;
            // Not a number where the estimate overflows: no tick in sight.
            const auto tick =
                sample + static_cast<int64_t> (std::ceil (samplesToTick < 1.0e15 ? samplesToTick : 1.0e15));
            const auto idleLast = std::min<int64_t> (numSamples - 1, tick - 2);

            if (idleLast >= sample &&
                PositionBounds (anchorPosition, sample - anchorSample, idleLast - anchorSample, block.increment)
                    .withinOnePeriod (spacing, block.increment, spacing) &&
                clearlyBeforeDoubleRateEnds (idleLast))
            {
                idleSignal::fill (output + sample, idleLast - sample + 1, signToggle);
                sample = idleLast + 1;
                expectedTick = tick;
                continue;
            }
        }

        if (sample != anchorSample)
        {
            anchorPosition = sample <= anchorRun.last
                                 ? anchorRun.at (sample)
                                 : PositionRun::advance (anchorPosition, sample - anchorSample, block.increment);
            anchorSample = sample;
        }

        // Inside the anchor's run a run from any later sample has the same step
        // and the same end.
        const auto run = ! runsApply ? PositionRun { anchorPosition, block.increment, sample, sample }
                         : sample <= anchorRun.last
                             ? PositionRun { anchorPosition, anchorRun.step, sample, anchorRun.last }
                             : PositionRun::startingAt (anchorPosition, sample, numSamples - 1, block.increment);

        if (run.last == run.first)
            output[sample] = renderRunningSample (anchorPosition, block.increment, block.barLength, signToggle);
        else
        {
            block.runBeforeDoubleRateEnds = doubleRate && estimatesApply && clearlyBeforeDoubleRateEnds (run.last);
            renderRun (output, run, block, signToggle);
        }

        anchorPosition = run.at (run.last) + block.increment;
        sample = anchorSample = run.last + 1;
        expectedTick = -1;
    }
}

void ClockRenderer::renderRun (float* output, const PositionRun& run, Block& block, bool& signToggle) noexcept
{
    // The first sample of the run on bar tick 12 or later, found once: where
    // double rate ends, if it is still on there.
    int64_t doubleRateEnd = block.runBeforeDoubleRateEnds ? run.last + 1 : -1;
    const auto doubleRateEndFrom = [&] (int64_t from)
    {
        if (doubleRateEnd < from)
            doubleRateEnd = firstBarTickAtLeast (run, from, run.last, doubleRateEndTick, block.barLength);

        return doubleRateEnd;
    };

    for (auto sample = run.first; sample <= run.last;)
    {
        if (! synced)
        {
            // Idle up to the first sample on bar tick 0 or 6, where counting starts.
            auto lockOn = sample;

            while (lockOn <= run.last)
            {
                const auto barTick = barTickOf (run.at (lockOn), block.barLength);

                if (barTick == 0 || barTick == doubleRateStartTick)
                    break;

                lockOn =
                    barTick < doubleRateStartTick
                        ? barTickAtLeastInBar (run, lockOn, run.last, doubleRateStartTick, block.barLength)
                        : nextPeriod (run,
                                      lockOn,
                                      run.last,
                                      block.barLength,
                                      [&] (double position) { return exactRemainder (position, block.barLength); });
            }

            idleSignal::fill (output + sample, lockOn - sample, signToggle);
            sample = lockOn;

            if (sample <= run.last)
                startCounting (barTickOf (run.at (sample), block.barLength) == doubleRateStartTick);

            continue;
        }

        if (pulseActive && pulseSampleIndex < pulseLength)
        {
            // The rest of the pulse; double rate may end on any of its samples.
            const auto count = std::min<int64_t> (pulseLength - pulseSampleIndex, run.last - sample + 1);

            if (doubleRate && doubleRateEndFrom (sample) < sample + count)
                doubleRate = false;

            std::copy_n (pulseShape::samples.begin() + pulseSampleIndex, count, output + sample);
            pulseSampleIndex += static_cast<uint32_t> (count);
            sample += count;
            continue;
        }

        if (pulseActive)
        {
            // The sample after a pulse is idle, whatever its phase.
            if (doubleRate && doubleRateEndFrom (sample) == sample)
                doubleRate = false;

            pulseActive = false;
            pulseSampleIndex = 0;
            output[sample++] = idleSignal::next (signToggle);
            continue;
        }

        // Idle up to the next pulse, or to the end of double rate, where the
        // spacing of the pulses changes.
        const auto idleEnd = doubleRate ? doubleRateEndFrom (sample) : run.last + 1;
        const auto searchLast = std::min (idleEnd - 1, run.last);
        const bool atDoubleRate = doubleRate;
        const double spacing = atDoubleRate ? halfTickLength : tickLength;
        const auto phaseOf = [atDoubleRate] (double position) { return triggerPhaseOf (position, atDoubleRate); };
        auto trigger = sample;

        while (trigger <= searchLast)
        {
            const double position = run.at (trigger);
            auto& period = block.idlePeriod;

            // Still clearly in a period whose phase was past the pulse window.
            if (period.length == spacing && period.clearlyContains (position) &&
                period.clearlyContains (run.at (searchLast)))
            {
                trigger = searchLast + 1;
                break;
            }

            const double phase = phaseOf (position);

            if (phase <= block.increment)
                break;

            period = { spacing, position, phase };
            trigger = endOfPeriod (run, trigger, searchLast, period, phaseOf);
        }

        if (trigger <= searchLast)
        {
            idleSignal::fill (output + sample, trigger - sample, signToggle);
            block.idlePeriod = {};
            pulseActive = true;
            pulseSampleIndex = 0;
            pulseLength = pulseShape::lengthFor (spacing, block.increment);
            sample = trigger;
            continue;
        }

        idleSignal::fill (output + sample, std::min (idleEnd, run.last + 1) - sample, signToggle);
        sample = std::min (idleEnd, run.last + 1);

        if (idleEnd <= run.last)
            doubleRate = false;
    }
}

float ClockRenderer::renderRunningSample (double position,
                                          double increment,
                                          double barLength,
                                          bool& signToggle) noexcept
{
    // Pre-roll, and positions that are not numbers (a host with a broken
    // transport, or a sample rate of 0 that made the increment infinite).
    if (! (position >= 0.0 && std::isfinite (position)))
        return idleSignal::next (signToggle);

    const auto barTick = barTickOf (position, barLength);

    if (! synced)
    {
        if (barTick != 0 && barTick != doubleRateStartTick)
            return idleSignal::next (signToggle);

        startCounting (barTick == doubleRateStartTick);
    }

    if (barTick >= doubleRateEndTick)
        doubleRate = false;

    if (triggerPhaseOf (position, doubleRate) <= increment && ! pulseActive)
    {
        pulseActive = true;
        pulseLength = pulseShape::lengthFor (doubleRate ? halfTickLength : tickLength, increment);
    }

    if (pulseActive && pulseSampleIndex < pulseLength)
        return pulseShape::samples[pulseSampleIndex++];

    pulseActive = false;
    pulseSampleIndex = 0;
    return idleSignal::next (signToggle);
}

void ClockRenderer::startCounting (bool atDoubleRate) noexcept
{
    // Every start behaves like the first start of a fresh instance: a pulse or a
    // double-rate stretch cut off by the last stop must not leak into this one,
    // or slaved hardware would run ahead of the host.
    synced = true;
    doubleRate = atDoubleRate;
    pulseActive = false;
    pulseSampleIndex = 0;
}

} // namespace quaverline
