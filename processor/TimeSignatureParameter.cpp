#include "TimeSignatureParameter.h"

namespace quaverline
{

TimeSignatureParameter::TimeSignatureParameter (TimeSignatureState& stateToUse)
    : AudioProcessorParameterWithID (juce::ParameterID { "timeSignature", 1 }, TimeSignatureState::parameterName)
    , state (stateToUse)
{
}

float TimeSignatureParameter::getValue() const
{
    return state.getParameterValue();
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
