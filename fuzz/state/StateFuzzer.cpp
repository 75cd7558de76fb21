// The plug-in's state and parameter rules through the processor, as every
// format's wrapper reaches them: any saved bytes, any parameter value, then
// what is saved again must restore to the same index.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "plugin/AudioClockAudioProcessor.h"
#include "plugin/PluginFactory.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

std::vector<uint8_t> restore (std::vector<uint8_t> bytes)
{
    return FuzzOutput().put (uint8_t (0)).putBytes (bytes).data;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    quaverline::fuzz::writeSeedsIfAsked (
        *argc,
        *argv,
        { restore ({ 6 }), restore ({ 200, 1, 2 }), restore ({}), FuzzOutput().put (uint8_t (1)).put (0.35f).data });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // The processor's own parameter calls, which the VST 2.4 wrapper makes by number.
    static const std::unique_ptr<quaverline::AudioClockAudioProcessor> processor (
        dynamic_cast<quaverline::AudioClockAudioProcessor*> (createPluginFilter()));
    FuzzInput input (data, size);

    while (! input.isEmpty())
    {
        switch (input.take<uint8_t>() % 3)
        {
            case 0:
            {
                const auto bytes = input.takeBytes (4096);
                processor->setStateInformation (bytes.data(), static_cast<int> (bytes.size()));
                break;
            }

            case 1:
                processor->setParameter (static_cast<int> (input.takeInRange (-1, 2)), input.take<float>());
                break;

            default:
                processor->getParameter (static_cast<int> (input.takeInRange (-1, 2)));
                break;
        }

        juce::MemoryBlock saved;
        processor->getStateInformation (saved);
        const auto value = processor->getParameter (0);
        processor->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));

        if (saved.getSize() != 1 || processor->getParameter (0) != value)
            __builtin_trap();
    }

    return 0;
}
