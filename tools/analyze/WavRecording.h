#pragma once

#include "tools/analysis/RecordingAnalysis.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <optional>
#include <string>

namespace quaverline
{

/** A recording read from WAV data, or what is wrong with it. */
struct ReadRecording
{
    std::optional<Recording> recording;
    std::string error; // names the file as path
};

/** Reads WAV data of any content: what its header claims is checked before
    memory is taken for it, and a silent recording is refused.
*/
ReadRecording readWavRecording (std::unique_ptr<juce::InputStream> stream, const std::string& path);

/** The same for a file, its path taken from the working folder. */
ReadRecording readWavFile (const std::string& path);

} // namespace quaverline
