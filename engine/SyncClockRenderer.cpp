#include "engine/SyncClockRenderer.h"

#include "engine/BarTicks.h"
#include "engine/ExactRemainder.h"
#include "engine/IdleSignal.h"
#include "engine/MusicalTime.h"
#include "engine/PulseShape.h"
#include "engine/TimeSignature.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

namespace
{
/** The host's bar length, or 4/4 for a time signature no bar can have. */
double hostBarLength (const SyncTransport& host) noexcept
{
    const bool validDenominator =
        host.denominator > 0 && host.denominator <= 64 && (host.denominator & (host.denominator - 1)) == 0;

    if (host.numerator < 1 || host.numerator > 256 || ! validDenominator)
        return 4.0;

    return musicalTime::quarterNotesPerBar (host.numerator, host.denominator);
}
} // namespace

/** Everything a block's samples are decided with, worked out once. */
struct SyncClockRenderer::Block
{
    Block (const SyncTransport& host, const SyncSettings& settings, double sampleRate) noexcept
    {
        const auto& transport = host.transport;
        increment = musicalTime::quarterNotesPerSample (transport.bpm, sampleRate);

        // A negative offset sends every pulse earlier: the clock plays a
        // position that far ahead of the host's.
        const double offset = musicalTime::quarterNotesFor (-settings.offsetMs / 1000.0, transport.bpm);
        startPosition = settings.offsetMs == 0.0 ? transport.ppqPosition : transport.ppqPosition + offset;
        lead = offset > 0.0 ? offset : 0.0;

        // The tick is the float value of its length, as the classic clock's is.
        const int resolution = std::clamp (settings.pulsesPerQuarterNote, 1, 960);
        tickLength = double (static_cast<float> (1.0 / resolution));
        // Exact: half a float is the float of the half. (Worked out apart, the
        // two are folded into one double division by GCC 12's vectoriser.)
        halfTickLength = tickLength / 2.0;

        // Catching up at double rate from one sixteenth into the bar to the
        // eighth needs a tick on every sixteenth.
        catchesUp = resolution % 4 == 0;

        if (settings.barIndex >= 0)
        {
            barLength =
                timeSignature::quarterNotesPerBar (std::min (settings.barIndex, int (timeSignature::maximumIndex)));
        }
        else
        {
            barLength = hostBarLength (host);
            barOrigin = host.hasBarStart && std::isfinite (host.barStartPosition) ? host.barStartPosition : 0.0;
        }

        start = settings.start;
        square = settings.shape == SyncShape::square;
        right = settings.right;
        silentIdle = settings.idle == SyncIdle::silent;

        const double sign = settings.negativePolarity ? -1.0 : 1.0;
        const double levelDb = std::isfinite (settings.levelDb) ? std::clamp (settings.levelDb, -96.0, 0.0) : 0.0;
        gain = sign * double (static_cast<float> (std::pow (10.0, levelDb / 20.0)));
        highLevel = static_cast<float> (gain);

        const double widthSamples = std::clamp (settings.widthMs, 0.0, 1000.0) / 1000.0 * sampleRate;
        squareWidth =
            std::isfinite (widthSamples) ? std::max (1u, static_cast<uint32_t> (std::lround (widthSamples))) : 1u;
    }

    /** A pulse's sample: the classic pulse's entry times the gain, rounded
        once to float, as the classic clock computes it; or the square's level.
    */
    float pulseSample (uint32_t index) const noexcept
    {
        return square ? highLevel : static_cast<float> (pulseShape::table[index] * gain);
    }

    /** The longest pulse of this block's shape. */
    uint32_t longestPulse() const noexcept { return square ? squareWidth : static_cast<uint32_t> (pulseShape::length); }

    /** A pulse's length where ticks come spacing quarter notes apart. */
    uint32_t pulseLength (double spacing) const noexcept
    {
        if (! square)
            return pulseShape::lengthFor (spacing, increment);

        // The square ends halfway to the next tick at the latest (a tempo of
        // 0, or below, leaves it whole).
        const double halfway = std::floor (spacing / increment / 2.0);

        if (! (increment > 0.0 && halfway < double (squareWidth)))
            return squareWidth;

        return halfway >= 1.0 ? static_cast<uint32_t> (halfway) : 1u;
    }

    float idleSample (bool& signToggle) const noexcept { return silentIdle ? 0.0f : idleSignal::next (signToggle); }

    double increment = 0.0;
    double startPosition = 0.0;
    double lead = 0.0; // how far ahead of the host a negative offset plays
    double tickLength = 0.0;
    double halfTickLength = 0.0;
    bool catchesUp = true;
    double barLength = 4.0;
    double barOrigin = 0.0;
    SyncStart start = SyncStart::nextBar;
    bool square = false;
    SyncRightOutput right = SyncRightOutput::clock;
    bool silentIdle = false;
    double gain = 1.0;
    float highLevel = 1.0f;
    uint32_t squareWidth = 1;
};

void SyncClockRenderer::setSampleRate (double newSampleRate) noexcept
{
    sampleRate.store (newSampleRate, std::memory_order_relaxed);
}

double SyncClockRenderer::getSampleRate() const noexcept
{
    return sampleRate.load (std::memory_order_relaxed);
}

