#pragma once

#include "engine/SyncParameters.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <memory>

namespace quaverline
{

/** Quaverline Sync's parameters as JUCE parameter objects, made from the
    engine's rules: their IDs, names, ranges, defaults and texts.
*/
struct SyncParameterObjects
{
    /** Makes the parameter at an index of syncParameters::Index. */
    static std::unique_ptr<juce::RangedAudioParameter> make (int index);

    /** The plain values of the given parameters, for one block; safe on the
        audio thread.
    */
    static syncParameters::PlainValues
        plainValuesOf (const std::array<juce::RangedAudioParameter*, syncParameters::count>& parameters) noexcept;
};

} // namespace quaverline
