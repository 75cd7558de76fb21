#include "tools/jack/JackOptions.h"

#include "tools/common/ArgumentParsing.h"

namespace quaverline
{

namespace
{
// JACK's longest client name, without its terminating zero.
constexpr size_t maximumNameLength = 63;

bool startsOption (const std::string& argument)
{
    return argument.rfind ("-", 0) == 0;
}

bool takesValue (const std::string& option)
{
    const auto name = option.substr (0, option.find ('='));
    return name == "--connect" || name == "--name" || name == "--tempo" || name == "--meter" || isClockOption (name);
}

std::string checkName (const std::string& name)
{
    if (name.empty() || name.size() > maximumNameLength)
        return "--name takes 1 to " + std::to_string (maximumNameLength) + " characters";

    if (name.find (':') != std::string::npos)
        return "--name cannot hold a colon: JACK puts one between a client's name and its ports";

    return {};
}
} // namespace

ParsedJackOptions parseJackOptions (const std::vector<std::string>& arguments)
{
    using arguments::parseNumber;
    using arguments::readValue;
    using arguments::takeValue;

    JackOptions options;
    std::string error;
    bool meterGiven = false;

    for (std::size_t i = 0; i < arguments.size() && error.empty(); ++i)
    {
        auto option = arguments[i];

        if (option == "--help" || option == "-h")
        {
            options.showHelp = true;
            continue;
        }

        if (option == "--master" || option == "--play")
        {
            (option == "--master" ? options.master : options.play) = true;
            continue;
        }

        if (! takesValue (option))
        {
            error = (startsOption (option) ? "unknown option \"" : "unknown argument \"") + option + "\"";
            break;
        }

        std::string value;

        if (! takeValue (arguments, i, option, value, error))
            break;

        if (option == "--connect")
        {
            // "--connect A B": the ports up to the next option.
            options.connections.push_back (value);

            while (i + 1 < arguments.size() && ! startsOption (arguments[i + 1]))
                options.connections.push_back (arguments[++i]);
        }
        else if (option == "--name")
        {
            options.clientName = value;
            error = checkName (value);
        }
        else if (option == "--tempo")
        {
            options.bpm = readValue (option, value, lowestTempo, highestTempo, parseNumber, error).value_or (0.0);
        }
        else if (option == "--meter")
        {
            meterGiven = true;

            if (const auto meter = parseMeter (value))
                options.meter = *meter;
            else
                error = "--meter takes " + std::string (meterRule) + ", not \"" + value + "\"";
        }
        else
        {
            readClockOption (option, value, options, error);
        }
    }

    if (error.empty())
        error = finishClockOptions (options);

    if (error.empty() && meterGiven && ! options.master)
        error = "--meter is for --master: a follower takes the meter from the transport's master";

    if (error.empty() && options.connections.size() > 2)
        error = "--connect takes one or two ports: clock_left's, then clock_right's";

    for (const auto& port : options.connections)
        if (error.empty() && (port.empty() || port.find (':') == std::string::npos))
            error = "--connect takes ports as client:port, not \"" + port + "\"";

    if (! error.empty())
        return { std::nullopt, error };

    return { options, {} };
}

std::string jackUsage()
{
    return "Usage: quaverline-jack [options]\n"
           "Writes Quaverline's clock to two JACK output ports, clock_left and clock_right, following\n"
           "JACK's transport (or, with --master, driving it).\n"
           "\n"
           "  --connect PORT [PORT]  connect clock_left (then clock_right) to these ports, for example\n"
           "                         system:playback_3 system:playback_4\n"
           "  --name NAME            the JACK client's name (default quaverline)\n"
           "  --tempo BPM            with --master, beats per minute (default 120); when following a\n"
           "                         transport that gives no bar and beat, its quarter notes per minute\n"
           "  --master               be JACK's timebase master, with --tempo and --meter\n"
           "  --meter N/D            the master's meter (default 4/4)\n"
           "  --play                 start the transport at once\n"
           "  --time-signature SIG   the bar: \" 8/8\"-style, 2/8 to 257/8, or an index 0 to 255 (default\n"
           "                         8/8); with Quaverline Sync 3/8 to 32/8, instead of the transport's bar\n"
           "  --help                 show this text\n"
           "\n"
           "Any of these writes Quaverline Sync's clock instead:\n" +
           syncOptionsUsage() +
           "\n"
           "On a terminal: space starts and stops the transport, t taps the tempo (with --master),\n"
           "q quits.\n";
}

} // namespace quaverline
