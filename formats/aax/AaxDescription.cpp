// What an AAX host reads when it scans the library: one effect with its names,
// creation procedures and one component for each output layout the
// processor's bus accepts.

#include "AAX_Exports.h"
#include "formats/aax/JuceAAX_GUI.h"
#include "formats/aax/JuceAAX_Processor.h"
#include "plugin/PluginFactory.h"
#include "plugin/identity/PluginIdentity.h"

namespace
{
namespace identity = quaverline::identity;
using namespace AAXClasses;

/** The named layouts offered to the buses, in the framework's order. */
juce::Array<juce::AudioChannelSet> offeredLayouts()
{
    using Set = juce::AudioChannelSet;
    return { Set::stereo(),
             Set::mono(),
             Set::create5point0(),
             Set::create7point0SDDS(),
             Set::create7point1SDDS(),
             Set::create6point0(),
             Set::create6point1(),
             Set::quadraphonic(),
             Set::pentagonal(),
             Set::hexagonal(),
             Set::create7point0(),
             Set::create7point1(),
             Set::octagonal(),
             Set::ambisonic (1) };
}

AAX_EStemFormat stemForChannelCount (int channels)
{
    static constexpr AAX_EStemFormat byCount[] = { aax::stem::none,
                                                   aax::stem::mono,
                                                   aax::stem::stereo,
                                                   aax::stem::lcr,
                                                   aax::stem::quad,
                                                   aax::stem::fivePointZero,
                                                   aax::stem::fivePointOne,
                                                   aax::stem::sevenPointZeroDts,
                                                   aax::stem::sevenPointOneDts };
    return channels >= 0 && channels < static_cast<int> (std::size (byCount)) ? byCount[channels] : aax::stem::noFormat;
}

/** A named layout's stem format, for a bus that accepts only some layouts. */
AAX_EStemFormat stemForNamedLayout (const juce::AudioChannelSet& layout)
{
    using Set = juce::AudioChannelSet;
    const std::pair<Set, AAX_EStemFormat> named[] = { { Set::mono(), aax::stem::mono },
                                                      { Set::stereo(), aax::stem::stereo },
                                                      { Set::createLCR(), aax::stem::lcr },
                                                      { Set::quadraphonic(), aax::stem::quad },
                                                      { Set::create5point0(), aax::stem::fivePointZero },
                                                      { Set::create5point1(), aax::stem::fivePointOne },
                                                      { Set::create7point0(), aax::stem::sevenPointZeroDts },
                                                      { Set::create7point1(), aax::stem::sevenPointOneDts } };

    for (const auto& [set, format] : named)
        if (set == layout)
            return format;

    return aax::stem::noFormat;
}

/** The (input, output) stem format pairs of the components, in order. */
std::vector<std::pair<AAX_EStemFormat, AAX_EStemFormat>> componentStemFormats()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_AAX);
    const std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    const auto hasInput = processor->getBusCount (true) > 0;

    const auto supports = [&] (bool isInput, const juce::AudioChannelSet& layout)
    {
        auto layouts = processor->getBusesLayout();
        (isInput ? layouts.inputBuses : layouts.outputBuses).getReference (0) = layout;
        return processor->checkBusesLayoutSupported (layouts);
    };

    // A bus that takes any number of discrete channels takes every layout: its
    // layouts are told apart by their channel count alone.
    const auto acceptsEveryLayout = [&] (bool isInput)
    {
        for (int channels = 1; channels <= 8; ++channels)
            if (! supports (isInput, juce::AudioChannelSet::discreteChannels (channels)))
                return false;

        return true;
    };

    const auto stemFormats = [&] (bool isInput)
    {
        std::vector<AAX_EStemFormat> formats;

        if (processor->getBusCount (isInput) == 0)
            return formats;

        const auto byCount = acceptsEveryLayout (isInput);

        for (const auto& layout : offeredLayouts())
            if (supports (isInput, layout))
                formats.push_back (byCount ? stemForChannelCount (layout.size()) : stemForNamedLayout (layout));

        return formats;
    };

    const auto outputs = stemFormats (false);
    const auto inputs = hasInput ? stemFormats (true) : outputs;
    std::vector<std::pair<AAX_EStemFormat, AAX_EStemFormat>> pairs;

    for (const auto input : inputs)
    {
        for (const auto output : outputs)
        {
            const auto pair = std::make_pair (hasInput ? input : output, output);

            if (pair.first == aax::stem::noFormat || pair.second == aax::stem::noFormat ||
                (pair.first == aax::stem::none && pair.second == aax::stem::none))
                continue;

            if (std::find (pairs.begin(), pairs.end(), pair) == pairs.end())
                pairs.push_back (pair);
        }
    }

    return pairs;
}

