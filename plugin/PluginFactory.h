#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Creates one processor; the caller owns it. The framework's format wrappers,
    the AAX face and the tools all make their processors here.
*/
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();
