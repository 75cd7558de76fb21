#pragma once

#include <optional>
#include <string>

#include <termios.h>

namespace quaverline
{

/** The terminal quaverline-jack runs in, if it runs in one: keys arrive as
    they are pressed, without echo, and a status line is rewritten in place.
    Ctrl-C still interrupts. The terminal's own settings come back when this
    goes.
*/
class Terminal
{
public:
    Terminal();
    ~Terminal();

    bool takesKeys() const noexcept { return keysFromTerminal; }

    /** Waits up to timeoutMs for a key; nothing if none came, or when the
        input is no terminal (then it only waits).
    */
    std::optional<char> waitForKey (int timeoutMs);

    /** Rewrites the status line, if the output is a terminal. */
    void showStatus (const std::string& line);

    /** Leaves the status line, so that what follows starts on a line of its own. */
    void endStatus();

    Terminal (const Terminal&) = delete;
    Terminal& operator= (const Terminal&) = delete;

private:
    bool settingsChanged = false;
    bool keysFromTerminal = false;
    bool statusOnTerminal = false;
    bool statusShown = false;
    termios savedSettings {};
};

} // namespace quaverline
