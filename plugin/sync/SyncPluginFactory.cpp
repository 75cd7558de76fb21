#include "plugin/PluginFactory.h"

#include "plugin/sync/SyncAudioProcessor.h"

// Quaverline Sync's format wrappers create one processor per plug-in instance
// through this function and own it from then on.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return std::make_unique<quaverline::SyncAudioProcessor>().release();
}
