// What an AAX host reads when it scans the library: one effect with its names,
// creation procedures and one component for each output layout the
// processor's bus accepts.

#include "AAX_ICollection.h"
#include "formats/aax/JuceAAX_GUI.h"
#include "formats/aax/JuceAAX_Processor.h"
#include "plugin/PluginFactory.h"
#include "plugin/identity/PluginIdentity.h"

namespace
{
namespace identity = quaverline::identity;
using namespace quaverline::aax;

// The plug-in IDs of the native and AudioSuite components, as JUCE numbers them.
constexpr AAX_CTypeID nativeTypeBase = quaverline::fourCharCode ("jcaa");
constexpr AAX_CTypeID audioSuiteTypeBase = quaverline::fourCharCode ("jyaa");
// A channel count that has no stem format.
constexpr auto noStemFormat = AAX_eStemFormat_INT32_MAX;

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
    static constexpr AAX_EStemFormat byCount[] = { AAX_eStemFormat_None,   AAX_eStemFormat_Mono,
                                                   AAX_eStemFormat_Stereo, AAX_eStemFormat_LCR,
                                                   AAX_eStemFormat_Quad,   AAX_eStemFormat_5_0,
                                                   AAX_eStemFormat_5_1,    AAX_eStemFormat_7_0_DTS,
                                                   AAX_eStemFormat_7_1_DTS };
    return channels >= 0 && channels < static_cast<int> (std::size (byCount)) ? byCount[channels] : noStemFormat;
}

/** A named layout's stem format, for a bus that accepts only some layouts. */
AAX_EStemFormat stemForNamedLayout (const juce::AudioChannelSet& layout)
{
    using Set = juce::AudioChannelSet;
    const std::pair<Set, AAX_EStemFormat> named[] = { { Set::mono(), AAX_eStemFormat_Mono },
                                                      { Set::stereo(), AAX_eStemFormat_Stereo },
                                                      { Set::createLCR(), AAX_eStemFormat_LCR },
                                                      { Set::quadraphonic(), AAX_eStemFormat_Quad },
                                                      { Set::create5point0(), AAX_eStemFormat_5_0 },
                                                      { Set::create5point1(), AAX_eStemFormat_5_1 },
                                                      { Set::create7point0(), AAX_eStemFormat_7_0_DTS },
                                                      { Set::create7point1(), AAX_eStemFormat_7_1_DTS } };

    for (const auto& [set, format] : named)
        if (set == layout)
            return format;

    return noStemFormat;
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

            if (pair.first == noStemFormat || pair.second == noStemFormat ||
                (pair.first == AAX_eStemFormat_None && pair.second == AAX_eStemFormat_None))
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
    component.AddDataInPort (bypassField, sizeof (int32_t), AAX_eDataInPortType_Buffered);
    component.AddMIDINode (midiNodeInField, AAX_eMIDINodeType_LocalInput, identity::pluginName, 0xFFFF);
    component.AddMIDINode (
        midiNodeOutField, AAX_eMIDINodeType_LocalOutput, (std::string (identity::pluginName) + " Out").c_str(), 0xFFFF);
    component.AddPrivateData (pluginInstanceField, static_cast<int32_t> (sizeof (JuceAAX_Processor*)));
    component.AddPrivateData (preparedFlagField, static_cast<int32_t> (sizeof (int32_t)));

    auto* properties = component.NewPropertyMap();

    if (properties == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    properties->AddProperty (AAX_eProperty_ManufacturerID,
                             static_cast<AAX_CPropertyValue> (identity::manufacturerCode));
    properties->AddProperty (AAX_eProperty_ProductID, static_cast<AAX_CPropertyValue> (identity::pluginCode));
    properties->AddProperty (AAX_eProperty_CanBypass, 1);
    properties->AddProperty (AAX_eProperty_InputStemFormat, static_cast<AAX_CPropertyValue> (input));
    properties->AddProperty (AAX_eProperty_OutputStemFormat, static_cast<AAX_CPropertyValue> (output));
    properties->AddProperty (AAX_eProperty_PlugInID_Native, static_cast<AAX_CPropertyValue> (nativeTypeBase + index));
    properties->AddProperty (AAX_eProperty_PlugInID_AudioSuite,
                             static_cast<AAX_CPropertyValue> (audioSuiteTypeBase + index));
    properties->AddProperty (AAX_eProperty_Constraint_MultiMonoSupport, 1);

    return component.AddProcessProc_Native (JuceAAX_Processor::algorithmProcessFunction, properties);
}
} // namespace

AAX_Result GetEffectDescriptions (AAX_ICollection* collection)
{
    const juce::ScopedJuceInitialiser_GUI libraryInitialiser;
    auto* effect = collection != nullptr ? collection->NewDescriptor() : nullptr;

    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    effect->AddName (identity::description);
    effect->AddName (identity::pluginName);
    effect->AddCategory (0);
    effect->AddProcPtr (reinterpret_cast<void*> (&JuceAAX_GUI::create), kAAX_ProcPtrID_Create_EffectGUI);
    effect->AddProcPtr (reinterpret_cast<void*> (&JuceAAX_Processor::create), kAAX_ProcPtrID_Create_EffectParameters);

    uint32_t index = 0;

    for (const auto& [input, output] : componentStemFormats())
    {
        auto* component = effect->NewComponentDescriptor();

        if (component == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        if (const auto described = describeComponent (*component, input, output, index++); described != AAX_SUCCESS)
            return described;

        effect->AddComponent (component);
    }

    collection->AddEffect (identity::aaxIdentifier, effect);
    collection->SetManufacturerName (identity::manufacturerName);
    collection->AddPackageName (identity::description);
    collection->AddPackageName (identity::pluginName);
    collection->SetPackageVersion (static_cast<uint32_t> (identity::versionCode));
    return AAX_SUCCESS;
}
