#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quaverline
{

/** Sample numbers on which a pulse starts: its first sample is unique in the
    signal, so every occurrence of it is the start of a pulse.
*/
std::vector<int64_t> findPulseStarts (const float* samples, std::size_t numSamples);

/** Sample numbers on which a pulse of any shape or polarity starts: where the
    signal's magnitude rises past the threshold.
*/
std::vector<int64_t> findLeadingEdges (const float* samples, std::size_t numSamples, float threshold);

/** Distances between consecutive pulse starts. */
struct PulseSpacing
{
    int64_t minimum = 0;
    int64_t maximum = 0;
    double mean = 0.0;
};

/** The spacing of the given starts; all zero with fewer than two starts. */
PulseSpacing measurePulseSpacing (const std::vector<int64_t>& pulseStarts);

/** True for the two values of the idle signal, +-0.001. */
bool isIdleSample (float sample) noexcept;

} // namespace quaverline
