// Quaverline Sync's parameter answers: JUCE's wrapper's names and value texts,
// written into the host's buffer within the VST 2.4 limits (the wrapper
// writes up to 25 bytes wherever it is pointed), and indexes outside the
// parameter list answered here.

#include "formats/vst2/Vst2Parameters.h"
#include "formats/vst2/Vst2Strings.h"

#include <cstddef>

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
            return isParameter (effect, index) && ptr != nullptr ? std::nullopt : std::optional<VstIntPtr> (0);

        default:
            return std::nullopt;
    }
}

float value (AEffect* effect, int index, AEffectGetParameterProc juceGetParameter) noexcept
{
    return isParameter (effect, index) ? juceGetParameter (effect, index) : 0.0f;
}

} // namespace quaverline::vst2::parameters
