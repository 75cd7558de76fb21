#pragma once

#include <optional>

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

namespace quaverline::vst2
{

/** How a product answers the VST 2.4 parameter requests. Each product's VST
    library links one definition: Quaverline's fixed answers, or Quaverline
    Sync's, which are JUCE's wrapper's within the request's bounds.
*/
namespace parameters
{
/** The answer to a parameter request, or nothing to pass it to JUCE's wrapper. */
std::optional<VstIntPtr>
    answer (AEffect* effect, int opcode, int index, void* ptr, AEffectDispatcherProc juceDispatcher) noexcept;

/** A parameter's value, as the host reads it. */
float value (AEffect* effect, int index, AEffectGetParameterProc juceGetParameter) noexcept;
} // namespace parameters

} // namespace quaverline::vst2
