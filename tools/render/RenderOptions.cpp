#include "tools/render/RenderOptions.h"

#include "engine/MusicalTime.h"
#include "engine/TimeSignature.h"
#include "tools/common/ArgumentParsing.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

namespace
{
using arguments::parseInteger;
using arguments::parseNumber;
using arguments::trim;

constexpr double maximumSeconds = 3600.0;

using arguments::readValue;

/** A word for each choice of a Quaverline Sync option. */
struct SyncChoiceOption
{
    const char* option;
    int parameter;
    std::vector<const char*> words; // in the parameter's order
    const char* otherwise = "";     // what else the option takes, for its message
};

const std::vector<SyncChoiceOption>& syncChoiceOptions()
{
    static const std::vector<SyncChoiceOption> options {
        { "--shape", syncParameters::shape, { "classic", "square" } },
        { "--polarity", syncParameters::polarity, { "positive", "negative" } },
        { "--right", syncParameters::right, { "clock", "run", "bar" } },
        { "--idle", syncParameters::idle, { "classic", "silent" } },
        // A number after --start is the transport position (read before this).
        { "--start", syncParameters::start, { "bar", "beat", "now" }, " or a position in quarter notes" },
    };
    return options;
}

struct SyncNumberOption
{
    const char* option;
    int parameter;
};

constexpr SyncNumberOption syncNumberOptions[] {
    { "--width", syncParameters::width },
    { "--level", syncParameters::level },
    { "--offset", syncParameters::offset },
};

/** Reads one of Quaverline Sync's options; false if the option is none of them. */
bool readSyncOption (const std::string& option, const std::string& value, RenderOptions& options, std::string& error)
{
    const auto set = [&options] (int parameter, float plainValue)
    {
        if (! options.sync)
            options.sync = syncParameters::defaults();

        (*options.sync)[size_t (parameter)] = plainValue;
    };

    for (const auto& choice : syncChoiceOptions())
    {
        if (option != choice.option)
            continue;

        for (size_t word = 0; word < choice.words.size(); ++word)
            if (trim (value) == choice.words[word])
            {
                set (choice.parameter, float (word));
                return true;
            }

        std::string words;
        for (const auto* word : choice.words)
            words += (words.empty() ? "" : "|") + std::string (word);

        error = option + " takes " + words + choice.otherwise + ", not \"" + value + "\"";
        return true;
    }

    for (const auto& number : syncNumberOptions)
    {
        if (option != number.option)
            continue;

        const auto& rule = syncParameters::rule (number.parameter);

        if (const auto read = readValue (option, value, rule.minimum, rule.maximum, parseNumber, error))
            set (number.parameter, float (*read));

        return true;
    }

    if (option == "--resolution")
    {
        const auto& resolutions = syncParameters::resolutions;
        const auto ppqn = parseInteger (value);
        const auto found = std::find (resolutions.begin(), resolutions.end(), ppqn.value_or (0));

        if (found == resolutions.end())
            error = "--resolution takes 1, 2, 4, 8, 12, 24, 48 or 96, not \"" + value + "\"";
        else
            set (syncParameters::resolution, float (found - resolutions.begin()));

        return true;
    }

    if (option == "--host-time-signature")
    {
        const auto slash = value.find ('/');
        const auto numerator = parseInteger (value.substr (0, slash));
        const auto denominator = slash == std::string::npos ? std::nullopt : parseInteger (value.substr (slash + 1));
        const bool powerOfTwo = denominator && *denominator > 0 && (*denominator & (*denominator - 1)) == 0;

        if (! numerator || *numerator < 1 || *numerator > 64 || ! powerOfTwo || *denominator > 64)
        {
            error =
                "--host-time-signature takes N/D, N from 1 to 64 and D a power of two up to 64, not \"" + value + "\"";
            return true;
        }

        options.hostNumerator = *numerator;
        options.hostDenominator = *denominator;
        set (syncParameters::bar, 0.0f);
        return true;
    }

    return false;
}
} // namespace