AAX_Result describeComponent (AAX_IComponentDescriptor& component,
                              AAX_EStemFormat input,
                              AAX_EStemFormat output,
                              uint32_t index)
{
    component.AddAudioIn (inputChannelsField);
    component.AddAudioOut (outputChannelsField);
    component.AddAudioBufferLength (bufferSizeField);
    component.AddDataInPort (bypassField, sizeof (int32_t), 1);
    component.AddMIDINode (midiNodeInField, AAX_EMIDINodeType::localInput, identity::pluginName, 0xFFFF);
    component.AddMIDINode (midiNodeOutField,
                           AAX_EMIDINodeType::localOutput,
                           (std::string (identity::pluginName) + " Out").c_str(),
                           0xFFFF);
    component.AddPrivateData (pluginInstanceField, sizeof (JuceAAX_Processor*));
    component.AddPrivateData (preparedFlagField, sizeof (int32_t));

    auto* properties = component.NewPropertyMap();

    if (properties == nullptr)
        return aax::result::nullObject;

    properties->AddProperty (aax::property::manufacturerId,
                             static_cast<AAX_CPropertyValue> (identity::manufacturerCode));
    properties->AddProperty (aax::property::productId, static_cast<AAX_CPropertyValue> (identity::pluginCode));
    properties->AddProperty (aax::property::canBypass, 1);
    properties->AddProperty (aax::property::inputStemFormat, static_cast<AAX_CPropertyValue> (input));
    properties->AddProperty (aax::property::outputStemFormat, static_cast<AAX_CPropertyValue> (output));
    properties->AddProperty (aax::property::nativeTypeId,
                             static_cast<AAX_CPropertyValue> (aax::code::nativeTypeBase + index));
    properties->AddProperty (aax::property::audioSuiteTypeId,
                             static_cast<AAX_CPropertyValue> (aax::code::audioSuiteTypeBase + index));
    properties->AddProperty (aax::property::multiMonoSupport, 1);

    return component.AddProcessProc_Native (JuceAAX_Processor::algorithmProcessFunction, properties);
}
} // namespace

AAX_Result GetEffectDescriptions (AAX_ICollection* collection)
{
    const juce::ScopedJuceInitialiser_GUI libraryInitialiser;
    auto* effect = collection != nullptr ? collection->NewDescriptor() : nullptr;

    if (effect == nullptr)
        return aax::result::nullObject;

    effect->AddName (identity::description);
    effect->AddName (identity::pluginName);
    effect->AddCategory (0);
    effect->AddProcPtr (reinterpret_cast<void*> (&JuceAAX_GUI::create), aax::procedure::effectGui);
    effect->AddProcPtr (reinterpret_cast<void*> (&JuceAAX_Processor::create), aax::procedure::effectParameters);

    uint32_t index = 0;

    for (const auto& [input, output] : componentStemFormats())
    {
        auto* component = effect->NewComponentDescriptor();

        if (component == nullptr)
            return aax::result::nullObject;

        if (const auto described = describeComponent (*component, input, output, index++);
            described != aax::result::success)
            return described;

        effect->AddComponent (component);
    }

    collection->AddEffect (identity::aaxIdentifier, effect);
    collection->SetManufacturerName (identity::manufacturerName);
    collection->AddPackageName (identity::description);
    collection->AddPackageName (identity::pluginName);
    collection->SetPackageVersion (static_cast<uint32_t> (identity::versionCode));
    return aax::result::success;
}
