#include "engine/SyncParameters.h"

#include "engine/TimeSignature.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quaverline::syncParameters
{

namespace
{
constexpr int numBarChoices = 1 + timeSignature::numChoices; // "Host", then 3/8 ... 32/8

constexpr std::array<Rule, count> rules { {
    { "resolution", "Resolution", int (resolutions.size()), 0.0f, 7.0f, 5.0f, "" },
    { "bar", "Bar", numBarChoices, 0.0f, float (numBarChoices - 1), 0.0f, "" },
    { "start", "Start", 3, 0.0f, 2.0f, 0.0f, "" },
    { "shape", "Shape", 2, 0.0f, 1.0f, 0.0f, "" },
    { "width", "Pulse width", 0, 0.5f, 50.0f, 5.0f, "ms" },
    { "level", "Level", 0, -24.0f, 0.0f, classicLevelDb, "dB" },
    { "polarity", "Polarity", 2, 0.0f, 1.0f, 0.0f, "" },
    { "offset", "Offset", 0, -100.0f, 100.0f, 0.0f, "ms" },
    { "right", "Right output", 3, 0.0f, 2.0f, 0.0f, "" },
    { "idle", "Idle signal", 2, 0.0f, 1.0f, 0.0f, "" },
} };

const char* const startTexts[] { "Next bar", "Next beat", "At once" };
const char* const shapeTexts[] { "Classic", "Square" };
const char* const polarityTexts[] { "Positive", "Negative" };
const char* const rightTexts[] { "Clock", "Run", "Bar" };
const char* const idleTexts[] { "Classic", "Silent" };

bool validIndex (int index) noexcept
{
    return index >= 0 && index < count;
}

float sound (int index, float value) noexcept
{
    const auto& r = rules[size_t (index)];

    if (! std::isfinite (value))
        return r.defaultValue;

    value = std::clamp (value, r.minimum, r.maximum);
    return r.numChoices > 0 ? std::round (value) : value;
}

std::string choiceText (int index, int choice)
{
    switch (index)
    {
        case resolution:
            return std::to_string (resolutions[size_t (choice)]) + " PPQN";
        case bar:
            return choice == 0 ? "Host" : std::to_string (timeSignature::eighthsPerBar (choice)) + "/8";
        case start:
            return startTexts[choice];
        case shape:
            return shapeTexts[choice];
        case polarity:
            return polarityTexts[choice];
        case right:
            return rightTexts[choice];
        case idle:
            return idleTexts[choice];
        default:
            return {};
    }
}

std::string trimmed (const std::string& text)
{
    const auto first = text.find_first_not_of (" \t");
    const auto last = text.find_last_not_of (" \t");
    return first == std::string::npos ? std::string() : text.substr (first, last - first + 1);
}

bool sameIgnoringCase (const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal (a.begin(),
                       a.end(),
                       b.begin(),
                       [] (char x, char y)
                       { return std::tolower ((unsigned char) x) == std::tolower ((unsigned char) y); });
}
} // namespace

const Rule& rule (int index) noexcept
{
    return rules[size_t (std::clamp (index, 0, count - 1))];
}

PlainValues defaults() noexcept
{
    PlainValues values {};

    for (int index = 0; index < count; ++index)
        values[size_t (index)] = rules[size_t (index)].defaultValue;

    return values;
}

std::string textFor (int index, float plainValue)
{
    if (! validIndex (index))
        return {};

    const auto& r = rules[size_t (index)];
    const auto value = sound (index, plainValue);

    if (r.numChoices > 0)
        return choiceText (index, static_cast<int> (value));

    char text[32];
    const auto* const sign = index == offset && value > 0.0f ? "+" : "";
    std::snprintf (text, sizeof (text), "%s%.1f %s", sign, double (value), r.unit);
    return text;
}

std::optional<float> valueForText (int index, const std::string& text)
{
    if (! validIndex (index))
        return std::nullopt;

    const auto& r = rules[size_t (index)];
    const auto wanted = trimmed (text);

    if (r.numChoices > 0)
    {
        // A resolution may come as its bare number.
        const auto asResolution = wanted + " PPQN";

        for (int choice = 0; choice < r.numChoices; ++choice)
        {
            const auto choiceName = choiceText (index, choice);

            if (sameIgnoringCase (wanted, choiceName) ||
                (index == resolution && sameIgnoringCase (asResolution, choiceName)))
                return float (choice);
        }

        return std::nullopt;
    }

    char* end = nullptr;
    const double number = std::strtod (wanted.c_str(), &end);

    if (end == wanted.c_str() || ! std::isfinite (number))
        return std::nullopt;

    const auto rest = trimmed (end);

    if (! rest.empty() && ! sameIgnoringCase (rest, r.unit))
        return std::nullopt;

    return sound (index, static_cast<float> (number));
}

SyncSettings settingsFrom (const PlainValues& values) noexcept
{
    const auto choice = [&] (int index) { return static_cast<int> (sound (index, values[size_t (index)])); };
    const auto number = [&] (int index) { return double (sound (index, values[size_t (index)])); };

    SyncSettings settings;
    settings.pulsesPerQuarterNote = resolutions[size_t (choice (resolution))];
    settings.barIndex = choice (bar) == 0 ? -1 : choice (bar); // the classic clock's index
    settings.start = static_cast<SyncStart> (choice (start));
    settings.shape = static_cast<SyncShape> (choice (shape));
    settings.widthMs = number (width);
    settings.levelDb = number (level);
    settings.negativePolarity = choice (polarity) == 1;
    settings.offsetMs = number (offset);
    settings.right = static_cast<SyncRightOutput> (choice (right));
    settings.idle = static_cast<SyncIdle> (choice (idle));
    return settings;
}

} // namespace quaverline::syncParameters