std::optional<int> parseTimeSignature (const std::string& text)
{
    const auto trimmed = trim (text);
    const auto slash = trimmed.find ('/');

    if (slash == std::string::npos)
    {
        const auto index = parseInteger (trimmed);
        return index && *index >= 0 && *index <= timeSignature::maximumIndex ? index : std::nullopt;
    }

    const auto eighths = parseInteger (trimmed.substr (0, slash));
    const auto denominator = parseInteger (trimmed.substr (slash + 1));

    if (! eighths || ! denominator || *denominator != 8 || *eighths < timeSignature::eighthsPerBar (0) ||
        *eighths > timeSignature::eighthsPerBar (timeSignature::maximumIndex))
        return std::nullopt;

    return timeSignature::indexForEighths (*eighths);
}

double quarterNotesPerBar (const RenderOptions& options)
{
    if (options.sync && ! options.timeSignatureGiven)
        return options.hostNumerator * 4.0 / options.hostDenominator;

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
           "Any of these renders Quaverline Sync instead (left and right outputs):\n"
           "  --resolution N         pulses per quarter note: 1, 2, 4, 8, 12, 24 (default), 48 or 96\n"
           "  --shape classic|square the classic 97-sample pulse (default) or a square one\n"
           "  --width MS             the square pulse's width, 0.5 to 50 ms (default 5)\n"
           "  --level DB             the pulse's peak, -24 to 0 dBFS (default -0.45, the classic level)\n"
           "  --polarity positive|negative\n"
           "  --offset MS            -100 to 100 ms; negative sends every pulse earlier (default 0)\n"
           "  --right clock|run|bar  the right output: the clock, the run line, or a pulse every bar\n"
           "  --idle classic|silent  the idle signal between pulses\n"
           "  --start bar|beat|now   where counting starts after the transport starts (default bar); a\n"
           "                         number is still the transport position\n"
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
        std::optional<std::string> inlineValue;

        if (const auto equals = option.find ('='); option.rfind ("--", 0) == 0 && equals != std::string::npos)
        {
            inlineValue = option.substr (equals + 1);
            option = option.substr (0, equals);
        }

        if (option == "--help" || option == "-h")
        {
            options.showHelp = true;
            continue;
        }

        std::string value;

        if (inlineValue)
            value = *inlineValue;
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            error = option.rfind ("--", 0) == 0 ? option + " needs a value" : "unknown argument \"" + option + "\"";

        if (! error.empty())
            break;

        if (option == "--tempo")
            options.bpm = readValue (option, value, 1.0, 999.0, parseNumber, error).value_or (0.0);
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
        else if (option == "--output")
            options.outputFile = value;
        else if (option == "--plot")
            options.plotFile = value;
        else if (option == "--bit-depth")
        {
            options.bitDepth = parseInteger (value).value_or (0);

            if (options.bitDepth != 16 && options.bitDepth != 24 && options.bitDepth != 32)
                error = "--bit-depth takes 16, 24 or 32, not \"" + value + "\"";
        }
        else if (readSyncOption (option, value, options, error))
        {
        }
        else if (option == "--time-signature")
        {
            options.timeSignatureGiven = true;

            if (const auto index = parseTimeSignature (value))
                options.timeSignatureIndex = *index;
            else
                error =
                    "--time-signature takes \" 8/8\"-style text from 2/8 to 257/8 or an index from 0 to 255, not \"" +
                    value + "\"";
        }
        else
        {
            error = "unknown option \"" + option + "\"";
        }
    }

    // Quaverline Sync's bar set by hand is one of its choices, 3/8 to 32/8.
    if (error.empty() && options.sync && options.timeSignatureGiven)
    {
        if (options.timeSignatureIndex < 1 || options.timeSignatureIndex > timeSignature::numChoices)
            error = "with Quaverline Sync, --time-signature takes 3/8 to 32/8";
        else
            (*options.sync)[syncParameters::bar] = float (options.timeSignatureIndex);
    }

    if (error.empty() && options.seconds && options.bars)
        error = "give either --seconds or --bars, not both";

    if (error.empty() && options.outputFile.empty())
        error = "--output needs a file name";

    if (error.empty() && options.outputFile == options.plotFile)
        error = "--output and --plot name the same file";

    if (error.empty() && lengthInSamples (options) > static_cast<int64_t> (maximumSeconds * options.sampleRate))
        error = "that is longer than an hour; render less";

    if (error.empty() && lengthInSamples (options) < 1)
        error = "that is shorter than one sample; render more";

    if (! error.empty())
        return { std::nullopt, error };

    return { options, {} };
}

} // namespace quaverline
