#pragma once

#include <optional>
#include <vector>

namespace quaverline
{

/** The tempo a user taps: the mean of the last few intervals between taps. A
    pause of more than two seconds starts a new count.
*/
class TapTempo
{
public:
    /** A tap at the given time in seconds; the tempo in beats per minute once
        there are two taps, within the tools' range.
    */
    std::optional<double> tap (double seconds);

private:
    static constexpr double longestInterval = 2.0;
    static constexpr size_t intervalsCounted = 4;

    std::vector<double> taps;
};

} // namespace quaverline
