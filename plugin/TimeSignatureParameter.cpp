#include "plugin/TimeSignatureParameter.h"

#include <algorithm>

namespace quaverline
{

TimeSignatureParameter::TimeSignatureParameter (TimeSignatureState& stateToUse, bool reportsUnitRange)
    : AudioProcessorParameterWithID (juce::ParameterID { "timeSignature", 1 }, timeSignature::parameterName)
    , state (stateToUse)
    , limitsToUnitRange (reportsUnitRange)
{
}

float TimeSignatureParameter::getValue() const
{
    const auto value = state.getParameterValue();
    return limitsToUnitRange ? std::min (value, 1.0f) : value;
}

void TimeSignatureParameter::setValue (float newValue)
{
    state.setParameterValue (newValue);
}

float TimeSignatureParameter::getDefaultValue() const
{
    return 0.0f;
}

juce::String TimeSignatureParameter::getText (float, int) const
{
    return {};
}

float TimeSignatureParameter::getValueForText (const juce::String& text) const
{
    return text.getFloatValue();
}

} // namespace quaverline
