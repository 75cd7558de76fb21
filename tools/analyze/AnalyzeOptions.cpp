#include "tools/analyze/AnalyzeOptions.h"

#include "tools/common/ArgumentParsing.h"
#include "tools/common/ClockOptions.h"

namespace quaverline
{

std::string analyzeUsage()
{
    return "Usage: quaverline-analyze RECORDING.wav [options]\n"
           "Finds the clock pulses in a recording and reports what a device on that cable receives.\n"
           "\n"
           "  --channel N            the channel to read, from 1 (default: the one with the strongest pulses)\n"
           "  --polarity positive|negative  (default: found by itself)\n"
           "  --tempo BPM            the tempo the clock should have: fits the resolution, gives the drift\n"
           "  --ppqn N               the clock's resolution (1, 2, 4, 8, 12, 24, 48 or 96): gives the tempo\n"
           "  --reference FILE.wav   the clock as sent (for example quaverline-render's file): the latency\n"
           "  --json FILE            the figures as JSON; - for standard output\n"
           "  --plot FILE.png        timing errors, the spacing's histogram and the first pulse\n"
           "  --help                 show this text\n";
}

ParsedAnalyzeOptions parseAnalyzeOptions (const std::vector<std::string>& arguments)
{
    using arguments::parseInteger;
    using arguments::parseNumber;
    using arguments::readValue;

    AnalyzeOptions options;
    std::string error;

    for (std::size_t i = 0; i < arguments.size() && error.empty(); ++i)
    {
        auto option = arguments[i];

        if (option == "--help" || option == "-h")
        {
            options.showHelp = true;
            continue;
        }

        if (option.rfind ("--", 0) != 0)
        {
            if (! options.recording.empty())
                error = "one recording at a time: \"" + options.recording + "\" and \"" + option + "\"";

            options.recording = option;
            continue;
        }

        std::string value;

        if (! arguments::takeValue (arguments, i, option, value, error))
            break;

        if (option == "--channel")
        {
            if (const auto channel = readValue (option, value, 1, 64, parseInteger, error))
                options.search.channel = *channel - 1;
        }
        else if (option == "--polarity")
        {
            if (value == "positive" || value == "negative")
                options.search.polarity = value == "positive" ? Polarity::positive : Polarity::negative;
            else
                error = "--polarity takes positive|negative, not \"" + value + "\"";
        }
        else if (option == "--tempo")
        {
            options.knowledge.tempoBpm = readValue (option, value, lowestTempo, highestTempo, parseNumber, error);
        }
        else if (option == "--ppqn")
        {
            if (const auto choice = readResolutionChoice (option, value, error))
                options.knowledge.ppqn = syncParameters::resolutions[size_t (*choice)];
        }
        else if (option == "--reference" || option == "--json" || option == "--plot")
        {
            // "-" is standard output, for --json.
            if (option != "--json" || value != "-")
                arguments::checkFileName (option, value, error);

            (option == "--reference" ? options.reference
             : option == "--json"    ? options.jsonFile
                                     : options.plotFile) = value;
        }
        else
        {
            error = "unknown option \"" + option + "\"";
        }
    }

    if (error.empty() && ! options.showHelp && options.recording.empty())
        error = "name the recording to analyze";

    if (! error.empty())
        return { std::nullopt, error };

    return { options, {} };
}

} // namespace quaverline
