#include "tools/jack/Terminal.h"

#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace quaverline
{

Terminal::Terminal()
    : statusOnTerminal (isatty (STDOUT_FILENO) != 0)
{
    if (isatty (STDIN_FILENO) == 0 || tcgetattr (STDIN_FILENO, &savedSettings) != 0)
        return;

    auto keys = savedSettings;
    keys.c_lflag &= tcflag_t (~(ICANON | ECHO));
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    settingsChanged = tcsetattr (STDIN_FILENO, TCSANOW, &keys) == 0;
    keysFromTerminal = settingsChanged;
}

Terminal::~Terminal()
{
    endStatus();

    if (settingsChanged)
        tcsetattr (STDIN_FILENO, TCSANOW, &savedSettings);
}

std::optional<char> Terminal::waitForKey (int timeoutMs)
{
    pollfd input { STDIN_FILENO, POLLIN, 0 };

    // A signal ends the wait early; the caller looks at why.
    if (poll (&input, keysFromTerminal ? 1 : 0, timeoutMs) <= 0 || ! keysFromTerminal)
        return std::nullopt;

    char key = 0;

    if (read (STDIN_FILENO, &key, 1) == 1)
        return key;

    // The terminal hung up: from now on, only wait.
    keysFromTerminal = false;
    return std::nullopt;
}

void Terminal::showStatus (const std::string& line)
{
    if (! statusOnTerminal)
        return;

    std::printf ("\r%s\033[K", line.c_str());
    std::fflush (stdout);
    statusShown = true;
}

void Terminal::endStatus()
{
    if (! statusShown)
        return;

    std::printf ("\n");
    std::fflush (stdout);
    statusShown = false;
}

} // namespace quaverline
