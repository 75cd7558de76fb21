#pragma once

#include <cstddef>
#include <cstdio>

namespace quaverline::test
{

/** The memory this process has mapped, in bytes, where the system tells it
    (0 elsewhere). Memory asked for but never touched counts too, so that an
    allocation the size of a host's lie shows.
*/
inline std::size_t mappedBytes()
{
#if defined(__linux__)
    std::size_t pages = 0;

    if (auto* statm = std::fopen ("/proc/self/statm", "r"))
    {
        if (std::fscanf (statm, "%zu", &pages) != 1)
            pages = 0;

        std::fclose (statm);
    }

    return pages * 4096;
#else
    return 0;
#endif
}

/** More than any block of Quaverline's needs, far less than a lie costs. */
inline constexpr std::size_t plausibleGrowth = std::size_t (1) << 30;

} // namespace quaverline::test
