#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace quaverline::test
{

/** What a command printed and how it ended. */
struct ToolRun
{
    int exitStatus = -1;
    std::string output;
};

/** Runs a shell command to its end, as a user at a terminal does. */
inline ToolRun runCommand (const std::string& command)
{
    ToolRun result;

    if (auto* pipe = popen (command.c_str(), "r"))
    {
        char chunk[256];
        while (const auto length = std::fread (chunk, 1, sizeof (chunk), pipe))
            result.output.append (chunk, length);

        const auto status = pclose (pipe);
        result.exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    }

    return result;
}

} // namespace quaverline::test
