#include "tools/render/RenderOptions.h"

#include "engine/MusicalTime.h"
#include "engine/TimeSignature.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace quaverline
{

namespace
{
constexpr double maximumSeconds = 3600.0;

std::string trim (const std::string& text)
{
    const auto first = text.find_first_not_of (" \t");

    if (first == std::string::npos)
        return {};

    return text.substr (first, text.find_last_not_of (" \t") - first + 1);
}

/** An optional sign, digits, and an optional point with more digits: no
    exponents, no hexadecimal, no "inf" or "nan".
*/
bool isPlainDecimal (const std::string& text)
{
    std::size_t i = 0;

    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;

    const auto isDigit = [&] { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    std::size_t digits = 0;

    for (; isDigit(); ++i)
        ++digits;

    if (i < text.size() && text[i] == '.')
        for (++i; isDigit(); ++i)
            ++digits;

    return digits > 0 && i == text.size();
}

std::optional<double> parseNumber (const std::string& text)
{
    const auto trimmed = trim (text);

    if (! isPlainDecimal (trimmed))
        return std::nullopt;

    char* end = nullptr;
    errno = 0;
    const double value = std::strtod (trimmed.c_str(), &end);

    if (errno != 0 || end != trimmed.c_str() + trimmed.size() || ! std::isfinite (value))
        return std::nullopt;

    return value;
}

std::optional<int> parseInteger (const std::string& text)
{
    const auto value = parseNumber (text);

    if (! value || *value != std::floor (*value) || std::abs (*value) > 1.0e9)
        return std::nullopt;

    return static_cast<int> (*value);
}

std::string formatNumber (double value)
{
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

struct Range
{
    double minimum, maximum;
};

/** Reads a number within a range, or fills in the error. */
template <typename Parse>
auto readValue (const std::string& option, const std::string& text, Range range, Parse parse, std::string& error)
    -> decltype (parse (text))
{
    const auto value = parse (text);

    if (! value || *value < range.minimum || *value > range.maximum)
    {
        error = option + " takes a number from " + formatNumber (range.minimum) + " to " +
                formatNumber (range.maximum) + ", not \"" + text + "\"";
        return std::nullopt;
    }

    return value;
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

int64_t lengthInSamples (const RenderOptions& options)
{
    double seconds = options.seconds.value_or (0.0);

    if (! options.seconds)
    {
        const double quarterNotesPerBar = timeSignature::quarterNotesPerBar (options.timeSignatureIndex);
        seconds = musicalTime::secondsFor (options.bars.value_or (2.0) * quarterNotesPerBar, options.bpm);
    }

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
           "  --help                 show this text\n";
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
            options.bpm = readValue (option, value, { 1.0, 999.0 }, parseNumber, error).value_or (0.0);
        else if (option == "--sample-rate")
            options.sampleRate = readValue (option, value, { 8000.0, 768000.0 }, parseNumber, error).value_or (0.0);
        else if (option == "--start")
            options.startPosition = readValue (option, value, { -1.0e6, 1.0e6 }, parseNumber, error).value_or (0.0);
        else if (option == "--seconds")
            options.seconds = readValue (option, value, { 0.0, maximumSeconds }, parseNumber, error);
        else if (option == "--bars")
            options.bars = readValue (option, value, { 0.0, 10000.0 }, parseNumber, error);
        else if (option == "--block-size")
            options.blockSize = readValue (option, value, { 1, 65536 }, parseInteger, error).value_or (0);
        else if (option == "--channels")
            options.numChannels = readValue (option, value, { 1, 64 }, parseInteger, error).value_or (0);
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
        else if (option == "--time-signature")
        {
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
