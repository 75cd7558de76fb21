#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace quaverline::idleSignal
{

/** The signal between pulses: +-0.001, alternating sample by sample, which
    keeps interfaces that mute silent outputs awake.
*/
inline constexpr float level = 0.001f;

/** The next idle sample, continuing the alternation. */
inline float next (bool& signToggle) noexcept
{
    signToggle = ! signToggle;
    return signToggle ? level : -level;
}

/** The idle signal from a positive sample on, one sample longer than a chunk,
    so that a chunk can start on either sign.
*/
inline constexpr int64_t chunk = 512;

inline constexpr std::array<float, chunk + 1> pattern = []
{
    std::array<float, chunk + 1> samples {};

    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = i % 2 == 0 ? level : -level;

    return samples;
}();

/** Writes numSamples samples of the idle signal, continuing its alternation:
    copies of the pattern, which the C library moves at full width.
*/
inline void fill (float* output, int64_t numSamples, bool& signToggle) noexcept
{
    const auto* source = pattern.data() + (signToggle ? 1 : 0);

    for (auto remaining = numSamples; remaining > 0;)
    {
        const auto length = std::min (remaining, chunk);
        std::copy_n (source, length, output);
        output += length;
        remaining -= length;
    }

    if (numSamples % 2 != 0)
        signToggle = ! signToggle;
}

} // namespace quaverline::idleSignal
