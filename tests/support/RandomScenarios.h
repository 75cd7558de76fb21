#pragma once

#include "engine/TransportState.h"

#include <cstdint>
#include <random>
#include <vector>

namespace quaverline::test
{

/** One block as a host hands it over. */
struct Block
{
    int numSamples;
    TransportState transport;
};

/** A sequence of blocks on one instance of each renderer. */
struct Scenario
{
    double sampleRate = 48000.0;
    uint8_t timeSignatureIndex = 6;
    std::vector<Block> blocks;
};

/** A random host: block sizes, tempo changes, jumps and loops, stops. */
Scenario randomScenario (std::mt19937_64& random);

/** How many random scenarios a sweep runs: QUAVERLINE_SWEEP_SCENARIOS, else
    100,000 (10,000 under the sanitizers).
*/
int sweepScenarios();

} // namespace quaverline::test
