#pragma once

#include "engine/SyncParameters.h"
#include "engine/TimeSignature.h"

#include <optional>
#include <string>

namespace quaverline
{

/** The clock a tool renders, as quaverline-render and quaverline-jack read it
    from the same options: Quaverline's classic clock with its time signature,
    or Quaverline Sync once any of its options is given.
*/
struct ClockOptions
{
    int timeSignatureIndex = timeSignature::initialIndex;
    bool timeSignatureGiven = false;

    /** Quaverline Sync's parameters, once any of its options is given. */
    std::optional<syncParameters::PlainValues> sync;

    /** Quaverline Sync's parameters, at their defaults until set. */
    syncParameters::PlainValues& syncValues();
};

/** Reads one of the clock's options (--time-signature, --resolution, --shape,
    --width, --level, --polarity, --offset, --right, --idle, --start); false if
    the option is none of them. A value the option does not take sets error.
    startAlsoTakes names what else a tool reads after --start, for the message.
*/
bool readClockOption (const std::string& option,
                      const std::string& value,
                      ClockOptions& options,
                      std::string& error,
                      const char* startAlsoTakes = "");

/** Reads a resolution in pulses per quarter note, one of Quaverline Sync's:
    its choice (an index into syncParameters::resolutions), or nothing and
    "--resolution takes 1, 2, 4, 8, 12, 24, 48 or 96, not ..." in error.
*/
std::optional<int> readResolutionChoice (const std::string& option, const std::string& value, std::string& error);

/** Whether readClockOption reads the option. */
bool isClockOption (const std::string& option);

/** Checks the options once all are read; the message if they do not go
    together, empty if they do.
*/
std::string finishClockOptions (ClockOptions& options);

/** Accepts "N/8" (N from 2 to 257, blanks allowed, " 8/8" as the editor shows
    it) or a bare index from 0 to 255; index k is a bar of k + 2 eighth notes.
*/
std::optional<int> parseTimeSignature (const std::string& text);

/** The tempos the tools take and keep to, in beats per minute. */
inline constexpr double lowestTempo = 1.0;
inline constexpr double highestTempo = 999.0;

/** A transport's time signature, as hosts and JACK report it: N/D. */
struct Meter
{
    int numerator = 4;
    int denominator = 4;
};

/** Reads "N/D", N from 1 to 64 and D a power of two up to 64. */
std::optional<Meter> parseMeter (const std::string& text);

/** What parseMeter takes, for messages. */
inline constexpr const char* meterRule = "N/D, N from 1 to 64 and D a power of two up to 64";

/** The usage lines of Quaverline Sync's options, --start without what else a
    tool reads after it.
*/
std::string syncOptionsUsage();

} // namespace quaverline
