#include "tools/analysis/ClockSignalAnalysis.h"

#include "engine/IdleSignal.h"
#include "engine/PulseShape.h"

#include <algorithm>
#include <cmath>

namespace quaverline
{

std::vector<int64_t> findPulseStarts (const float* samples, std::size_t numSamples)
{
    std::vector<int64_t> starts;

    for (std::size_t i = 0; i < numSamples; ++i)
        if (samples[i] == pulseShape::samples.front())
            starts.push_back (static_cast<int64_t> (i));

    return starts;
}

std::vector<int64_t> findLeadingEdges (const float* samples, std::size_t numSamples, float threshold)
{
    std::vector<int64_t> starts;
    bool above = false;

    for (std::size_t i = 0; i < numSamples; ++i)
    {
        const bool nowAbove = std::abs (samples[i]) > threshold;

        if (nowAbove && ! above)
            starts.push_back (static_cast<int64_t> (i));

        above = nowAbove;
    }

    return starts;
}

PulseSpacing measurePulseSpacing (const std::vector<int64_t>& pulseStarts)
{
    PulseSpacing spacing;

    if (pulseStarts.size() < 2)
        return spacing;

    spacing.minimum = pulseStarts[1] - pulseStarts[0];
    spacing.maximum = spacing.minimum;

    for (std::size_t i = 2; i < pulseStarts.size(); ++i)
    {
        const auto distance = pulseStarts[i] - pulseStarts[i - 1];
        spacing.minimum = std::min (spacing.minimum, distance);
        spacing.maximum = std::max (spacing.maximum, distance);
    }

    spacing.mean = double (pulseStarts.back() - pulseStarts.front()) / double (pulseStarts.size() - 1);
    return spacing;
}

bool isIdleSample (float sample) noexcept
{
    return std::abs (sample) == idleSignal::level;
}

} // namespace quaverline
