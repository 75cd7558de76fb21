#include "tools/render/RenderOptions.h"

#include "engine/MusicalTime.h"
#include "engine/TimeSignature.h"
#include "tools/common/ArgumentParsing.h"

#include <cmath>

namespace quaverline
{

namespace
{
using arguments::parseInteger;
using arguments::parseNumber;
using arguments::readValue;

constexpr double maximumSeconds = 3600.0;

/** Reads the simulated host's time signature; false if the option is another. */
bool readHostTimeSignature (const std::string& option,
                            const std::string& value,
                            RenderOptions& options,
                            std::string& error)
{
    if (option == "--host-time-signature")
    {
        const auto meter = parseMeter (value);

        if (! meter)
        {
            error = "--host-time-signature takes " + std::string (meterRule) + ", not \"" + value + "\"";
            return true;
        }

        options.hostMeter = *meter;
        options.syncValues()[syncParameters::bar] = 0.0f;
        return true;
    }

    return false;
}
} // namespace

double quarterNotesPerBar (const RenderOptions& options)
{
    if (options.sync && ! options.timeSignatureGiven)
        return musicalTime::quarterNotesPerBar (options.hostMeter.numerator, options.hostMeter.denominator);

    return timeSignature::quarterNotesPerBar (options.timeSignatureIndex);
}

int64_t lengthInSamples (const RenderOptions& options)
{
    double seconds = options.seconds.value_or (0.0);

    if (! options.seconds)
        seconds = musicalTime::secondsFor (options.bars.value_or (2.0) * quarterNotesPerBar (options), options.bpm);

    return static_cast<int64_t> (std::llround (seconds * options.sampleRate));
}

std::string renderUsage()
{
    return "Usage: quaverline-render [options]\n"
           "Renders Quaverline's clock signal for a simulated transport into a WAV file.\n"
           "\n"
           "  --tempo BPM            quarter notes per minute (default 120)\n"
           "  --sample-rate HZ       (default 48000)\n"
           "  --start QN             transport position at the first sample, in quarter notes (default 0)\n"
           "  --seconds S            length in seconds, or\n"
           "  --bars N               length in bars of the time signature (default 2 bars)\n"
           "  --time-signature SIG   \" 8/8\"-style, 2/8 to 257/8, or an index 0 to 255 (default 8/8)\n"
           "  --block-size N         samples per processBlock call (default 512)\n"
           "  --channels N           output channels, all carrying the same clock (default 2)\n"
           "  --bit-depth N          16, 24 or 32 (32-bit float, the default)\n"
           "  --output FILE.wav      (default quaverline-clock.wav)\n"
           "  --plot FILE.png        draw the first pulses with their sample numbers\n"
           "  --help                 show this text\n"
           "\n"
           "Any of these renders Quaverline Sync instead (left and right outputs):\n" +
           syncOptionsUsage() +
           "                         (a number after --start is still the transport position)\n"
           "  --host-time-signature N/D  what the simulated host reports (default 4/4); the bar, unless\n"
           "                         --time-signature sets one (3/8 to 32/8 with Quaverline Sync)\n";
}

ParsedRenderOptions parseRenderOptions (const std::vector<std::string>& arguments)
{
    RenderOptions options;
    std::string error;

    for (std::size_t i = 0; i < arguments.size() && error.empty(); ++i)
    {
        auto option = arguments[i];
        const bool isLong = option.rfind ("--", 0) == 0;

        // "--help=anything" asks for help too.
        if ((isLong ? option.substr (0, option.find ('=')) : option) == "--help" || option == "-h")
        {
            options.showHelp = true;
            continue;
        }

        std::string value;

        if (! arguments::takeValue (arguments, i, option, value, error))
        {
            if (! isLong)
                error = "unknown argument \"" + option + "\"";

            break;
        }

        if (option == "--tempo")
            options.bpm = readValue (option, value, lowestTempo, highestTempo, parseNumber, error).value_or (0.0);
        else if (option == "--sample-rate")
            options.sampleRate = readValue (option, value, 8000.0, 768000.0, parseNumber, error).value_or (0.0);
        else if (option == "--start" && parseNumber (value))
            options.startPosition = readValue (option, value, -1.0e6, 1.0e6, parseNumber, error).value_or (0.0);
        else if (option == "--seconds")
            options.seconds = readValue (option, value, 0.0, maximumSeconds, parseNumber, error);
        else if (option == "--bars")
            options.bars = readValue (option, value, 0.0, 10000.0, parseNumber, error);
        else if (option == "--block-size")
            options.blockSize = readValue (option, value, 1, 65536, parseInteger, error).value_or (0);
        else if (option == "--channels")
            options.numChannels = readValue (option, value, 1, 64, parseInteger, error).value_or (0);
        else if (option == "--output" || option == "--plot")
            (option == "--output" ? options.outputFile : options.plotFile) =
                arguments::checkFileName (option, value, error) ? value : "";
        else if (option == "--bit-depth")
        {
            options.bitDepth = parseInteger (value).value_or (0);

            if (options.bitDepth != 16 && options.bitDepth != 24 && options.bitDepth != 32)
                error = "--bit-depth takes 16, 24 or 32, not \"" + value + "\"";
        }
        else if (readClockOption (option, value, options, error, " or a position in quarter notes") ||
                 readHostTimeSignature (option, value, options, error))
        {
        }
        else
        {
            error = "unknown option \"" + option + "\"";
        }
    }

    if (error.empty())
        error = finishClockOptions (options);

    if (error.empty() && options.seconds && options.bars)
        error = "give either --seconds or --bars, not both";

    if (error.empty() && options.outputFile.empty())
        error = "--output needs a file name";

    if (error.empty() && lengthInSamples (options) > static_cast<int64_t> (maximumSeconds * options.sampleRate))
        error = "that is longer than an hour; render less";

    if (error.empty() && lengthInSamples (options) < 1)
        error = "that is shorter than one sample; render more";

    if (! error.empty())
        return { std::nullopt, error };

    return { options, {} };
}

} // namespace quaverline
