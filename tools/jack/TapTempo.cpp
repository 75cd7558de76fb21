#include "tools/jack/TapTempo.h"

#include "engine/MusicalTime.h"
#include "tools/common/ClockOptions.h"

#include <algorithm>

namespace quaverline
{

std::optional<double> TapTempo::tap (double seconds)
{
    if (! taps.empty() && (seconds - taps.back() > longestInterval || seconds <= taps.back()))
        taps.clear();

    taps.push_back (seconds);

    if (taps.size() > intervalsCounted + 1)
        taps.erase (taps.begin());

    if (taps.size() < 2)
        return std::nullopt;

    const double meanInterval = (taps.back() - taps.front()) / double (taps.size() - 1);
    return std::clamp (musicalTime::secondsPerMinute / meanInterval, lowestTempo, highestTempo);
}

} // namespace quaverline
