#pragma once

#include "engine/TimeSignatureState.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace quaverline
{

/** The "Time Signature" host parameter: a view of the processor's
    TimeSignatureState for the format wrappers. Its value text is empty, its
    default 0.0 and its step count the framework's default, as hosts have always
    seen them.

    The state is owned by the processor and outlives every use of this object;
    the framework deletes the parameter after the processor's members, and the
    destructor does not touch the state.
*/
class TimeSignatureParameter final : public juce::AudioProcessorParameterWithID
{
public:
    /** With reportsUnitRange, getValue() gives at most 1.0: for formats whose
        hosts take parameter values as normalised to 0..1 and write back what
        they clamp (VST3, LV2). A restored index above 30 then reads as 1.0
        there and stays as it is, instead of being rewritten to 30.
    */
    TimeSignatureParameter (TimeSignatureState& stateToUse, bool reportsUnitRange);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    juce::String getText (float value, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;

private:
    TimeSignatureState& state;
    const bool limitsToUnitRange;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimeSignatureParameter)
};

} // namespace quaverline
