#include "plugin/sync/SyncParameterObjects.h"

namespace quaverline
{

namespace
{
// The version hint hosts that sort parameters by it (VST3, AU) are given.
constexpr int parameterVersion = 1;

juce::StringArray choiceTexts (int index)
{
    juce::StringArray texts;

    for (int choice = 0; choice < syncParameters::rule (index).numChoices; ++choice)
        texts.add (syncParameters::textFor (index, float (choice)));

    return texts;
}
} // namespace

std::unique_ptr<juce::RangedAudioParameter> SyncParameterObjects::make (int index)
{
    const auto& rule = syncParameters::rule (index);
    const juce::ParameterID id { rule.id, parameterVersion };

    // Typed texts are read by the rules, so that "8" is "8 PPQN" and case does
    // not matter; what names nothing keeps the default.
    const auto valueForText = [index] (const juce::String& text)
    {
        const auto value = syncParameters::valueForText (index, text.toStdString());
        return value.value_or (syncParameters::rule (index).defaultValue);
    };

    if (rule.numChoices > 0)
        return std::make_unique<juce::AudioParameterChoice> (
            id,
            rule.name,
            choiceTexts (index),
            static_cast<int> (rule.defaultValue),
            juce::AudioParameterChoiceAttributes().withValueFromStringFunction (
                [valueForText] (const juce::String& text) { return static_cast<int> (valueForText (text)); }));

    // The unit is in the text ("5.0 ms"), not a label that hosts would add again.
    auto attributes =
        juce::AudioParameterFloatAttributes()
            .withStringFromValueFunction ([index] (float value, int)
                                          { return juce::String (syncParameters::textFor (index, value)); })
            .withValueFromStringFunction (valueForText);

    return std::make_unique<juce::AudioParameterFloat> (
        id, rule.name, juce::NormalisableRange<float> (rule.minimum, rule.maximum), rule.defaultValue, attributes);
}

syncParameters::PlainValues SyncParameterObjects::plainValuesOf (
    const std::array<juce::RangedAudioParameter*, syncParameters::count>& parameters) noexcept
{
    syncParameters::PlainValues values {};

    for (size_t index = 0; index < parameters.size(); ++index)
    {
        const auto& parameter = *parameters[index];
        values[index] = parameter.convertFrom0to1 (parameter.getValue());
    }

    return values;
}

} // namespace quaverline
