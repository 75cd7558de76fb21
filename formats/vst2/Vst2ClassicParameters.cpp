// Quaverline's parameter answers: the one parameter answers for every index,
// as the processor's own getParameter does; it has a name and no label, value
// text or text-to-value conversion. Saved projects and hosts rely on these.

#include "engine/TimeSignature.h"
#include "formats/vst2/Vst2Parameters.h"
#include "formats/vst2/Vst2Strings.h"

namespace quaverline::vst2::parameters
{

std::optional<VstIntPtr> answer (AEffect*, int opcode, int index, void* ptr, AEffectDispatcherProc) noexcept
{
    auto* const text = static_cast<char*> (ptr);

    switch (opcode)
    {
        case effGetParamName:
            copyString (text, index == 0 ? timeSignature::parameterName : "", stringLimit::parameterName);
            return 0;

        case effGetParamLabel:
            copyString (text, "", stringLimit::parameterLabel);
            return 0;

        case effGetParamDisplay:
            copyString (text, "", stringLimit::parameterDisplay);
            return 0;

        case effString2Parameter:
            return 0;

        default:
            return std::nullopt;
    }
}

float value (AEffect* effect, int, AEffectGetParameterProc juceGetParameter) noexcept
{
    return juceGetParameter (effect, 0);
}

} // namespace quaverline::vst2::parameters
