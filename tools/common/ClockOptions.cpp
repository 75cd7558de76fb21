#include "tools/common/ClockOptions.h"

#include "tools/common/ArgumentParsing.h"

#include <algorithm>
#include <vector>

namespace quaverline
{

namespace
{
using arguments::parseInteger;
using arguments::parseNumber;
using arguments::readValue;
using arguments::trim;

/** A word for each choice of a Quaverline Sync option. */
struct SyncChoiceOption
{
    const char* option;
    int parameter;
    std::vector<const char*> words; // in the parameter's order
};

const std::vector<SyncChoiceOption>& syncChoiceOptions()
{
    static const std::vector<SyncChoiceOption> options {
        { "--shape", syncParameters::shape, { "classic", "square" } },
        { "--polarity", syncParameters::polarity, { "positive", "negative" } },
        { "--right", syncParameters::right, { "clock", "run", "bar" } },
        { "--idle", syncParameters::idle, { "classic", "silent" } },
        { "--start", syncParameters::start, { "bar", "beat", "now" } },
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

bool readSyncChoice (const std::string& option,
                     const std::string& value,
                     ClockOptions& options,
                     std::string& error,
                     const char* startAlsoTakes)
{
    for (const auto& choice : syncChoiceOptions())
    {
        if (option != choice.option)
            continue;

        for (size_t word = 0; word < choice.words.size(); ++word)
            if (trim (value) == choice.words[word])
            {
                options.syncValues()[size_t (choice.parameter)] = float (word);
                return true;
            }

        std::string words;
        for (const auto* word : choice.words)
            words += (words.empty() ? "" : "|") + std::string (word);

        const std::string alsoTakes = choice.parameter == syncParameters::start ? startAlsoTakes : "";
        error = option + " takes " + words + alsoTakes + ", not \"" + value + "\"";
        return true;
    }

    return false;
}

bool readSyncNumber (const std::string& option, const std::string& value, ClockOptions& options, std::string& error)
{
    for (const auto& number : syncNumberOptions)
    {
        if (option != number.option)
            continue;

        const auto& rule = syncParameters::rule (number.parameter);

        if (const auto read = readValue (option, value, rule.minimum, rule.maximum, parseNumber, error))
            options.syncValues()[size_t (number.parameter)] = float (*read);

        return true;
    }

    if (option == "--resolution")
    {
        if (const auto choice = readResolutionChoice (option, value, error))
            options.syncValues()[syncParameters::resolution] = float (*choice);

        return true;
    }

    return false;
}
} // namespace

syncParameters::PlainValues& ClockOptions::syncValues()
{
    if (! sync)
        sync = syncParameters::defaults();

    return *sync;
}

bool readClockOption (const std::string& option,
                      const std::string& value,
                      ClockOptions& options,
                      std::string& error,
                      const char* startAlsoTakes)
{
    if (option == "--time-signature")
    {
        options.timeSignatureGiven = true;

        if (const auto index = parseTimeSignature (value))
            options.timeSignatureIndex = *index;
        else
            error = "--time-signature takes \" 8/8\"-style text from 2/8 to 257/8 or an index from 0 to 255, not \"" +
                    value + "\"";

        return true;
    }

    return readSyncChoice (option, value, options, error, startAlsoTakes) ||
           readSyncNumber (option, value, options, error);
}

std::optional<int> readResolutionChoice (const std::string& option, const std::string& value, std::string& error)
{
    const auto& resolutions = syncParameters::resolutions;
    const auto ppqn = parseInteger (value);
    const auto found = std::find (resolutions.begin(), resolutions.end(), ppqn.value_or (0));

    if (found != resolutions.end())
        return int (found - resolutions.begin());

    std::string list;
    for (size_t choice = 0; choice < resolutions.size(); ++choice)
        list += (choice == 0                        ? ""
                 : choice + 1 == resolutions.size() ? " or "
                                                    : ", ") +
                std::to_string (resolutions[choice]);

    error = option + " takes " + list + ", not \"" + value + "\"";
    return std::nullopt;
}

bool isClockOption (const std::string& option)
{
    const auto named = [&option] (const auto& entry) { return option == entry.option; };

    return option == "--time-signature" || option == "--resolution" ||
           std::any_of (syncChoiceOptions().begin(), syncChoiceOptions().end(), named) ||
           std::any_of (std::begin (syncNumberOptions), std::end (syncNumberOptions), named);
}

std::string finishClockOptions (ClockOptions& options)
{
    // Quaverline Sync's bar set by hand is one of its choices, 3/8 to 32/8.
    if (! options.sync || ! options.timeSignatureGiven)
        return {};

    if (options.timeSignatureIndex < 1 || options.timeSignatureIndex > timeSignature::numChoices)
        return "with Quaverline Sync, --time-signature takes 3/8 to 32/8";

    (*options.sync)[syncParameters::bar] = float (options.timeSignatureIndex);
    return {};
}

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

std::optional<Meter> parseMeter (const std::string& text)
{
    const auto slash = text.find ('/');
    const auto numerator = parseInteger (text.substr (0, slash));
    const auto denominator = slash == std::string::npos ? std::nullopt : parseInteger (text.substr (slash + 1));
    const bool powerOfTwo = denominator && *denominator > 0 && (*denominator & (*denominator - 1)) == 0;

    if (! numerator || *numerator < 1 || *numerator > 64 || ! powerOfTwo || *denominator > 64)
        return std::nullopt;

    return Meter { *numerator, *denominator };
}

std::string syncOptionsUsage()
{
    return "  --resolution N         pulses per quarter note: 1, 2, 4, 8, 12, 24 (default), 48 or 96\n"
           "  --shape classic|square the classic 97-sample pulse (default) or a square one\n"
           "  --width MS             the square pulse's width, 0.5 to 50 ms (default 5)\n"
           "  --level DB             the pulse's peak, -24 to 0 dBFS (default -0.45, the classic level)\n"
           "  --polarity positive|negative\n"
           "  --offset MS            -100 to 100 ms; negative sends every pulse earlier (default 0)\n"
           "  --right clock|run|bar  the right output: the clock, the run line, or a pulse every bar\n"
           "  --idle classic|silent  the idle signal between pulses\n"
           "  --start bar|beat|now   where counting starts after the transport starts (default bar)\n";
}

} // namespace quaverline