void SyncClockRenderer::render (float* left,
                                float* right,
                                int numSamples,
                                const SyncTransport& host,
                                const SyncSettings& settings) noexcept
{
    if (numSamples <= 0 || left == nullptr)
        return;

    if (right == left)
        right = nullptr;

    if (host.transport.isRunning)
        renderRunning (left, right, numSamples, Block (host, settings, getSampleRate()));
    else
        renderStopped (left, right, numSamples, settings);

    status.store (! host.transport.isRunning ? Status::stopped : (synced ? Status::running : Status::waiting),
                  std::memory_order_relaxed);
}

void SyncClockRenderer::renderStopped (float* left, float* right, int numSamples, const SyncSettings& settings) noexcept
{
    synced = false;
    clockPulse = {};
    barPulse = {};

    // A stopped block starts on the negative half of the idle signal; the run
    // line is low.
    if (settings.idle == SyncIdle::silent)
    {
        std::fill (left, left + numSamples, 0.0f);
    }
    else
    {
        bool signToggle = true;
        idleSignal::fill (left, numSamples, signToggle);
    }

    if (right != nullptr)
        std::copy (left, left + numSamples, right);
}

void SyncClockRenderer::renderRunning (float* left, float* right, int numSamples, const Block& block) noexcept
{
    // A pulse in progress when the shape or width changed is cut to what the
    // new one allows: a classic pulse has no samples past its table.
    clockPulse.length = std::min (clockPulse.length, block.longestPulse());
    barPulse.length = std::min (barPulse.length, block.longestPulse());

    double position = block.startPosition;
    bool leftToggle = false;
    bool rightToggle = false;

    for (int i = 0; i < numSamples; ++i, position += block.increment)
    {
        bool clockRuns = false;
        bool barStarts = false;
        uint32_t barPulseLength = 0;

        // Pre-roll, and positions that are not numbers.
        if (! (position >= 0.0 && std::isfinite (position)))
        {
            left[i] = block.idleSample (leftToggle);
        }
        else
        {
            // The position in the bar costs a division: it is worked out only
            // for the decisions that need it.
            const auto positionInBar = [&]
            {
                const double inBar = exactRemainder (position - block.barOrigin, block.barLength);
                return inBar < 0.0 ? inBar + block.barLength : inBar;
            };

            const bool wasSynced = synced;

            if (! synced)
            {
                // Where counting may start is measured in the classic clock's
                // ticks, whatever the resolution: its first 24th of a bar (or of
                // a beat), or its 24th at one sixteenth in, to catch up from.
                const double inBar = positionInBar();
                const auto barTick = barTicks::at (inBar);
                const bool onCatchUpTick =
                    block.start == SyncStart::nextBar && block.catchesUp && barTick == barTicks::doubleRateStartTick;
                const bool startsHere =
                    block.start == SyncStart::atOnce ||
                    (block.start == SyncStart::nextBar && (barTick == 0 || onCatchUpTick)) ||
                    (block.start == SyncStart::nextBeat && barTicks::at (exactRemainder (inBar, 1.0)) == 0);

                if (startsHere)
                    startCounting (onCatchUpTick);
            }

            if (! synced)
            {
                left[i] = block.idleSample (leftToggle);
            }
            else
            {
                if (doubleRate && barTicks::at (positionInBar()) >= barTicks::doubleRateEndTick)
                    doubleRate = false;

                const double spacing = doubleRate ? block.halfTickLength : block.tickLength;

                // Counting that starts up to the lead past a tick sends that
                // tick at once: with no offset it would have been on time.
                const double phase = exactRemainder (position, spacing);
                const bool due = phase <= block.increment || (! wasSynced && phase <= block.increment + block.lead);

                if (due && ! clockPulse.active)
                    clockPulse = { true, 0, block.pulseLength (spacing) };

                // The bar pulse is the bar start's own, on the clock's tick grid
                // or between its ticks, decided as a tick is.
                if (block.right == SyncRightOutput::bar)
                {
                    const double inBar = positionInBar();
                    barStarts = inBar <= block.increment || (! wasSynced && inBar <= block.increment + block.lead);
                    barPulseLength = block.pulseLength (spacing);
                }

                if (clockPulse.active && clockPulse.index < clockPulse.length)
                {
                    left[i] = block.pulseSample (clockPulse.index++);
                }
                else
                {
                    clockPulse = {};
                    left[i] = block.idleSample (leftToggle);
                }

                clockRuns = true;
            }
        }

        if (right == nullptr)
            continue;

        switch (block.right)
        {
            case SyncRightOutput::clock:
                right[i] = left[i];
                break;

            case SyncRightOutput::run:
                right[i] = clockRuns ? block.highLevel : block.idleSample (rightToggle);
                break;

            case SyncRightOutput::bar:
                if (barStarts && ! barPulse.active)
                    barPulse = { true, 0, barPulseLength };

                if (barPulse.active && barPulse.index < barPulse.length)
                {
                    right[i] = block.pulseSample (barPulse.index++);
                }
                else
                {
                    barPulse = {};
                    right[i] = block.idleSample (rightToggle);
                }

                break;
        }
    }
}

void SyncClockRenderer::startCounting (bool atDoubleRate) noexcept
{
    // Every start behaves like the first start of a fresh instance, as the
    // classic clock's does.
    synced = true;
    doubleRate = atDoubleRate;
    clockPulse = {};
    barPulse = {};
}

} // namespace quaverline
