#include "plugin/PluginFactory.h"

#include "plugin/AudioClockAudioProcessor.h"

// The framework's format wrappers create one processor per plug-in instance
// through this function and own it from then on.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return std::make_unique<quaverline::AudioClockAudioProcessor>().release();
}
