#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quaverline::fuzz
{

/** Called from LLVMFuzzerInitialize: run as "HARNESS --seeds FOLDER", a
    harness writes its seed inputs into the folder (which must exist) and
    exits; otherwise it goes on as a fuzzer.
*/
inline void writeSeedsIfAsked (int argc, char** argv, const std::vector<std::vector<uint8_t>>& seeds)
{
    if (argc != 3 || std::strcmp (argv[1], "--seeds") != 0)
        return;

    for (std::size_t i = 0; i < seeds.size(); ++i)
    {
        const auto path = std::string (argv[2]) + "/seed-" + std::to_string (i);

        if (auto* file = std::fopen (path.c_str(), "wb"))
        {
            std::fwrite (seeds[i].data(), 1, seeds[i].size(), file);
            std::fclose (file);
        }
        else
        {
            std::exit (1);
        }
    }

    std::exit (0);
}

} // namespace quaverline::fuzz
