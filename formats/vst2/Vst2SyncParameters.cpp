// Quaverline Sync's parameter answers: JUCE's wrapper's names and value texts,
// written into the host's buffer within the VST 2.4 limits (the wrapper
// writes up to 25 bytes wherever it is pointed), texts to read passed on only
// when they are short, terminated UTF-8 (JUCE's conversion writes past its
// buffer on broken UTF-8), and indexes outside the parameter list answered
// here.

#include "engine/HostText.h"
#include "formats/vst2/Vst2Parameters.h"
#include "formats/vst2/Vst2Strings.h"

#include <cstddef>
#include <cstring>

namespace quaverline::vst2::parameters
{

namespace
{
bool isParameter (const AEffect* effect, int index) noexcept
{
    return effect != nullptr && index >= 0 && index < effect->numParams;
}

/** Asks JUCE's wrapper for a text into room of its own, then hands it on. */
VstIntPtr boundedText (AEffect* effect,
                       int opcode,
                       int index,
                       char* destination,
                       std::size_t limit,
                       AEffectDispatcherProc juceDispatcher) noexcept
{
    char text[64] {};

    if (isParameter (effect, index))
        juceDispatcher (effect, opcode, index, 0, text, 0.0f);

    text[sizeof (text) - 1] = 0;
    copyString (destination, text, limit);
    return 0;
}

/** Hands JUCE's wrapper a copy of the host's text to read as a value; a text
    longer than any value's, or not UTF-8, is not read.
*/
VstIntPtr readValueText (AEffect* effect, int index, const char* given, AEffectDispatcherProc juceDispatcher) noexcept
{
    char text[128] {};
    std::size_t length = 0;

    while (length < sizeof (text) && given[length] != '\0')
        ++length;

    if (length == sizeof (text) || ! hostText::isUtf8 (given, length))
        return 0;

    std::memcpy (text, given, length);
    return juceDispatcher (effect, effString2Parameter, index, 0, text, 0.0f);
}
} // namespace

std::optional<VstIntPtr>
    answer (AEffect* effect, int opcode, int index, void* ptr, AEffectDispatcherProc juceDispatcher) noexcept
{
    auto* const text = static_cast<char*> (ptr);

    switch (opcode)
    {
        case effGetParamName:
            return boundedText (effect, opcode, index, text, stringLimit::parameterName, juceDispatcher);

        case effGetParamLabel:
            return boundedText (effect, opcode, index, text, stringLimit::parameterLabel, juceDispatcher);

        case effGetParamDisplay:
            return boundedText (effect, opcode, index, text, stringLimit::parameterDisplay, juceDispatcher);

        case effString2Parameter:
            return isParameter (effect, index) && ptr != nullptr ? readValueText (effect, index, text, juceDispatcher)
                                                                 : 0;

        default:
            return std::nullopt;
    }
}

float value (AEffect* effect, int index, AEffectGetParameterProc juceGetParameter) noexcept
{
    return isParameter (effect, index) ? juceGetParameter (effect, index) : 0.0f;
}

} // namespace quaverline::vst2::parameters
