// quaverline-jack: Quaverline's clock on two JACK output ports, following
// JACK's transport or, with --master, driving it.

#include "tools/jack/ClockClient.h"
#include "tools/jack/TapTempo.h"
#include "tools/jack/Terminal.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>

namespace
{
volatile std::sig_atomic_t stopRequested = 0;

void requestStop (int)
{
    stopRequested = 1;
}

std::string describe (const quaverline::JackOptions& options)
{
    const auto& name = options.clientName;
    std::string text = std::string (options.sync ? "Quaverline Sync's clock" : "Quaverline's clock") + " on " + name +
                       ":clock_left and " + name + ":clock_right, ";

    if (! options.master)
        return text + "following JACK's transport";

    char tempo[64];
    std::snprintf (tempo,
                   sizeof (tempo),
                   "timebase master at %.1f bpm in %d/%d",
                   options.bpm,
                   options.meter.numerator,
                   options.meter.denominator);
    return text + tempo;
}

std::string statusLine (const quaverline::ClockClient::Status& status, int pulsesPerQuarterNote)
{
    char line[128];
    std::snprintf (line,
                   sizeof (line),
                   "%s \u00b7 %.1f bpm \u00b7 %d:%d \u00b7 %d PPQN",
                   status.rolling ? "rolling" : "stopped",
                   status.bpm,
                   status.bar,
                   status.beat,
                   pulsesPerQuarterNote);
    return line;
}

int run (const std::vector<std::string>& arguments)
{
    using namespace quaverline;

    const auto parsed = parseJackOptions (arguments);

    if (! parsed.options)
    {
        std::cerr << "quaverline-jack: " << parsed.error << "\n(quaverline-jack --help lists the options)\n";
        return 2;
    }

    const auto& options = *parsed.options;

    if (options.showHelp)
    {
        std::cout << jackUsage();
        return 0;
    }

    std::string error;
    auto client = ClockClient::open (options, error);

    if (client != nullptr)
        error = client->start();

    if (! error.empty())
    {
        client.reset(); // closing the client takes any connection made with it
        std::cerr << "quaverline-jack: " << error << "\n";
        return 1;
    }

    std::cout << "quaverline-jack: " << describe (options) << std::endl;

    std::signal (SIGINT, requestStop);
    std::signal (SIGTERM, requestStop);

    Terminal terminal;

    if (terminal.takesKeys())
        std::cout << (options.master ? "Keys: space starts and stops, t taps the tempo, q quits"
                                     : "Keys: space starts and stops, q quits")
                  << std::endl;

    TapTempo taps;
    const auto started = std::chrono::steady_clock::now();

    while (stopRequested == 0)
    {
        if (const auto reason = client->shutdownReason())
        {
            terminal.endStatus();
            std::cerr << "quaverline-jack: the JACK server shut the client down (" << *reason
                      << "); the clock has stopped\n";
            return 1;
        }

        // Ten status lines a second at most.
        const auto key = terminal.waitForKey (100);

        if (key == 'q')
            break;

        if (key == ' ')
            client->toggleTransport();

        if (key == 't' && client->getMaster() != nullptr)
        {
            const std::chrono::duration<double> now = std::chrono::steady_clock::now() - started;

            if (const auto tempo = taps.tap (now.count()))
                client->getMaster()->setTempo (*tempo);
        }

        terminal.showStatus (statusLine (client->status(), client->pulsesPerQuarterNote()));
    }

    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    try
    {
        return run (std::vector<std::string> (argv + 1, argv + argc));
    }
    catch (const std::exception& failure)
    {
        std::cerr << "quaverline-jack: " << failure.what() << "\n";
        return 1;
    }
}
