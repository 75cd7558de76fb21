#pragma once

#include "tools/common/ClockOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quaverline
{

/** What quaverline-render is asked to render: the clock, and the simulated
    host around it.
*/
struct RenderOptions : ClockOptions
{
    double bpm = 120.0;
    double sampleRate = 48000.0;
    double startPosition = 0.0; // quarter notes
    std::optional<double> seconds;
    std::optional<double> bars; // bars of the chosen time signature; 2 when neither is given
    int blockSize = 512;
    int numChannels = 2;
    int bitDepth = 32;
    std::string outputFile = "quaverline-clock.wav";
    std::string plotFile; // empty: no plot
    bool showHelp = false;

    /** The simulated host's time signature: Quaverline Sync's bar unless
        --time-signature sets one.
    */
    Meter hostMeter;
};

/** The bar's length in quarter notes: the time signature's, or with Quaverline
    Sync and no --time-signature, the simulated host's.
*/
double quarterNotesPerBar (const RenderOptions& options);

/** Either the options or a message that says what is wrong with the arguments. */
struct ParsedRenderOptions
{
    std::optional<RenderOptions> options;
    std::string error;
};

ParsedRenderOptions parseRenderOptions (const std::vector<std::string>& arguments);

/** The number of samples to render. */
int64_t lengthInSamples (const RenderOptions& options);

/** The usage text printed by --help and after an argument error. */
std::string renderUsage();

} // namespace quaverline
