#include "formats/vst2/Vst2CanDo.h"

#include <cstring>

namespace quaverline::vst2
{

namespace
{
struct CanDoAnswer
{
    const char* text;
    int answer;
};

// MIDI in is wanted (a synthesizer that ignores it), MIDI out never comes.
constexpr CanDoAnswer answers[] {
    { "receiveVstEvents", 1 },    { "receiveVstMidiEvent", 1 },   { "receiveVstMidiEvents", 1 },
    { "sendVstEvents", -1 },      { "sendVstMidiEvent", -1 },     { "sendVstMidiEvents", -1 },
    { "receiveVstTimeInfo", 1 },  { "conformsToWindowRules", 1 }, { "bypass", 1 },
    { "openCloseAnyThread", -1 },
};
} // namespace

int canDo (const char* text) noexcept
{
    if (text == nullptr)
        return 0;

    for (const auto& entry : answers)
        if (std::strcmp (text, entry.text) == 0)
            return entry.answer;

    return 0;
}

} // namespace quaverline::vst2
