#pragma once

#include "engine/TransportState.h"

#include <cstdint>

namespace quaverline
{

/** Where Quaverline Sync starts counting after the transport starts. */
enum class SyncStart
{
    nextBar,  // the classic lock-on, with double-rate catch-up from one sixteenth in
    nextBeat, // the next quarter note
    atOnce    // the next tick
};

enum class SyncShape
{
    classic, // the classic clock's 97-sample pulse
    square
};

enum class SyncRightOutput
{
    clock, // the same as the left output
    run,   // high while the clock runs: the run line of DIN sync
    bar    // one pulse at every bar start, for a reset input
};

enum class SyncIdle
{
    classic, // the classic clock's alternating +-0.001
    silent
};

/** The level whose gain, rounded to float, is the classic clock's 0.95. */
inline constexpr float classicLevelDb = -0.4455280005931854f;

/** Quaverline Sync's settings for one block, as plain values; the defaults are
    the Sync plug-in's own.
*/
struct SyncSettings
{
    int pulsesPerQuarterNote = 24;

    /** The bar set by hand, as the classic clock's time-signature index;
        negative: the host's bar.
    */
    int barIndex = -1;

    SyncStart start = SyncStart::nextBar;
    SyncShape shape = SyncShape::classic;
    double widthMs = 5.0;
    double levelDb = classicLevelDb;
    bool negativePolarity = false;

    /** Negative: every pulse leaves earlier. */
    double offsetMs = 0.0;

    SyncRightOutput right = SyncRightOutput::clock;
    SyncIdle idle = SyncIdle::classic;
};

/** The host's transport for one block, with what it says of the bar. */
struct SyncTransport
{
    TransportState transport;

    /** The position of the bar the block starts in, when the host reports it. */
    bool hasBarStart = false;
    double barStartPosition = 0.0;

    /** The host's time signature, when it reports one. */
    int numerator = 0;
    int denominator = 0;
};

} // namespace quaverline
