#pragma once

#include "tools/common/ClockOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace quaverline
{

/** What quaverline-jack is asked to do: the clock, the client, and whether it
    follows JACK's transport or drives it.
*/
struct JackOptions : ClockOptions
{
    std::string clientName = "quaverline";

    /** The ports clock_left, then clock_right, are connected to. */
    std::vector<std::string> connections;

    /** Timebase master with its own tempo and meter. */
    bool master = false;

    /** Starts the transport once the client is running. */
    bool play = false;

    /** Beats per minute, a beat being the meter's; when following a transport
        that gives only its frame, quarter notes per minute.
    */
    double bpm = 120.0;
    Meter meter;

    bool showHelp = false;
};

/** Either the options or a message that says what is wrong with the arguments. */
struct ParsedJackOptions
{
    std::optional<JackOptions> options;
    std::string error;
};

ParsedJackOptions parseJackOptions (const std::vector<std::string>& arguments);

/** The usage text printed by --help and after an argument error. */
std::string jackUsage();

} // namespace quaverline
